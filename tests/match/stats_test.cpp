// The statistics against figures worked out by hand.
#include <gtest/gtest.h>

#include "match/stats.h"

namespace {

GameResult game(int index, int firstIsRed, GameOutcome outcome) { return GameResult{index, firstIsRed, outcome, ""}; }

}  // namespace

// +6 -2 =4 in 12 games: score s = 8/12 = 0.66667, Elo = -400 log10(1/s - 1) = 120.41.
// Variance per game: 6/12 (1 - s)^2 + 4/12 (1/2 - s)^2 + 2/12 s^2 = 0.138889;
// standard error sqrt(0.138889 / 12) = 0.107583; s -+ 1.959964 * 0.107583 =
// 0.455808 .. 0.877525, Elo -30.79 .. 342.09, half the width 186.44.
// LOS = 1/2 + 1/2 erf((6 - 2) / sqrt(2 * 8)) = 1/2 + 1/2 erf(1) = 0.921350.
TEST(MatchStatsTest, EloIntervalAndLosOfASmallTable) {
    MatchTally tally{6, 2, 4, {0, 0, 0, 0, 0}};
    EloEstimate estimate = estimateElo(tally);
    EXPECT_NEAR(estimate.elo, 120.41, 0.01);
    EXPECT_NEAR(estimate.margin, 186.44, 0.01);
    EXPECT_NEAR(estimate.los, 0.921350, 1e-6);
}

// Pairs [0, 1/4, 1/2, 3/4, 1 point] = [1, 2, 5, 3, 1], N = 12: mean score
// s = 6.25 / 12 = 0.520833, variance of a pair score 0.0672743.
// Logistic: s0 = 0.5, s1 = 1 / (1 + 10^(-5/400)) = 0.5071951;
//   LLR = (s1 - s0)(2s - s0 - s1) / (2 * 0.0672743 / 12) = 0.0221207.
// Normalized: a game's deviation sqrt(2 * 0.0672743) = 0.3668087, so
//   s1 = 0.5 + 5 / (800 / ln 10) * 0.3668087 = 0.5052788 and LLR = 0.0171314.
// Bounds for alpha = beta = 0.05: ln(0.05 / 0.95) = -2.944439 and +2.944439.
TEST(MatchStatsTest, LlrOfPentanomialPairs) {
    MatchTally tally{0, 0, 0, {1, 2, 5, 3, 1}};
    SprtSettings sprt{1, 0, 5, 0.05, 0.05, SprtLogistic};
    EXPECT_NEAR(sprtLlr(tally, sprt), 0.0221207, 1e-6);
    sprt.model = SprtNormalized;
    EXPECT_NEAR(sprtLlr(tally, sprt), 0.0171314, 1e-6);
    EXPECT_NEAR(sprtLowerBound(sprt), -2.944439, 1e-6);
    EXPECT_NEAR(sprtUpperBound(sprt), 2.944439, 1e-6);
    // Pairs [0, 0, 10, 40, 50]: s = 0.85, variance 0.0275, s1 = 0.5 + 5 / 347.4356 * 0.2345208
    // = 0.5033750, LLR = 0.0033750 * (1.7 - 1.0033750) / (0.055 / 100) = 4.2748, past the upper bound.
    MatchTally strong{0, 0, 0, {0, 0, 10, 40, 50}};
    EXPECT_NEAR(sprtLlr(strong, sprt), 4.2748, 1e-4);
}

// Games 2p and 2p+1 are one pair; a pair counts once both games are in.
TEST(MatchStatsTest, TallyCountsGamesAndCompletePairs) {
    std::vector<GameResult> games = {game(0, 1, RedWins), game(1, 0, RedWins), game(3, 0, BlackWins),
                                     game(2, 1, GameDrawn), game(4, 1, BlackWins)};
    MatchTally tally = tallyGames(games);
    EXPECT_EQ(tally.wins, 2);
    EXPECT_EQ(tally.losses, 2);
    EXPECT_EQ(tally.draws, 1);
    const int64_t pairs[5] = {0, 0, 1, 1, 0};  // a win and a loss; a draw and a win; game 4 alone
    for (int points = 0; points < 5; points++) EXPECT_EQ(tally.pairs[points], pairs[points]) << points;
}
