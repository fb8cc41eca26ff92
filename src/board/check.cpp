#include "board/position.h"
#include "board/tables.h"

// Only the pieces that can ever reach a king are tested, and the facing kings
// too: a narrower question than isAttackedBy's (any square, any attacker, one
// square set aside), asked after every move, so the two stay apart.
int Position::inCheck(int side) const {
    int king = pieceSquares[sideTag(side) + KingSlot];
    if (king == 0) return 0;
    int opponent = sideTag(1 - side);
    int row = king >> 4, column = king & 15;
    const SlideMasks& colEntry = ColSlideMasks[row][colMask[column]];

    int enemyKing = pieceSquares[opponent];
    if (enemyKing && (enemyKing & 15) == column && (colEntry.masks[1] & RowBit[enemyKing])) return 1;

    for (int i = FirstKnightSlot; i <= LastKnightSlot; i++) {
        int knight = pieceSquares[opponent + i];
        if (knight == 0) continue;
        int leg = knightLegOf(knight, king);
        if (leg != 0 && board[knight + leg] == 0) return 1;
    }
    // Rooks attack through the first piece seen from the king, cannons through the second.
    for (int i = FirstRookSlot; i <= LastCannonSlot; i++) {
        int slider = pieceSquares[opponent + i];
        if (slider == 0) continue;
        int word = i <= LastRookSlot ? 1 : 2;
        if ((slider & 15) == column) {
            if (colEntry.masks[word] & RowBit[slider]) return 1;
        } else if ((slider >> 4) == row) {
            if (RowSlideMasks[column][rowMask[row]].masks[word] & ColumnBit[slider]) return 1;
        }
    }
    auto isEnemyPawn = [&](int square) {
        int code = board[square];
        return (code & opponent) && (code & 15) >= FirstPawnSlot;
    };
    if (isEnemyPawn(king - 1) || isEnemyPawn(king + 1)) return 1;
    return isEnemyPawn(side == 0 ? king - 16 : king + 16) ? 1 : 0;
}

int Position::isLegalMove(int move) {
    if (!isValidMove(move) || !makeMove(move)) return 0;
    unmakeMove();
    return 1;
}

int Position::isValidMove(int move) const {
    int s = moveSource(move), d = moveDestination(move);
    int own = sideTag(sideToMove);
    if (!(board[s] & own) || (board[d] & own)) return 0;
    // Stored moves may come from a damaged book file: never trust the destination.
    if (!InBoard[d]) return 0;
    switch (board[s] & 15) {
        case KingSlot:
            return InPalace[d] && spanOf(s, d) == 1;
        case FirstAdvisorSlot: case LastAdvisorSlot:
            return InPalace[d] && spanOf(s, d) == 2;
        case FirstBishopSlot: case LastBishopSlot:
            return !((s ^ d) & 0x80) && spanOf(s, d) == 3 && board[(s + d) >> 1] == 0;
        case FirstKnightSlot: case LastKnightSlot: {
            int leg = knightLegOf(s, d);
            return leg != 0 && board[s + leg] == 0;
        }
        case FirstRookSlot: case LastRookSlot: case FirstCannonSlot: case LastCannonSlot: {
            int word = board[d] == 0 ? 0 : ((board[s] & 15) <= LastRookSlot ? 1 : 2);
            if ((s & 15) == (d & 15))
                return (ColSlideMasks[s >> 4][colMask[s & 15]].masks[word] & RowBit[d]) != 0;
            if ((s >> 4) == (d >> 4))
                return (RowSlideMasks[s & 15][rowMask[s >> 4]].masks[word] & ColumnBit[d]) != 0;
            return 0;
        }
        default: {
            int forward = sideToMove == 0 ? s - 16 : s + 16;
            if (d == forward) return 1;
            bool across = sideToMove == 0 ? d < 128 : d >= 128;
            return (d == s - 1 || d == s + 1) && across;
        }
    }
}
