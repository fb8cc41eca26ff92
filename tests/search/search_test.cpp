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
    for (int d = 1; d <= maxDepth && value != NoValue; d++) value = alphaBeta(Context, -MateValue, MateValue, d, PvNode, AfterMove);
    return value;
}

class SearchTest : public ::testing::Test {
protected:
    void TearDown() override {
        PollHook = nullptr;
        Context.pollEnabled = false;
    }
};

TEST_F(SearchTest, FindsMateInOneAndMateInTwo) {
    startSearchAt(MateInOne);
    EXPECT_EQ(deepen(2), MateValue - 1);
    EXPECT_EQ(probeHashMove(Context.position), textToMove("b7b9"));
    EXPECT_EQ(Context.position.moveCount, Context.position.rootCount);

    startSearchAt(MateInTwo);
    EXPECT_EQ(deepen(4), MateValue - 3);
    // Several first moves mate in two; whichever is stored must leave black mated in two plies.
    const int first = probeHashMove(Context.position);
    ASSERT_TRUE(Context.position.makeMove(first));
    EXPECT_EQ(alphaBeta(Context, -MateValue, MateValue, 3, PvNode, AfterMove), 3 - MateValue);
}

TEST_F(SearchTest, AMatedSideScoresPlyMinusMate) {
    startSearchAt(Mated);
    EXPECT_EQ(alphaBeta(Context, -MateValue, MateValue, 3, PvNode, AfterMove), -MateValue);
    EXPECT_EQ(quiesce(Context, -MateValue, MateValue), -MateValue);
    Context.position.rootCount -= 3;
    EXPECT_EQ(alphaBeta(Context, -MateValue, MateValue, 3, NonPvNode, AfterMove), 3 - MateValue);
    EXPECT_EQ(quiesce(Context, -MateValue, MateValue), 3 - MateValue);
}

TEST_F(SearchTest, QuiescenceReturnsTheEvaluationOfAQuietPosition) {
    startSearchAt(Quiet);
    const int eval = evaluate(Context.position, -MateValue, MateValue);
    EXPECT_EQ(quiesce(Context, -MateValue, MateValue), eval);
    EXPECT_EQ(NodeCount, 1);

    // Captures that lose material on their face are not even tried.
    startSearchAt(BadCaptureOnly);
    EXPECT_EQ(quiesce(Context, -MateValue, MateValue), evaluate(Context.position, -MateValue, MateValue));
    EXPECT_EQ(NodeCount, 1);
}

TEST_F(SearchTest, StandPatAtOrAboveBetaCutsOffAtOnce) {
    startSearchAt("4k4/9/9/9/8r/9/9/9/9/3K4R w");  // red rook i0 could take the rook on i5
    const int eval = evaluate(Context.position, -MateValue, MateValue);
    EXPECT_EQ(quiesce(Context, eval - 10, eval), eval);
    EXPECT_EQ(NodeCount, 1);
    NodeCount = 0;
    EXPECT_GT(quiesce(Context, eval, eval + 500), eval);
    EXPECT_GT(NodeCount, 1);
}

TEST_F(SearchTest, DrawnPositionsScoreTheDrawScore) {
    startSearchAt("3akab2/9/4b4/9/9/9/9/4B4/9/2BAKA3 w");
    EXPECT_EQ(alphaBeta(Context, -MateValue, MateValue, 4, PvNode, AfterMove), -20);
    EXPECT_EQ(quiesce(Context, -MateValue, MateValue), -20);
    Context.position.rootCount -= 1;
    EXPECT_EQ(alphaBeta(Context, -MateValue, MateValue, 4, PvNode, AfterMove), 20);

    startSearchAt(Quiet);
    Context.position.history[Context.position.moveCount - 1].quietCount = 100;
    storeHash(Context.position, HashExact, 300, 20, 0);  // the rule comes before the table
    EXPECT_EQ(alphaBeta(Context, -MateValue, MateValue, 4, NonPvNode, AfterMove), -20);
    EXPECT_EQ(quiesce(Context, -MateValue, MateValue), -20);
}

