// King shape: penalties for a king whose advisor formation lets a cannon or a
// pair of rooks through.
#include "board/position.h"
#include "board/tables.h"
#include "eval/evaluation.h"
#include "movegen/generate.h"

namespace {

constexpr int KingFile = 7;

// One side's palace squares: king home, palace centre, left and right advisor homes.
struct Palace {
    int home;
    int centre;
    int leftAdvisorHome;
    int rightAdvisorHome;
};
constexpr Palace Palaces[2] = {{199, 183, 198, 200}, {55, 71, 54, 56}};

uint32_t codeBit(int code) { return 1u << (code - 16); }

// Threat row of an enemy cannon at row y: 3 + rows between it and the king's back rank.
int threatRow(int defender, int row) { return defender == 0 ? 15 - row : row; }

// Rooks of the defender on its back rank with nothing between them and the king:
// they shut the king in while a cannon aims at it.
int rooksBesideKing(const Position& pos, int defender, int king) {
    int count = 0;
    int backRow = king >> 4;
    for (int code = sideTag(defender) + FirstRookSlot; code <= sideTag(defender) + LastRookSlot; ++code) {
        int square = pos.pieceSquares[code];
        if (square == 0 || (square >> 4) != backRow) continue;
        if (RowSlideMasks[square & 15][pos.rowMask[backRow]].masks[1] & ColumnBit[king]) ++count;
    }
    return count;
}

// Both advisors at home: a hollow cannon, or one behind the own knight on the centre.
int cannonThreatBothHome(const Position& pos, const PreEvaluation& pre, int defender, int cannon) {
    const Palace& palace = Palaces[defender];
    if ((cannon & 15) != KingFile) return 0;
    int row = cannon >> 4;
    const uint16_t* seen = ColSlideMasks[row][pos.colMask[KingFile]].masks;
    int r = threatRow(defender, row);
    if (seen[1] & RowBit[palace.home]) return pre.kingThreatValues[r];
    int centre = pos.board[palace.centre];
    int ownKnight = sideTag(defender) + FirstKnightSlot;
    if ((seen[3] & RowBit[palace.home]) && (centre == ownKnight || centre == ownKnight + 1)) {
        return pre.kingThreatValues[16 + r];
    }
    return 0;
}

// One advisor on the centre: a cannon behind two pieces on the file, or a
// cannon on the back rank looking at the king.
int cannonThreatOneCentred(const Position& pos, const PreEvaluation& pre, int defender, int cannon, int emptyHome) {
    const Palace& palace = Palaces[defender];
    int row = cannon >> 4;
    if ((cannon & 15) == KingFile) {
        if (!(ColSlideMasks[row][pos.colMask[KingFile]].masks[3] & RowBit[palace.home])) return 0;
        int threat = pre.kingThreatValues[16 + threatRow(defender, row)] >> 2;
        if (isAttackedBy(pos, 1 - defender, emptyHome, 0)) threat += 20;
        return threat + 80 * rooksBesideKing(pos, defender, palace.home);
    }
    int backRow = palace.home >> 4;
    if (row == backRow && (RowSlideMasks[cannon & 15][pos.rowMask[backRow]].masks[1] & ColumnBit[palace.home])) {
        return pre.kingThreatValues[(defender == 0 ? 32 : 48) + (cannon & 15)];
    }
    return 0;
}

// Without both advisors the king fears a pair of rooks, more so once both are across.
int rookPairThreat(const Position& pos, const PreEvaluation& pre, int defender) {
    int enemyRook = sideTag(1 - defender) + FirstRookSlot;
    if ((pos.pieceBits & (codeBit(enemyRook) | codeBit(enemyRook + 1))) !=
        (codeBit(enemyRook) | codeBit(enemyRook + 1))) {
        return 0;
    }
    int weight = defender == 0 ? pre.blackAttackWeight : pre.redAttackWeight;
    int penalty = weight / 5;
    bool firstAcross = (pos.pieceSquares[enemyRook] >= 128) == (defender == 0);
    bool secondAcross = (pos.pieceSquares[enemyRook + 1] >= 128) == (defender == 0);
    if (firstAcross && secondAcross) penalty += weight;
    return penalty;
}

int kingPenalty(const Position& pos, const PreEvaluation& pre, int defender) {
    int own = sideTag(defender);
    uint32_t advisors = codeBit(own + FirstAdvisorSlot) | codeBit(own + LastAdvisorSlot);
    if ((pos.pieceBits & advisors) != advisors) return rookPairThreat(pos, pre, defender);

    const Palace& palace = Palaces[defender];
    int king = pos.pieceSquares[own];
    if (king != palace.home) return king == palace.centre ? 20 : 0;

    int first = pos.pieceSquares[own + FirstAdvisorSlot];
    int second = pos.pieceSquares[own + LastAdvisorSlot];
    bool left = first == palace.leftAdvisorHome || second == palace.leftAdvisorHome;
    bool right = first == palace.rightAdvisorHome || second == palace.rightAdvisorHome;
    bool centre = first == palace.centre || second == palace.centre;

    int penalty = 0;
    int enemyCannon = sideTag(1 - defender) + FirstCannonSlot;
    for (int code = enemyCannon; code <= enemyCannon + 1; ++code) {
        int cannon = pos.pieceSquares[code];
        if (cannon == 0) continue;
        if (left && right) {
            penalty += cannonThreatBothHome(pos, pre, defender, cannon);
        } else if (centre && (left || right)) {
            int emptyHome = left ? palace.rightAdvisorHome : palace.leftAdvisorHome;
            penalty += cannonThreatOneCentred(pos, pre, defender, cannon, emptyHome);
        }
    }
    return penalty;
}

}  // namespace

int kingShapeScore(const Position& pos, const PreEvaluation& pre) {
    int redAdvantage = kingPenalty(pos, pre, 1) - kingPenalty(pos, pre, 0);
    return pos.sideToMove == 0 ? redAdvantage : -redAdvantage;
}
