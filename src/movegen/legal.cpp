#include "movegen/generate.h"

int generateLegalMoves(Position& pos, Move* out) {
    MoveEntry moves[MoveListCapacity];
    int total = generateCaptures(pos, moves);
    total += generateQuietMoves(pos, moves + total);
    int legal = 0;
    for (int i = 0; i < total; i++)
        if (pos.isLegalMove(moves[i].move)) out[legal++] = moves[i].move;
    return legal;
}
