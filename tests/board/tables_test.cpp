#include <gtest/gtest.h>

#include <vector>

#include "board/random.h"
#include "board/tables.h"
#include "common/positions.h"

namespace {

std::vector<int> listOf(const uint8_t* list, int capacity) {
    std::vector<int> out;
    for (int i = 0; i < capacity && list[i] != 0; i++) out.push_back(list[i]);
    return out;
}

TEST(SquareText, NumberingAndConversion) {
    EXPECT_EQ(text(42922), "h2e2");
    EXPECT_EQ(mv("h2e2"), 42922);
    EXPECT_EQ(sq("a0"), 195);
    EXPECT_EQ(sq("e0"), 199);
    EXPECT_EQ(sq("e9"), 55);
    EXPECT_EQ(sq("i9"), 59);
    EXPECT_EQ(sq("j0"), -1);
    EXPECT_EQ(sq("a:"), -1);
    EXPECT_EQ(mv("j0j1"), 0);
}

TEST(Tables, ZobristSequenceIsFixed) {
    EXPECT_EQ(SideKey, 16807u);
    EXPECT_EQ(PieceKeys[0][0], 282475249u);
    EXPECT_EQ(PopCount16[0xFFFF], 16);
    EXPECT_EQ(PopCount16[0x0101], 2);
}

TEST(Tables, RowSlideOnEmptyAndMixedRows) {
    const SlideSquares& empty = RowSlideSquares[3][0];
    const uint8_t expectEmpty[8] = {11, 3, 3, 3, 3, 3, 3, 3};
    for (int b = 0; b < 8; b++) EXPECT_EQ(empty.squares[b], expectEmpty[b]) << b;
    EXPECT_EQ(RowSlideMasks[3][0].masks[0], 0x1FE);
    EXPECT_EQ(RowSlideMasks[3][0].masks[1], 0);

    const SlideSquares& mixed = RowSlideSquares[5][0b010100101];
    const uint8_t expectMixed[8] = {7, 4, 8, 3, 10, 5, 5, 5};
    for (int b = 0; b < 8; b++) EXPECT_EQ(mixed.squares[b], expectMixed[b]) << b;
    const SlideMasks& masks = RowSlideMasks[5][0b010100101];
    EXPECT_EQ(masks.masks[0], 0b000011010);
    EXPECT_EQ(masks.masks[1], 0b000100001);
    EXPECT_EQ(masks.masks[2], 0b010000000);
    EXPECT_EQ(masks.masks[3], 0);
}

TEST(Tables, ColumnSlideUsesRowTimesSixteen) {
    // A piece on row 3 of an empty column sees down to row 12.
    EXPECT_EQ(ColSlideSquares[3][0].squares[0], 192);
    EXPECT_EQ(ColSlideSquares[3][0].squares[1], 48);
    EXPECT_EQ(ColSlideMasks[3][0].masks[0], 0x3FE);
    // Rows 3, 6, 9, 12 occupied (the e-file at the start), piece on row 6.
    const SlideSquares& entry = ColSlideSquares[6][0x249];
    EXPECT_EQ(entry.squares[2], 9 * 16);
    EXPECT_EQ(entry.squares[3], 3 * 16);
    EXPECT_EQ(entry.squares[4], 12 * 16);
}

TEST(Tables, StepLists) {
    EXPECT_EQ(listOf(KingMoves[183], 8), (std::vector<int>{167, 182, 184, 199}));
    EXPECT_EQ(listOf(KingMoves[198], 8), (std::vector<int>{182, 199}));
    EXPECT_EQ(listOf(BishopMoves[197], 8), (std::vector<int>{163, 167}));
    EXPECT_EQ(BishopEyes[197][0], 180);
    EXPECT_EQ(BishopEyes[197][1], 182);
    EXPECT_EQ(listOf(BishopMoves[133], 8), (std::vector<int>{163, 167}));
    // Knight in the corner a0: two jumps, legs beside it.
    EXPECT_EQ(listOf(KnightMoves[195], 12), (std::vector<int>{164, 181}));
    EXPECT_EQ(KnightLegs[195][0], 179);
    EXPECT_EQ(KnightLegs[195][1], 196);
    // Red pawn before the river, after it, and on the last row.
    EXPECT_EQ(listOf(PawnMoves[0][9 * 16 + 7], 4), (std::vector<int>{8 * 16 + 7}));
    EXPECT_EQ(listOf(PawnMoves[0][7 * 16 + 7], 4), (std::vector<int>{6 * 16 + 7, 7 * 16 + 6, 7 * 16 + 8}));
    EXPECT_EQ(listOf(PawnMoves[0][3 * 16 + 3], 4), (std::vector<int>{3 * 16 + 4}));
    EXPECT_EQ(listOf(PawnMoves[1][8 * 16 + 3], 4), (std::vector<int>{9 * 16 + 3, 8 * 16 + 4}));
}

TEST(RandomTest, ParkMillerSteps) {
    uint32_t seed = 1;
    EXPECT_EQ(nextRandom(seed), 16807u);
    EXPECT_EQ(nextRandom(seed), 282475249u);
    EXPECT_EQ(nextRandom(seed), 1622650073u);
    seed = 0xFFFFFFFFu;  // a full 32-bit seed: the product needs 64 bits
    EXPECT_EQ(nextRandom(seed), static_cast<uint32_t>(0xFFFFFFFFull * 16807 % 0x7FFFFFFF));
}

}  // namespace
