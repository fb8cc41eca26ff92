// The repertoire that ships and the qvr.bin the build makes from it, checked
// as data.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "book/book_writer.h"

namespace {

const std::string LinesPath = std::string(QUORVEL_SOURCE_DIR) + "/book/openings.txt";
const std::string BuiltBookPath = std::string(QUORVEL_BUILD_DIR) + "/qvr.bin";

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << file.rdbuf();
    return buffer.str();
}

TEST(ShippedBook, RepertoireHasAtLeast200LinesOf8To20Plies) {
    std::string text = readFile(LinesPath);
    ASSERT_FALSE(text.empty()) << LinesPath;
    std::istringstream lines(text);
    std::string line;
    int count = 0;
    for (int number = 1; std::getline(lines, line); number++) {
        size_t plies = splitBookLine(line).size();
        if (plies == 0) continue;
        count++;
        EXPECT_GE(plies, 8u) << "line " << number;
        EXPECT_LE(plies, 20u) << "line " << number;
    }
    EXPECT_GE(count, 200);
}

TEST(ShippedBook, BuildPlacedTheCurrentRepertoireBesideTheEngine) {
    std::vector<BookRecord> entries;
    BookLineError error{};
    ASSERT_TRUE(collectBookLines(readFile(LinesPath), entries, error))
        << "line " << error.lineNumber << ": " << error.reason << " " << error.token;
    sortBookEntries(entries);
    std::string fresh = ::testing::TempDir() + "quorvel_shipped_book.bin";
    ASSERT_TRUE(writeBookFile(fresh.c_str(), entries));
    std::string built = readFile(BuiltBookPath);
    EXPECT_EQ(built.size(), entries.size() * 12);
    EXPECT_TRUE(built == readFile(fresh)) << BuiltBookPath << " is not the book of " << LinesPath;
    std::remove(fresh.c_str());
}

}  // namespace