TEST_F(SearchTest, PerpetualCheckLosesForTheChecker) {
    // Red checks with every move, black never does: the cycle is lost for red.
    startSearchAt("4k4/R8/9/9/9/9/9/9/9/3K5 w");
    ASSERT_TRUE(playMoves({"a8a9", "e9e8", "a9a8", "e8e9"}));
    EXPECT_EQ(alphaBeta(Context, -MateValue, MateValue, 3, PvNode, AfterMove), 4 - 950);
    EXPECT_EQ(quiesce(Context, -MateValue, MateValue), 4 - 950);

    startSearchAt("4k4/R8/9/9/9/9/9/9/9/3K5 w");
    ASSERT_TRUE(playMoves({"a8a9", "e9e8", "a9a8", "e8e9", "a8a9"}));
    EXPECT_EQ(alphaBeta(Context, -MateValue, MateValue, 3, PvNode, AfterMove), 950 - 5);
}

TEST_F(SearchTest, PvNodesIgnoreHashCutoffs) {
    startSearchAt(Quiet);
    storeHash(Context.position, HashExact, 500, 30, 0);
    EXPECT_EQ(alphaBeta(Context, 499, 500, 2, NonPvNode, AfterMove), 500);
    EXPECT_NE(alphaBeta(Context, -MateValue, MateValue, 2, PvNode, AfterMove), 500);
}

TEST_F(SearchTest, NullMoveOnlyWithPruning) {
    startSearchAt(Middlegame);
    Context.usePruning = false;
    alphaBeta(Context, -401, -400, 6, NonPvNode, AfterMove);
    EXPECT_EQ(NullReductionCount, 0);
    const int64_t fullNodes = NodeCount;

    startSearchAt(Middlegame);
    alphaBeta(Context, -401, -400, 6, NonPvNode, AfterMove);
    EXPECT_GT(NullReductionCount, 0);
    EXPECT_LT(NodeCount, fullNodes);
}

TEST_F(SearchTest, TheSameSearchTwiceGivesTheSameResult) {
    startSearchAt(Middlegame);
    const int first = deepen(5);
    const int64_t firstNodes = NodeCount;
    const int firstMove = probeHashMove(Context.position);

    startSearchAt(Middlegame);
    EXPECT_EQ(deepen(5), first);
    EXPECT_EQ(NodeCount, firstNodes);
    EXPECT_EQ(probeHashMove(Context.position), firstMove);
    EXPECT_NE(firstMove, 0);
}

TEST_F(SearchTest, AFullHistoryRefusesEveryMoveWithoutOverrun) {
    startSearchAt(Middlegame);
    Position& pos = Context.position;
    // Null-move records keep the repetition walk short.
    for (int i = pos.moveCount; i < MaxHistory; i++) pos.history[i] = MoveRecord{0, 0, 0};
    pos.moveCount = MaxHistory;
    pos.rootCount = MaxHistory - 3;
    EXPECT_EQ(alphaBeta(Context, -MateValue, MateValue, 4, NonPvNode, AfterMove), 3 - MateValue);
    EXPECT_EQ(alphaBeta(Context, -MateValue, MateValue, 4, PvNode, AfterMove), 3 - MateValue);
    EXPECT_EQ(pos.moveCount, MaxHistory);
}

int StopAtOnce() { return 1; }

TEST_F(SearchTest, AStopUnwindsWithNoValueAndRestoresThePosition) {
    startSearchAt(Middlegame);
    Context.pollEnabled = true;
    PollHook = StopAtOnce;
    const uint32_t key = Context.position.key;
    EXPECT_EQ(deepen(12), NoValue);
    EXPECT_EQ(StopSearch, 1);
    // The first poll, soon after 4096 nodes, stopped it.
    EXPECT_GE(NodeCount, PollInterval);
    EXPECT_EQ(NextPoll, NodeCount + PollInterval);
    EXPECT_EQ(Context.position.moveCount, Context.position.rootCount);
    EXPECT_EQ(Context.position.key, key);

    // Without a hook the poll never stops the search.
    startSearchAt(Middlegame);
    Context.pollEnabled = true;
    EXPECT_NE(deepen(5), NoValue);
    EXPECT_EQ(StopSearch, 0);
}

}  // namespace
