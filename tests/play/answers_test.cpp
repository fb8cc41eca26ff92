// What go answers, driven over pipes: the info lines, the limits, nobestmove,
// banned moves, and the resign and draw suffixes.
#include <gtest/gtest.h>

#include "play/play_util.h"

namespace {

using namespace play;

class Answers : public ::testing::Test {
protected:
    EngineProcess engine;
    void SetUp() override { ASSERT_TRUE(startEngine(engine)); }
};

TEST_F(Answers, ShallowSearchHoldsItsDepthLineBackUntilTheEnd) {
    engine.send("position startpos");
    GoResult result = go(engine, "go depth 3");
    ASSERT_TRUE(result.answered);
    const auto& lines = result.lines;
    ASSERT_GE(lines.size(), 3u);
    EXPECT_TRUE(startsWith(lines[lines.size() - 3], "info time ")) << lines[lines.size() - 3];
    EXPECT_TRUE(startsWith(lines[lines.size() - 2], "info depth ")) << lines[lines.size() - 2];
    EXPECT_EQ(countLines(lines, "info depth "), 1);
    EXPECT_TRUE(statisticsOf(lines).found);

    std::smatch match;
    ASSERT_TRUE(std::regex_match(lines[lines.size() - 2], match,
                                 std::regex("^info depth ([1-3]) score -?\\d+ pv( [a-i]\\d[a-i]\\d)+$")));
    std::string firstPvMove = lines[lines.size() - 2].substr(lines[lines.size() - 2].find(" pv ") + 4, 4);
    EXPECT_EQ(bestMoveOf(result.answer), firstPvMove);
    Position pos;
    playMoves(pos, StartFen, {});
    EXPECT_TRUE(isLegalMove(pos, bestMoveOf(result.answer)));
}

TEST_F(Answers, DeeperSearchReportsDepthsSixAndSevenAsItGoes) {
    engine.send("position startpos moves h2e2 h9g7");
    GoResult result = go(engine, "go depth 7", 60000);
    ASSERT_TRUE(result.answered);
    size_t statistics = 0;
    while (statistics < result.lines.size() && !startsWith(result.lines[statistics], "info time ")) statistics++;
    ASSERT_LT(statistics, result.lines.size());
    bool sawSix = false, sawSeven = false;
    for (size_t i = 0; i < statistics; i++) {
        const auto& line = result.lines[i];
        if (!startsWith(line, "info depth ")) continue;
        int depth = std::atoi(line.c_str() + 11);
        EXPECT_GE(depth, 6) << line;
        sawSix |= depth == 6;
        sawSeven |= depth == 7;
    }
    EXPECT_TRUE(sawSix);
    EXPECT_TRUE(sawSeven);
    // The last reported line was deep enough to be printed at once: nothing is held back.
    EXPECT_EQ(result.lines.size(), statistics + 2);
}

TEST_F(Answers, NodeLimitStopsNearTheLimit) {
    engine.send("position startpos");
    GoResult result = go(engine, "go nodes 30000");
    ASSERT_TRUE(result.answered);
    Statistics statistics = statisticsOf(result.lines);
    ASSERT_TRUE(statistics.found);
    EXPECT_GT(statistics.nodes, 30000);
    // Limits are tested every 4096 main-search nodes, plus the quiescence nodes below them.
    EXPECT_LT(statistics.nodes, 30000 + 60000);
    EXPECT_NE(bestMoveOf(result.answer), "");
}

TEST_F(Answers, NobestmoveWhenMatedOrDrawnByMaterial) {
    engine.send("position fen R3k4/1R7/9/9/9/9/9/9/9/3K5 b - - 0 1");
    GoResult mated = go(engine, "go depth 3");
    ASSERT_TRUE(mated.answered);
    EXPECT_EQ(mated.answer, "nobestmove");

    engine.send("position fen 3ak4/4a4/4b4/9/9/9/9/4B4/4A4/3AK4 w - - 0 1");
    GoResult drawn = go(engine, "go depth 3");
    ASSERT_TRUE(drawn.answered);
    EXPECT_EQ(drawn.answer, "nobestmove");
    EXPECT_EQ(drawn.lines.size(), 1u) << "answered without a search";
}

TEST_F(Answers, MoveThatWouldRepeatAPositionAFifthTimeIsNeverPlayed) {
    // Black's king can only step between e9 and e8 while the red king shuffles.
    const std::string base = "position fen 4k4/9/9/4P4/3R1R3/9/9/9/9/3K5 w - - 0 1 moves";
    const std::string cycle = " d0d1 e9e8 d1d0 e8e9";
    const std::string lastLap = " d0d1 e9e8 d1d0";

    engine.send(base + cycle + cycle + lastLap);
    GoResult fourth = go(engine, "go depth 2");
    ASSERT_TRUE(fourth.answered);
    EXPECT_EQ(bestMoveOf(fourth.answer), "e8e9") << "a fourth occurrence is still allowed";

    engine.send(base + cycle + cycle + cycle + lastLap);
    GoResult fifth = go(engine, "go depth 2");
    ASSERT_TRUE(fifth.answered);
    EXPECT_EQ(fifth.answer, "nobestmove");
}

TEST_F(Answers, BannedMovesAreNotPlayed) {
    engine.send("position startpos moves h2e2");
    GoResult first = go(engine, "go depth 3");
    ASSERT_TRUE(first.answered);
    std::string firstMove = bestMoveOf(first.answer);
    ASSERT_NE(firstMove, "");

    engine.send("banmoves " + firstMove);
    GoResult second = go(engine, "go depth 3");
    ASSERT_TRUE(second.answered);
    std::string secondMove = bestMoveOf(second.answer);
    EXPECT_NE(secondMove, "");
    EXPECT_NE(secondMove, firstMove);

    // With the rooks on d5 and f5 and a pawn on e6, the black king's only move is e9e8.
    engine.send("position fen 4k4/9/9/4P4/3R1R3/9/9/9/9/3K5 b - - 0 1");
    engine.send("banmoves e9e8");
    GoResult none = go(engine, "go depth 2");
    ASSERT_TRUE(none.answered);
    EXPECT_EQ(none.answer, "nobestmove");
}

TEST_F(Answers, HopelessPositionResigns) {
    // Black has king, advisors and bishops against two rooks, two knights and two cannons.
    engine.send("position fen 2bakab2/9/9/9/9/9/9/9/9/RNCK1CNR1 b - - 0 1");
    GoResult result = go(engine, "go depth 3");
    ASSERT_TRUE(result.answered);
    EXPECT_NE(bestMoveOf(result.answer), "");
    EXPECT_NE(result.answer.find(" resign"), std::string::npos) << result.answer;
}

}  // namespace
