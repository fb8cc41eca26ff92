#include <gtest/gtest.h>

#include "movegen_test_util.h"

namespace {

using namespace movegen_test;
using Texts = std::vector<std::string>;

int scoreOf(const Position& pos, const char* move)
{
    for (const MoveEntry& e : captures(pos))
        if (e.move == mv(move))
            return e.score;
    return -1;
}

struct ScoreCase {
    const char* fen;
    const char* move;
    int score;
};

const ScoreCase ScoreCases[] = {
    {"3k5/9/9/9/c8/9/9/9/9/R3K4 w - - 0 1", "a0a5", 4},      // rook takes an undefended cannon
    {"3k5/9/9/9/c7r/9/9/9/9/R3K4 w - - 0 1", "a0a5", 1},     // the cannon defended by a rook
    {"3k5/9/9/r3r4/4P4/9/9/9/9/4K4 w - - 0 1", "e5e6", 3},   // pawn takes a defended rook
    {"4k4/9/9/r3r4/9/9/9/9/9/4RK3 w - - 0 1", "e0e6", 1},    // even trade of rooks
    {"4k4/9/2p6/2p6/9/1N7/9/9/9/4K4 w - - 0 1", "b4c6", 0},  // defended pawn on its own half
    {"4k4/9/9/9/2p6/2p6/9/1N7/9/4K4 w - - 0 1", "b2c4", 1},  // the same pawn across the river
    {"4k4/9/9/2p6/9/1N7/9/9/9/4K4 w - - 0 1", "b4c6", 3},    // undefended pawn
    {"4k4/4a4/9/9/9/9/9/9/9/3KR4 w - - 0 1", "e0e8", 0},     // advisor guarded by its king
    {"4k4/9/9/9/9/9/9/9/9/3KR1C2 b - - 0 1", "e9e8", -1},    // a quiet move is no capture
};

TEST(CaptureScores, StatedCasesAndGoodCaptureAgree)
{
    for (const ScoreCase& c : ScoreCases) {
        const Position pos = fromFen(c.fen);
        EXPECT_EQ(scoreOf(pos, c.move), c.score) << c.fen << " " << c.move;
        EXPECT_EQ(isGoodCapture(pos, mv(c.move)), c.score >= 2 ? 1 : 0) << c.fen << " " << c.move;
    }
}

TEST(Generation, CannonCapturesOnlyBehindExactlyOneScreen)
{
    // Red cannon a0: screen c0 before the rook on e0, screen a3 before the
    // rook on a6 (a9 out of reach). Red cannon i5 has no screen before i9.
    const Position pos = fromFen("r2k4r/9/9/r8/8C/9/P8/9/5K3/C1n1r4 w - - 0 1");
    const auto caps = captures(pos);
    EXPECT_EQ(movesFrom(caps, "a0"), (Texts{"a0e0", "a0a6"}));
    EXPECT_TRUE(movesFrom(caps, "i5").empty());
    EXPECT_EQ(movesFrom(quietMoves(pos), "a0"), (Texts{"a0b0", "a0a2", "a0a1"}));
}

TEST(Generation, BlockedEyeAndLeg)
{
    // Bishop c0: the eye d1 is taken, so the rook on e2 is safe from it.
    const Position bishop = fromFen("4k4/9/9/9/9/9/9/r3r4/3p5/2B2K3 w - - 0 1");
    EXPECT_EQ(movesFrom(captures(bishop), "c0"), (Texts{"c0a2"}));
    EXPECT_TRUE(movesFrom(quietMoves(bishop), "c0").empty());

    // Knight g4: the leg g5 is taken, which shields f6 and h6 but not e5.
    const Position knight = fromFen("4k4/9/9/5r1r1/4r1p2/6N2/9/9/9/4K4 w - - 0 1");
    EXPECT_EQ(movesFrom(captures(knight), "g4"), (Texts{"g4e5"}));
    EXPECT_EQ(movesFrom(quietMoves(knight), "g4"), (Texts{"g4i5", "g4e3", "g4i3", "g4f2", "g4h2"}));
}

TEST(Generation, QuietMovesInPieceOrderAndSlidesFarthestFirst)
{
    const Position pos = fromFen("4k4/9/9/9/R8/9/9/9/9/4K4 w - - 0 1");
    Texts all;
    for (const MoveEntry& e : quietMoves(pos)) {
        all.push_back(text(e.move));
        EXPECT_EQ(e.score, 0);
    }
    EXPECT_EQ(all, (Texts{"e0e1", "e0d0", "e0f0",                                   // king
                          "a5i5", "a5h5", "a5g5", "a5f5", "a5e5", "a5d5", "a5c5", "a5b5",  // right
                          "a5a0", "a5a1", "a5a2", "a5a3", "a5a4",                   // down
                          "a5a9", "a5a8", "a5a7", "a5a6"}));                        // up
    EXPECT_TRUE(captures(pos).empty());
}

TEST(AttackTest, KnightLegAndCannonScreens)
{
    EXPECT_EQ(isAttackedBy(fromFen("4k4/9/9/3n5/9/9/9/9/9/4K4 w"), 1, sq("e4"), 0), 1);
    EXPECT_EQ(isAttackedBy(fromFen("4k4/9/9/3n5/3P5/9/9/9/9/4K4 w"), 1, sq("e4"), 0), 0);

    EXPECT_EQ(isAttackedBy(fromFen("c3k4/9/9/9/9/9/9/9/9/4K4 w"), 1, sq("a0"), 0), 0);
    EXPECT_EQ(isAttackedBy(fromFen("c3k4/9/P8/9/9/9/9/9/9/4K4 w"), 1, sq("a0"), 0), 1);
    EXPECT_EQ(isAttackedBy(fromFen("c3k4/9/P8/9/P8/9/9/9/9/4K4 w"), 1, sq("a0"), 0), 0);
    EXPECT_EQ(isAttackedBy(fromFen("r3k4/9/9/9/9/9/9/9/9/4K4 w"), 1, sq("a0"), 0), 1);
    EXPECT_EQ(isAttackedBy(fromFen("r3k4/9/P8/9/9/9/9/9/9/4K4 w"), 1, sq("a0"), 0), 0);
}

TEST(AttackTest, IgnoredPieceStillBlocks)
{
    const Position pos = fromFen("r3k4/9/9/9/r8/9/9/9/9/4K4 w");
    EXPECT_EQ(isAttackedBy(pos, 1, sq("a0"), 0), 1);
    EXPECT_EQ(isAttackedBy(pos, 1, sq("a0"), sq("a9")), 1);
    EXPECT_EQ(isAttackedBy(pos, 1, sq("a0"), sq("a5")), 0);

    // The only guard of e2 is the bishop; the king and advisors are not near it.
    const Position bishop = fromFen("4k4/9/9/9/9/9/9/9/9/2B1K4 w");
    EXPECT_EQ(isAttackedBy(bishop, 0, sq("e2"), 0), 1);
    EXPECT_EQ(isAttackedBy(bishop, 0, sq("e2"), sq("c0")), 0);
    EXPECT_EQ(isAttackedBy(fromFen("4k4/9/9/9/9/9/9/9/3P5/2B1K4 w"), 0, sq("e2"), 0), 0);
}

TEST(AttackTest, PalacePieces)
{
    const Position pos = fromFen("4k4/9/9/9/9/9/9/9/9/3AK4 w");
    EXPECT_EQ(isAttackedBy(pos, 0, sq("e1"), 0), 1);
    EXPECT_EQ(isAttackedBy(pos, 0, sq("f0"), 0), 1);
    EXPECT_EQ(isAttackedBy(pos, 0, sq("e2"), 0), 0);
    EXPECT_EQ(isAttackedBy(pos, 0, sq("e1"), sq("e0")), 1);  // the advisor still guards it
    EXPECT_EQ(isAttackedBy(pos, 0, sq("e1"), sq("d0")), 1);
    // Facing kings belong to the check test, not to the attack test.
    EXPECT_EQ(isAttackedBy(pos, 0, sq("e9"), 0), 0);
    EXPECT_EQ(isAttackedBy(pos, 1, sq("e0"), 0), 0);
    EXPECT_EQ(pos.inCheck(0), 1);
}

TEST(AttackTest, PawnsBeforeAndAfterTheRiver)
{
    const Position red = fromFen("4k4/9/9/4P4/9/9/4P4/9/9/3K5 w");  // e6 across, e3 at home
    for (const char* s : {"e4", "e7", "d6", "f6"})
        EXPECT_EQ(isAttackedBy(red, 0, sq(s), 0), 1) << s;
    for (const char* s : {"d3", "f3", "e2", "e5", "d4"})
        EXPECT_EQ(isAttackedBy(red, 0, sq(s), 0), 0) << s;

    const Position black = fromFen("3k5/9/9/4p4/9/9/4p4/9/9/4K4 w");  // e6 at home, e3 across
    for (const char* s : {"e5", "e2", "d3", "f3"})
        EXPECT_EQ(isAttackedBy(black, 1, sq(s), 0), 1) << s;
    for (const char* s : {"d6", "f6", "e7", "e4", "d5"})
        EXPECT_EQ(isAttackedBy(black, 1, sq(s), 0), 0) << s;
}

}  // namespace
