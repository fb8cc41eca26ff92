// Books made by the builder read back through the engine's own probe: every
// position of a line file yields exactly the recorded moves and weights.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "book/book.h"
#include "book/book_writer.h"
#include "book_test_util.h"
#include "common/positions.h"

namespace {

// Move -> weight as probeBook sees it: every remainder of the weighted
// choice is tried once, so each move comes back as often as its weight.
std::map<std::string, int> probedWeights(const std::string& path, const Position& pos, int weightSum) {
    std::map<std::string, int> weights;
    for (int r = 0; r < weightSum; r++) {
        uint32_t seed = seedGiving(static_cast<uint32_t>(r), static_cast<uint32_t>(weightSum));
        int move = probeBook(path.c_str(), pos, seed);
        if (move != 0) weights[text(move)]++;
    }
    return weights;
}

class BookBuild : public ::testing::Test {
protected:
    std::string path = ::testing::TempDir() + "quorvel_bookdata_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin";

    void TearDown() override { std::remove(path.c_str()); }

    void build(const std::string& lines) {
        std::vector<BookRecord> entries;
        BookLineError error{};
        ASSERT_TRUE(collectBookLines(lines, entries, error)) << error.lineNumber << " " << error.token;
        sortBookEntries(entries);
        ASSERT_TRUE(writeBookFile(path.c_str(), entries));
    }
};

TEST_F(BookBuild, EveryPositionOfTheLinesGivesBackItsMovesAndWeights) {
    // Shared openings, a transposition (the knights in either order) and a
    // line that returns to the start position, which must count once.
    const std::vector<std::string> lines = {
        "h2e2 h9g7 h0g2 i9h9",
        "h2e2 h9g7 h0g2 b9c7 i0h0",
        "h2e2 h9g7 b0c2",
        "h2e2 b9c7 h0g2 h9g7 i0h0 # the position of line 2 after four plies",
        "c3c4 g6g5",
        "h0g2 h9g7 g2h0 g7h9 h0g2 b9c7",
    };
    std::string file = "# comment line\n\n";
    for (const std::string& line : lines) file += line + "\n";
    build(file);

    // The expectation, counted from the lines with the engine's own positions.
    std::map<std::pair<uint32_t, uint32_t>, std::map<std::string, int>> expected;
    std::vector<Position> positions;
    for (const std::string& line : lines) {
        Position pos;
        pos.setFromFen(StartPositionFen);
        std::map<std::pair<uint32_t, uint32_t>, std::map<std::string, int>> seen;
        for (const std::string& token : splitBookLine(line)) {
            seen[{pos.lock1, pos.lock2}][token] = 1;
            positions.push_back(pos);
            ASSERT_TRUE(pos.makeMove(textToMove(token.c_str())));
        }
        for (auto& [key, moves] : seen)
            for (auto& [move, one] : moves) expected[key][move] += one;
    }
    std::pair<uint32_t, uint32_t> startKey(positions[0].lock1, positions[0].lock2);
    ASSERT_EQ(expected[startKey]["h2e2"], 4);
    ASSERT_EQ(expected[startKey]["h0g2"], 1) << "a line counts once";

    for (const Position& pos : positions) {
        const std::map<std::string, int>& want = expected[std::make_pair(pos.lock1, pos.lock2)];
        int sum = 0;
        for (const auto& [move, weight] : want) sum += weight;
        EXPECT_EQ(probedWeights(path, pos, sum), want);

        std::vector<BookRecord> listed;
        int mirrored = -1;
        ASSERT_TRUE(listBookMoves(path.c_str(), pos, listed, mirrored));
        EXPECT_EQ(mirrored, 0);
        ASSERT_EQ(listed.size(), want.size());
        for (size_t i = 1; i < listed.size(); i++) EXPECT_GE(listed[i - 1].weight, listed[i].weight) << "heaviest first";
    }
}

TEST_F(BookBuild, RecordsAreSortedByTheSecondLockThenTheFirst) {
    build("h2e2 h9g7 h0g2 i9h9 i0h0 b9c7\nc3c4 g6g5 b0c2 h9g7\ng0e2 h7e7\n");
    std::ifstream file(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(file)), std::istreambuf_iterator<char>());
    ASSERT_EQ(bytes.size(), 12u * 12) << "one record per position and move; the start position has three";
    auto word = [&](size_t at) {
        uint32_t value = 0;
        for (int i = 3; i >= 0; i--) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    for (size_t at = 12; at < bytes.size(); at += 12) {
        uint64_t previous = uint64_t{word(at - 8)} << 32 | word(at - 12);
        uint64_t current = uint64_t{word(at + 4)} << 32 | word(at);
        EXPECT_LE(previous, current);
    }
}

TEST_F(BookBuild, APositionKnownOnlyByItsMirrorImageGetsTheMirroredMoves) {
    build("h2e2 h9g7 h0g2\nh2e2 h9g7 i0i1\nh2e2 b9c7 h0g2\n");
    Position pos;
    pos.setFromFen(StartPositionFen);
    ASSERT_TRUE(pos.makeMove(textToMove("b2e2")));
    std::map<std::string, int> want = {{"b9c7", 2}, {"h9g7", 1}};
    EXPECT_EQ(probedWeights(path, pos, 3), want);

    std::vector<BookRecord> listed;
    int mirrored = 0;
    ASSERT_TRUE(listBookMoves(path.c_str(), pos, listed, mirrored));
    EXPECT_EQ(mirrored, 1);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(text(listed[0].move), "b9c7");
    EXPECT_EQ(listed[0].weight, 2);
}

TEST_F(BookBuild, WeightsStopAtTheLargestRecordValue) {
    std::string lines;
    for (int i = 0; i < MaxBookWeight + 5; i++) lines += "h2e2 h9g7\n";
    build(lines);
    std::vector<BookRecord> listed;
    int mirrored = 0;
    Position pos;
    pos.setFromFen(StartPositionFen);
    ASSERT_TRUE(listBookMoves(path.c_str(), pos, listed, mirrored));
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0].weight, MaxBookWeight);
}

