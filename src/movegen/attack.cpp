// The attack test and the two tests that tell whether a capture wins material.
#include "board/position.h"
#include "board/tables.h"
#include "movegen/movelist.h"

namespace {

inline bool isPawnOf(int code, int sideBit) { return (code & sideBit) != 0 && (code & 15) >= 11; }

// A present piece that is not excluded as an attacker.
inline bool counts(int square, int ignoreSquare) { return square != 0 && square != ignoreSquare; }

}  // namespace

int Position::isAttackedBy(int side, int square, int ignoreSquare) const
{
    const int sideBit = 16 * (side + 1);
    const uint8_t* squares = pieceSquares + sideBit;

    if ((square & 0x80) == (side << 7)) {
        // Across the river pawns also strike sideways; king, advisors and
        // bishops never get there.
        if (square - 1 != ignoreSquare && isPawnOf(board[square - 1], sideBit))
            return 1;
        if (square + 1 != ignoreSquare && isPawnOf(board[square + 1], sideBit))
            return 1;
    } else {
        if (InPalace[square]) {
            if (counts(squares[0], ignoreSquare) && spanOf(squares[0], square) == 1)
                return 1;
            for (int i = 1; i <= 2; ++i)
                if (counts(squares[i], ignoreSquare) && spanOf(squares[i], square) == 2)
                    return 1;
        }
        for (int i = 3; i <= 4; ++i) {
            const int b = squares[i];
            if (counts(b, ignoreSquare) && spanOf(b, square) == 3 && board[(b + square) >> 1] == 0)
                return 1;
        }
    }

    // The square a pawn of side steps forward from: below for red, above for black.
    const int pawnFrom = square - 32 * side + 16;
    if (pawnFrom != ignoreSquare && isPawnOf(board[pawnFrom], sideBit))
        return 1;

    for (int i = 5; i <= 6; ++i) {
        const int n = squares[i];
        if (!counts(n, ignoreSquare))
            continue;
        const int leg = knightLegOf(n, square);
        if (leg != 0 && board[n + leg] == 0)
            return 1;
    }

    // A slider on the square's line attacks it when it is the first (rook) or
    // second (cannon) piece seen from the square.
    const int x = square & 15;
    const int y = square >> 4;
    const SlideMasks& rowEntry = RowSlideMasks[x][rowMask[y]];
    const SlideMasks& colEntry = ColSlideMasks[y][colMask[x]];
    for (int i = 7; i <= 10; ++i) {
        const int t = squares[i];
        if (!counts(t, ignoreSquare) || t == square)
            continue;
        const int word = i <= 8 ? 1 : 2;
        if ((t & 15) == x) {
            if (colEntry.masks[word] & RowBit[t])
                return 1;
        } else if ((t >> 4) == y) {
            if (rowEntry.masks[word] & ColumnBit[t])
                return 1;
        }
    }
    return 0;
}

int Position::isGoodCapture(int move) const
{
    const int destination = (move >> 8) & 255;
    const int victim = board[destination];
    if (victim == 0)
        return 0;
    if (!isAttackedBy(1 - sideToMove, destination, 0))
        return 1;
    return CaptureValue[victim] > CaptureValue[board[move & 255]] ? 1 : 0;
}

// Phases are those of nextMove: 0-1 the hash move, 2 good captures, above
// that killers, quiet moves and whole prepared lists.
int Position::isGoodCapturePick(const MoveList& list, int move) const
{
    if (move == 0 || list.phase == 2)
        return 1;
    if (list.phase > 2)
        return 0;
    return isGoodCapture(move);
}
