// The driver in process: the full ban list, the held-back depth lines and the
// limits that the poll enforces.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "search/driver.h"
#include "search/search_setup.h"

namespace {

using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

class Driver : public ::testing::Test {
protected:
    void SetUp() override {
        useSmallTable();
        UseBook = 0;
        BatchMode = 1;
        DebugMode = 0;
        Pondering = 0;
        DrawOffered = 0;
        RandomMask = 0;
        LimitMode = 0;
        NodeLimit = 0;
        BanMoveCount = 0;
    }
    void TearDown() override {
        BatchMode = 0;
        LimitMode = 0;
        BanMoveCount = 0;
        StopSearch = 0;
        PollHook = nullptr;
    }

    // Black to move with the king's only move e8e9 bringing back the start a
    // fifth time (laps gives the number of full cycles before the last one).
    void setRepeatingPosition(int laps) {
        GlobalPosition.setFromFen("4k4/9/9/4P4/3R1R3/9/9/9/9/3K5 w - - 0 1");
        const char* cycle[4] = {"d0d1", "e9e8", "d1d0", "e8e9"};
        for (int lap = 0; lap < laps; lap++) {
            for (const char* text : cycle) ASSERT_EQ(GlobalPosition.makeMove(textToMove(text)), 1);
        }
        for (int i = 0; i < 3; i++) ASSERT_EQ(GlobalPosition.makeMove(textToMove(cycle[i])), 1);
    }

    std::string search(int depth) {
        CaptureStdout();
        runSearch(depth);
        return GetCapturedStdout();
    }
};

TEST_F(Driver, OverRepeatedMoveIsAppendedWhileTheBanListHasRoom) {
    setRepeatingPosition(3);
    BanMoveCount = MaxBanMoves - 1;
    for (int i = 0; i < BanMoveCount; i++) BanMoves[i] = 0;
    EXPECT_EQ(search(2), "nobestmove\n");
    EXPECT_EQ(BanMoveCount, MaxBanMoves);
    EXPECT_EQ(BanMoves[MaxBanMoves - 1], textToMove("e8e9"));
}

TEST_F(Driver, FullBanListStillKeepsTheOverRepeatedMoveOut) {
    setRepeatingPosition(3);
    BanMoveCount = MaxBanMoves;
    for (int i = 0; i < BanMoveCount; i++) BanMoves[i] = 0;
    EXPECT_EQ(search(2), "nobestmove\n");
    EXPECT_EQ(BanMoveCount, MaxBanMoves);

    // One lap fewer, the same move is allowed again.
    setRepeatingPosition(2);
    std::string output = search(2);
    EXPECT_NE(output.find("bestmove e8e9"), std::string::npos) << output;
}

TEST_F(Driver, DepthLinesBelowSixAreHeldBack) {
    PrincipalVariation[0] = static_cast<Move>(textToMove("h2e2"));
    PrincipalVariation[1] = static_cast<Move>(textToMove("h9g7"));
    PrincipalVariation[2] = 0;
    CaptureStdout();
    reportPv(5, 12);
    EXPECT_EQ(GetCapturedStdout(), "");
    EXPECT_EQ(DeferredDepth, 5);
    EXPECT_EQ(DeferredScore, 12);

    CaptureStdout();
    reportPv(6, -3);
    EXPECT_EQ(GetCapturedStdout(), "info depth 6 score -3 pv h2e2 h9g7\n");
    EXPECT_EQ(DeferredDepth, 0);
}

TEST_F(Driver, PollEnforcesNodeAndTimeLimits) {
    LimitMode = 1;
    NodeLimit = 1000;
    NodeCount = 1000;
    StopSearch = 0;
    EXPECT_EQ(pollInput(), 0);
    NodeCount = 1001;
    EXPECT_EQ(pollInput(), 1);
    EXPECT_EQ(StopSearch, 1);

    // A clock that ran out does not end a ponder search.
    LimitMode = 2;
    MaxTime = -1;
    StopSearch = 0;
    Pondering = 1;
    EXPECT_EQ(pollInput(), 0);
    EXPECT_EQ(StopSearch, 0);
    Pondering = 0;
    EXPECT_EQ(pollInput(), 1);
    EXPECT_EQ(StopSearch, 1);
}

TEST_F(Driver, StatisticsLineCountsNodesPerSecond) {
    GlobalPosition.setFromFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1");
    std::string output = search(6);
    size_t line = output.find("info time ");
    ASSERT_NE(line, std::string::npos) << output;
    long long time = 0, nodes = 0, nps = 0;
    ASSERT_EQ(std::sscanf(output.c_str() + line, "info time %lld nodes %lld nps %lld", &time, &nodes, &nps), 3);
    EXPECT_GT(nodes, 0);
    if (time > 0) {
        EXPECT_EQ(nps, nodes * 1000 / time);
    } else {
        EXPECT_EQ(nps, 0);
    }
}

}  // namespace
