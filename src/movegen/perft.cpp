// Perft: counts leaves with the engine's own generators and makeMove.
#include "movegen/perft.h"
#include "board/tables.h"
#include "movegen/generate.h"
#include "movegen/movelist.h"

namespace {

int generateAll(const Position& pos, MoveEntry* moves)
{
    const int count = generateCaptureMoves(pos, moves);
    return count + pos.generateQuietMoves(moves + count);
}

// When the side is not in check, a move by a piece other than the king can
// only expose the king by emptying a square on the king's row or column or a
// knight-leg square diagonally next to it, or by filling a square on those
// lines (a new cannon screen). Any other move is legal without trying it.
inline bool mayExposeKing(int king, int source, int destination)
{
    return ((source ^ king) & 0x0F) == 0 || ((source ^ king) & 0xF0) == 0 ||
           ((destination ^ king) & 0x0F) == 0 || ((destination ^ king) & 0xF0) == 0 ||
           spanOf(king, source) == 2;
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
    const int king = pos.pieceSquares[16 + 16 * side];
    if (king == 0)
        return static_cast<uint64_t>(total);
    const bool checked = pos.inCheck(side) != 0;
    uint64_t legal = 0;
    for (int i = 0; i < total; ++i) {
        const int move = moves[i].move;
        const int source = move & 0xFF;
        if (!checked && source != king && !mayExposeKing(king, source, move >> 8)) {
            ++legal;
            continue;
        }
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
