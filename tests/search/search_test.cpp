#include <gtest/gtest.h>

#include "search/hash.h"
#include "search/search.h"
#include "search_setup.h"

namespace {

// Black king e9, red king d0: the positions below keep the kings off one file.
const char* const MateInOne = "4k4/R8/1R7/9/9/9/9/9/9/3K5 w";        // b7b9
const char* const MateInTwo = "4k4/9/R8/1R7/9/9/9/9/9/3K5 w";        // e.g. a7a8 Kf9, b6b9
const char* const Mated = "1R2k4/R8/9/9/9/9/9/9/9/3K5 b";
const char* const Quiet = "4k4/9/9/9/9/9/9/9/R8/3K5 w";               // no captures, no check
// Rook a0 can only take a pawn on its own half defended by the black rook (capture score 0).
const char* const BadCaptureOnly = "3k5/9/9/p7r/9/9/9/9/9/R3K4 w";
const char* const Middlegame = "r1bakab1r/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKAB1R w";

// A minimal root: iterative deepening over full-window searches from ply 0.
int deepen(int maxDepth) {
    int value = 0;
    for (int d = 1; d <= maxDepth && value != NoValue; d++) value = alphaBeta(Engine, -MateValue, MateValue, d, PvNode, AfterMove);
    return value;
}

class SearchTest : public ::testing::Test {
protected:
    void TearDown() override {
        Engine.pollHook = nullptr;
        Engine.pollEnabled = false;
    }
};

TEST_F(SearchTest, FindsMateInOneAndMateInTwo) {
    startSearchAt(MateInOne);
    EXPECT_EQ(deepen(2), MateValue - 1);
    EXPECT_EQ(probeHashMove(Engine.table, Engine.position), textToMove("b7b9"));
    EXPECT_EQ(Engine.position.moveCount, Engine.position.rootCount);

    startSearchAt(MateInTwo);
    EXPECT_EQ(deepen(4), MateValue - 3);
    // Several first moves mate in two; whichever is stored must leave black mated in two plies.
    const int first = probeHashMove(Engine.table, Engine.position);
    ASSERT_TRUE(Engine.position.makeMove(first));
    EXPECT_EQ(alphaBeta(Engine, -MateValue, MateValue, 3, PvNode, AfterMove), 3 - MateValue);
}

TEST_F(SearchTest, AMatedSideScoresPlyMinusMate) {
    startSearchAt(Mated);
    EXPECT_EQ(alphaBeta(Engine, -MateValue, MateValue, 3, PvNode, AfterMove), -MateValue);
    EXPECT_EQ(quiesce(Engine, -MateValue, MateValue), -MateValue);
    Engine.position.rootCount -= 3;
    EXPECT_EQ(alphaBeta(Engine, -MateValue, MateValue, 3, NonPvNode, AfterMove), 3 - MateValue);
    EXPECT_EQ(quiesce(Engine, -MateValue, MateValue), 3 - MateValue);
}

TEST_F(SearchTest, QuiescenceReturnsTheEvaluationOfAQuietPosition) {
    startSearchAt(Quiet);
    const int eval = evaluate(Engine.position, Engine.evaluation, -MateValue, MateValue);
    EXPECT_EQ(quiesce(Engine, -MateValue, MateValue), eval);
    EXPECT_EQ(Engine.nodeCount, 1);

    // Captures that lose material on their face are not even tried.
    startSearchAt(BadCaptureOnly);
    EXPECT_EQ(quiesce(Engine, -MateValue, MateValue), evaluate(Engine.position, Engine.evaluation, -MateValue, MateValue));
    EXPECT_EQ(Engine.nodeCount, 1);
}

TEST_F(SearchTest, StandPatAtOrAboveBetaCutsOffAtOnce) {
    startSearchAt("4k4/9/9/9/8r/9/9/9/9/3K4R w");  // red rook i0 could take the rook on i5
    const int eval = evaluate(Engine.position, Engine.evaluation, -MateValue, MateValue);
    EXPECT_EQ(quiesce(Engine, eval - 10, eval), eval);
    EXPECT_EQ(Engine.nodeCount, 1);
    Engine.nodeCount = 0;
    EXPECT_GT(quiesce(Engine, eval, eval + 500), eval);
    EXPECT_GT(Engine.nodeCount, 1);
}

TEST_F(SearchTest, DrawnPositionsScoreTheDrawScore) {
    startSearchAt("3akab2/9/4b4/9/9/9/9/4B4/9/2BAKA3 w");
    EXPECT_EQ(alphaBeta(Engine, -MateValue, MateValue, 4, PvNode, AfterMove), -20);
    EXPECT_EQ(quiesce(Engine, -MateValue, MateValue), -20);
    Engine.position.rootCount -= 1;
    EXPECT_EQ(alphaBeta(Engine, -MateValue, MateValue, 4, PvNode, AfterMove), 20);

    startSearchAt(Quiet);
    Engine.position.history[Engine.position.moveCount - 1].quietCount = 100;
    storeHash(Engine.table, Engine.position, HashExact, 300, 20, 0);  // the rule comes before the table
    EXPECT_EQ(alphaBeta(Engine, -MateValue, MateValue, 4, NonPvNode, AfterMove), -20);
    EXPECT_EQ(quiesce(Engine, -MateValue, MateValue), -20);
}

TEST_F(SearchTest, PerpetualCheckLosesForTheChecker) {
    // Red checks with every move, black never does: the cycle is lost for red.
    startSearchAt("4k4/R8/9/9/9/9/9/9/9/3K5 w");
    ASSERT_TRUE(playMoves({"a8a9", "e9e8", "a9a8", "e8e9"}));
    EXPECT_EQ(alphaBeta(Engine, -MateValue, MateValue, 3, PvNode, AfterMove), 4 - 950);
    EXPECT_EQ(quiesce(Engine, -MateValue, MateValue), 4 - 950);

    startSearchAt("4k4/R8/9/9/9/9/9/9/9/3K5 w");
    ASSERT_TRUE(playMoves({"a8a9", "e9e8", "a9a8", "e8e9", "a8a9"}));
    EXPECT_EQ(alphaBeta(Engine, -MateValue, MateValue, 3, PvNode, AfterMove), 950 - 5);
}

TEST_F(SearchTest, PvNodesIgnoreHashCutoffs) {
    startSearchAt(Quiet);
    storeHash(Engine.table, Engine.position, HashExact, 500, 30, 0);
    EXPECT_EQ(alphaBeta(Engine, 499, 500, 2, NonPvNode, AfterMove), 500);
    EXPECT_NE(alphaBeta(Engine, -MateValue, MateValue, 2, PvNode, AfterMove), 500);
}

TEST_F(SearchTest, NullMoveOnlyWithPruning) {
    startSearchAt(Middlegame);
    Engine.usePruning = false;
    alphaBeta(Engine, -401, -400, 6, NonPvNode, AfterMove);
    EXPECT_EQ(Engine.nullReductionCount, 0);
    const int64_t fullNodes = Engine.nodeCount;

    startSearchAt(Middlegame);
    alphaBeta(Engine, -401, -400, 6, NonPvNode, AfterMove);
    EXPECT_GT(Engine.nullReductionCount, 0);
    EXPECT_LT(Engine.nodeCount, fullNodes);
}

TEST_F(SearchTest, TheSameSearchTwiceGivesTheSameResult) {
    startSearchAt(Middlegame);
    const int first = deepen(5);
    const int64_t firstNodes = Engine.nodeCount;
    const int firstMove = probeHashMove(Engine.table, Engine.position);

    startSearchAt(Middlegame);
    EXPECT_EQ(deepen(5), first);
    EXPECT_EQ(Engine.nodeCount, firstNodes);
    EXPECT_EQ(probeHashMove(Engine.table, Engine.position), firstMove);
    EXPECT_NE(firstMove, 0);
}

TEST_F(SearchTest, AFullHistoryRefusesEveryMoveWithoutOverrun) {
    startSearchAt(Middlegame);
    Position& pos = Engine.position;
    // Null-move records keep the repetition walk short.
    for (int i = pos.moveCount; i < MaxHistory; i++) pos.history[i] = MoveRecord{0, 0, 0};
    pos.moveCount = MaxHistory;
    pos.rootCount = MaxHistory - 3;
    EXPECT_EQ(alphaBeta(Engine, -MateValue, MateValue, 4, NonPvNode, AfterMove), 3 - MateValue);
    EXPECT_EQ(alphaBeta(Engine, -MateValue, MateValue, 4, PvNode, AfterMove), 3 - MateValue);
    EXPECT_EQ(pos.moveCount, MaxHistory);
}

int StopAtOnce(SearchEngine&) { return 1; }

TEST_F(SearchTest, AStopUnwindsWithNoValueAndRestoresThePosition) {
    startSearchAt(Middlegame);
    Engine.pollEnabled = true;
    Engine.pollHook = StopAtOnce;
    const uint32_t key = Engine.position.key;
    EXPECT_EQ(deepen(12), NoValue);
    EXPECT_EQ(Engine.stopped, 1);
    // The first poll, soon after 4096 nodes, stopped it.
    EXPECT_GE(Engine.nodeCount, PollInterval);
    EXPECT_EQ(Engine.nextPoll, Engine.nodeCount + PollInterval);
    EXPECT_EQ(Engine.position.moveCount, Engine.position.rootCount);
    EXPECT_EQ(Engine.position.key, key);

    // Without a hook the poll never stops the search.
    startSearchAt(Middlegame);
    Engine.pollEnabled = true;
    EXPECT_NE(deepen(5), NoValue);
    EXPECT_EQ(Engine.stopped, 0);
}

}  // namespace
