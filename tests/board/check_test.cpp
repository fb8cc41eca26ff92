#include <gtest/gtest.h>

#include "common/positions.h"

namespace {

TEST(ValidMove, StartPositionCases) {
    Position pos = fromFen(StartFen);
    EXPECT_TRUE(pos.isValidMove(mv("b2e2")));
    EXPECT_TRUE(pos.isValidMove(mv("b2b9")));
    EXPECT_FALSE(pos.isValidMove(mv("b2b7")));
    EXPECT_FALSE(pos.isValidMove(mv("b0d1")));
    EXPECT_TRUE(pos.isValidMove(mv("h0g2")));
    EXPECT_TRUE(pos.isValidMove(mv("c0e2")));
    EXPECT_TRUE(pos.isValidMove(mv("e0e1")));
    EXPECT_FALSE(pos.isValidMove(mv("e0d0")));
    EXPECT_TRUE(pos.isValidMove(mv("e3e4")));
    EXPECT_FALSE(pos.isValidMove(mv("e3d3")));
    EXPECT_FALSE(pos.isValidMove(mv("e3e2")));
    EXPECT_FALSE(pos.isValidMove(mv("h7e7")));  // black cannon, red to move
    EXPECT_TRUE(pos.isValidMove(mv("a0a2")));
    EXPECT_FALSE(pos.isValidMove(mv("a0b0")));
}

TEST(ValidMove, DestinationOffTheBoardIsRejected) {
    Position pos = fromFen("4k4/9/9/9/9/9/9/9/9/P3K4 w");
    int a0 = sq("a0");
    EXPECT_FALSE(pos.isValidMove(makeMoveValue(a0, a0 - 1)));
    EXPECT_FALSE(pos.isValidMove(makeMoveValue(a0, a0 + 16)));
    EXPECT_FALSE(pos.isValidMove(makeMoveValue(a0, 0)));
}

TEST(ValidMove, PawnsSidewaysOnlyAcrossTheRiver) {
    Position pos = fromFen("4k4/9/9/4P4/9/9/9/9/9/4K4 w");
    EXPECT_TRUE(pos.isValidMove(mv("e6d6")));
    EXPECT_TRUE(pos.isValidMove(mv("e6e7")));
    EXPECT_FALSE(pos.isValidMove(mv("e6e5")));
}

TEST(InCheck, FacingKingsAndScreens) {
    Position open = fromFen("4k4/9/9/9/9/9/9/9/9/4K4 w");
    EXPECT_EQ(open.inCheck(0), 1);
    EXPECT_EQ(open.inCheck(1), 1);
    Position screened = fromFen("4k4/9/9/9/4p4/9/9/9/9/4K4 w");
    EXPECT_EQ(screened.inCheck(0), 0);
    EXPECT_EQ(screened.inCheck(1), 0);
}

TEST(InCheck, CannonNeedsExactlyOneScreen) {
    EXPECT_EQ(fromFen("3k5/9/9/9/9/4c4/9/9/9/4K4 w").inCheck(0), 0);
    EXPECT_EQ(fromFen("3k5/9/9/9/9/4c4/9/4P4/9/4K4 w").inCheck(0), 1);
    EXPECT_EQ(fromFen("3k5/9/9/9/9/4c4/4p4/4P4/9/4K4 w").inCheck(0), 0);
    EXPECT_EQ(fromFen("3k5/9/9/9/9/9/9/9/9/c2PK4 w").inCheck(0), 1);
}

TEST(InCheck, KnightLegAndPawns) {
    EXPECT_EQ(fromFen("3k5/9/9/9/9/9/9/3n5/9/4K4 w").inCheck(0), 1);
    // The knight on d2 jumps to e0 through its leg d1; e1 is not in the way.
    EXPECT_EQ(fromFen("3k5/9/9/9/9/9/9/3n5/3P5/4K4 w").inCheck(0), 0);
    EXPECT_EQ(fromFen("3k5/9/9/9/9/9/9/3n5/4P4/4K4 w").inCheck(0), 1);
    EXPECT_EQ(fromFen("3k5/9/9/9/9/9/9/9/4p4/4K4 w").inCheck(0), 1);
    EXPECT_EQ(fromFen("3k5/9/9/9/9/9/9/9/9/3pK4 w").inCheck(0), 1);
    EXPECT_EQ(fromFen("3k5/9/9/9/9/9/9/9/4K4/4p4 w").inCheck(0), 0);  // a pawn never attacks backwards
    EXPECT_EQ(fromFen("9/9/9/9/9/9/9/9/9/4R4 w").inCheck(1), 0);      // no black king
}

}  // namespace
