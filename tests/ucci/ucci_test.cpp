// What the UCCI words become: the limits of each form of go under UCCI's
// clock rules, the moves of position, and the banned moves.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/positions.h"
#include "session/go.h"
#include "ucci/commands.h"

namespace {

class Ucci : public ::testing::Test {
protected:
    void SetUp() override {
        startSession(session, "", SessionBounds());
        setOption(session, OptionMoveOverhead, 0);  // as the UCCI program runs
    }
    void TearDown() override { endSession(session); }

    // Parses one line into command_.
    CommandCode parse(const std::string& text) {
        std::strncpy(line_, text.c_str(), sizeof line_ - 1);
        line_[sizeof line_ - 1] = '\0';
        return parseCommandLine(line_, command_);
    }

    SearchLimits limitsOf(const std::string& go, bool useMilliseconds = false) {
        EXPECT_EQ(parse(go), CmdGo) << go;
        return searchLimitsOf(session, session.position, goRequestOf(command_, useMilliseconds));
    }

    EngineSession session;
    UcciCommand command_ = {};
    char line_[4096] = {};
};

TEST_F(Ucci, TimeBudgetExamples) {
    struct Case { const char* go; bool useMs; int ponder; int64_t normal; int64_t maximum; };
    const Case cases[] = {
        {"go time 60", false, 0, 60000, 60000},
        {"go time 60 movestogo 2", false, 0, 30000, 54000},
        {"go time 60 movestogo 30", false, 0, 2000, 20000},  // 50% capped at ten normal times
        {"go time 600 increment 5", false, 0, 35000, 300000},
        {"go time 200000", false, 0, 100000000, 100000000},  // the clock stops at 100000 s
        {"go time 60", false, 1, 75000, 60000},              // ponder: normal may exceed max
        {"go time 60000 increment 500", true, 0, 3500, 30000},
        {"go time 1000 movestogo 100000", true, 0, 0, 0},
        // Ten times 600 million overflows 32 bits; the cap must not misfire.
        {"go time 100000 increment 600000", false, 1, 756250000, 50000000},
    };
    for (const Case& c : cases) {
        setOption(session, OptionPonder, c.ponder);
        const SearchLimits limits = limitsOf(c.go, c.useMs);
        EXPECT_EQ(limits.kind, LimitTime) << c.go;
        EXPECT_EQ(limits.normalTime, c.normal) << c.go;
        EXPECT_EQ(limits.maxTime, c.maximum) << c.go;
    }
}

TEST_F(Ucci, EachFormOfGo) {
    session.position = fromFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1");
    SearchLimits limits = limitsOf("go wtime 10 btime 40");
    EXPECT_EQ(limits.normalTime, 40000);  // the clock of the side to move
    EXPECT_EQ(limits.maxDepth, 32);
    limits = limitsOf("go draw depth 7");
    EXPECT_EQ(limits.kind, LimitDepth);
    EXPECT_EQ(limits.maxDepth, 7);
    EXPECT_EQ(limits.drawOffered, 1);
    EXPECT_EQ(limits.untilStopped, 0);
    EXPECT_EQ(limitsOf("go depth 0").maxDepth, 0);
    limits = limitsOf("go ponder nodes 5000");
    EXPECT_EQ(limits.kind, LimitNodes);
    EXPECT_EQ(limits.nodeLimit, 5000);
    EXPECT_EQ(limits.pondering, 1);
    EXPECT_EQ(limits.stopWhenForced, 1);
    EXPECT_EQ(limitsOf("go infinite").untilStopped, 1);
}

TEST_F(Ucci, PositionStopsAtAnOffBoardOrEmptySquareAndSkipsARefusedMove) {
    Position pos;
    for (const char* line : {"position startpos moves h2e2 j9j8 h9g7",  // file j lies beside the board
                             "position startpos moves h2e2 e5e4 h9g7",  // e5 is empty
                             // The rook shields the facing kings: e1d1 is refused, e1e5 is then made.
                             "position fen 4k4/9/9/9/9/9/9/9/4R4/4K4 w - - 0 1 moves e1d1 e1e5"}) {
        parse(line);
        pos = fromFen(command_.fen);
        playUcciMoves(pos, command_);
        EXPECT_EQ(pos.moveCount, 2) << line;
    }
    EXPECT_EQ(pos.board[sq("d1")], 0);
    EXPECT_NE(pos.board[sq("e5")], 0);
}

TEST_F(Ucci, BanMovesKeepAnOffBoardTextAsZero) {
    parse("banmoves h2e2 j0j1");
    Move bans[MaxBannedMoves];
    ASSERT_EQ(readBanMoves(command_, bans), 2);
    EXPECT_EQ(bans[0], mv("h2e2"));
    EXPECT_EQ(bans[1], 0);
}

}  // namespace
