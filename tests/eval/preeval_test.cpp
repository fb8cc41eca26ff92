#include <gtest/gtest.h>

#include <cstdint>
#include <random>

#include "eval/base_tables.h"
#include "eval_test_util.h"

namespace {

// The sum a side should hold: the safety constant plus its pieces' table entries.
int recomputedValue(const Position& pos, int side, int opponentAttack) {
    int value = (8 - opponentAttack) * 10;
    for (int code = 16 + 16 * side; code < 32 + 16 * side; ++code) {
        int square = pos.pieceSquares[code];
        if (square) value += pos.pieceValues[PieceType[code] + 7 * side][square];
    }
    return value;
}

TEST(PreEvaluate, StartPosition) {
    Position pos = evaluated(StartFen);
    GameStage stage = gameStageOf(pos);
    EXPECT_EQ(stage.phaseMaterial, 66);
    EXPECT_EQ(stage.midgameWeight, 66);
    EXPECT_EQ(stage.redAttack, 0);
    EXPECT_EQ(stage.blackAttack, 0);
    EXPECT_EQ(Pre.tempo, 4);
    EXPECT_EQ(Pre.redAttackWeight, 0);
    EXPECT_EQ(Pre.blackAttackWeight, 0);
    EXPECT_EQ(pos.redValue, 968);
    EXPECT_EQ(pos.blackValue, 968);

    EXPECT_EQ(pos.pieceValues[4][sq("a0")], 194);
    EXPECT_EQ(pos.pieceValues[6][sq("e3")], 15);
    EXPECT_EQ(pos.pieceValues[0][sq("e0")], 15);
    EXPECT_EQ(pos.pieceValues[11][sq("a9")], 194);  // black rook, half-turn of a0
    EXPECT_EQ(pos.pieceValues[13][sq("e6")], 15);
    for (int i = 6; i <= 12; ++i) EXPECT_EQ(Pre.kingThreatValues[i], HollowCannonBase[i]) << i;
    for (int i = 0; i < 16; ++i) EXPECT_EQ(Pre.kingThreatValues[16 + i], CentreKnightBase[i]) << i;
    for (int i = 32; i < 64; ++i) EXPECT_EQ(Pre.kingThreatValues[i], 0) << i;
}

TEST(PreEvaluate, LopsidedEntriesSurviveTheBlend) {
    // At full material only the midgame tables count, so use a bare ending,
    // where the endgame tables' lopsided entries decide.
    Position pos = evaluated("3k5/9/9/9/9/9/9/9/9/4K4 w");
    ASSERT_EQ(gameStageOf(pos).midgameWeight, 0);
    EXPECT_EQ(pos.pieceValues[0][sq("h8")], 65);
    EXPECT_EQ(pos.pieceValues[0][sq("b8")], 55);
    EXPECT_EQ(pos.pieceValues[6][sq("h8")], 25);  // attackless pawn
    EXPECT_EQ(pos.pieceValues[6][sq("b8")], 15);
    EXPECT_EQ(pos.pieceValues[3][sq("c1")], 94);
    EXPECT_EQ(pos.pieceValues[3][sq("g1")], 90);
    // Black sees the same values half a board round: red's h8 is black's b1.
    EXPECT_EQ(pos.pieceValues[7][sq("b1")], 65);
    EXPECT_EQ(pos.pieceValues[10][sq("g8")], 94);
    // Half the hollow-cannon base when nothing but kings is left.
    EXPECT_EQ(Pre.kingThreatValues[12], 40);
}

TEST(PreEvaluate, StageWeightsOfThinBoards) {
    Position defenders = evaluated("2bakab2/9/9/9/9/9/9/9/9/2BAKAB2 w");
    EXPECT_EQ(gameStageOf(defenders).phaseMaterial, 8);
    EXPECT_EQ(gameStageOf(defenders).midgameWeight, 15);
    EXPECT_EQ(Pre.tempo, 0);

    Position oneRook = evaluated("2bakab2/9/9/9/9/9/9/9/9/R1BAKAB2 w");
    EXPECT_EQ(gameStageOf(oneRook).phaseMaterial, 14);
    EXPECT_EQ(gameStageOf(oneRook).midgameWeight, 25);
    EXPECT_EQ(Pre.tempo, 1);
    EXPECT_EQ(gameStageOf(oneRook).redAttack, 4);  // two points of major lead
    EXPECT_EQ(Pre.kingThreatValues[12], 80 * 91 / 132);
}

TEST(PreEvaluate, AttackLevels) {
    // Red rook a5 and knight c6 across, rook i0 at home; black one rook fewer.
    Position pos = evaluated("rn2k4/9/9/2N6/R8/9/9/9/9/4K3R w");
    EXPECT_EQ(gameStageOf(pos).redAttack, 8);
    EXPECT_EQ(gameStageOf(pos).blackAttack, 0);
    EXPECT_EQ(Pre.redAttackWeight, 80);
    EXPECT_EQ(pos.blackValue, recomputedValue(pos, 1, 8));

    // A pawn across would make 9: the level stops at 8.
    Position capped = evaluated("rn2k4/9/9/2N1P4/R8/9/9/9/9/4K3R w");
    EXPECT_EQ(gameStageOf(capped).redAttack, 8);

    // Without the major lead only the pieces across count; a pawn at home does not.
    Position even = evaluated("rn2k4/9/9/2N6/R8/9/4P4/9/9/4K4 w");
    EXPECT_EQ(gameStageOf(even).redAttack, 4);
    EXPECT_EQ(gameStageOf(even).blackAttack, 0);
}

TEST(PreEvaluate, BlackPressureRaisesRedDefenders) {
    // Black two rooks up with nothing across.
    Position pos = evaluated("r3k3r/9/9/9/9/9/9/9/9/2BAKAB2 w");
    EXPECT_EQ(gameStageOf(pos).blackAttack, 8);
    EXPECT_EQ(Pre.blackAttackWeight, 80);
    for (const char* name : {"c0", "d0", "f0", "g0", "e1", "a2", "e2", "c4"}) {
        EXPECT_EQ(pos.pieceValues[1][sq(name)], baseValue(AdvisorBishopThreatened, sq(name))) << name;
        EXPECT_EQ(pos.pieceValues[2][sq(name)], baseValue(AdvisorBishopThreatened, sq(name))) << name;
    }
    // Red's safety constant is gone; black, unthreatened, keeps its 80.
    EXPECT_EQ(pos.redValue, recomputedValue(pos, 0, 8));
    EXPECT_EQ(pos.redValue, 4 * 40 + pos.pieceValues[0][sq("e0")]);
    EXPECT_EQ(pos.blackValue, recomputedValue(pos, 1, 0));
    // Black's defenders stay on the safe table; bottom cannons threaten red only.
    EXPECT_EQ(pos.pieceValues[8][sq("d9")], 20);
    EXPECT_EQ(Pre.kingThreatValues[32 + 3], 40);
    EXPECT_EQ(Pre.kingThreatValues[48 + 3], 0);
}

TEST(PreEvaluate, PawnsBlendByTheirOwnSidesAttack) {
    // Red at level 4 (two rooks across, equal majors), black at 0.
    Position pos = evaluated("rr2k4/9/9/9/RR7/9/9/9/9/4K4 w");
    ASSERT_EQ(gameStageOf(pos).redAttack, 4);
    ASSERT_EQ(gameStageOf(pos).blackAttack, 0);
    int m = gameStageOf(pos).midgameWeight;
    int e3 = sq("e3");
    int attacking = (baseValue(KingPawnMidAttacking, e3) * m + baseValue(KingPawnEndAttacking, e3) * (66 - m)) / 66;
    int attackless = (baseValue(KingPawnMidAttackless, e3) * m + baseValue(KingPawnEndAttackless, e3) * (66 - m)) / 66;
    int e6 = sq("e6");
    int attacking6 = (baseValue(KingPawnMidAttacking, e6) * m + baseValue(KingPawnEndAttacking, e6) * (66 - m)) / 66;
    int attackless6 = (baseValue(KingPawnMidAttackless, e6) * m + baseValue(KingPawnEndAttackless, e6) * (66 - m)) / 66;
    EXPECT_EQ(pos.pieceValues[6][e3], (attackless * 4 + attacking * 4) / 8);
    EXPECT_EQ(pos.pieceValues[6][e6], (attackless6 * 4 + attacking6 * 4) / 8);
    EXPECT_NE(attackless6, attacking6);
    // Black pawns, unattacking, keep the attackless blend on the mirrored squares.
    EXPECT_EQ(pos.pieceValues[13][254 - e6], attackless6);
}

TEST(PreEvaluate, SumsFollowRandomPlay) {
    std::mt19937 random(20240611);
    for (int game = 0; game < 40; ++game) {
        Position pos;
        pos.setFromFen(StartFen);
        // Re-run the blend somewhere inside the game, then play on.
        int blendAt = static_cast<int>(random() % 40);
        int redAttack = 0;
        int blackAttack = 0;
        bool blended = false;
        for (int ply = 0; ply < 120; ++ply) {
            if (ply == blendAt) {
                preEvaluate(pos, Pre);
                GameStage stage = gameStageOf(pos);
                redAttack = stage.redAttack;
                blackAttack = stage.blackAttack;
                blended = true;
                Position again = pos;
                preEvaluate(again, Pre);
                EXPECT_EQ(again.redValue, pos.redValue);
                EXPECT_EQ(again.blackValue, pos.blackValue);
            }
            if (!playRandomMove(pos, random)) break;
            if (ply >= blendAt) {
                ASSERT_EQ(pos.redValue, recomputedValue(pos, 0, blackAttack)) << game << " " << ply;
                ASSERT_EQ(pos.blackValue, recomputedValue(pos, 1, redAttack)) << game << " " << ply;
            }
        }
        // Taking every move back must land on the sums of the start position.
        if (!blended) continue;
        while (pos.moveCount > 1) pos.unmakeMove();
        EXPECT_EQ(pos.redValue, recomputedValue(pos, 0, blackAttack));
        EXPECT_EQ(pos.blackValue, recomputedValue(pos, 1, redAttack));
    }
}

}  // namespace
