#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstring>
#include <vector>

#include "search/ordering.h"
#include "search_setup.h"

namespace {

MoveList listOf(std::initializer_list<int> scores) {
    MoveList list;
    std::memset(&list, 0, sizeof list);
    int move = 1;
    for (int score : scores) {
        list.entries[list.moveTotal].move = uint16_t(move++);
        list.entries[list.moveTotal].score = uint16_t(score);
        list.moveTotal++;
    }
    return list;
}

std::vector<int> movesOf(const MoveList& list) {
    std::vector<int> moves;
    for (int i = list.nextIndex; i < list.moveTotal; i++) moves.push_back(list.entries[i].move);
    return moves;
}

TEST(Ordering, ShellSortGapsDecideTheOrderOfEqualScores) {
    // Five entries use gap 4, which carries entry 0 to the back.
    MoveList five = listOf({1, 1, 1, 1, 2});
    sortMoves(five);
    EXPECT_EQ(movesOf(five), (std::vector<int>{5, 2, 3, 4, 1}));
    // Four entries use gap 1 only: a plain insertion sort keeps equal scores in order.
    MoveList four = listOf({1, 1, 1, 2});
    sortMoves(four);
    EXPECT_EQ(movesOf(four), (std::vector<int>{4, 1, 2, 3}));

    MoveList tail = listOf({0, 3, 7, 5});
    tail.nextIndex = 1;
    sortMoves(tail);
    EXPECT_EQ(tail.entries[0].move, 1);
    EXPECT_EQ(movesOf(tail), (std::vector<int>{3, 4, 2}));
}

TEST(Ordering, HistoryScoresAreRescaledToSixteenBits) {
    std::memset(Engine.history.score, 0, sizeof Engine.history.score);
    for (int order = 0; order < 2; order++) {
        MoveList list = listOf({0, 0});
        Engine.history.score[1] = order == 0 ? 70000 : 10;
        Engine.history.score[2] = order == 0 ? 10 : 70000;
        scoreByHistory(list, Engine.history);
        EXPECT_EQ(list.entries[0].score, order == 0 ? 35000 : 5);
        EXPECT_EQ(list.entries[1].score, order == 0 ? 5 : 35000);
    }
    std::memset(Engine.history.score, 0, sizeof Engine.history.score);
}

TEST(Ordering, GoodMovesBecomeKillersAndHistorySaturates) {
    std::memset(Engine.history.score, 0, sizeof Engine.history.score);
    Move killers[2] = {0, 0};
    recordGoodMove(Engine.history, 100, 3, killers);
    recordGoodMove(Engine.history, 200, 2, killers);
    EXPECT_EQ(killers[0], 200);
    EXPECT_EQ(killers[1], 100);
    recordGoodMove(Engine.history, 100, 1, killers);
    recordGoodMove(Engine.history, 100, 1, killers);
    EXPECT_EQ(killers[0], 100);
    EXPECT_EQ(killers[1], 200);
    EXPECT_EQ(Engine.history.score[100], 11);

    Engine.history.score[300] = INT_MAX - 5;
    recordGoodMove(Engine.history, 300, 10, killers);
    EXPECT_EQ(Engine.history.score[300], INT_MAX);
    MoveList list = listOf({0});
    list.entries[0].move = 300;
    scoreByHistory(list, Engine.history);
    EXPECT_EQ(list.entries[0].score, 65535);
    std::memset(Engine.history.score, 0, sizeof Engine.history.score);
}

TEST(Ordering, RootListFilteringAndPromotion) {
    MoveList list = listOf({0, 0, 0, 0});
    const Move banned[2] = {2, 4};
    filterBannedMoves(list, 2, banned);
    EXPECT_EQ(movesOf(list), (std::vector<int>{1, 3}));

    list.entries[0].score = 5;
    list.entries[1].score = 0;
    promoteRootMove(list, 3);
    EXPECT_EQ(list.entries[0].score, 4);
    EXPECT_EQ(list.entries[1].score, 65535);
}

class PickerTest : public ::testing::Test {
protected:
    void SetUp() override { std::memset(Engine.history.score, 0, sizeof Engine.history.score); }
    void TearDown() override { std::memset(Engine.history.score, 0, sizeof Engine.history.score); }

