// Mobility terms: free squares of the rooks, and knights with nowhere safe to go.
#include "board/position.h"
#include "board/tables.h"
#include "eval/evaluation.h"
#include "movegen/generate.h"

namespace {

// Board edges and the two palace centres: a knight there has few exits, so
// such a square never counts as a safe retreat.
struct PoorSquareTable {
    uint8_t poor[256];
};

constexpr PoorSquareTable buildPoorSquares() {
    PoorSquareTable table{};
    for (int row = 3; row <= 12; ++row) {
        for (int column = 3; column <= 11; ++column) {
            bool edge = row == 3 || row == 12 || column == 3 || column == 11;
            table.poor[row * 16 + column] = edge ? 1 : 0;
        }
    }
    table.poor[4 * 16 + 7] = 1;
    table.poor[11 * 16 + 7] = 1;
    return table;
}

constexpr PoorSquareTable KnightPoorSquare = buildPoorSquares();

int rookFreedom(const Position& pos, int side) {
    int total = 0;
    for (int code = sideTag(side) + FirstRookSlot; code <= sideTag(side) + LastRookSlot; ++code) {
        int square = pos.pieceSquares[code];
        if (square == 0) continue;
        int row = square >> 4;
        int column = square & 15;
        total += PopCount16[RowSlideMasks[column][pos.rowMask[row]].masks[0]];
        total += PopCount16[ColSlideMasks[row][pos.colMask[column]].masks[0]];
    }
    return total;
}

// 10 for a knight without a safe move, 5 with exactly one.
int knightTrapCost(const Position& pos, int side) {
    int cost = 0;
    for (int code = sideTag(side) + FirstKnightSlot; code <= sideTag(side) + LastKnightSlot; ++code) {
        int square = pos.pieceSquares[code];
        if (square == 0) continue;
        int safeMoves = 0;
        for (int k = 0; KnightMoves[square][k] != 0 && safeMoves < 2; ++k) {
            int target = KnightMoves[square][k];
            if (KnightPoorSquare.poor[target] || pos.board[target] != 0 || pos.board[KnightLegs[square][k]] != 0) {
                continue;
            }
            if (!isAttackedBy(pos, 1 - side, target, 0)) ++safeMoves;
        }
        cost += safeMoves == 0 ? 10 : (safeMoves == 1 ? 5 : 0);
    }
    return cost;
}

}  // namespace

int rookMobilityScore(const Position& pos) {
    int difference = rookFreedom(pos, 0) - rookFreedom(pos, 1);
    if (pos.sideToMove == 1) difference = -difference;
    // Halve rounding towards minus infinity (-3 gives -2), without relying on
    // how the compiler shifts a negative number.
    return difference >= 0 ? difference / 2 : -((1 - difference) / 2);
}

int knightTrapScore(const Position& pos) {
    int redAdvantage = knightTrapCost(pos, 1) - knightTrapCost(pos, 0);
    return pos.sideToMove == 0 ? redAdvantage : -redAdvantage;
}
