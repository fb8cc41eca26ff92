// Match statistics: the tally of games and of game pairs, the Elo difference
// with its 95% interval, the likelihood of superiority, and the SPRT's
// log-likelihood ratio over the pentanomial results of pairs.
#pragma once

#include <cstdint>
#include <vector>

#include "match/match.h"

// Scores of the first engine. A pair is two games of one opening with the
// colours swapped (games 2p and 2p+1), scored 0..4 half points.
struct MatchTally {
    int64_t wins, losses, draws;
    int64_t pairs[5];
};

// Counts the games; a pair counts only once both of its games are in.
MatchTally tallyGames(const std::vector<GameResult>& games);

// Half points of the first engine in one game: 2 win, 1 draw, 0 loss.
int firstEngineHalfPoints(const GameResult& game);

struct EloEstimate {
    double elo;     // infinite at a score of 0 or 1
    double margin;  // half the width of the 95% interval; infinite when unknown
    double los;     // likelihood of superiority, 0..1
};

EloEstimate estimateElo(const MatchTally& tally);

// The log-likelihood ratio of elo1 against elo0; 0 until the pairs vary.
double sprtLlr(const MatchTally& tally, const SprtSettings& sprt);
double sprtLowerBound(const SprtSettings& sprt);
double sprtUpperBound(const SprtSettings& sprt);

// The line printed after each game and by merge, without its line feed:
// games, W-L-D, score, Elo +- interval, LOS, and the LLR with its bounds.
std::string statisticsLine(const MatchTally& tally, const SprtSettings& sprt);
// The closing lines of a match and of merge: the statistics under heading
// ("Score of A vs B"), and with an SPRT its decision.
void printSummary(const std::string& heading, const MatchTally& tally, const SprtSettings& sprt);
