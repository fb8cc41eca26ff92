// Perft: counts leaves with the engine's own generators and makeMove.
#include "movegen/perft.h"
#include "board/tables.h"
#include "movegen/generate.h"

namespace {

int generateAll(const Position& pos, MoveEntry* moves)
{
    const int count = generateCaptureMoves(pos, moves);
    return count + generateQuietMoves(pos, moves + count);
}

// What a move must touch to expose its own king when the side is not in
// check. Along the king's row and column only the first two pieces seen from
// the king matter (rook, facing king, cannon), so only emptying one of them
// or filling an empty square in front of the first one can make a check; a
// knight is unleashed only by emptying a leg square diagonally next to the king.
struct KingLines {
    int king;
    int rowSeen, colSeen;  // first and second pieces seen from the king
    int rowOpen, colOpen;  // empty squares in front of the first piece
};

KingLines kingLines(const Position& pos, int king)
{
    const SlideMasks& row = RowSlideMasks[king & 15][pos.rowMask[king >> 4]];
    const SlideMasks& col = ColSlideMasks[king >> 4][pos.colMask[king & 15]];
    return {king, row.masks[1] | row.masks[2], col.masks[1] | col.masks[2], row.masks[0], col.masks[0]};
}

inline bool mayExposeKing(const KingLines& lines, int source, int destination)
{
    const int king = lines.king;
    if (spanOf(king, source) == 2)
        return true;
    if ((source >> 4) == (king >> 4) ? (lines.rowSeen & ColumnBit[source]) != 0
                                     : (source & 15) == (king & 15) && (lines.colSeen & RowBit[source]) != 0)
        return true;
    if ((destination >> 4) == (king >> 4))
        return (lines.rowOpen & ColumnBit[destination]) != 0;
    return (destination & 15) == (king & 15) && (lines.colOpen & RowBit[destination]) != 0;
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
    const int king = pos.pieceSquares[sideTag(side) + KingSlot];
    if (king == 0)
        return static_cast<uint64_t>(total);
    const bool checked = pos.inCheck(side) != 0;
    const KingLines lines = kingLines(pos, king);
    uint64_t legal = 0;
    for (int i = 0; i < total; ++i) {
        const int move = moves[i].move;
        const int source = move & 0xFF;
        if (!checked && source != king && !mayExposeKing(lines, source, move >> 8)) {
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
