// Pre-evaluation: once per search, blend the base tables by game stage and
// attack levels into the position's piece-square values and rebase its two
// value sums.
#include <cstring>

#include "board/position.h"
#include "board/tables.h"
#include "eval/base_tables.h"
#include "eval/evaluation.h"

namespace {

// Bits of one side's 16-bit half of pieceBits, by piece index.
constexpr uint32_t AdvisorBits = 0x0006;
constexpr uint32_t BishopBits = 0x0018;
constexpr uint32_t KnightBits = 0x0060;
constexpr uint32_t RookBits = 0x0180;
constexpr uint32_t CannonBits = 0x0600;
constexpr uint32_t PawnBits = 0xF800;

constexpr int MaxAttack = 8;

int countBits(uint32_t bits) { return PopCount16[bits & 0xFFFF]; }

int majorMaterial(uint32_t half) {
    return countBits(half & KnightBits) + countBits(half & CannonBits) + 2 * countBits(half & RookBits);
}

// Knights and rooks across the river count 2, cannons and pawns 1.
int piecesAcross(const Position& pos, int side) {
    int base = sideTag(side);
    int level = 0;
    for (int index = FirstKnightSlot; index <= LastPawnSlot; ++index) {
        int square = pos.pieceSquares[base + index];
        if (square == 0 || (square >= 128) != (side == 1)) continue;
        level += (index <= LastRookSlot) ? 2 : 1;
    }
    return level;
}

int blendByStage(const uint8_t (&mid)[10][9], const uint8_t (&end)[10][9], int square, int midWeight) {
    return (baseValue(mid, square) * midWeight + baseValue(end, square) * (66 - midWeight)) / 66;
}

int blendByAttack(int calm, int pressed, int attack) {
    return (calm * (MaxAttack - attack) + pressed * attack) / MaxAttack;
}

// Black looks at the board from the other end: its entry sits at the half-turn image.
void setPair(uint8_t (&values)[14][256], int redType, int square, int value) {
    values[redType][square] = static_cast<uint8_t>(value);
    values[redType + 7][254 - square] = static_cast<uint8_t>(value);
}

void fillPieceSquareValues(uint8_t (&values)[14][256], int midWeight, int redAttack, int blackAttack) {
    std::memset(values, 0, sizeof(values));
    for (int s = 0; s < 256; ++s) {
        if (!InBoard[s]) continue;
        int image = 254 - s;
        int attacking = blendByStage(KingPawnMidAttacking, KingPawnEndAttacking, s, midWeight);
        int attackless = blendByStage(KingPawnMidAttackless, KingPawnEndAttackless, s, midWeight);
        setPair(values, 0, s, attacking);
        setPair(values, 3, s, blendByStage(KnightMid, KnightEnd, s, midWeight));
        setPair(values, 4, s, blendByStage(RookMid, RookEnd, s, midWeight));
        setPair(values, 5, s, blendByStage(CannonMid, CannonEnd, s, midWeight));

        // Defenders are worth more the harder the opponent attacks; pawns are
        // worth more the harder their own side attacks.
        int safe = baseValue(AdvisorBishopSafe, s);
        int threatened = baseValue(AdvisorBishopThreatened, s);
        int redDefender = blendByAttack(safe, threatened, blackAttack);
        int blackDefender = blendByAttack(safe, threatened, redAttack);
        values[1][s] = values[2][s] = static_cast<uint8_t>(redDefender);
        values[8][image] = values[9][image] = static_cast<uint8_t>(blackDefender);
        values[6][s] = static_cast<uint8_t>(blendByAttack(attackless, attacking, redAttack));
        values[13][image] = static_cast<uint8_t>(blendByAttack(attackless, attacking, blackAttack));
    }
}

void fillKingThreatValues(int32_t (&threats)[64], int midWeight, int redAttack, int blackAttack) {
    for (int i = 0; i < 16; ++i) {
        // Half the hollow-cannon base on a bare board, all of it at full material.
        threats[i] = HollowCannonBase[i] * (midWeight + 66) / 132;
        threats[16 + i] = CentreKnightBase[i];
        threats[32 + i] = BottomCannonBase[i] * blackAttack / MaxAttack;
        threats[48 + i] = BottomCannonBase[i] * redAttack / MaxAttack;
    }
}

int sideValue(const Position& pos, int side, int opponentAttack) {
    // Safety bonus: 80 when the opponent has no attack at all, 0 at its highest level.
    int value = (MaxAttack - opponentAttack) * 80 / MaxAttack;
    int base = sideTag(side);
    for (int code = base; code < base + 16; ++code) {
        int square = pos.pieceSquares[code];
        if (square != 0) value += pos.pieceValues[keyType(code)][square];
    }
    return value;
}

}  // namespace

GameStage gameStageOf(const Position& pos) {
    uint32_t red = pos.pieceBits & 0xFFFF;
    uint32_t black = pos.pieceBits >> 16;
    int rooks = countBits(red & RookBits) + countBits(black & RookBits);
    int knightsCannons = countBits(red & (KnightBits | CannonBits)) + countBits(black & (KnightBits | CannonBits));
    int minors = countBits(red & (AdvisorBits | BishopBits | PawnBits)) +
                 countBits(black & (AdvisorBits | BishopBits | PawnBits));

    GameStage stage;
    stage.phaseMaterial = 6 * rooks + 3 * knightsCannons + minors;
    stage.midgameWeight = (132 - stage.phaseMaterial) * stage.phaseMaterial / 66;

    stage.redAttack = piecesAcross(pos, 0);
    stage.blackAttack = piecesAcross(pos, 1);
    int redMajor = majorMaterial(red);
    int blackMajor = majorMaterial(black);
    if (redMajor > blackMajor) {
        stage.redAttack += 2 * (redMajor - blackMajor);
    } else {
        stage.blackAttack += 2 * (blackMajor - redMajor);
    }
    if (stage.redAttack > MaxAttack) stage.redAttack = MaxAttack;
    if (stage.blackAttack > MaxAttack) stage.blackAttack = MaxAttack;
    return stage;
}

void preEvaluate(Position& pos, PreEvaluation& pre) {
    GameStage stage = gameStageOf(pos);
    pre.tempo = (4 * stage.midgameWeight + 2) / 66;
    pre.redAttackWeight = stage.redAttack * 80 / MaxAttack;
    pre.blackAttackWeight = stage.blackAttack * 80 / MaxAttack;

    fillPieceSquareValues(pos.pieceValues, stage.midgameWeight, stage.redAttack, stage.blackAttack);
    fillKingThreatValues(pre.kingThreatValues, stage.midgameWeight, stage.redAttack, stage.blackAttack);

    pos.redValue = sideValue(pos, 0, stage.blackAttack);
    pos.blackValue = sideValue(pos, 1, stage.redAttack);
}
