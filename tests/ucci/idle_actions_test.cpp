// What the idle loop does with a parsed command: options, positions, bans,
// search limits and the time budget.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include "board/position.h"
#include "board/random.h"
#include "board/tables.h"
#include "common/positions.h"
#include "io/session.h"
#include "search/hash.h"
#include "ucci/commands.h"
#include "ucci/engine.h"
#include "ucci/settings.h"

namespace {

class IdleActionsTest : public ::testing::Test {
protected:
    void SetUp() override { resetSettings(); }

    // Parses and carries out one line as the idle loop would.
    int run(const std::string& text) {
        std::strncpy(line_, text.c_str(), sizeof line_ - 1);
        line_[sizeof line_ - 1] = '\0';
        const int code = parseCommandLine(line_, command_);
        if (code == CmdSetOption) applyOption(command_);
        if (code == CmdPosition) setupPosition(command_);
        if (code == CmdBanMoves) recordBanMoves(command_);
        if (code == CmdGo) limits_ = searchLimitsOf(command_);
        return code;
    }

    UcciCommand command_ = {};
    char line_[4096] = {};
    SearchLimits limits_;
};

TEST_F(IdleActionsTest, TimeBudgetExamples) {
    struct Case { const char* go; int useMs; int ponder; int normal; int maximum; };
    const Case cases[] = {
        {"go time 60", 0, 0, 60000, 60000},
        {"go time 60 movestogo 2", 0, 0, 30000, 54000},
        {"go time 60 movestogo 30", 0, 0, 2000, 20000},  // 50% capped at ten normal times
        {"go time 600 increment 5", 0, 0, 35000, 300000},
        {"go time 200000", 0, 0, 100000000, 100000000},  // the clock stops at 100000 s
        {"go time 60", 0, 1, 75000, 60000},              // ponder: normal may exceed max
        {"go time 60000 increment 500", 1, 0, 3500, 30000},
        {"go time 1000 movestogo 100000", 1, 0, 0, 0},
        // Ten times 600 million overflows 32 bits; the cap must not misfire.
        {"go time 100000 increment 600000", 0, 1, 756250000, 50000000},
    };
    for (const Case& c : cases) {
        char line[64];
        std::strcpy(line, c.go);
        UcciCommand command = {};
        ASSERT_EQ(parseCommandLine(line, command), CmdGo);
        int32_t normal = -1, maximum = -1;
        timeBudget(command, 0, c.useMs, c.ponder, normal, maximum);
        EXPECT_EQ(normal, c.normal) << c.go;
        EXPECT_EQ(maximum, c.maximum) << c.go;
    }
}

TEST_F(IdleActionsTest, TimeBudgetUsesTheClockOfTheSideToMove) {
    char line[] = "go wtime 10 btime 40";
    UcciCommand command = {};
    parseCommandLine(line, command);
    int32_t normal = 0, maximum = 0;
    timeBudget(command, 1, 0, 0, normal, maximum);
    EXPECT_EQ(normal, 40000);
    run("position startpos moves h2e2");
    run("go wtime 10 btime 40");
    EXPECT_EQ(limits_.kind, LimitTime);
    EXPECT_EQ(limits_.normalTime, 40000);
    EXPECT_EQ(limits_.maxDepth, 32);
}

TEST_F(IdleActionsTest, SearchLimitsOfEachForm) {
    run("go draw depth 7");
    EXPECT_EQ(limits_.maxDepth, 7);
    EXPECT_EQ(limits_.kind, LimitDepth);
    EXPECT_EQ(limits_.drawOffered, 1);
    EXPECT_EQ(limits_.pondering, 0);
    EXPECT_EQ(limits_.untilStopped, 0);
    run("go ponder nodes 5000");
    EXPECT_EQ(limits_.maxDepth, 32);
    EXPECT_EQ(limits_.kind, LimitNodes);
    EXPECT_EQ(limits_.nodeLimit, 5000);
    EXPECT_EQ(limits_.pondering, 1);
    EXPECT_EQ(limits_.drawOffered, 0);
    run("go infinite");
    EXPECT_EQ(limits_.untilStopped, 1);
    run("setoption usemillisec on");
    run("setoption ponder on");
    run("position startpos");
    run("go time 8000 movestogo 4");
    EXPECT_EQ(limits_.normalTime, 2500);
    EXPECT_EQ(limits_.maxTime, 5600);
}

TEST_F(IdleActionsTest, HashSizeKeepsAPowerOfTwoOfAtLeast16MB) {
    EXPECT_EQ(hashExponent(0), 24);
    EXPECT_EQ(hashExponent(16), 24);
    EXPECT_EQ(hashExponent(31), 24);
    EXPECT_EQ(hashExponent(32), 25);
    EXPECT_EQ(hashExponent(48), 25);
    EXPECT_EQ(hashExponent(1024), 30);
    run("setoption hashsize 48");
    EXPECT_EQ(ProgramEngine.table.mask, (1u << 25) / 16 - 1);
    run("setoption hashsize 0");
    EXPECT_EQ(ProgramEngine.table.mask, 0xFFFFFu);
    releaseHashTable(ProgramEngine.table);
}

TEST_F(IdleActionsTest, OptionsSetTheSettings) {
    run("setoption batch on");
    run("setoption debug true");
    run("setoption usebook off");
    run("setoption pruning none");
    run("setoption knowledge small");
    run("setoption selectivity large");
    run("setoption threads 4");  // accepted and ignored
    EXPECT_EQ(BatchMode, 1);
    EXPECT_EQ(DebugMode, 1);
    EXPECT_EQ(UseBook, 0);
    EXPECT_EQ(UsePruning, 0);
    EXPECT_EQ(UseKnowledge, 1);
    EXPECT_EQ(RandomMask, 7);
    run("setoption selectivity small");
    EXPECT_EQ(RandomMask, 1);
    run("setoption usemillisec on");
    run("setoption ponder true");
    EXPECT_EQ(UseMilliseconds, 1);
    EXPECT_EQ(PonderEnabled, 1);
    resetSettings();
    EXPECT_EQ(UseBook, 1);
    EXPECT_EQ(UseMilliseconds, 0);
}

TEST_F(IdleActionsTest, PositionStopsAtAnOffBoardOrEmptySquare) {
    run("position startpos moves h2e2 j9j8 h9g7");  // file j lies beside the board
    EXPECT_EQ(EnginePosition.moveCount, 2);
    EXPECT_EQ(EnginePosition.sideToMove, 1);
    run("position startpos moves h2e2 e5e4 h9g7");  // e5 is empty
    EXPECT_EQ(EnginePosition.moveCount, 2);
    run("position startpos moves h2e2 h9g7");
    EXPECT_EQ(EnginePosition.moveCount, 3);
    EXPECT_EQ(EnginePosition.sideToMove, 0);
}

TEST_F(IdleActionsTest, RefusedMoveIsSkippedAndTheRestPlayed) {
    // The rook shields the facing kings: e1d1 is refused, e1e5 is then made.
    run("position fen 4k4/9/9/9/9/9/9/9/4R4/4K4 w - - 0 1 moves e1d1 e1e5");
    EXPECT_EQ(EnginePosition.moveCount, 2);
    EXPECT_EQ(EnginePosition.board[sq("d1")], 0);
    EXPECT_NE(EnginePosition.board[sq("e5")], 0);
}

TEST_F(IdleActionsTest, BanMovesAndTheirReset) {
    run("banmoves h2e2 j0j1");
    ASSERT_EQ(BanMoveCount, 2);
    EXPECT_EQ(BanMoves[0], mv("h2e2"));
    EXPECT_EQ(BanMoves[1], 0);
    run("position startpos");
    EXPECT_EQ(BanMoveCount, 0);
}

TEST_F(IdleActionsTest, SquaresFromText) {
    EXPECT_EQ(sq("a9"), 0x33);
    EXPECT_EQ(sq("i0"), 0xCB);
    EXPECT_EQ(sq("j0"), -1);
    EXPECT_EQ(sq("a:"), -1);
    EXPECT_EQ(sq("\x80\x80"), -1);
    EXPECT_EQ(sq("\x7f\x7f"), -1);
}

TEST(LocatePathTest, BookBesideTheProgram) {
    char path[1024];
    locatePath(path, sizeof path, "/opt/quorvel/bin/quorvel", "qvr.bin");
    EXPECT_STREQ(path, "/opt/quorvel/bin/qvr.bin");
    locatePath(path, sizeof path, "C:\\Games\\quorvel.exe", "qvr.bin");
    EXPECT_STREQ(path, "C:\\Games\\qvr.bin");
    locatePath(path, sizeof path, "C:/x\\y/quorvel.exe", "qvr.bin");
    EXPECT_STREQ(path, "C:/x\\y/qvr.bin");
    locatePath(path, sizeof path, "quorvel", "qvr.bin");
    EXPECT_STREQ(path, "qvr.bin");
    locatePath(path, sizeof path, "", "qvr.bin");
    EXPECT_STREQ(path, "qvr.bin");
}

TEST(LocatePathTest, LongProgramNameIsCutToTheBuffer) {
    std::string longName = "/" + std::string(3000, 'd') + "/quorvel";
    char path[64];
    std::memset(path, 'x', sizeof path);
    locatePath(path, 16, longName.c_str(), "qvr.bin");
    EXPECT_EQ(std::strlen(path), 15u);
    EXPECT_EQ(path[16], 'x');  // nothing written past the given size
}

TEST(RandomTest, ParkMillerSteps) {
    uint32_t seed = 1;
    EXPECT_EQ(nextRandom(seed), 16807u);
    EXPECT_EQ(nextRandom(seed), 282475249u);
    EXPECT_EQ(nextRandom(seed), 1622650073u);
    seed = 0xFFFFFFFFu;  // a full 32-bit seed: the product needs 64 bits
    EXPECT_EQ(nextRandom(seed), static_cast<uint32_t>(0xFFFFFFFFull * 16807 % 0x7FFFFFFF));
}

}  // namespace
