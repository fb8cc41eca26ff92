// quorvel-uci over pipes, as UCI front ends and libraries drive it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>

#include "play/play_util.h"

namespace {

using namespace play;

class Uci : public ::testing::Test {
protected:
    EngineProcess engine;
    std::vector<std::string> handshake;

    void SetUp() override {
        ASSERT_TRUE(engine.start(EngineProcess::uciCommand()));
        engine.send("uci");
        ASSERT_TRUE(engine.waitFor("uciok", &handshake));
        engine.send("setoption name OwnBook value false");
    }

    // Every line up to the answer to isready: what the commands before it printed.
    std::vector<std::string> linesUntilReady() {
        std::vector<std::string> seen;
        engine.send("isready");
        EXPECT_TRUE(engine.waitFor("readyok", &seen));
        seen.pop_back();
        return seen;
    }

    std::string fenShown() {
        engine.send("d");
        std::vector<std::string> seen;
        EXPECT_TRUE(engine.waitFor("Side to move", &seen));
        return seen.size() >= 2 ? seen[seen.size() - 2].substr(5) : "";
    }

    // The info lines of one depth and one multipv index.
    static std::vector<std::string> infoOf(const GoResult& result, int depth, int line = 0) {
        std::vector<std::string> found;
        std::string prefix = "info depth " + std::to_string(depth) + " ";
        if (line > 0) prefix += "multipv " + std::to_string(line) + " ";
        for (const auto& l : result.lines)
            if (startsWith(l, prefix.c_str())) found.push_back(l);
        return found;
    }

    static std::string field(const std::string& line, const std::string& name) {
        size_t at = line.find(" " + name + " ");
        if (at == std::string::npos) return "";
        at += name.size() + 2;
        return line.substr(at, line.find(' ', at) - at);
    }
};

TEST_F(Uci, HandshakeOptionsAndBadInput) {
    EXPECT_EQ(handshake.front(), "id name Quorvel 1.1");
    EXPECT_EQ(handshake[1], "id author Delvane");
    for (const char* option : {"option name Hash type spin default 16 min 1 max 1024",
                               "option name MultiPV type spin default 1 min 1 max 128",
                               "option name UCI_Variant type combo default xiangqi var xiangqi",
                               "option name Ponder type check default false"})
        EXPECT_NE(std::find(handshake.begin(), handshake.end(), option), handshake.end()) << option;

    engine.send("SETOPTION NAME multipv VALUE 500");
    engine.send("setoption name Frobnicate value 3");
    engine.send("frobnicate now");
    std::vector<std::string> said = linesUntilReady();
    ASSERT_EQ(said.size(), 3u);
    EXPECT_EQ(said[0], "info string MultiPV set to 128");
    EXPECT_EQ(said[1], "info string unknown option: Frobnicate");
    EXPECT_EQ(said[2], "info string unknown command: frobnicate");
}

TEST_F(Uci, PositionKeepsWhatIsReadableAndSaysWhatIsNot) {
    engine.send("position startpos moves h2e2 h9g7");
    const std::string fen = fenShown();
    EXPECT_EQ(fen, "rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w - - 0 1");
    engine.send("position fen rnbakabnr/9/1c5c1/p1p1p1p1p/9/9 w - - 0 1");
    engine.send("position fen rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNX w - - 0 1");
    std::vector<std::string> said = linesUntilReady();
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[0].rfind("info string unreadable FEN", 0), 0u) << said[0];
    EXPECT_EQ(fenShown(), fen);

    // XBoard's letters and no dash fields; the moves stop at the first illegal one.
    engine.send("position fen rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR w 0 1 moves h2e2 h2e3 h9g7");
    said = linesUntilReady();
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "info string illegal move h2e3: it and the moves after it are ignored");
    EXPECT_EQ(fenShown(), "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1");
}

TEST_F(Uci, EachFormOfGoAnswersWithALegalMove) {
    engine.send("position startpos moves h2e2");
    Position pos;
    ASSERT_TRUE(playMoves(pos, StartFen, {"h2e2"}));

    GoResult depth = go(engine, "go depth 5");
    ASSERT_TRUE(depth.answered);
    EXPECT_TRUE(isLegalMove(pos, bestMoveOf(depth.answer))) << depth.answer;
    ASSERT_FALSE(infoOf(depth, 5).empty());
    const std::string info = infoOf(depth, 5).back();
    EXPECT_NE(info.find(" score cp "), std::string::npos) << info;
    EXPECT_NE(field(info, "nodes"), "");
    EXPECT_NE(field(info, "nps"), "");
    EXPECT_NE(field(info, "time"), "");
    EXPECT_EQ(info.find(" pv " + bestMoveOf(depth.answer)) != std::string::npos, true) << info;

    GoResult nodes = go(engine, "go nodes 20000");
    ASSERT_TRUE(nodes.answered);
    EXPECT_TRUE(isLegalMove(pos, bestMoveOf(nodes.answer)));

    GoResult fixed = go(engine, "go movetime 300");
    ASSERT_TRUE(fixed.answered);
    EXPECT_LE(fixed.milliseconds, 300 + 200);
    EXPECT_TRUE(isLegalMove(pos, bestMoveOf(fixed.answer)));

    // Clocks with increments, and contradictory limits: the tightest wins.
    GoResult clock = go(engine, "go wtime 2000 btime 2000 winc 50 binc 50 movestogo 10");
    ASSERT_TRUE(clock.answered);
    EXPECT_LE(clock.milliseconds, 1000 + 200);
    GoResult tight = go(engine, "go depth 3 movetime 20000 nodes 100000000");
    ASSERT_TRUE(tight.answered);
    EXPECT_TRUE(infoOf(tight, 4).empty());
    EXPECT_TRUE(isLegalMove(pos, bestMoveOf(tight.answer)));
}

