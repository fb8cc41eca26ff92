// Opening positions for a match: FEN/EPD lines, or the games of a PGN or WXF
// game file with their moves in any notation.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/position.h"
#include "match/match.h"

struct Opening {
    std::string fen;          // empty: the standard start
    std::vector<Move> moves;  // played from fen before the engines take over
};

// Reads and checks every opening of the file; 0 with a message in error when
// the file cannot be read, holds no opening, or one is illegal under rules.
int loadOpenings(const OpeningSource& settings, RuleSet rules, std::vector<Opening>& out, std::string& error);

// The seeded generator behind every random choice of a match, the same on
// every machine, so that the shards of one match agree on the order.
uint64_t nextRandom(uint64_t& state);
void shuffleOpenings(std::vector<Opening>& openings, uint64_t seed);