TEST(BookLines, AFaultyMoveStopsTheBuildWithItsLineNumber) {
    struct Case {
        const char* lines;
        int lineNumber;
        const char* token;
    };
    const Case cases[] = {
        {"h2e2 h9g7\n# comment\n\nh2e2 h9g7 a0a5\n", 4, "a0a5"},   // rook through its own pawn
        {"h2e2 h2e3\n", 1, "h2e3"},                                  // nothing on h2 any more
        {"h2e2 h9g7\nh2e2 e2e9\n", 2, "e2e9"},                      // red moves twice
        {"h2e2 h9g7\nh2e2 h9g\n", 2, "h9g"},                        // unreadable
        {"h2e2 h9g7 h0z2\n", 1, "h0z2"},                            // off the board
        {"e3e4 e6e5 e4e5 h9g7 e5d5\n", 1, "e5d5"},                 // kings left facing each other
        {"h2e2 h9g7\nh2e2 | h9g7 70000\n", 2, "70000"},            // a weight past the record's
        {"h2e2 | h9g7 5 b9c7\n", 1, "b9c7"},                        // a move without its weight
        {"| h9g7 5\n", 1, "h9g7"},                                   // black's move with red to move
        {"h2e2 | h9g7 5 | b9c7 1\n", 1, "|"},
    };
    for (const Case& c : cases) {
        std::vector<BookRecord> entries;
        BookLineError error{};
        EXPECT_FALSE(collectBookLines(c.lines, entries, error)) << c.lines;
        EXPECT_EQ(error.lineNumber, c.lineNumber) << c.lines;
        EXPECT_STREQ(error.token, c.token) << c.lines;
    }
}

TEST(BookLines, CommentsAndBlankLinesGiveAnEmptyBook) {
    std::vector<BookRecord> entries;
    BookLineError error{};
    EXPECT_TRUE(collectBookLines("# nothing but comments\n\n   \n#h2e2 h9g7\n", entries, error));
    EXPECT_TRUE(entries.empty());
}

}  // namespace
