// Elo from the game score as the chess runners give it, and the SPRT on
// normalized Elo (fishtest's nElo) or logistic Elo, with the pentanomial
// variance of game pairs, in the usual normal approximation of the GSPRT.
#include "match/stats.h"

#include <cmath>
#include <cstdio>

namespace {

// Two-sided 95% quantile of the normal distribution.
constexpr double Normal95 = 1.959963984540054;
// Normalized Elo per unit of (score - 1/2) / standard deviation of a game.
const double NormalizedEloScale = 800.0 / std::log(10.0);

double eloOfScore(double score) {
    if (score <= 0.0) return -INFINITY;
    if (score >= 1.0) return INFINITY;
    return -400.0 * std::log10(1.0 / score - 1.0);
}

double scoreOfElo(double elo) { return 1.0 / (1.0 + std::pow(10.0, -elo / 400.0)); }

}  // namespace

int firstEngineHalfPoints(const GameResult& game) {
    if (game.outcome == GameDrawn) return 1;
    int redWon = game.outcome == RedWins;
    return redWon == game.firstIsRed ? 2 : 0;
}

MatchTally tallyGames(const std::vector<GameResult>& games) {
    MatchTally tally{};
    std::vector<int> pairScore;
    std::vector<int> pairGames;
    for (const GameResult& game : games) {
        int points = firstEngineHalfPoints(game);
        tally.wins += points == 2;
        tally.draws += points == 1;
        tally.losses += points == 0;
        size_t pair = static_cast<size_t>(game.index / 2);
        if (pair >= pairScore.size()) {
            pairScore.resize(pair + 1, 0);
            pairGames.resize(pair + 1, 0);
        }
        pairScore[pair] += points;
        pairGames[pair]++;
    }
    for (size_t pair = 0; pair < pairScore.size(); pair++)
        if (pairGames[pair] == 2) tally.pairs[pairScore[pair]]++;
    return tally;
}

EloEstimate estimateElo(const MatchTally& tally) {
    EloEstimate estimate{0.0, INFINITY, 0.5};
    double games = static_cast<double>(tally.wins + tally.losses + tally.draws);
    if (games == 0) return estimate;
    double w = tally.wins / games, d = tally.draws / games, l = tally.losses / games;
    double score = w + d / 2;
    double variance = w * (1 - score) * (1 - score) + d * (0.5 - score) * (0.5 - score) + l * score * score;
    double deviation = std::sqrt(variance / games);
    estimate.elo = eloOfScore(score) + 0.0;  // no "-0.0" in a progress line
    double low = eloOfScore(score - Normal95 * deviation), high = eloOfScore(score + Normal95 * deviation);
    if (std::isfinite(low) && std::isfinite(high)) estimate.margin = (high - low) / 2;
    double decisive = static_cast<double>(tally.wins + tally.losses);
    if (decisive > 0)
        estimate.los = 0.5 + 0.5 * std::erf((tally.wins - tally.losses) / std::sqrt(2.0 * decisive));
    return estimate;
}

double sprtLlr(const MatchTally& tally, const SprtSettings& sprt) {
    double pairs = 0;
    for (int64_t count : tally.pairs) pairs += static_cast<double>(count);
    if (pairs == 0) return 0.0;
    double score = 0;
    for (int points = 0; points < 5; points++) score += tally.pairs[points] / pairs * points / 4.0;
    double variance = 0;
    for (int points = 0; points < 5; points++) {
        double deviation = points / 4.0 - score;
        variance += tally.pairs[points] / pairs * deviation * deviation;
    }
    if (variance <= 0) return 0.0;
    double score0, score1;
    if (sprt.model == SprtNormalized) {
        // A pair's deviation times the square root of two is a game's.
        double gameDeviation = std::sqrt(2.0 * variance);
        score0 = 0.5 + sprt.elo0 / NormalizedEloScale * gameDeviation;
        score1 = 0.5 + sprt.elo1 / NormalizedEloScale * gameDeviation;
    } else {
        score0 = scoreOfElo(sprt.elo0);
        score1 = scoreOfElo(sprt.elo1);
    }
    return (score1 - score0) * (2 * score - score0 - score1) / (2 * variance / pairs);
}

double sprtLowerBound(const SprtSettings& sprt) { return std::log(sprt.beta / (1 - sprt.alpha)); }
double sprtUpperBound(const SprtSettings& sprt) { return std::log((1 - sprt.beta) / sprt.alpha); }

std::string statisticsLine(const MatchTally& tally, const SprtSettings& sprt) {
    int64_t games = tally.wins + tally.losses + tally.draws;
    double score = games > 0 ? (tally.wins + tally.draws / 2.0) / games : 0.5;
    EloEstimate elo = estimateElo(tally);
    char text[512];
    int length = std::snprintf(text, sizeof text,
                               "Games %lld: +%lld -%lld =%lld, score %.1f%%, Elo %.1f +/- %.1f, LOS %.1f%%",
                               static_cast<long long>(games), static_cast<long long>(tally.wins),
                               static_cast<long long>(tally.losses), static_cast<long long>(tally.draws),
                               100 * score, elo.elo, elo.margin, 100 * elo.los);
    if (sprt.enabled)
        std::snprintf(text + length, sizeof text - length,
                      ", pairs [%lld %lld %lld %lld %lld], LLR %.2f (%.2f, %.2f)",
                      static_cast<long long>(tally.pairs[0]), static_cast<long long>(tally.pairs[1]),
                      static_cast<long long>(tally.pairs[2]), static_cast<long long>(tally.pairs[3]),
                      static_cast<long long>(tally.pairs[4]), sprtLlr(tally, sprt), sprtLowerBound(sprt),
                      sprtUpperBound(sprt));
    return text;
}

void printSummary(const std::string& heading, const MatchTally& tally, const SprtSettings& sprt) {
    std::printf("%s: %s\n", heading.c_str(), statisticsLine(tally, sprt).c_str());
    if (!sprt.enabled) return;
    const double llr = sprtLlr(tally, sprt);
    std::printf("SPRT: %s\n", llr >= sprtUpperBound(sprt)   ? "H1 accepted"
                              : llr <= sprtLowerBound(sprt) ? "H0 accepted"
                                                            : "no decision yet");
}
