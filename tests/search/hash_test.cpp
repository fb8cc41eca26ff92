#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "search/hash.h"
#include "search_setup.h"

namespace {

int freshness(const HashEntry& e) { return freshnessOf(Engine.table, e); }
int upperDepth(const HashEntry& e) { return upperDepthOf(e); }
int lowerDepth(const HashEntry& e) { return lowerDepthOf(e); }

// A position reduced to what the table reads: key, locks, ply and value sums.
Position keyedPosition(uint32_t key, uint32_t lock1, uint32_t lock2, int ply = 0) {
    Position pos;
    std::memset(&pos, 0, sizeof pos);
    pos.key = key;
    pos.lock1 = lock1;
    pos.lock2 = lock2;
    pos.rootCount = 1;
    pos.moveCount = 1 + ply;
    return pos;
}

// probeHash walks stored moves on the position it is given; a copy will do.
int probe(Position pos, int alpha, int beta, int depth, NullState previous, int& move) {
    return probeHash(Engine.table, pos, alpha, beta, depth, previous, move);
}

HashEntry& slot(uint32_t index) { return Engine.table.entries[index & Engine.table.mask]; }

class HashTableTest : public ::testing::Test {
protected:
    void SetUp() override { useSmallTable(); }
};

TEST_F(HashTableTest, AllocationSizesTheMaskAndZeroesTheTable) {
    releaseHashTable(Engine.table);
    allocateHashTable(Engine.table, 10);
    EXPECT_EQ(Engine.table.mask, 63u);
    for (uint32_t i = 0; i <= Engine.table.mask; i++) EXPECT_EQ(Engine.table.entries[i].lock1 | Engine.table.entries[i].info, 0u);
    // Too small a request still leaves a full probe window.
    releaseHashTable(Engine.table);
    allocateHashTable(Engine.table, 2);
    EXPECT_EQ(Engine.table.mask, 3u);
    releaseHashTable(Engine.table);
    allocateHashTable(Engine.table, 20);
    EXPECT_EQ(Engine.table.mask, 0xFFFFu);
}

TEST_F(HashTableTest, ExactStoreSetsBothBoundsAndAMoveZeroStoreKeepsTheMove) {
    Position pos = keyedPosition(100, 7, 9);
    storeHash(Engine.table, pos, HashExact, 37, 4, 0x1234);
    const HashEntry& e = slot(100);
    EXPECT_EQ(e.lock1, 7u);
    EXPECT_EQ(e.lock2, 9u);
    EXPECT_EQ(e.move, 0x1234);
    EXPECT_EQ(freshness(e), 15);
    EXPECT_EQ(upperDepth(e), 4);
    EXPECT_EQ(lowerDepth(e), 4);
    EXPECT_EQ(upperValueOf(e), 37);
    EXPECT_EQ(lowerValueOf(e), 37);

    storeHash(Engine.table, pos, HashLower, 40, 5, 0);
    EXPECT_EQ(slot(100).move, 0x1234);
    EXPECT_EQ(lowerDepth(slot(100)), 5);

    Position other = keyedPosition(200, 1, 2);
    storeHash(Engine.table, other, HashUpper, -5, 2, 0);
    EXPECT_EQ(slot(200).move, 0);
    EXPECT_EQ(lowerDepth(slot(200)), 0);
    EXPECT_EQ(upperDepth(slot(200)), 2);
}

TEST_F(HashTableTest, ADeeperBoundStaysUnlessTheNewOneIsAtLeastAsTight) {
    Position pos = keyedPosition(300, 3, 4);
    storeHash(Engine.table, pos, HashExact, 100, 5, 0);

    storeHash(Engine.table, pos, HashLower, 90, 3, 0);
    EXPECT_EQ(lowerValueOf(slot(300)), 100);
    EXPECT_EQ(lowerDepth(slot(300)), 5);
    storeHash(Engine.table, pos, HashLower, 100, 3, 0);
    EXPECT_EQ(lowerDepth(slot(300)), 3);

    storeHash(Engine.table, pos, HashUpper, 110, 3, 0);
    EXPECT_EQ(upperValueOf(slot(300)), 100);
    EXPECT_EQ(upperDepth(slot(300)), 5);
    storeHash(Engine.table, pos, HashUpper, 95, 3, 0);
    EXPECT_EQ(upperValueOf(slot(300)), 95);
    EXPECT_EQ(upperDepth(slot(300)), 3);
}

TEST_F(HashTableTest, MateScoresAreHeldRelativeToTheNode) {
    storeHash(Engine.table, keyedPosition(400, 5, 6, 4), HashLower, 980, 1, 0);
    EXPECT_EQ(lowerValueOf(slot(400)), 984);
    int move = -1;
    // Far too shallow, but a mate score cuts off at any depth.
    EXPECT_EQ(probe(keyedPosition(400, 5, 6, 6), -1000, 900, 20, AfterMove, move), 978);
    EXPECT_EQ(move, 0);

    // A rule score is path dependent: stored, but never used.
    storeHash(Engine.table, keyedPosition(500, 5, 7, 5), HashExact, -930, 10, 0);
    EXPECT_EQ(lowerValueOf(slot(500)), -935);
    EXPECT_EQ(probe(keyedPosition(500, 5, 7, 5), 1000, 1001, 1, AfterMove, move), NoValue);
    EXPECT_EQ(probe(keyedPosition(500, 5, 7, 5), -1000, -999, 1, AfterMove, move), NoValue);
}

// Writes a lower bound of depth 2 and an upper bound of depth upper (none if 0)
// into the empty slot index.
void place(uint32_t index, int upper) {
    Position pos = keyedPosition(index, 50 + index, 60 + index);
    storeHash(Engine.table, pos, HashLower, 0, 2, 0);
    if (upper != 0) storeHash(Engine.table, pos, HashUpper, 0, upper, 0);
}

void age(int times) {
    for (int i = 0; i < times; i++) ageHashTable(Engine.table);
}

TEST_F(HashTableTest, TheCheapestForeignSlotIsReplacedTheEarliestOfEqualOnes) {
    place(601, 6);
    place(602, 6);
    age(6);
    place(603, 0);
    age(6);
    place(600, 1);
    const int fresh[4] = {15, 3, 3, 9};
    for (int i = 0; i < 4; i++) EXPECT_EQ(freshness(slot(600 + i)), fresh[i]);
    storeHash(Engine.table, keyedPosition(600, 77, 88), HashExact, 0, 1, 0);
    EXPECT_EQ(slot(601).lock1, 77u);
    EXPECT_EQ(slot(602).lock1, 50u + 602);

    // Windows wrap at the end of the table.
    storeHash(Engine.table, keyedPosition(Engine.table.mask, 11, 12), HashLower, 5, 2, 0);
    storeHash(Engine.table, keyedPosition(Engine.table.mask, 13, 14), HashLower, 6, 2, 0);
    EXPECT_EQ(slot(0).lock1, 13u);
    int move;
    EXPECT_EQ(probe(keyedPosition(Engine.table.mask, 13, 14), -1000, 5, 2, AfterMove, move), 6);
}

TEST_F(HashTableTest, BoundsCutOffOnlyAtSufficientDepth) {
    Position pos = keyedPosition(700, 21, 22);
    pos.redValue = 1000;  // enough material: a moveless lower bound counts as depth 3
    storeHash(Engine.table, pos, HashExact, 50, 4, 0);
    int move;
    EXPECT_EQ(probeHash(Engine.table, pos, -1000, 40, 4, AfterMove, move), 50);
    EXPECT_EQ(probeHash(Engine.table, pos, -1000, 40, 5, AfterMove, move), NoValue);
    EXPECT_EQ(probeHash(Engine.table, pos, 60, 1000, 4, AfterMove, move), 50);
    EXPECT_EQ(probeHash(Engine.table, pos, 60, 1000, 5, AfterMove, move), NoValue);
    EXPECT_EQ(probeHash(Engine.table, pos, 0, 100, 4, AfterMove, move), NoValue);  // value inside the window

    // A null-move fail-high (no move) is not trusted right after a null move.
    storeHash(Engine.table, keyedPosition(800, 23, 24), HashLower, 30, 1, 0);
    EXPECT_EQ(probe(keyedPosition(800, 23, 24), -1000, 20, 2, AfterMove, move), 30);
    EXPECT_EQ(probe(keyedPosition(800, 23, 24), -1000, 20, 2, AfterNull, move), NoValue);
    Position rich = keyedPosition(800, 23, 24);
    rich.redValue = 301;
    EXPECT_EQ(probeHash(Engine.table, rich, -1000, 20, 3, AfterMove, move), 30);
    EXPECT_EQ(probeHash(Engine.table, rich, -1000, 20, 4, AfterMove, move), NoValue);
}

TEST_F(HashTableTest, ClearingAndAgingTheTable) {
    Position pos = keyedPosition(900, 31, 32);
    storeHash(Engine.table, pos, HashExact, 10, 3, 0x2222);
    ageHashTable(Engine.table);
    EXPECT_EQ(freshness(slot(900)), 14);
    int move;
    EXPECT_EQ(probeHash(Engine.table, pos, -1000, 5, 3, AfterMove, move), NoValue);  // the stored line is not playable here
    EXPECT_EQ(freshness(slot(900)), 15);
    EXPECT_EQ(move, 0x2222);
    EXPECT_EQ(probeHashMove(Engine.table, pos), 0x2222);

    clearHashTable(Engine.table);
    move = -1;
    EXPECT_EQ(probeHash(Engine.table, pos, -1000, 5, 1, AfterMove, move), NoValue);
    EXPECT_EQ(move, 0);
    EXPECT_EQ(probeHashMove(Engine.table, pos), 0);
}

// Aging visits only a slice of the table each time; every slot must still read
// as if each aging had walked the whole table, over many wraps of the stamp.
TEST_F(HashTableTest, FreshnessFollowsAWalkOverTheWholeTableAtEveryAging) {
    releaseHashTable(Engine.table);
    allocateHashTable(Engine.table, 16);
    std::vector<int> walked(Engine.table.mask + 1, 0);
    std::mt19937 random(12345);
    for (int step = 0; step < 40000; step++) {
        const int action = int(random() % 4);
        if (action == 0) {
            ageHashTable(Engine.table);
            for (int& f : walked) f -= f > 0;
            for (uint32_t i = 0; i <= Engine.table.mask; i++) ASSERT_EQ(freshness(Engine.table.entries[i]), walked[i]) << "step " << step;
        } else {
            // Four positions per key compete for one window of four slots.
            const uint32_t key = random() % (Engine.table.mask + 1);
            Position pos = keyedPosition(key, key + 1, random() % 4);
            int move;
            if (action == 1)
                probeHash(Engine.table, pos, 0, 1, 1, AfterMove, move);
            else
                storeHash(Engine.table, pos, action == 2 ? HashLower : HashUpper, int(random() % 200) - 100, 1 + random() % 9, 0);
            for (int i = 0; i < 4; i++) {
                const uint32_t index = (key + i) & Engine.table.mask;
                if (Engine.table.entries[index].lock1 == pos.lock1 && Engine.table.entries[index].lock2 == pos.lock2) {
                    walked[index] = 15;
                    break;
                }
            }
            for (int i = 0; i < 4; i++) {
                const uint32_t index = (key + i) & Engine.table.mask;
                ASSERT_EQ(freshness(Engine.table.entries[index]), walked[index]) << "step " << step;
            }
        }
    }
    releaseHashTable(Engine.table);
    allocateHashTable(Engine.table, 20);
}

class FollowTest : public HashTableTest {
protected:
    void SetUp() override {
        startSearchAt("4k4/R8/9/9/9/9/9/9/9/3K5 w");
        pos = &Engine.position;
    }
    Position* pos;
};

TEST_F(FollowTest, FollowsStoredMovesAndRestoresThePosition) {
    const int line[3] = {textToMove("a8a7"), textToMove("e9f9"), textToMove("a7a6")};
    for (int move : line) {
        storeHash(Engine.table, *pos, HashExact, 0, 1, move);
        ASSERT_TRUE(pos->makeMove(move));
    }
    for (int i = 0; i < 3; i++) pos->unmakeMove();
    const Position before = *pos;

    Move moves[MaxHistory];
    EXPECT_EQ(followHashMoves(Engine.table, *pos, moves, 0), 1);
    EXPECT_EQ(moves[0], line[0]);
    EXPECT_EQ(moves[2], line[2]);
    EXPECT_EQ(moves[3], 0);
    EXPECT_EQ(std::memcmp(&before, pos, sizeof before), 0);

    EXPECT_EQ(followHashMoves(Engine.table, *pos, moves, textToMove("a8b8")), 1);
    EXPECT_EQ(moves[0], textToMove("a8b8"));
    EXPECT_EQ(moves[1], 0);
}

TEST_F(FollowTest, ALineThatRepeatsIsUnusable) {
    const int cycle[4] = {textToMove("a8a7"), textToMove("e9f9"), textToMove("a7a8"), textToMove("f9e9")};
    for (int move : cycle) {
        storeHash(Engine.table, *pos, HashExact, 0, 1, move);
        ASSERT_TRUE(pos->makeMove(move));
    }
    for (int i = 0; i < 4; i++) pos->unmakeMove();
    Move moves[MaxHistory];
    EXPECT_EQ(followHashMoves(Engine.table, *pos, moves, 0), 0);
    EXPECT_EQ(moves[3], cycle[3]);
    EXPECT_EQ(moves[4], 0);
    EXPECT_EQ(pos->moveCount, 1);
}

TEST_F(FollowTest, AStoredMoveThatCannotBeMadeEndsTheWalk) {
    const Position before = *pos;
    storeHash(Engine.table, *pos, HashExact, 0, 1, textToMove("b3b4"));  // no piece there
    Move moves[MaxHistory];
    EXPECT_EQ(followHashMoves(Engine.table, *pos, moves, 0), 0);
    EXPECT_EQ(moves[0], 0);
    EXPECT_EQ(std::memcmp(&before, pos, sizeof before), 0);
}

}  // namespace
