// The attack test and the two tests that tell whether a capture wins material.
#include "board/position.h"
#include "board/tables.h"
#include "movegen/generate.h"

namespace {

inline bool isPawnOf(int code, int sideBit) { return (code & sideBit) != 0 && (code & 15) >= FirstPawnSlot; }

// A present piece that is not excluded as an attacker.
inline bool counts(int square, int ignoreSquare) { return square != 0 && square != ignoreSquare; }

}  // namespace

int isAttackedBy(const Position& pos, int side, int square, int ignoreSquare)
{
    const int sideBit = sideTag(side);
    const uint8_t* squares = pos.pieceSquares + sideBit;
    const uint8_t* board = pos.board;

    if ((square & 0x80) == (side << 7)) {
        // Across the river pawns also strike sideways; king, advisors and
        // bishops never get there.
        if (square - 1 != ignoreSquare && isPawnOf(board[square - 1], sideBit))
            return 1;
        if (square + 1 != ignoreSquare && isPawnOf(board[square + 1], sideBit))
            return 1;
    } else {
        if (InPalace[square]) {
            if (counts(squares[KingSlot], ignoreSquare) && spanOf(squares[KingSlot], square) == 1)
                return 1;
            for (int i = FirstAdvisorSlot; i <= LastAdvisorSlot; ++i)
                if (counts(squares[i], ignoreSquare) && spanOf(squares[i], square) == 2)
                    return 1;
        }
        for (int i = FirstBishopSlot; i <= LastBishopSlot; ++i) {
            const int b = squares[i];
            if (counts(b, ignoreSquare) && spanOf(b, square) == 3 && board[(b + square) >> 1] == 0)
                return 1;
        }
    }

    // The square a pawn of side steps forward from: below for red, above for black.
    const int pawnFrom = square - 32 * side + 16;
    if (pawnFrom != ignoreSquare && isPawnOf(board[pawnFrom], sideBit))
        return 1;

    for (int i = FirstKnightSlot; i <= LastKnightSlot; ++i) {
        const int n = squares[i];
        if (!counts(n, ignoreSquare))
            continue;
        const int leg = knightLegOf(n, square);
        if (leg != 0 && board[n + leg] == 0)
            return 1;
    }

    // A slider on the square's line attacks it when it is the first (rook) or
    // second (cannon) piece seen from the square; the line tables are read only
    // for a slider on the square's lines.
    const int x = square & 15;
    const int y = square >> 4;
    for (int i = FirstRookSlot; i <= LastCannonSlot; ++i) {
        const int t = squares[i];
        if (!counts(t, ignoreSquare) || t == square)
            continue;
        const int word = i <= LastRookSlot ? 1 : 2;
        if ((t & 15) == x) {
            if (ColSlideMasks[y][pos.colMask[x]].masks[word] & RowBit[t])
                return 1;
        } else if ((t >> 4) == y) {
            if (RowSlideMasks[x][pos.rowMask[y]].masks[word] & ColumnBit[t])
                return 1;
        }
    }
    return 0;
}

int isGoodCapture(const Position& pos, int move)
{
    const int destination = moveDestination(move);
    const int victim = pos.board[destination];
    if (victim == 0)
        return 0;
    if (!isAttackedBy(pos, 1 - pos.sideToMove, destination, 0))
        return 1;
    return CaptureValue[victim] > CaptureValue[pos.board[moveSource(move)]] ? 1 : 0;
}
