// Perft: counts leaves with the engine's own generators and makeMove.
#include "movegen/perft.h"
#include "movegen/generate.h"
#include "movegen/movelist.h"

namespace {

int generateAll(const Position& pos, MoveEntry* moves)
{
    const int count = generateCaptureMoves(pos, moves);
    return count + pos.generateQuietMoves(moves + count);
}

// The last ply needs only legality, which is makeMove's own test without the
// history bookkeeping.
uint64_t countLegalMoves(Position& pos)
{
    if (pos.moveCount >= MaxHistory)
        return 0;
    MoveEntry moves[MoveListCapacity];
    const int total = generateAll(pos, moves);
    const int side = pos.sideToMove;
    uint64_t legal = 0;
    for (int i = 0; i < total; ++i) {
        const int move = moves[i].move;
        const int captured = pos.movePiece(move);
        legal += pos.inCheck(side) == 0;
        pos.undoMovePiece(move, captured);
    }
    return legal;
}

uint64_t perftNode(Position& pos, int depth)
{
    if (depth == 1)
        return countLegalMoves(pos);
    MoveEntry moves[MoveListCapacity];
    const int total = generateAll(pos, moves);
    uint64_t leaves = 0;
    for (int i = 0; i < total; ++i) {
        if (!pos.makeMove(moves[i].move))
            continue;
        leaves += perftNode(pos, depth - 1);
        pos.unmakeMove();
    }
    return leaves;
}

}  // namespace

uint64_t perft(Position& pos, int depth)
{
    return depth <= 0 ? 1 : perftNode(pos, depth);
}

int perftDivide(Position& pos, int depth, PerftDivision* out)
{
    MoveEntry moves[MoveListCapacity];
    const int total = generateAll(pos, moves);
    int written = 0;
    for (int i = 0; i < total; ++i) {
        if (!pos.makeMove(moves[i].move))
            continue;
        out[written].move = moves[i].move;
        out[written].leaves = perft(pos, depth - 1);
        ++written;
        pos.unmakeMove();
    }
    return written;
}
