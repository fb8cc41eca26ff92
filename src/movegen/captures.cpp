// Capture generation with the small ordering score of each capture.
#include "board/position.h"
#include "board/tables.h"
#include "movegen/generate.h"

// By piece code; the same numbers serve as the value of a victim and of a capturing piece.
const int32_t CaptureValue[48] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    5, 1, 1, 1, 1, 3, 3, 4, 4, 3, 3, 2, 2, 2, 2, 2,  // red: K A A B B N N R R C C P P P P P
    5, 1, 1, 1, 1, 3, 3, 4, 4, 3, 3, 2, 2, 2, 2, 2,  // black
};

namespace {

// 2 or more: wins material or takes an undefended piece; 1: doubtful;
// 0: a defended low-value piece taken on its own half by a more valuable one.
int captureScore(const Position& pos, int source, int destination)
{
    const int own = pos.sideToMove;
    const int victimValue = CaptureValue[pos.board[destination]];
    const int risked = isAttackedBy(pos, 1 - own, destination, 0) ? CaptureValue[pos.board[source]] : 0;
    if (victimValue >= risked)
        return victimValue - risked + 1;
    if (victimValue >= 3)
        return 1;
    // A defended pawn that has crossed into our half is still worth a look.
    return (destination & 0x80) == (own << 7) ? 0 : 1;
}

// Writes the move at out and keeps it only when keep holds: a store and an
// add in place of a branch the processor cannot predict. The entry after the
// last kept one may be written too; every move buffer has room for it. The
// score is written once the list is complete.
inline MoveEntry* offerCapture(MoveEntry* out, int source, int destination, bool keep)
{
    out->move = static_cast<uint16_t>(source | destination << 8);
    return out + (keep ? 1 : 0);
}

MoveEntry* stepCaptures(const Position& pos, MoveEntry* out, int source, const uint8_t* targets, int enemyBit)
{
    for (; *targets != 0; ++targets)
        out = offerCapture(out, source, *targets, (pos.board[*targets] & enemyBit) != 0);
    return out;
}

// Bishops and knights: a destination counts only when its paired eye or leg square is empty.
MoveEntry* blockableCaptures(const Position& pos, MoveEntry* out, int source, const uint8_t* targets,
                             const uint8_t* blockers, int enemyBit)
{
    for (int k = 0; targets[k] != 0; ++k)
        out = offerCapture(out, source, targets[k],
                           (pos.board[blockers[k]] == 0) & ((pos.board[targets[k]] & enemyBit) != 0));
    return out;
}

// byteHigher/byteLower pick the first occupied square (rook) or the one behind
// the screen (cannon). A byte naming the piece's own square holds no enemy, so
// it needs no separate test.
MoveEntry* slideCaptures(const Position& pos, MoveEntry* out, int source, int byteHigher, int enemyBit)
{
    const int x = source & 15;
    const int y = source >> 4;
    const SlideSquares& row = RowSlideSquares[x][pos.rowMask[y]];
    const SlideSquares& col = ColSlideSquares[y][pos.colMask[x]];
    const int candidates[4] = {
        y * 16 + row.squares[byteHigher], y * 16 + row.squares[byteHigher + 1],
        col.squares[byteHigher] + x, col.squares[byteHigher + 1] + x,
    };
    for (int target : candidates)
        out = offerCapture(out, source, target, (pos.board[target] & enemyBit) != 0);
    return out;
}

template <bool Scored>
int collectCaptures(const Position& pos, MoveEntry* out)
{
    const int own = pos.sideToMove;
    const int enemyBit = sideTag(1 - own);
    const uint8_t* squares = pos.pieceSquares + sideTag(own);
    MoveEntry* const start = out;
    int s;

    if ((s = squares[KingSlot]) != 0)
        out = stepCaptures(pos, out, s, KingMoves[s], enemyBit);
    for (int i = FirstAdvisorSlot; i <= LastAdvisorSlot; ++i)
        if ((s = squares[i]) != 0)
            out = stepCaptures(pos, out, s, AdvisorMoves[s], enemyBit);
    for (int i = FirstBishopSlot; i <= LastBishopSlot; ++i)
        if ((s = squares[i]) != 0)
            out = blockableCaptures(pos, out, s, BishopMoves[s], BishopEyes[s], enemyBit);
    for (int i = FirstKnightSlot; i <= LastKnightSlot; ++i)
        if ((s = squares[i]) != 0)
            out = blockableCaptures(pos, out, s, KnightMoves[s], KnightLegs[s], enemyBit);
    for (int i = FirstRookSlot; i <= LastRookSlot; ++i)
        if ((s = squares[i]) != 0)
            out = slideCaptures(pos, out, s, 2, enemyBit);
    for (int i = FirstCannonSlot; i <= LastCannonSlot; ++i)
        if ((s = squares[i]) != 0)
            out = slideCaptures(pos, out, s, 4, enemyBit);
    for (int i = FirstPawnSlot; i <= LastPawnSlot; ++i)
        if ((s = squares[i]) != 0)
            out = stepCaptures(pos, out, s, PawnMoves[own][s], enemyBit);
    for (MoveEntry* e = start; e < out; ++e)
        e->score = Scored ? static_cast<uint16_t>(captureScore(pos, moveSource(e->move), moveDestination(e->move))) : 0;
    return static_cast<int>(out - start);
}

}  // namespace

int generateCaptures(const Position& pos, MoveEntry* out) { return collectCaptures<true>(pos, out); }

int generateCaptureMoves(const Position& pos, MoveEntry* out) { return collectCaptures<false>(pos, out); }
