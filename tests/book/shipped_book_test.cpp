// The repertoire that ships and the qvr.bin the build makes from it, checked
// as data and over pipes with the real engine.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "book/book_writer.h"
#include "common/engine_process.h"

namespace {

const std::string SourceDir = [] {
    std::string file = __FILE__;
    return file.substr(0, file.rfind("/tests/"));
}();
const std::string LinesPath = SourceDir + "/book/openings.txt";
const std::string BuiltBookPath = std::string(QUORVEL_BUILD_DIR) + "/qvr.bin";

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << file.rdbuf();
    return buffer.str();
}

std::vector<std::string> bookMovesAfter(const std::vector<std::string>& moves, int& mirrored) {
    Position pos;
    pos.setFromFen(StartPositionFen);
    for (const std::string& move : moves) pos.makeMove(textToMove(move.c_str()));
    std::vector<BookRecord> entries;
    listBookMoves(BuiltBookPath.c_str(), pos, entries, mirrored);
    std::vector<std::string> texts;
    for (const BookRecord& entry : entries) {
        char chars[5] = {};
        moveToText(entry.move, chars);
        texts.push_back(chars);
    }
    return texts;
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

// Reads up to bestmove; returns its move, and whether info depth lines came first.
std::string bestMoveOf(EngineProcess& engine, bool& searched, int timeoutMs) {
    std::vector<std::string> seen;
    if (!engine.waitFor("bestmove", &seen, timeoutMs)) return "";
    searched = std::any_of(seen.begin(), seen.end(),
                           [](const std::string& line) { return line.rfind("info depth", 0) == 0; });
    std::istringstream words(seen.back());
    std::string keyword, move;
    words >> keyword >> move;
    return move;
}

TEST(ShippedBook, EngineOpensFromTheBookAndSearchesWithUsebookFalse) {
    const char* wrapped = std::getenv("QUORVEL_ENGINE");
    if (wrapped != nullptr && wrapped[0] != '\0') GTEST_SKIP() << "the book lies beside the built engine, not " << wrapped;
    EngineProcess engine;
    ASSERT_TRUE(engine.start());
    engine.send("ucci");
    ASSERT_TRUE(engine.waitFor("ucciok"));

    int mirrored = 0;
    std::vector<std::string> startMoves = bookMovesAfter({}, mirrored);
    ASSERT_FALSE(startMoves.empty());
    engine.send("position startpos");
    engine.send("go depth 30");
    bool searched = true;
    // A depth-30 search would take far longer: an answer within a second is the book's.
    std::string move = bestMoveOf(engine, searched, 1000);
    EXPECT_FALSE(searched);
    EXPECT_NE(std::find(startMoves.begin(), startMoves.end(), move), startMoves.end()) << move;

    // Left central cannon: the book holds only its mirror image.
    std::vector<std::string> replies = bookMovesAfter({"b2e2"}, mirrored);
    EXPECT_EQ(mirrored, 1);
    engine.send("position startpos moves b2e2");
    engine.send("go depth 30");
    move = bestMoveOf(engine, searched, 1000);
    EXPECT_FALSE(searched);
    EXPECT_NE(std::find(replies.begin(), replies.end(), move), replies.end()) << move;

    engine.send("setoption usebook false");
    engine.send("position startpos");
    engine.send("go depth 3");
    move = bestMoveOf(engine, searched, 20000);
    EXPECT_TRUE(searched);
    EXPECT_EQ(move.size(), 4u);

    engine.send("quit");
    EXPECT_EQ(engine.wait(), 0);
}

TEST(ShippedBook, AnEmptyBookLeavesTheEngineSearching) {
    const char* wrapped = std::getenv("QUORVEL_ENGINE");
    if (wrapped != nullptr && wrapped[0] != '\0') GTEST_SKIP() << "the engine runs through " << wrapped;
    // An empty file beside a copy of the engine, as the builder makes from a
    // line file without moves.
    std::string folder = ::testing::TempDir() + "quorvel_empty_book/";
    ASSERT_EQ(std::system(("rm -rf " + folder + " && mkdir -p " + folder).c_str()), 0);
    std::vector<BookRecord> none;
    ASSERT_TRUE(writeBookFile((folder + "qvr.bin").c_str(), none));
    ASSERT_EQ(std::system(("cp " + std::string(QUORVEL_BINARY) + " " + folder + "quorvel").c_str()), 0);

    EngineProcess engine;
    ASSERT_TRUE(engine.start(folder + "quorvel"));
    engine.send("ucci");
    ASSERT_TRUE(engine.waitFor("ucciok"));
    engine.send("position startpos");
    engine.send("go depth 2");
    bool searched = false;
    EXPECT_EQ(bestMoveOf(engine, searched, 20000).size(), 4u);
    EXPECT_TRUE(searched);
    engine.send("quit");
    EXPECT_EQ(engine.wait(), 0);
    std::system(("rm -rf " + folder).c_str());
}

}  // namespace
