#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "eval_test_util.h"

namespace {

TEST(Evaluate, StartPositionIsTempoForEitherSide) {
    for (const char* side : {" w", " b"}) {
        std::string fen = std::string("rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR") + side;
        Position pos = evaluated(fen.c_str());
        EXPECT_EQ(kingShapeScore(pos, Pre), 0);
        EXPECT_EQ(pinScore(pos), 0);
        EXPECT_EQ(rookMobilityScore(pos), 0);
        EXPECT_EQ(knightTrapScore(pos), 0);
        EXPECT_EQ(quickEvaluate(pos, Pre), Pre.tempo);
        EXPECT_EQ(evaluate(pos, Pre, -1000, 1000), 4);
    }
}

TEST(KingShape, KingOffHomeWithBothAdvisors) {
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke1 Ad0 Af0 ke9"), Pre), -20);
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke1 Ad0 Af0 ke9", 'b'), Pre), 20);
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Kd0 Ae1 Af0 ke9"), Pre), 0);
    // One advisor lost and black without its rook pair: no penalty.
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke1 Ad0 ke9 ra9"), Pre), 0);
}

TEST(KingShape, LostAdvisorAgainstARookPair) {
    // Black two points of major lead: attack level 4, weight 40.
    Position pos = evaluatedPieces("Ke0 Ad0 Ra0 ke9 ra9 ri9");
    ASSERT_EQ(Pre.blackAttackWeight, 40);
    EXPECT_EQ(kingShapeScore(pos, Pre), -8);
    // Equal majors, both black rooks across: still weight 40, now 8 + 40.
    pos = evaluatedPieces("Ke0 Ad0 Ra0 Ri0 ke9 ra3 ri3");
    ASSERT_EQ(Pre.blackAttackWeight, 40);
    EXPECT_EQ(kingShapeScore(pos, Pre), -48);
}

TEST(KingShape, CannonsAgainstAdvisorsAtHome) {
    Position hollow = evaluatedPieces("Ke0 Ad0 Af0 ke9 ce5");
    EXPECT_EQ(kingShapeScore(hollow, Pre), -Pre.kingThreatValues[8]);
    EXPECT_EQ(Pre.kingThreatValues[8], 70 * (9 + 66) / 132);

    // Behind a screen and the own knight on the palace centre: the whole centre-knight value.
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke0 Ad0 Af0 Ne1 Pe3 ke9 ce7"), Pre), -30);
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke0 Ad0 Af0 Pe1 Pe3 ke9 ce7"), Pre), 0);
    // Advisors in no listed shape: the hollow cannon is not scored.
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke0 Ad2 Af0 ke9 ce5"), Pre), 0);
}

TEST(KingShape, CannonsAgainstAnAdvisorOnTheCentre) {
    // A quarter of the centre-knight value (30 >> 2), then 20 when the empty
    // advisor home is attacked, then 80 for a rook shutting the king in.
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke0 Ad0 Ae1 Pe3 ke9 ce7"), Pre), -7);
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke0 Ad0 Ae1 Pe3 ke9 ce7 rf9"), Pre), -27);
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke0 Ad0 Ae1 Pe3 Rh0 ke9 ce7 rf9"), Pre), -107);
    // Shape 3 tests the other home square.
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke0 Af0 Ae1 Pe3 ke9 ce7 rf9"), Pre), -7);
    EXPECT_EQ(kingShapeScore(evaluatedPieces("Ke0 Af0 Ae1 Pe3 ke9 ce7 rd9"), Pre), -27);

    // A cannon on the back rank looking at the king: attack level 3 (cannon
    // across plus its major lead) gives 40 * 3 / 8.
    Position bottom = evaluatedPieces("Ke0 Af0 Ae1 ke9 ca0");
    EXPECT_EQ(Pre.kingThreatValues[32 + 3], 15);
    EXPECT_EQ(kingShapeScore(bottom, Pre), -15);
}

TEST(Pins, RookAgainstTheKing) {
    // A knight three rows in front of its king: 44 - 4 * 3.
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Ne3 kd9 re7")), -32);
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Ce3 kd9 re7")), -32);
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Re3 kd9 re7")), 0);
    // Defended by its own rook along the rank: no pin.
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Ne3 Ri3 kd9 re7")), 0);
    // The same pin seen by black to move.
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Ne3 kd9 re7", 'b')), 32);
}

TEST(Pins, CannonAgainstTheKingOnlyPinsKnights) {
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Ne3 Pe5 kd9 ce7")), -32);
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Ce3 Pe5 kd9 ce7")), 0);
    // Without a screen the cannon sees the knight first: nothing.
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Ne3 kd9 ce7")), 0);
}

TEST(Pins, AgainstARook) {
    // Along a rank, four columns apart: 40 - 4 * 4.
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Nc5 Rg5 kd9 ra5")), -24);
    // A defended rook behind is no target.
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Nc5 Rg5 Pg4 kd9 ra5")), 0);
    // A cannon over a screen pins the knight to the rook.
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Nc5 Rg5 kd9 ca5 pb5")), -24);
    // A red pawn screen across the river defends the knight beside it.
    EXPECT_EQ(pinScore(evaluatedPieces("Ke0 Pb5 Nc5 Rg5 kd9 ca5")), 0);
}

TEST(RookMobility, HalvesTowardsMinusInfinity) {
    // Red's rook has 3 free squares, black's 6.
    EXPECT_EQ(rookMobilityScore(evaluatedPieces("Ke0 Ra0 Pa1 ke9 ri9 pi5")), -2);
    EXPECT_EQ(rookMobilityScore(evaluatedPieces("Ke0 Ra0 Pa1 ke9 ri9 pi5", 'b')), 1);
}

TEST(KnightTrap, CornerAndPoorSquares) {
    EXPECT_EQ(knightTrapScore(evaluatedPieces("Ke0 Na0 kd9 ri2 rc9")), -10);
    EXPECT_EQ(knightTrapScore(evaluatedPieces("Ke0 Na0 kd9 ri2")), -5);
    EXPECT_EQ(knightTrapScore(evaluatedPieces("Ke0 Na0 kd9 ri2", 'b')), 5);
    // Only edge squares and the palace centre left open: still trapped.
    EXPECT_EQ(knightTrapScore(evaluatedPieces("Ke0 Nc2 Pb4 Pd4 Pe3 kd9")), -10);
    EXPECT_EQ(knightTrapScore(evaluatedPieces("Ke0 Nc2 Pb4 Pd4 kd9")), -5);
}

TEST(Evaluate, LazyExitsStepByStep) {
    // Terms here: king shape -16, pins 0, rook mobility -14, knight trap -10.
    Position pos = evaluatedPieces("Ke0 Na0 kd9 ri2 rc9");
    ASSERT_EQ(kingShapeScore(pos, Pre), -16);
    ASSERT_EQ(pinScore(pos), 0);
    ASSERT_EQ(rookMobilityScore(pos), -14);
    ASSERT_EQ(knightTrapScore(pos), -10);
    int q = quickEvaluate(pos, Pre);
    EXPECT_EQ(evaluate(pos, Pre, q + 160, 1000), q);
    EXPECT_EQ(evaluate(pos, Pre, q + 159, 1000), q - 16);
    EXPECT_EQ(evaluate(pos, Pre, q + 23, 1000), q - 30);
    EXPECT_EQ(evaluate(pos, Pre, q - 11, 1000), q - 40);
    EXPECT_EQ(evaluate(pos, Pre, -1000, 1000), q - 40);

    // From the other side of the window, on the colour-swapped twin.
    Position twin = evaluated(fenOf(pos, true).c_str());
    ASSERT_EQ(quickEvaluate(twin, Pre), q);
    EXPECT_EQ(evaluate(twin, Pre, -1000, q - 160), q);
    EXPECT_EQ(evaluate(twin, Pre, -1000, q - 159), q - 16);
    EXPECT_EQ(evaluate(twin, Pre, -1000, q - 55), q - 30);
}

TEST(Repetition, PerpetualCheckAndDrawScores) {
    Position pos = evaluated(StartFen);
    for (int i = 0; i < 4; ++i) ASSERT_TRUE(pos.makeNullMove());
    ASSERT_EQ(pos.ply(), 4);
    EXPECT_EQ(repetitionScore(pos, 1), -20);
    EXPECT_EQ(repetitionScore(pos, 7), -20);
    EXPECT_EQ(repetitionScore(pos, 3), -946);
    ASSERT_TRUE(pos.makeNullMove());
    EXPECT_EQ(repetitionScore(pos, 3), -945);
    EXPECT_EQ(repetitionScore(pos, 5), 945);
    EXPECT_EQ(repetitionScore(pos, 7), 20);
    EXPECT_EQ(repetitionScore(pos, 1), 20);
}

// Positions reached by random play from the start, plus the hand-made ones above.
std::vector<std::string> samplePositions() {
    std::vector<std::string> fens = {
        StartFen,
        fenFromPieces("Ke0 Ad0 Ae1 Pe3 Rh0 ke9 ce7 rf9"),
        fenFromPieces("Ke0 Ad0 Af0 Ne1 Pe3 ke9 ce7"),
        fenFromPieces("Ke0 Af0 Ae1 ke9 ca0"),
        fenFromPieces("Ke0 Nc5 Rg5 kd9 ca5 pb5"),
        fenFromPieces("Ke0 Ne3 Pe5 kd9 ce7"),
        fenFromPieces("Ke0 Ad0 Ra0 Ri0 ke9 ra3 ri3"),
    };
    std::mt19937 random(77);
    Position pos;
    for (int game = 0; game < 30; ++game) {
        pos.setFromFen(StartFen);
        int length = 10 + static_cast<int>(random() % 80);
        for (int ply = 0; ply < length; ++ply) {
            if (!playRandomMove(pos, random)) break;
        }
        fens.push_back(fenOf(pos));
    }
    return fens;
}

TEST(Evaluate, ColourSwappedTwinScoresTheSame) {
    for (const std::string& fen : samplePositions()) {
        Position pos = evaluated(fen.c_str());
        GameStage stage = gameStageOf(pos);
        int values[] = {kingShapeScore(pos, Pre), pinScore(pos), rookMobilityScore(pos), knightTrapScore(pos),
                        quickEvaluate(pos, Pre), evaluate(pos, Pre, -1000, 1000), evaluate(pos, Pre, -30, 30)};
        int red = pos.redValue;
        int black = pos.blackValue;

        std::string swapped = fenOf(pos, true);
        Position twin = evaluated(swapped.c_str());
        GameStage twinStage = gameStageOf(twin);
        int twinValues[] = {kingShapeScore(twin, Pre), pinScore(twin), rookMobilityScore(twin), knightTrapScore(twin),
                            quickEvaluate(twin, Pre), evaluate(twin, Pre, -1000, 1000), evaluate(twin, Pre, -30, 30)};
        EXPECT_EQ(twinStage.redAttack, stage.blackAttack) << fen;
        EXPECT_EQ(twinStage.blackAttack, stage.redAttack) << fen;
        EXPECT_EQ(twin.redValue, black) << fen;
        EXPECT_EQ(twin.blackValue, red) << fen;
        for (int i = 0; i < 7; ++i) EXPECT_EQ(twinValues[i], values[i]) << fen << " / " << swapped << " term " << i;
    }
}

TEST(Evaluate, FarOutsideTheWindowOnlyTheSumCounts) {
    for (const std::string& fen : samplePositions()) {
        Position pos = evaluated(fen.c_str());
        int q = quickEvaluate(pos, Pre);
        EXPECT_EQ(evaluate(pos, Pre, q + 160, q + 400), q) << fen;
        EXPECT_EQ(evaluate(pos, Pre, q + 300, 1000), q) << fen;
        EXPECT_EQ(evaluate(pos, Pre, q - 400, q - 160), q) << fen;
        EXPECT_EQ(evaluate(pos, Pre, -1000, q - 300), q) << fen;
    }
}

}  // namespace
