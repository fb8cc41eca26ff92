// The engine's searches under XBoard: time controls and depth, thinking
// output, ping and move-now during a search, pondering, analysis, and the
// results the engine declares.
#include <sstream>
#include <thread>

#include "xboard/xboard_util.h"

namespace {

using namespace xboard;

// Red mates only with b0b9: the rook on a8 holds the eighth rank.
const char* const MateInOne = "3k5/R8/9/9/9/9/9/9/9/1R3K3 w - - 0 1";
// Black has king, advisors and bishops against two rooks, two knights and two cannons.
const char* const Hopeless = "2bakab2/9/9/9/9/9/9/9/9/RNCK1CNR1 b - - 0 1";
// Kings, advisors, bishops and five pawns a side: little material, a level score.
const char* const LevelEnding = "2bakab2/9/9/p1p1p1p1p/9/9/P1P1P1P1P/9/9/2BAKAB2 w - - 0 1";

void sleepFor(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }

int firstNumber(const std::string& line) { return std::atoi(line.c_str()); }

// The first move of a thinking line's principal variation.
std::string pvStart(const std::string& line) {
    std::istringstream words(line);
    std::string word;
    for (int i = 0; i < 5 && words >> word; i++) {}
    return word;
}

// The reply the engine predicts, as hint tells it; the lines before it go to seen.
std::string hint(EngineProcess& engine, std::vector<std::string>* seen = nullptr) {
    engine.send("hint");
    std::vector<std::string> lines;
    if (!engine.waitFor("Hint: ", &lines)) return "";
    if (seen != nullptr) seen->insert(seen->end(), lines.begin(), lines.end());
    return lines.back().substr(6);
}

TEST_F(Xboard, StAndTheClockAreNeverOverrun) {
    struct Case { std::vector<const char*> lines; int64_t maximum; };
    const Case cases[] = {
        // Half a second with an increment of 0.1 s, then 0.8 s for 40 moves.
        {{"level 0 0:10 0.1", "time 50", "otim 1000"}, 500},
        {{"level 40 1 0", "time 80"}, 800},
        {{"st 0.5"}, 600},
    };
    for (const Case& c : cases) {
        for (const char* line : c.lines) engine.send(line);
        auto start = Clock::now();
        engine.send("go");
        ASSERT_NE(nextMove(), "") << c.lines.front();
        EXPECT_LT(millisecondsSince(start), c.maximum) << c.lines.front();
    }
}

TEST_F(Xboard, ThinkingLinesFollowTheProtocolAndSdLimitsTheirDepth) {
    engine.send("sd 4");
    engine.send("go");
    std::vector<std::string> seen;
    ASSERT_NE(nextMove(&seen), "");
    seen.pop_back();
    ASSERT_FALSE(seen.empty());
    for (const auto& line : seen) {
        EXPECT_TRUE(isThinking(line)) << line;
        EXPECT_LE(firstNumber(line), 4) << line;
    }
    EXPECT_EQ(firstNumber(seen.back()), 4);
}

TEST_F(Xboard, AMateIsScoredAsHundredThousandPlusMovesAndClaimedAfterTheMove) {
    engine.send(std::string("setboard ") + MateInOne);
    board.setFromFen(MateInOne);
    engine.send("sd 3");
    engine.send("go");
    std::vector<std::string> seen;
    EXPECT_EQ(nextMove(&seen), "b0b9");
    ASSERT_GE(seen.size(), 2u);
    EXPECT_NE(seen[seen.size() - 2].find(" 100001 "), std::string::npos) << seen[seen.size() - 2];
    EXPECT_EQ(nextLine(engine), "1-0 {Black has no legal moves}");
}

TEST_F(Xboard, AWeakLevelPlaysTheLineItShowsLast) {
    engine.send("option Skill Level=2");
    engine.send("option Seed=4");
    engine.send("sd 8");
    userMove("h2e2");
    std::vector<std::string> seen;
    const std::string move = nextMove(&seen);
    std::string last;
    for (const auto& line : seen)
        if (isThinking(line)) last = line;
    EXPECT_EQ(firstNumber(last), 2) << last;
    EXPECT_EQ(pvStart(last), move) << last;
}

TEST_F(Xboard, PingDuringTheEnginesMoveIsAnsweredAfterTheMove) {
    engine.send("nopost");
    engine.send("st 0.4");
    engine.send("go");
    engine.send("ping 99");
    EXPECT_EQ(nextLine(engine).substr(0, 5), "move ");
    EXPECT_EQ(nextLine(engine), "pong 99");
}

TEST_F(Xboard, MoveNowPlaysAtOnceAndResultStopsWithoutAMove) {
    engine.send("st 30");
    engine.send("go");
    sleepFor(300);
    auto start = Clock::now();
    engine.send("?");
    ASSERT_NE(nextMove(), "");
    EXPECT_LT(millisecondsSince(start), 1000);

    userMove(anyMoveBut());
    sleepFor(300);
    engine.send("result 0-1 {Red resigns}");
    for (const auto& line : untilPong()) EXPECT_NE(line.substr(0, 5), "move ") << line;
}

TEST_F(Xboard, PonderingOnThePredictedReplyPlaysFromItOnAHitAndSearchesAMiss) {
    engine.send("hard");
    engine.send("st 0.5");
    engine.send("go");
    ASSERT_NE(nextMove(), "");
    std::vector<std::string> seen;
    const std::string predicted = hint(engine, &seen);
    ASSERT_NE(predicted, "");
    // Pondering answers ping at once and shows lines that begin with the predicted reply.
    auto start = Clock::now();
    for (const auto& line : untilPong()) seen.push_back(line);
    EXPECT_LT(millisecondsSince(start), 300);
    int pondering = 0;
    for (const auto& line : seen) pondering += isThinking(line) && pvStart(line) == predicted;
    EXPECT_GT(pondering, 0);

    engine.send("time 1000");
    engine.send("otim 1000");
    start = Clock::now();
    userMove(predicted);
    ASSERT_NE(nextMove(), "");
    EXPECT_LT(millisecondsSince(start), 600);

    engine.send("nopost");
    const std::string other = anyMoveBut(hint(engine));
    sleepFor(200);
    userMove(other);
    EXPECT_NE(nextMove(), "");
    // Easy ends pondering: ping is then answered by the idle engine.
    engine.send("easy");
    EXPECT_TRUE(untilPong().empty());
}

TEST_F(Xboard, AnalysisFollowsTheBoardUntilExit) {
    engine.send("analyze");
    std::vector<std::string> seen;
    ASSERT_TRUE(engine.waitFor("1 ", &seen));
    engine.send(".");
    ASSERT_TRUE(engine.waitFor("stat01: ", &seen));
    EXPECT_TRUE(std::regex_match(seen.back(), std::regex("^stat01: \\d+ \\d+ \\d+ \\d+ 44$"))) << seen.back();

    // Lines after the pong are the new position's: black to move after h2e2.
    userMove("h2e2");
    untilPong();
    std::string line = nextLine(engine);
    ASSERT_TRUE(isThinking(line)) << line;
    EXPECT_NE(legalMoveOfText(board, pvStart(line).c_str()), 0) << line;

    // A command that leaves the position as it is does not end the analysis.
    engine.send("option Clear Hash");
    untilPong();
    line = nextLine(engine);
    EXPECT_TRUE(isThinking(line)) << line;

    engine.send("exit");
    untilPong();
    std::vector<std::string> after;
    EXPECT_FALSE(engine.waitFor("", &after, 300)) << after.front();
}

TEST_F(Xboard, ExcludedMovesAreLeftOutOfAnalysis) {
    engine.send(std::string("setboard ") + MateInOne);
    engine.send("exclude b0b9");
    engine.send("analyze");
    sleepFor(300);
    int lines = 0;
    for (const auto& line : untilPong()) {
        if (!isThinking(line)) continue;
        lines++;
        EXPECT_NE(pvStart(line), "b0b9") << line;
    }
    EXPECT_GT(lines, 0);

    engine.send("include all");
    sleepFor(300);
    engine.send("exit");
    bool mate = false;
    for (const auto& line : untilPong()) mate |= isThinking(line) && pvStart(line) == "b0b9";
    EXPECT_TRUE(mate);
}

TEST_F(Xboard, AHopelessPositionIsResignedUnlessResignIsOff) {
    engine.send(std::string("setboard ") + Hopeless);
    board.setFromFen(Hopeless);
    engine.send("nopost");
    engine.send("sd 3");
    engine.send("go");
    std::vector<std::string> seen;
    ASSERT_TRUE(engine.waitFor("resign", &seen));
    EXPECT_EQ(seen.size(), 1u);

    engine.send("option Resign=0");
    engine.send("go");
    EXPECT_NE(nextMove(), "");
}

TEST_F(Xboard, ADrawOfferIsTakenWhereTheEnginesRuleAllows) {
    engine.send("nopost");
    engine.send("sd 4");
    engine.send("draw");
    engine.send("go");
    std::vector<std::string> seen;
    ASSERT_NE(nextMove(&seen), "");
    EXPECT_EQ(seen.size(), 1u) << seen.front();  // no offer with all the pieces on the board

    engine.send(std::string("setboard ") + LevelEnding);
    board.setFromFen(LevelEnding);
    engine.send("sd 5");
    engine.send("draw");
    engine.send("go");
    seen.clear();
    ASSERT_NE(nextMove(&seen), "");
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen.front(), "offer draw");
}

}  // namespace
