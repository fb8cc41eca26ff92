// What go answers, driven over pipes: the info lines, the node limit,
// nobestmove, repetition and banned moves, and the resign suffix.
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
    const auto& lines = result.lines;
    ASSERT_GE(lines.size(), 3u);
    EXPECT_TRUE(startsWith(lines[lines.size() - 3], "info time ")) << lines[lines.size() - 3];
    EXPECT_EQ(countLines(lines, "info depth "), 1);
    EXPECT_TRUE(statisticsOf(lines).found);

    const std::string report = lastReport(result);
    EXPECT_TRUE(std::regex_match(report, std::regex("^info depth [1-3] score -?\\d+ pv( [a-i]\\d[a-i]\\d)+$")))
        << report;
    EXPECT_EQ(bestMoveOf(result.answer), report.substr(report.find(" pv ") + 4, 4));
    Position pos = fromFen(StartFen);
    EXPECT_NE(legalAnswer(pos, result), 0);
}

TEST_F(Answers, DeeperSearchReportsDepthsSixAndSevenAsItGoes) {
    engine.send("position startpos moves h2e2 h9g7");
    GoResult result = go(engine, "go depth 7", 60000);
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
    Statistics statistics = statisticsOf(result.lines);
    ASSERT_TRUE(statistics.found);
    EXPECT_GT(statistics.nodes, 30000);
    // Limits are tested every 4096 main-search nodes, plus the quiescence nodes below them.
    EXPECT_LT(statistics.nodes, 30000 + 60000);
    EXPECT_NE(bestMoveOf(result.answer), "");
}

TEST_F(Answers, NobestmoveOrResignWhereTheRulesOrTheMaterialSaySo) {
    // Black's king can only step between e9 and e8 while the red king shuffles.
    const std::string shuffle = "position fen 4k4/9/9/4P4/3R1R3/9/9/9/9/3K5 w - - 0 1 moves";
    const std::string cycle = " d0d1 e9e8 d1d0 e8e9";
    const std::string lastLap = " d0d1 e9e8 d1d0";
    struct Case { std::string position; const char* bans; const char* answer; bool withoutSearch = false; };
    const Case cases[] = {
        {"position fen R3k4/1R7/9/9/9/9/9/9/9/3K5 b - - 0 1", "", "^nobestmove$"},  // mated
        {"position fen 3ak4/4a4/4b4/9/9/9/9/4B4/4A4/3AK4 w - - 0 1", "", "^nobestmove$", true},  // drawn by material
        {shuffle + cycle + cycle + lastLap, "", "^bestmove e8e9"},  // a fourth occurrence is still allowed
        {shuffle + cycle + cycle + cycle + lastLap, "", "^nobestmove$"},
        {"position fen 4k4/9/9/4P4/3R1R3/9/9/9/9/3K5 b - - 0 1", "banmoves e9e8", "^nobestmove$"},  // the only move
        // King, advisors and bishops against two rooks, two knights and two cannons.
        {"position fen 2bakab2/9/9/9/9/9/9/9/9/RNCK1CNR1 b - - 0 1", "", "^bestmove [a-i]\\d[a-i]\\d .*resign$"},
    };
    for (const Case& c : cases) {
        engine.send(c.position);
        engine.send(c.bans);
        GoResult result = go(engine, "go depth 2");
        EXPECT_TRUE(std::regex_search(result.answer, std::regex(c.answer))) << c.position << ": " << result.answer;
        if (c.withoutSearch) {
            EXPECT_EQ(result.lines.size(), 1u) << c.position;
        }
    }
}

}  // namespace
