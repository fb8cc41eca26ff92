// A search in progress over pipes: time limits, commands that arrive during it,
// pondering, and the end of input.
#include <gtest/gtest.h>

#include <thread>

#include "play/play_util.h"

namespace {

using namespace play;

// Room for a loaded machine or a sanitizer build on top of the engine's own limit.
constexpr int Slack = 700;

class Busy : public ::testing::Test {
protected:
    EngineProcess engine;
    void SetUp() override { ASSERT_TRUE(startEngine(engine)); }

    void pause(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
    bool noAnswerFor(int milliseconds, std::vector<std::string>* seen = nullptr) {
        return play::noAnswerFor(engine, milliseconds, seen);
    }

    // Sends line during a search and waits for an answer to go.
    GoResult sendAndAwaitAnswer(const std::string& line, int timeoutMs = 5000) {
        auto start = Clock::now();
        engine.send(line);
        return readAnswer(engine, start, timeoutMs);
    }
};

TEST_F(Busy, TimedSearchesEndWithinTheirMaximumTime) {
    engine.send("position startpos moves h2e2 h9g7");
    // Seconds: time 1 and 2 moves to go give normal 500 ms and maximum 900 ms.
    GoResult seconds = go(engine, "go time 1 movestogo 2");
    ASSERT_TRUE(seconds.answered);
    EXPECT_LE(seconds.milliseconds, 900 + Slack);
    EXPECT_NE(bestMoveOf(seconds.answer), "");

    // Milliseconds: 600 ms with an increment of 0 give normal 30 ms and maximum 300 ms.
    engine.send("setoption usemillisec true");
    GoResult milliseconds = go(engine, "go time 600 increment 0");
    ASSERT_TRUE(milliseconds.answered);
    EXPECT_LE(milliseconds.milliseconds, 300 + Slack);
    Statistics statistics = statisticsOf(milliseconds.lines);
    ASSERT_TRUE(statistics.found);
    EXPECT_LE(statistics.time, 300 + Slack);

    // Black's clock counts when black is to move.
    engine.send("position startpos moves h2e2");
    GoResult black = go(engine, "go wtime 100000 btime 400 movestogo 1");
    ASSERT_TRUE(black.answered);
    EXPECT_LE(black.milliseconds, 400 + Slack);
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

    GoResult stopped = sendAndAwaitAnswer("stop");
    ASSERT_TRUE(stopped.answered);
    EXPECT_LT(stopped.milliseconds, 500);
    EXPECT_NE(bestMoveOf(stopped.answer), "");

    engine.send("go depth 30");
    pause(200);
    GoResult quitted = sendAndAwaitAnswer("quit");
    ASSERT_TRUE(quitted.answered);
    EXPECT_LT(quitted.milliseconds, 500);
    EXPECT_TRUE(engine.waitFor("bye", nullptr, 2000));
    EXPECT_EQ(engine.wait(2000), 0);
}

TEST_F(Busy, PositionLineDuringASearchIsDropped) {
    engine.send("position startpos");
    engine.send("go depth 30");
    pause(100);
    engine.send("position fen R3k4/1R7/9/9/9/9/9/9/9/3K5 b - - 0 1");
    pause(100);
    GoResult stopped = sendAndAwaitAnswer("stop");
    ASSERT_TRUE(stopped.answered);

    // Still the start position: the mated position would give nobestmove.
    GoResult after = go(engine, "go depth 2");
    ASSERT_TRUE(after.answered);
    Position pos;
    playMoves(pos, StartFen, {});
    EXPECT_TRUE(isLegalMove(pos, bestMoveOf(after.answer))) << after.answer;
}

TEST_F(Busy, PonderhitTurnsThePonderSearchIntoATimedOne) {
    engine.send("setoption usemillisec true");
    engine.send("position startpos moves h2e2");
    // 60 s for one move: far beyond the test, so only stop can end it after ponderhit.
    engine.send("go ponder time 60000 movestogo 1");
    EXPECT_TRUE(noAnswerFor(300));
    engine.send("ponderhit");
    EXPECT_TRUE(noAnswerFor(500)) << "ponderhit before the soft limit only ends pondering";
    GoResult stopped = sendAndAwaitAnswer("stop");
    ASSERT_TRUE(stopped.answered);
    EXPECT_NE(bestMoveOf(stopped.answer), "");
}

TEST_F(Busy, PonderSearchIgnoresTheClockUntilPonderhit) {
    engine.send("setoption usemillisec true");
    engine.send("position startpos moves h2e2");
    // Normal time 400 ms and maximum 2000 ms; pondering runs past both soft limits.
    engine.send("go ponder time 4000 movestogo 10");
    EXPECT_TRUE(noAnswerFor(900));
    GoResult answered = sendAndAwaitAnswer("ponderhit");
    ASSERT_TRUE(answered.answered);
    EXPECT_LT(answered.milliseconds, 500) << "the soft limit had passed: ponderhit stops at once";
    EXPECT_NE(bestMoveOf(answered.answer), "");
}

TEST_F(Busy, APonderSearchThatEndsByItselfHoldsItsAnswerUntilReleased) {
    // Mate in one is found at depth 1: the search is over long before ponderhit.
    engine.send("position fen 4k4/R8/1R7/9/9/9/9/9/9/3K5 w - - 0 1");
    engine.send("go ponder depth 5");
    EXPECT_TRUE(noAnswerFor(400));
    engine.send("isready");
    std::vector<std::string> seen;
    EXPECT_TRUE(noAnswerFor(300, &seen));
    EXPECT_EQ(countLines(seen, "readyok"), 1) << "isready is answered while the answer is held";
    GoResult hit = sendAndAwaitAnswer("ponderhit");
    ASSERT_TRUE(hit.answered);
    EXPECT_LT(hit.milliseconds, 300);
    EXPECT_EQ(bestMoveOf(hit.answer), "b7b9");

    // A book move is held the same way; stop and quit release it too.
    engine.send("setoption usebook true");
    engine.send("position startpos");
    engine.send("go ponder time 60 movestogo 40");
    EXPECT_TRUE(noAnswerFor(300));
    ASSERT_TRUE(sendAndAwaitAnswer("stop").answered);
    engine.send("go ponder time 60 movestogo 40");
    EXPECT_TRUE(noAnswerFor(300));
    ASSERT_TRUE(sendAndAwaitAnswer("quit").answered);
    EXPECT_TRUE(engine.waitFor("bye"));
}

TEST_F(Busy, EndOfInputLetsALimitedSearchFinishAndQuits) {
    engine.send("position startpos");
    engine.send("go depth 5");
    engine.closeInput();
    auto start = Clock::now();
    GoResult result = readAnswer(engine, start, 20000);
    ASSERT_TRUE(result.answered);
    EXPECT_NE(bestMoveOf(result.answer), "");
    EXPECT_TRUE(statisticsOf(result.lines).found) << "the search ran to its end";
    EXPECT_EQ(engine.wait(3000), 0);
}

// Closes the input 200 ms into a search that would not end by itself soon: the
// engine must answer at once and exit cleanly.
void expectEndOfInputStops(EngineProcess& engine, const std::string& position, const std::string& go) {
    engine.send(position);
    engine.send(go);
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    auto start = Clock::now();
    engine.closeInput();
    GoResult result = readAnswer(engine, start, 3000);
    ASSERT_TRUE(result.answered);
    EXPECT_LT(result.milliseconds, 500);
    EXPECT_EQ(engine.wait(3000), 0);
}

TEST_F(Busy, EndOfInputStopsASearchWithoutLimitAndQuits) {
    expectEndOfInputStops(engine, "position startpos", "go depth 32");
}

TEST_F(Busy, EndOfInputStopsAPonderSearchAndQuits) {
    expectEndOfInputStops(engine, "position startpos moves h2e2", "go ponder time 600 movestogo 1");
}

}  // namespace
