// Random playouts from the named positions; at every position the generators
// are checked against the independent rules of isValidMove and inCheck.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>

#include "board/tables.h"
#include "movegen_test_util.h"

namespace {

using namespace movegen_test;

std::vector<int> boardSquares()
{
    std::vector<int> squares;
    for (int s = 0; s < 256; ++s)
        if (InBoard[s])
            squares.push_back(s);
    return squares;
}

std::vector<int> legalByBruteForce(Position& pos, const std::vector<int>& squares)
{
    std::vector<int> legal;
    for (int s : squares)
        for (int d : squares) {
            const int move = makeMoveValue(s, d);
            if (s != d && pos.isValidMove(move) && pos.makeMove(move)) {
                legal.push_back(move);
                pos.unmakeMove();
            }
        }
    std::sort(legal.begin(), legal.end());
    return legal;
}

void checkPosition(Position& pos, const std::vector<int>& squares)
{
    const int enemyBit = 32 - 16 * pos.sideToMove;
    const auto caps = captures(pos);
    const auto quiet = quietMoves(pos);
    ASSERT_LE(caps.size() + quiet.size(), 119u);

    for (const MoveEntry& e : caps) {
        ASSERT_TRUE(pos.isValidMove(e.move)) << text(e.move);
        ASSERT_TRUE(pos.board[moveDestination(e.move)] & enemyBit) << text(e.move);
        ASSERT_LE(e.score, 6);
        ASSERT_EQ(isGoodCapture(pos, e.move), e.score >= 2 ? 1 : 0) << text(e.move);
    }
    for (const MoveEntry& e : quiet) {
        ASSERT_TRUE(pos.isValidMove(e.move)) << text(e.move);
        ASSERT_EQ(pos.board[moveDestination(e.move)], 0) << text(e.move);
        ASSERT_EQ(e.score, 0);
        ASSERT_EQ(isGoodCapture(pos, e.move), 0);
    }

    // An enemy piece is attacked exactly when a capture of it was generated,
    // and with one attacker ignored exactly when another one remains.
    for (int d : squares) {
        if (!(pos.board[d] & enemyBit))
            continue;
        std::vector<int> attackers;
        for (const MoveEntry& e : caps)
            if (moveDestination(e.move) == d)
                attackers.push_back(moveSource(e.move));
        ASSERT_EQ(isAttackedBy(pos, pos.sideToMove, d, 0), attackers.empty() ? 0 : 1) << d;
        if (attackers.size() == 1) {
            ASSERT_EQ(isAttackedBy(pos, pos.sideToMove, d, attackers[0]), 0) << d;
        }
    }

    ASSERT_EQ(legalByGeneration(pos), legalByBruteForce(pos, squares));
}

TEST(CrossCheck, RandomPlayoutsFromNamedPositions)
{
    const std::vector<int> squares = boardSquares();
    std::mt19937 random(20261207);
    int checked = 0;
    for (const char* fen : {StartFen, MidgameFen, CheckmateFen, ZugzwangFen, EndgameFen}) {
        for (int game = 0; game < 6; ++game) {
            Position pos = fromFen(fen);
            for (int ply = 0; ply < 60; ++ply) {
                checkPosition(pos, squares);
                if (HasFatalFailure())
                    return;
                ++checked;
                // Both sides' view of the same board: the attack test is side-neutral.
                Position flipped = pos;
                flipped.changeSide();
                checkPosition(flipped, squares);
                if (HasFatalFailure())
                    return;
                const std::vector<int> legal = legalByGeneration(pos);
                if (legal.empty())
                    break;
                ASSERT_TRUE(pos.makeMove(legal[random() % legal.size()]));
            }
        }
    }
    EXPECT_GT(checked, 500);
}

}  // namespace
