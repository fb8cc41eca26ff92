// Skill levels: how a weakened engine plays. A level below the top runs the
// normal search shallower and with several lines, then draws one of those
// lines, weighted toward the weaker ones the lower the level. Levels are kept
// in hundredths, so that an Elo between two levels plays between them.
#pragma once

#include <cstdint>

#include "board/position.h"
#include "search/limits.h"

constexpr int FullSkillLevel = 20;
constexpr int32_t LevelHundredths = 100;
constexpr int32_t FullStrength = FullSkillLevel * LevelHundredths;

// The Elo of each level, 0 to 20, as UCI_Elo names them: measured by a ladder
// of matches, each level against the next at 2 s + 0.02 s, chained down from
// full strength, which is set at 2500 (calibration/ holds the pairs).
constexpr int32_t LevelElo[FullSkillLevel + 1] = {705,  806,  966,  1070, 1132, 1177, 1362,
                                                  1440, 1489, 1599, 1761, 1809, 1982, 2062,
                                                  2162, 2236, 2297, 2328, 2353, 2446, 2500};

// The lines a weakened level chooses from: at most this many are drawn from.
constexpr int MaxSkillLines = 12;
// Moves kept of each line: the move, the expected reply and more for the report.
constexpr int SkillLineLength = 64;

// How a level below the top searches and draws.
struct SkillSetting {
    int32_t maxDepth;  // plies
    int32_t lines;     // lines searched and drawn from
    int32_t weakness;  // the draw's weight toward weaker lines, 1 to 127: the most at level 0
};

// The level in hundredths (FullStrength for the full search) of an Elo,
// between the lowest and the highest of LevelElo.
int32_t levelOfElo(int32_t elo);
// The search and draw of a level below FullStrength. A level between two
// whole ones plays as one of them, the nearer one more often, so that its
// strength lies between theirs; weakness 0 when that is FullSkillLevel: the
// full search.
SkillSetting skillSetting(int32_t level, uint32_t& randomSeed);

// The lines of one complete depth, best first, as a weakened level saw them.
struct SkillLines {
    int32_t depth = 0;
    int32_t count = 0;
    int32_t score[MaxSkillLines];
    Move moves[MaxSkillLines][SkillLineLength + 1];  // 0-terminated
};

// The index of the line to play, weakness 1 to 127. A mate found is always played; otherwise
// each line scores its value plus a share of its distance below the best
// line and a random push, both larger the larger the weakness, and the
// highest wins.
int chooseSkillLine(const SkillLines& lines, int32_t weakness, uint32_t& randomSeed);