TEST_F(Uci, MateScoresInMovesForBothSides) {
    engine.send("position fen 4k4/9/R8/1R7/9/9/9/9/9/3K5 w - - 0 1");
    GoResult winning = go(engine, "go mate 2");
    ASSERT_TRUE(winning.answered);
    EXPECT_NE(winning.lines[winning.lines.size() - 2].find(" score mate 2 "), std::string::npos)
        << winning.lines[winning.lines.size() - 2];
    engine.send("position fen 4k4/9/R8/1R7/9/9/9/9/9/3K5 w - - 0 1 moves a7a8");
    GoResult losing = go(engine, "go depth 4");
    ASSERT_TRUE(losing.answered);
    EXPECT_NE(losing.lines[losing.lines.size() - 2].find(" score mate -1 "), std::string::npos)
        << losing.lines[losing.lines.size() - 2];
}

TEST_F(Uci, InfiniteAndPonderHoldTheirAnswer) {
    // Mate in one: the search is over at once, the answer waits for stop.
    engine.send("position fen 4k4/R8/1R7/9/9/9/9/9/9/3K5 w - - 0 1");
    engine.send("go infinite");
    EXPECT_TRUE(noAnswerFor(engine, 400));
    GoResult stopped = go(engine, "stop");
    ASSERT_TRUE(stopped.answered);
    EXPECT_EQ(bestMoveOf(stopped.answer), "b7b9");

    engine.send("go ponder wtime 1000 btime 1000");
    EXPECT_TRUE(noAnswerFor(engine, 400));
    GoResult hit = go(engine, "ponderhit");
    ASSERT_TRUE(hit.answered);
    EXPECT_LT(hit.milliseconds, 300);
    EXPECT_EQ(bestMoveOf(hit.answer), "b7b9");

    // A long ponder search goes on as a timed one after ponderhit.
    engine.send("position startpos");
    engine.send("go ponder wtime 2000 btime 2000 movestogo 20");
    EXPECT_TRUE(noAnswerFor(engine, 600));
    GoResult timed = go(engine, "ponderhit");
    ASSERT_TRUE(timed.answered);
    EXPECT_LE(timed.milliseconds, 1000);
}

TEST_F(Uci, MultiPvReportsTheBestLinesEachScored) {
    engine.send("setoption name MultiPV value 3");
    engine.send("position startpos");
    GoResult result = go(engine, "go depth 4");
    ASSERT_TRUE(result.answered);
    std::set<std::string> firstMoves;
    int previous = 1 << 30;
    for (int line = 1; line <= 3; line++) {
        std::vector<std::string> info = infoOf(result, 4, line);
        ASSERT_EQ(info.size(), 1u) << line;
        const std::string pv = info[0].substr(info[0].find(" pv ") + 4, 4);
        firstMoves.insert(pv);
        int score = std::atoi(field(info[0], "cp").c_str());
        EXPECT_LE(score, previous);
        previous = score;
        if (line == 1) {
            EXPECT_EQ(pv, bestMoveOf(result.answer));
        }
    }
    EXPECT_EQ(firstMoves.size(), 3u);
}

TEST_F(Uci, SearchMovesRestrictTheRoot) {
    engine.send("position startpos");
    GoResult result = go(engine, "go depth 4 searchmoves a0a1 i0i1");
    ASSERT_TRUE(result.answered);
    const std::string move = bestMoveOf(result.answer);
    EXPECT_TRUE(move == "a0a1" || move == "i0i1") << move;
}

TEST_F(Uci, AMoveWheneverOneExists) {
    // Bare kings are drawn by rule: UCCI has no move to give, UCI does.
    engine.send("position fen 3k5/9/9/9/9/9/9/9/9/4K4 w - - 0 1");
    GoResult drawn = go(engine, "go depth 3");
    ASSERT_TRUE(drawn.answered);
    EXPECT_NE(bestMoveOf(drawn.answer), "");
    // Mated: no legal move.
    engine.send("position fen 4k4/R8/1R7/9/9/9/9/9/9/3K5 w - - 0 1 moves b7b9");
    GoResult mated = go(engine, "go depth 3");
    ASSERT_TRUE(mated.answered);
    EXPECT_EQ(mated.answer, "bestmove (none)");
}

TEST_F(Uci, TheBookAnswersTimedPlayOnly) {
    engine.send("setoption name OwnBook value true");
    engine.send("position startpos");
    GoResult analysis = go(engine, "go depth 2");
    ASSERT_TRUE(analysis.answered);
    EXPECT_EQ(countLines(analysis.lines, "info string book move"), 0);
    GoResult timed = go(engine, "go wtime 60000 btime 60000");
    ASSERT_TRUE(timed.answered);
    if (countLines(timed.lines, "info string book move") == 0) GTEST_SKIP() << "no qvr.bin beside the program";
    EXPECT_EQ(timed.lines.size(), 2u);
}

}  // namespace