    // Every move handed out, with the phase the list is in right after it.
    void drain(MoveList& list, Position& pos) {
        moves.clear();
        phases.clear();
        for (int m = nextMove(list, pos, Engine.history); m != 0; m = nextMove(list, pos, Engine.history)) {
            moves.push_back(m);
            phases.push_back(list.phase);
        }
    }
    std::vector<int> moves, phases;
};

TEST_F(PickerTest, NoCapturesGoesStraightToTheKillers) {
    startSearchAt("4k4/R8/9/9/9/9/9/9/9/3K5 w");
    MoveList list;
    list.phase = PhaseHash;
    list.hashMove = 0;
    list.killer1 = mv("a8a7");
    list.killer2 = 0;
    drain(list, Engine.position);
    ASSERT_FALSE(moves.empty());
    EXPECT_EQ(moves[0], mv("a8a7"));
    EXPECT_EQ(phases[0], PhaseKiller2);
    // The killer is handed out again among the quiet moves.
    EXPECT_EQ(std::count(moves.begin(), moves.end(), mv("a8a7")), 2);
}

TEST_F(PickerTest, PhasesHandOutHashMoveGoodCapturesKillersThenTheRest) {
    // Rook a3 takes an undefended cannon (score 4); rook i3 a defended one (score 1).
    startSearchAt("4k3r/9/c7c/9/9/9/R7R/9/9/3K5 w");
    Engine.history.score[mv("i3i7")] = 50;
    MoveList list;
    list.phase = PhaseHash;
    list.hashMove = mv("a3a4");
    list.killer1 = mv("a3a4");
    list.killer2 = mv("b0b1");  // nothing there
    drain(list, Engine.position);
    ASSERT_GE(moves.size(), 4u);
    EXPECT_EQ(moves[0], mv("a3a4"));
    EXPECT_EQ(phases[0], PhaseCaptures);
    EXPECT_EQ(moves[1], mv("a3a7"));
    EXPECT_EQ(phases[1], PhaseGoodCaptures);
    EXPECT_EQ(moves[2], mv("a3a4"));
    EXPECT_EQ(phases[2], PhaseKiller2);
    // The doubtful capture waits for the history phase, where its history leads.
    EXPECT_EQ(moves[3], mv("i3i7"));
    EXPECT_EQ(phases[3], PhaseRest);
    EXPECT_EQ(std::count(moves.begin(), moves.end(), mv("a3a4")), 3);
    EXPECT_EQ(std::count(moves.begin(), moves.end(), mv("a3a7")), 1);
    EXPECT_EQ(std::count(moves.begin(), moves.end(), mv("b0b1")), 0);
    EXPECT_EQ(list.moveTotal + 2, int(moves.size()));
}

TEST_F(PickerTest, EvasionsKeepOnlyLegalMoves) {
    const Move noKillers[2] = {0, 0};
    MoveList list;
    // Red king d0 in check from rook d5; only the rook block a4d4 helps.
    startSearchAt("4k4/9/9/9/3r5/R8/9/9/9/3K5 w");
    EXPECT_EQ(prepareEvasions(list, Engine.position, 0, noKillers, Engine.history), mv("a4d4"));
    EXPECT_EQ(list.moveTotal, 1);

    startSearchAt("4k4/9/9/9/3r5/9/9/9/9/3K5 w");
    EXPECT_EQ(prepareEvasions(list, Engine.position, 0, noKillers, Engine.history), 0);
    EXPECT_EQ(list.moveTotal, 0);

    // With the rook able to block or capture, the hash move and killers lead.
    startSearchAt("4k4/9/9/9/R2r5/9/9/9/9/3K5 w");
    const Move killers[2] = {Move(mv("a5b5")), Move(mv("a5d5"))};
    EXPECT_EQ(prepareEvasions(list, Engine.position, mv("d0d1"), killers, Engine.history), 0);
    ASSERT_GE(list.moveTotal, 2);
    EXPECT_EQ(list.entries[0].move, mv("d0d1"));
    EXPECT_EQ(list.entries[1].move, mv("a5d5"));
    EXPECT_EQ(list.phase, PhaseRest);
}

TEST(Ordering, GoodCapturePickFollowsThePhase) {
    const Position pos = fromFen("3k5/9/9/9/c8/9/9/9/9/R3K4 w - - 0 1");  // a0a5 good, a0a4 quiet
    const Position defended = fromFen("3k5/9/9/9/c7r/9/9/9/9/R3K4 w - - 0 1");  // a0a5 not good
    MoveList list{};
    EXPECT_EQ(isGoodCapturePick(list, pos, 0), 1);
    list.phase = PhaseGoodCaptures;
    EXPECT_EQ(isGoodCapturePick(list, defended, mv("a0a5")), 1);
    for (int phase : {PhaseKiller1, PhaseQuiet, PhaseRest}) {
        list.phase = phase;
        EXPECT_EQ(isGoodCapturePick(list, pos, mv("a0a5")), 0) << phase;
    }
    for (int phase : {PhaseHash, PhaseCaptures}) {
        list.phase = phase;
        EXPECT_EQ(isGoodCapturePick(list, pos, mv("a0a5")), 1);
        EXPECT_EQ(isGoodCapturePick(list, defended, mv("a0a5")), 0);
        EXPECT_EQ(isGoodCapturePick(list, pos, mv("a0a4")), 0);
    }
}

}  // namespace
