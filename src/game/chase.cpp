// Attacks and chases: which enemy pieces a side can take, and which of those
// attacks a referee counts as a chase.
#include "game/chase.h"

#include "board/tables.h"
#include "movegen/generate.h"

namespace {

enum PieceKind { KingKind, AdvisorKind, BishopKind, KnightKind, RookKind, CannonKind, PawnKind };

int kindOf(int code) { return PieceType[code]; }
int sideOf(int code) { return (code & 16) ? 0 : 1; }

// A capture by the piece on from, whichever side is to move.
int canCapture(Position& pos, int from, int to) {
    const int side = sideOf(pos.board[from]);
    const int flip = side != pos.sideToMove;
    if (flip) pos.changeSide();
    const int legal = pos.isValidMove(makeMoveValue(from, to)) && leavesKingSafe(pos, makeMoveValue(from, to));
    if (flip) pos.changeSide();
    return legal;
}

int canBeChased(int code, int square) {
    const int kind = kindOf(code);
    if (kind == KingKind) return 0;
    if (kind != PawnKind) return 1;
    // A pawn can be chased once it has crossed the river.
    return sideOf(code) == 0 ? square < 0x80 : square >= 0x80;
}

// The attacks that threaten more than the target's own worth, protected or not.
int outranksAttacker(int attackerKind, int targetKind) {
    if (targetKind == RookKind) return attackerKind != RookKind;
    if (attackerKind == AdvisorKind || attackerKind == BishopKind)
        return targetKind == KnightKind || targetKind == CannonKind;
    return 0;
}

// After the capture, the target's side can legally take back on its square.
int isProtected(Position& pos, int move) {
    const int to = moveDestination(move);
    const int owner = 1 - sideOf(pos.board[moveSource(move)]);
    const int captured = pos.movePiece(move);
    int protectedSquare = 0;
    for (int code = sideTag(owner); code < sideTag(owner) + 16 && !protectedSquare; code++) {
        const int square = pos.pieceSquares[code];
        if (square != 0 && canCapture(pos, square, to)) protectedSquare = 1;
    }
    pos.undoMovePiece(move, captured);
    return protectedSquare;
}

int isChase(Position& pos, int move) {
    const int from = moveSource(move), to = moveDestination(move);
    const int attacker = pos.board[from], target = pos.board[to];
    if (!canBeChased(target, to)) return 0;
    // Two pieces of one kind that can take each other offer an exchange.
    if (kindOf(attacker) == kindOf(target) && canCapture(pos, to, from)) return 0;
    return outranksAttacker(kindOf(attacker), kindOf(target)) || !isProtected(pos, move);
}

}  // namespace

uint32_t attackedPieces(Position& pos, int side, uint32_t* chased) {
    const int flip = side != pos.sideToMove;
    if (flip) pos.changeSide();
    MoveEntry captures[MoveListCapacity];
    const int total = generateCaptureMoves(pos, captures);
    // A side in check still threatens what its pieces reach: the move that
    // answers the check does not create those attacks.
    const int checked = pos.inCheck(side);
    uint32_t attacked = 0, chasing = 0;
    for (int i = 0; i < total; i++) {
        const int move = captures[i].move;
        const int attackerKind = kindOf(pos.board[moveSource(move)]);
        if (attackerKind == KingKind || attackerKind == PawnKind || (!checked && !leavesKingSafe(pos, move))) continue;
        const uint32_t bit = 1u << (pos.board[moveDestination(move)] - 16);
        attacked |= bit;
        if (chased != nullptr && !(chasing & bit) && isChase(pos, move)) chasing |= bit;
    }
    if (flip) pos.changeSide();
    if (chased != nullptr) *chased = chasing;
    return attacked;
}
