// quorvel-uci over pipes, as UCI front ends and libraries drive it.
#include <gtest/gtest.h>

#include <cstdlib>
#include <set>
#include <sstream>

#include "play/play_util.h"

namespace {

using namespace play;

class Uci : public ::testing::Test {
protected:
    EngineProcess engine;
    std::vector<std::string> handshake;

    void SetUp() override { ASSERT_TRUE(startEngine(engine, Protocol::Uci, &handshake)); }

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
                               "option name Ponder type check default false",
                               "option name Skill Level type spin default 20 min 0 max 20",
                               "option name UCI_LimitStrength type check default false",
                               "option name UCI_Elo type spin default 1761 min 705 max 2500",
                               "option name Seed type spin default 0 min 0 max 2147483646"})
        EXPECT_NE(std::find(handshake.begin(), handshake.end(), option), handshake.end()) << option;

    engine.send("SETOPTION NAME multipv VALUE 500");
    engine.send("setoption name Skill Level value 21");
    engine.send("setoption name UCI_Elo value 0");
    engine.send("setoption name Frobnicate value 3");
    engine.send("frobnicate now");
    std::vector<std::string> said = linesUntilReady(engine);
    ASSERT_EQ(said.size(), 5u);
    EXPECT_EQ(said[0], "info string MultiPV set to 128");
    EXPECT_EQ(said[1], "info string Skill Level set to 20");
    EXPECT_EQ(said[2], "info string UCI_Elo set to 705");
    EXPECT_EQ(said[3], "info string unknown option: Frobnicate");
    EXPECT_EQ(said[4], "info string unknown command: frobnicate");
}

TEST_F(Uci, PositionKeepsWhatIsReadableAndSaysWhatIsNot) {
    engine.send("position startpos moves h2e2 h9g7");
    const std::string fen = fenShown();
    EXPECT_EQ(fen, "rnbakab1r/9/1c4nc1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR w - - 0 1");
    engine.send("position fen rnbakabnr/9/1c5c1/p1p1p1p1p/9/9 w - - 0 1");
    engine.send("position fen rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNX w - - 0 1");
    std::vector<std::string> said = linesUntilReady(engine);
    ASSERT_EQ(said.size(), 2u);
    EXPECT_EQ(said[0].rfind("info string unreadable FEN", 0), 0u) << said[0];
    EXPECT_EQ(fenShown(), fen);

    // XBoard's letters and no dash fields; the moves stop at the first illegal one.
    engine.send("position fen rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR w 0 1 moves h2e2 h2e3 h9g7");
    said = linesUntilReady(engine);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "info string illegal move h2e3: it and the moves after it are ignored");
    EXPECT_EQ(fenShown(), "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1");
}

TEST_F(Uci, EachFormOfGoAnswersWithALegalMove) {
    engine.send("position startpos moves h2e2");
    Position pos;
    ASSERT_TRUE(playMoves(pos, StartFen, {"h2e2"}));

    GoResult depth = go(engine, "go depth 5");
    EXPECT_NE(legalAnswer(pos, depth), 0) << depth.answer;
    ASSERT_FALSE(infoOf(depth, 5).empty());
    const std::string info = infoOf(depth, 5).back();
    EXPECT_NE(info.find(" score cp "), std::string::npos) << info;
    EXPECT_NE(field(info, "nodes"), "");
    EXPECT_NE(field(info, "nps"), "");
    EXPECT_NE(field(info, "time"), "");
    EXPECT_NE(info.find(" pv " + bestMoveOf(depth.answer)), std::string::npos) << info;

    // Room for a loaded machine on top of the engine's own limit.
    const int slack = 200;
    struct Case { const char* go; int64_t maximum; };
    const Case cases[] = {{"go nodes 20000", 20000},
                          {"go movetime 300", 300 + slack},
                          {"go wtime 2000 btime 2000 winc 50 binc 50 movestogo 10", 1000 + slack}};
    for (const Case& c : cases) {
        GoResult result = go(engine, c.go);
        EXPECT_NE(legalAnswer(pos, result), 0) << c.go << ": " << result.answer;
        EXPECT_LE(result.milliseconds, c.maximum) << c.go;
    }
}

TEST_F(Uci, MateScoresInMovesForBothSides) {
    const std::string mateInTwo = "position fen 4k4/9/R8/1R7/9/9/9/9/9/3K5 w - - 0 1";
    struct Case { std::string position; const char* go; const char* score; };
    const Case cases[] = {{mateInTwo, "go mate 2", " score mate 2 "},
                          {mateInTwo + " moves a7a8", "go depth 4", " score mate -1 "}};
    for (const Case& c : cases) {
        engine.send(c.position);
        const std::string report = lastReport(go(engine, c.go));
        EXPECT_NE(report.find(c.score), std::string::npos) << report;
    }
}

