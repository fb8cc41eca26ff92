#include "movegen/generate.h"

int leavesKingSafe(Position& pos, int move) {
    const int side = (pos.board[moveSource(move)] & 16) ? 0 : 1;
    const int captured = pos.movePiece(move);
    const int safe = !pos.inCheck(side);
    pos.undoMovePiece(move, captured);
    return safe;
}

int legalMoves(const Position& pos, Move* out) {
    Position work = pos;
    MoveEntry moves[MoveListCapacity];
    int total = generateCaptureMoves(work, moves);
    total += generateQuietMoves(work, moves + total);
    int count = 0;
    for (int i = 0; i < total; i++)
        if (leavesKingSafe(work, moves[i].move)) out[count++] = moves[i].move;
    return count;
}
