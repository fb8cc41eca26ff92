// A search in progress over pipes: time limits, commands that arrive during it,
// pondering, and the end of input.
#include <gtest/gtest.h>

#include <thread>

#include "play/play_util.h"

namespace {

using namespace play;

// Room for a loaded machine or a sanitizer build on top of the engine's own limit.
constexpr int Slack = 700;

void pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

class Busy : public ::testing::Test {
protected:
    EngineProcess engine;
    void SetUp() override { ASSERT_TRUE(startEngine(engine)); }
};

TEST_F(Busy, TimedSearchesEndWithinTheirMaximumTime) {
    struct Case { const char* before; const char* go; int maximum; };
    const Case cases[] = {
        // Seconds: time 1 and 2 moves to go give normal 500 ms and maximum 900 ms.
        {"position startpos moves h2e2 h9g7", "go time 1 movestogo 2", 900},
        // Milliseconds: 600 ms with an increment of 0 give normal 30 ms and maximum 300 ms.
        {"setoption usemillisec true", "go time 600 increment 0", 300},
        // Black's clock counts when black is to move.
        {"position startpos moves h2e2", "go wtime 100000 btime 400 movestogo 1", 400},
    };
    for (const Case& c : cases) {
        engine.send(c.before);
        GoResult result = go(engine, c.go);
        EXPECT_LE(result.milliseconds, c.maximum + Slack) << c.go;
        EXPECT_NE(bestMoveOf(result.answer), "") << c.go;
    }
}

TEST_F(Busy, IsreadyStopAndQuitAreAnsweredDuringASearch) {
    engine.send("position startpos");
    engine.send("go depth 30");
    pause(300);
    auto asked = Clock::now();
    engine.send("isready");
    std::vector<std::string> seen;
    ASSERT_TRUE(engine.waitFor("readyok", &seen, 2000));
    EXPECT_LT(millisecondsSince(asked), 500);
    EXPECT_EQ(countLines(seen, "bestmove"), 0) << "isready does not end the search";

    GoResult stopped = go(engine, "stop");
    EXPECT_LT(stopped.milliseconds, 500);
    EXPECT_NE(bestMoveOf(stopped.answer), "");

    engine.send("go depth 30");
    pause(200);
    EXPECT_LT(go(engine, "quit").milliseconds, 500);
    EXPECT_TRUE(engine.waitFor("bye", nullptr, 2000));
    EXPECT_EQ(engine.wait(2000), 0);
}

TEST_F(Busy, PositionLineDuringASearchIsDropped) {
    engine.send("position startpos");
    engine.send("go depth 30");
    pause(100);
    engine.send("position fen R3k4/1R7/9/9/9/9/9/9/9/3K5 b - - 0 1");
    pause(100);
    go(engine, "stop");

    // Still the start position: the mated position would give nobestmove.
    GoResult after = go(engine, "go depth 2");
    Position pos = fromFen(StartFen);
    EXPECT_NE(legalAnswer(pos, after), 0) << after.answer;
}

TEST_F(Busy, PonderhitTurnsThePonderSearchIntoATimedOne) {
    engine.send("setoption usemillisec true");
    engine.send("position startpos moves h2e2");
    // 60 s for one move: far beyond the test, so only stop can end it after ponderhit.
    engine.send("go ponder time 60000 movestogo 1");
    EXPECT_TRUE(noAnswerFor(engine, 300));
    engine.send("ponderhit");
    EXPECT_TRUE(noAnswerFor(engine, 500)) << "ponderhit before the soft limit only ends pondering";
    EXPECT_NE(bestMoveOf(go(engine, "stop").answer), "");

    // Normal time 400 ms and maximum 2000 ms; pondering runs past both soft limits.
    engine.send("go ponder time 4000 movestogo 10");
    EXPECT_TRUE(noAnswerFor(engine, 900));
    GoResult hit = go(engine, "ponderhit");
    EXPECT_LT(hit.milliseconds, 500) << "the soft limit had passed: ponderhit stops at once";
    EXPECT_NE(bestMoveOf(hit.answer), "");
}

TEST_F(Busy, APonderSearchThatEndsByItselfHoldsItsAnswerUntilReleased) {
    // Mate in one is found at depth 1: the search is over long before ponderhit.
    engine.send("position fen 4k4/R8/1R7/9/9/9/9/9/9/3K5 w - - 0 1");
    engine.send("go ponder depth 5");
    EXPECT_TRUE(noAnswerFor(engine, 400));
    engine.send("isready");
    std::vector<std::string> seen;
    EXPECT_TRUE(noAnswerFor(engine, 300, &seen));
    EXPECT_EQ(countLines(seen, "readyok"), 1) << "isready is answered while the answer is held";
    GoResult hit = go(engine, "ponderhit");
    EXPECT_LT(hit.milliseconds, 300);
    EXPECT_EQ(bestMoveOf(hit.answer), "b7b9");

    // A book move is held the same way; stop and quit release it too.
    engine.send("setoption usebook true");
    engine.send("position startpos");
    for (const char* release : {"stop", "quit"}) {
        engine.send("go ponder time 60 movestogo 40");
        EXPECT_TRUE(noAnswerFor(engine, 300));
        go(engine, release);
    }
    EXPECT_TRUE(engine.waitFor("bye"));
}

// A search with a limit of its own runs to it; one that would not end soon
// stops at once. Either way the program then quits.
TEST_F(Busy, EndOfInputEndsOnlyASearchThatWouldNotEndSoonAndQuits) {
    struct Case { const char* go; bool runsToItsEnd; };
    const Case cases[] = {{"go depth 5", true}, {"go depth 32", false}, {"go ponder time 600 movestogo 1", false}};
    for (const Case& c : cases) {
        EngineProcess program;
        ASSERT_TRUE(startEngine(program));
        program.send("position startpos moves h2e2");
        program.send(c.go);
        if (!c.runsToItsEnd) pause(200);
        auto start = Clock::now();
        program.closeInput();
        GoResult result = readAnswer(program, start, 20000);
        EXPECT_NE(bestMoveOf(result.answer), "") << c.go;
        if (c.runsToItsEnd) {
            EXPECT_TRUE(statisticsOf(result.lines).found) << c.go;
        } else {
            EXPECT_LT(result.milliseconds, 500) << c.go;
        }
        EXPECT_EQ(program.wait(3000), 0) << c.go;
    }
}

}  // namespace
