#include <gtest/gtest.h>

#include "board/tables.h"
#include "common/positions.h"

namespace {

TEST(Fen, StartPositionCodesMasksAndKey) {
    Position pos = fromFen(StartFen);
    EXPECT_EQ(pos.sideToMove, 0);
    EXPECT_EQ(pos.pieceBits, 0xFFFFFFFFu);
    EXPECT_EQ(pos.rowMask[3], 0x1FF);
    EXPECT_EQ(pos.rowMask[12], 0x1FF);
    EXPECT_EQ(pos.colMask[7], 0x249);
    EXPECT_EQ(pos.moveCount, 1);
    EXPECT_EQ(pos.rootCount, 1);
    EXPECT_EQ(pos.board[sq("a0")], 23);
    EXPECT_EQ(pos.board[sq("i0")], 24);
    EXPECT_EQ(pos.board[sq("e0")], 16);
    EXPECT_EQ(pos.board[sq("e9")], 32);
    for (int i = 0; i < 5; i++) EXPECT_EQ(pos.board[sq("a3") + 2 * i], 27 + i);
    uint32_t key = 0;
    for (int code = 16; code < 48; code++) key ^= PieceKeys[keyType(code)][pos.pieceSquares[code]];
    EXPECT_EQ(pos.key, key);
    EXPECT_EQ(pos.history[0].flags, 0);
}

TEST(Fen, BlackToMoveDiffersOnlyBySideValues) {
    Position red = fromFen(StartFen);
    Position black = fromFen("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR b - - 0 1");
    EXPECT_EQ(black.sideToMove, 1);
    EXPECT_EQ(black.key, red.key ^ SideKey);
    EXPECT_EQ(black.lock1, red.lock1 ^ SideLock1);
    EXPECT_EQ(black.lock2, red.lock2 ^ SideLock2);
}

TEST(Fen, OddTexts) {
    Position empty = fromFen("");
    EXPECT_EQ(empty.pieceBits, 0u);
    EXPECT_EQ(empty.sideToMove, 0);
    EXPECT_EQ(empty.moveCount, 1);

    Position spaced = fromFen(" b");
    EXPECT_EQ(spaced.pieceBits, 0u);
    EXPECT_EQ(spaced.sideToMove, 1);

    // A sixth red pawn finds no free code and is dropped.
    Position pawns = fromFen("4k4/9/9/9/9/PPPPPP3/9/9/9/4K4 w");
    EXPECT_EQ(pawns.pieceBits & 0xF800u, 0xF800u);
    EXPECT_EQ(pawns.board[sq("f4")], 0);

    // X names no piece but still takes a column; 9 stops at the last column.
    Position odd = fromFen("X3k4/9/9/9/9/9/9/9/9/9R3K4");
    EXPECT_EQ(odd.board[sq("e9")], 32);
    EXPECT_EQ(odd.board[sq("i0")], 23);
    EXPECT_EQ(odd.board[sq("e0")], 0);

    // A tenth '/' ends the board field; the next character is the side.
    Position tenth = fromFen("4k4/9/9/9/9/9/9/9/9/4K4/b");
    EXPECT_EQ(tenth.sideToMove, 1);
    EXPECT_EQ(tenth.board[sq("e0")], 16);
}

TEST(Fen, SetupInCheckIsRecorded) {
    Position pos = fromFen("4k4/9/9/9/9/9/9/9/9/4K4 w");  // facing kings
    EXPECT_EQ(pos.history[0].flags & 3, 1);
}

TEST(Position, CopyIsIndependent) {
    Position pos = fromFen(StartFen);
    Position copy = pos;
    ASSERT_EQ(copy.makeMove(mv("h2e2")), 1);
    EXPECT_EQ(pos.board[sq("h2")], 26);
    EXPECT_EQ(copy.board[sq("e2")], 26);
    EXPECT_NE(copy.key, pos.key);
}

}  // namespace
