// Non-capture generation; every entry gets score 0.
#include "board/position.h"
#include "board/tables.h"
#include "movegen/generate.h"

namespace {

inline MoveEntry* emitQuiet(MoveEntry* out, int source, int destination)
{
    out->move = static_cast<uint16_t>(source | destination << 8);
    out->score = 0;
    return out + 1;
}

MoveEntry* stepQuiets(const Position& pos, MoveEntry* out, int source, const uint8_t* targets)
{
    for (; *targets != 0; ++targets)
        if (pos.board[*targets] == 0)
            out = emitQuiet(out, source, *targets);
    return out;
}

MoveEntry* blockableQuiets(const Position& pos, MoveEntry* out, int source, const uint8_t* targets,
                           const uint8_t* blockers)
{
    for (int k = 0; targets[k] != 0; ++k)
        if (pos.board[blockers[k]] == 0 && pos.board[targets[k]] == 0)
            out = emitQuiet(out, source, targets[k]);
    return out;
}

// Farthest square first in each direction, walking back towards the piece;
// a byte that names the piece's own square yields nothing.
MoveEntry* slideQuiets(const Position& pos, MoveEntry* out, int source)
{
    const int x = source & 15;
    const int y = source >> 4;
    const SlideSquares& row = RowSlideSquares[x][pos.rowMask[y]];
    const SlideSquares& col = ColSlideSquares[y][pos.colMask[x]];
    for (int t = y * 16 + row.squares[0]; t > source; --t)
        out = emitQuiet(out, source, t);
    for (int t = y * 16 + row.squares[1]; t < source; ++t)
        out = emitQuiet(out, source, t);
    for (int t = col.squares[0] + x; t > source; t -= 16)
        out = emitQuiet(out, source, t);
    for (int t = col.squares[1] + x; t < source; t += 16)
        out = emitQuiet(out, source, t);
    return out;
}

}  // namespace

int generateQuietMoves(const Position& pos, MoveEntry* out)
{
    const int own = pos.sideToMove;
    const uint8_t* squares = pos.pieceSquares + sideTag(own);
    MoveEntry* const start = out;
    int s;

    if ((s = squares[KingSlot]) != 0)
        out = stepQuiets(pos, out, s, KingMoves[s]);
    for (int i = FirstAdvisorSlot; i <= LastAdvisorSlot; ++i)
        if ((s = squares[i]) != 0)
            out = stepQuiets(pos, out, s, AdvisorMoves[s]);
    for (int i = FirstBishopSlot; i <= LastBishopSlot; ++i)
        if ((s = squares[i]) != 0)
            out = blockableQuiets(pos, out, s, BishopMoves[s], BishopEyes[s]);
    for (int i = FirstKnightSlot; i <= LastKnightSlot; ++i)
        if ((s = squares[i]) != 0)
            out = blockableQuiets(pos, out, s, KnightMoves[s], KnightLegs[s]);
    // Rooks and cannons slide alike when they do not capture.
    for (int i = FirstRookSlot; i <= LastCannonSlot; ++i)
        if ((s = squares[i]) != 0)
            out = slideQuiets(pos, out, s);
    for (int i = FirstPawnSlot; i <= LastPawnSlot; ++i)
        if ((s = squares[i]) != 0)
            out = stepQuiets(pos, out, s, PawnMoves[own][s]);
    return static_cast<int>(out - start);
}
