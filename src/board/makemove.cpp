#include "board/position.h"
#include "board/tables.h"

namespace {

inline int32_t& valueSum(Position& pos, int code) { return code < 32 ? pos.redValue : pos.blackValue; }

inline void xorPieceKeys(Position& pos, int kt, int square) {
    pos.key ^= PieceKeys[kt][square];
    pos.lock1 ^= PieceLocks[kt][square][0];
    pos.lock2 ^= PieceLocks[kt][square][1];
}

inline void toggleOccupancy(Position& pos, int square) {
    pos.rowMask[square >> 4] ^= ColumnBit[square];
    pos.colMask[square & 15] ^= RowBit[square];
}

// A move changes the attacks on a king it does not move only through the
// squares it empties or fills: on the king's row or column (rook and cannon
// lines, the facing kings) or, for the square it empties, diagonally next to
// the king, where the knights that reach the king have their legs.
inline bool onKingLines(int king, int square) { return ((square ^ king) & 0xF0) == 0 || ((square ^ king) & 0x0F) == 0; }
inline bool onKingLinesOrLegs(int king, int square) { return onKingLines(king, square) || spanOf(king, square) == 2; }

}  // namespace

void Position::changeSide() {
    sideToMove = 1 - sideToMove;
    key ^= SideKey;
    lock1 ^= SideLock1;
    lock2 ^= SideLock2;
}

int Position::movePiece(int move) {
    int s = moveSource(move), d = moveDestination(move);
    int mover = board[s], victim = board[d];
    if (victim == 0) {
        toggleOccupancy(*this, d);
    } else {
        int kt = keyType(victim);
        pieceSquares[victim] = 0;
        pieceBits ^= 1u << (victim - 16);
        valueSum(*this, victim) -= pieceValues[kt][d];
        xorPieceKeys(*this, kt, d);
    }
    board[s] = 0;
    board[d] = static_cast<uint8_t>(mover);
    pieceSquares[mover] = static_cast<uint8_t>(d);
    toggleOccupancy(*this, s);
    int kt = keyType(mover);
    valueSum(*this, mover) += pieceValues[kt][d] - pieceValues[kt][s];
    xorPieceKeys(*this, kt, s);
    xorPieceKeys(*this, kt, d);
    return victim;
}

void Position::undoMovePiece(int move, int captured) {
    int s = moveSource(move), d = moveDestination(move);
    int mover = board[d];
    board[s] = static_cast<uint8_t>(mover);
    board[d] = static_cast<uint8_t>(captured);
    pieceSquares[mover] = static_cast<uint8_t>(s);
    toggleOccupancy(*this, s);
    int kt = keyType(mover);
    valueSum(*this, mover) += pieceValues[kt][s] - pieceValues[kt][d];
    xorPieceKeys(*this, kt, d);
    xorPieceKeys(*this, kt, s);
    if (captured == 0) {
        toggleOccupancy(*this, d);
    } else {
        int vkt = keyType(captured);
        pieceSquares[captured] = static_cast<uint8_t>(d);
        pieceBits ^= 1u << (captured - 16);
        valueSum(*this, captured) += pieceValues[vkt][d];
        xorPieceKeys(*this, vkt, d);
    }
}

int Position::makeMove(int move) {
    if (moveCount >= MaxHistory) return 0;
    uint32_t keyBefore = key;
    const MoveRecord& previous = history[moveCount - 1];
    // The check flag of a real move or of the set-up record is exact for the
    // side to move (a null move's is not), and after a real move the side that
    // made it is never in check. A king that stood unattacked can only be
    // reached through the squares this move changes, so the full attack tests
    // run only when one of them is on the king's lines or legs.
    const bool previousReal = previous.move != 0;
    const bool moverChecked = (!previousReal && moveCount != 1) || previous.givesCheck() != 0;
    const int s = moveSource(move), d = moveDestination(move);
    int victim = movePiece(move);
    const int ownKing = pieceSquares[sideTag(sideToMove) + KingSlot];
    if ((moverChecked || ownKing == d || onKingLinesOrLegs(ownKing, s) || onKingLines(ownKing, d)) &&
        inCheck(sideToMove)) {
        undoMovePiece(move, victim);
        return 0;
    }
    uint8_t& mark = repTable[keyBefore & 0xFFF];
    if (mark == 0) mark = static_cast<uint8_t>(moveCount);
    changeSide();
    MoveRecord& record = history[moveCount];
    const int enemyKing = pieceSquares[sideTag(sideToMove) + KingSlot];
    const int mover = board[d] & 15;
    const bool knightReach = (mover == FirstKnightSlot || mover == LastKnightSlot) && knightLegOf(d, enemyKing) != 0;
    int checking = (!previousReal || onKingLinesOrLegs(enemyKing, s) || onKingLines(enemyKing, d) || knightReach)
                         ? inCheck(sideToMove)
                         : 0;
    record.move = static_cast<uint16_t>(move);
    record.flags = static_cast<uint8_t>(checking | (victim << CapturedShift));
    if (victim != 0)
        record.quietCount = 0;
    else if (checking == 0 && previous.givesCheck() == 0)
        record.quietCount = static_cast<uint8_t>(previous.quietCount + 1);
    else
        record.quietCount = previous.quietCount;
    moveCount++;
    return 1;
}

void Position::unmakeMove() {
    moveCount--;
    changeSide();
    const MoveRecord& record = history[moveCount];
    undoMovePiece(record.move, record.capturedCode());
    uint8_t& mark = repTable[key & 0xFFF];
    if (mark == moveCount) mark = 0;
}

int Position::makeNullMove() {
    if (moveCount >= MaxHistory) return 0;
    changeSide();
    history[moveCount] = MoveRecord{0, 0, 0};
    moveCount++;
    return 1;
}

void Position::unmakeNullMove() {
    moveCount--;
    changeSide();
}

int Position::repetitionStatus(int n) const {
    if (repTable[key & 0xFFF] == 0) return 0;
    // For each piece moved in the walked stretch: where it stands now and where
    // it stood before the oldest walked move of it.
    uint8_t current[MaxHistory], earlier[MaxHistory];
    int pieces = 0;
    int opponentAlwaysChecked = 1, ownAlwaysChecked = 1;
    bool byOpponent = true;
    for (int i = moveCount - 1; i > 0 && history[i].move != 0; i--) {
        const MoveRecord& r = history[i];
        if (r.capturedCode()) return 0;
        if (r.givesCheck() == 0) {
            if (byOpponent)
                opponentAlwaysChecked = 0;
            else
                ownAlwaysChecked = 0;
        }
        int source = moveSource(r.move), destination = moveDestination(r.move);
        int found = -1;
        for (int k = 0; k < pieces; k++)
            if (earlier[k] == destination) {
                found = k;
                break;
            }
        if (found >= 0) {
            earlier[found] = static_cast<uint8_t>(source);
            if (!byOpponent) {
                bool same = true;
                for (int k = 0; k < pieces && same; k++) same = earlier[k] == current[k];
                if (same && --n == 0)
                    return RepetitionFound + RepeatedOwnChecks * ownAlwaysChecked +
                           RepeatedOpponentChecks * opponentAlwaysChecked;
            }
        } else {
            current[pieces] = static_cast<uint8_t>(destination);
            earlier[pieces] = static_cast<uint8_t>(source);
            pieces++;
        }
        byOpponent = !byOpponent;
    }
    return 0;
}