TEST_F(Uci, InfiniteAndPonderHoldTheirAnswer) {
    // Mate in one: the search is over at once, the answer waits for its release.
    engine.send("position fen 4k4/R8/1R7/9/9/9/9/9/9/3K5 w - - 0 1");
    for (const auto& held : {std::make_pair("go infinite", "stop"),
                             std::make_pair("go ponder wtime 1000 btime 1000", "ponderhit")}) {
        engine.send(held.first);
        EXPECT_TRUE(noAnswerFor(engine, 400)) << held.first;
        GoResult released = go(engine, held.second);
        EXPECT_LT(released.milliseconds, 300) << held.first;
        EXPECT_EQ(bestMoveOf(released.answer), "b7b9") << held.first;
    }
}

TEST_F(Uci, MultiPvReportsTheBestLinesEachScored) {
    engine.send("setoption name MultiPV value 3");
    engine.send("position startpos");
    GoResult result = go(engine, "go depth 4");
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

TEST_F(Uci, LinesAreLegalMovesOnlyWhenFewerThanAskedFor) {
    // In check with one legal reply: neither MultiPV nor a weak level may
    // offer the moves the position refuses.
    const char* checked = "position fen 3k5/R8/9/9/9/3r5/9/9/9/3K5 w - - 0 1";
    engine.send("setoption name MultiPV value 4");
    engine.send(checked);
    GoResult result = go(engine, "go depth 3");
    EXPECT_EQ(infoOf(result, 3, 1).size(), 1u);
    EXPECT_TRUE(infoOf(result, 3, 2).empty());
    engine.send("setoption name MultiPV value 1");
    engine.send("setoption name Skill Level value 0");
    for (int seed = 1; seed <= 5; seed++) {
        engine.send("setoption name Seed value " + std::to_string(seed));
        engine.send(checked);
        EXPECT_EQ(bestMoveOf(go(engine, "go depth 3").answer), "d0e0") << seed;
    }
}

TEST_F(Uci, AWeakLevelPlaysTheLineItReportsLastAndItsSeedReplaysIt) {
    engine.send("setoption name Skill Level value 1");
    engine.send("setoption name Seed value 11");
    engine.send("position startpos moves h2e2 h9g7 h0g2");
    std::string first;
    for (int game = 0; game < 2; game++) {
        engine.send("ucinewgame");
        GoResult result = go(engine, "go depth 9");
        const std::string report = lastReport(result);
        EXPECT_EQ(report.find(" multipv "), std::string::npos) << report;
        std::istringstream pv(report.substr(report.find(" pv ") + 4));
        std::string move, reply;
        pv >> move >> reply;
        EXPECT_EQ(result.answer, "bestmove " + move + " ponder " + reply) << report;
        if (game == 0) first = result.answer;
        else EXPECT_EQ(result.answer, first);
    }
}

TEST_F(Uci, SearchMovesRestrictTheRoot) {
    engine.send("position startpos");
    const std::string move = bestMoveOf(go(engine, "go depth 4 searchmoves a0a1 i0i1").answer);
    EXPECT_TRUE(move == "a0a1" || move == "i0i1") << move;
}

TEST_F(Uci, AMoveWheneverOneExists) {
    // Bare kings are drawn by rule: UCCI has no move to give, UCI does.
    engine.send("position fen 3k5/9/9/9/9/9/9/9/9/4K4 w - - 0 1");
    EXPECT_NE(bestMoveOf(go(engine, "go depth 3").answer), "");
    // Mated: no legal move.
    engine.send("position fen 4k4/R8/1R7/9/9/9/9/9/9/3K5 w - - 0 1 moves b7b9");
    EXPECT_EQ(go(engine, "go depth 3").answer, "bestmove (none)");
}

TEST_F(Uci, TheBookAnswersTimedPlayOnly) {
    engine.send("setoption name OwnBook value true");
    engine.send("position startpos");
    EXPECT_EQ(countLines(go(engine, "go depth 2").lines, "info string book move"), 0);
    GoResult timed = go(engine, "go wtime 60000 btime 60000");
    if (countLines(timed.lines, "info string book move") == 0) GTEST_SKIP() << "no qvr.bin beside the program";
    EXPECT_EQ(timed.lines.size(), 2u);
}

}  // namespace
