#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "movegen/perft.h"
#include "movegen_test_util.h"

namespace {

using namespace movegen_test;

struct PerftCase {
    const char* fen;
    int depth;
    uint64_t leaves;
};

// Independently checked counts under the standard rules.
const PerftCase ReferenceCounts[] = {
    {StartFen, 1, 44},          {StartFen, 2, 1920},        {StartFen, 3, 79666},
    {StartFen, 4, 3290240},     {MidgameFen, 4, 6295932},   {CheckmateFen, 4, 1185606},
    {ZugzwangFen, 4, 8905},     {EndgameFen, 4, 1206},
};

class PerftReference : public ::testing::TestWithParam<PerftCase> {};

TEST_P(PerftReference, CountMatches)
{
    const PerftCase& c = GetParam();
    Position pos = fromFen(c.fen);
    EXPECT_EQ(perft(pos, c.depth), c.leaves) << c.fen << " depth " << c.depth;
}

INSTANTIATE_TEST_SUITE_P(Perft, PerftReference, ::testing::ValuesIn(ReferenceCounts));

TEST(Perft, LeavesThePositionUnchanged)
{
    Position pos = fromFen(MidgameFen);
    const Position before = pos;
    perft(pos, 3);
    EXPECT_EQ(pos.key, before.key);
    EXPECT_EQ(pos.moveCount, before.moveCount);
    EXPECT_EQ(0, std::memcmp(pos.board, before.board, sizeof pos.board));
    EXPECT_EQ(0, std::memcmp(pos.repTable, before.repTable, sizeof pos.repTable));
}

TEST(Perft, DivideSplitsTheCountByRootMove)
{
    Position pos = fromFen(StartFen);
    PerftDivision divisions[MoveListCapacity];
    const int count = perftDivide(pos, 3, divisions);
    ASSERT_EQ(count, 44);
    uint64_t sum = 0;
    for (int i = 0; i < count; ++i) {
        sum += divisions[i].leaves;
        Position child = fromFen(StartFen);
        ASSERT_TRUE(child.makeMove(divisions[i].move));
        EXPECT_EQ(divisions[i].leaves, perft(child, 2)) << text(divisions[i].move);
    }
    EXPECT_EQ(sum, 79666u);
}

TEST(Perft, DepthZeroAndMatedSide)
{
    Position pos = fromFen(StartFen);
    EXPECT_EQ(perft(pos, 0), 1u);
    // Two rooks mate the lone black king on its back rank.
    Position mated = fromFen("R2k5/R8/9/9/9/9/9/9/9/4K4 b - - 0 1");
    EXPECT_EQ(perft(mated, 1), 0u);
    EXPECT_EQ(perft(mated, 3), 0u);
}

// The last ply decides many moves without trying them; it must agree with
// makeMove everywhere, in check or not, with pins and cannon screens.
TEST(Perft, LastPlyAgreesWithMakeMove)
{
    std::mt19937 random(7);
    for (const char* fen : {StartFen, MidgameFen, CheckmateFen, ZugzwangFen, EndgameFen}) {
        for (int game = 0; game < 20; ++game) {
            Position pos = fromFen(fen);
            for (int ply = 0; ply < 80; ++ply) {
                const std::vector<int> legal = legalByGeneration(pos);
                ASSERT_EQ(perft(pos, 1), legal.size()) << fen << " game " << game << " ply " << ply;
                if (legal.empty())
                    break;
                ASSERT_TRUE(pos.makeMove(legal[random() % legal.size()]));
            }
        }
    }
}

TEST(Perft, FullHistoryAcceptsNoMove)
{
    Position pos = fromFen(EndgameFen);
    pos.moveCount = MaxHistory;
    EXPECT_EQ(perft(pos, 1), 0u);
    EXPECT_EQ(perft(pos, 2), 0u);
}

}  // namespace
