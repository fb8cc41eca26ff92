// Every setting of the engine, declared once: its kind, start value and range,
// the name under which each protocol shows it, and what setting it does. A
// protocol reads its own words into a value and calls setOption; announcing
// the options walks this table.
#pragma once

#include <cstdint>

enum OptionId {
    OptionHash,          // megabytes of transposition table
    OptionClearHash,
    OptionPonder,        // pondering on: a quarter more normal time, for the time saved on hits
    OptionOwnBook,
    OptionMultiPV,       // best root moves reported at each depth
    OptionMoveOverhead,  // milliseconds kept back from the clock for the way to the front end
    OptionVariant,
    OptionPruning,
    OptionKnowledge,
    OptionSelectivity,   // a level: none, small, medium, large
    OptionSkillLevel,    // 0..20: below 20 a weakened search (session/skill.h)
    OptionLimitStrength, // the level comes from OptionElo instead
    OptionElo,
    OptionSeed,          // the random draws' seed; 0: from the clock
    OptionResign,        // resign where the engine's rule says so
    OptionOfferDraw,     // offer and accept draws where the engine's rule says so
    OptionCount,
};

enum OptionKind { OptionCheck, OptionSpin, OptionCombo, OptionButton };

struct OptionEntry {
    OptionKind kind;
    int32_t startValue;
    int32_t low;                  // spin: the range; combo: 0 .. the last choice
    int32_t high;
    const char* const* choices;   // combo: the name of each value
    // The names each protocol shows; nullptr where a protocol does not have it.
    const char* uciName;
    const char* xboardName;
    const char* ucciName;
};

extern const OptionEntry Options[OptionCount];

// The names of the levels of selectivity (and of UCCI's pruning and knowledge).
extern const char* const LevelNames[4];  // none, small, medium, large

// The option a protocol shows as name, letter case aside (protocolName is
// &OptionEntry::uciName or &OptionEntry::xboardName), or OptionCount.
OptionId optionNamed(const char* const OptionEntry::*protocolName, const char* name);
// The value of the combo's choice that word names, letter case aside; -1 for none.
int choiceNamed(const OptionEntry& entry, const char* word);

// The largest seed: the random generator's states are 1 .. 2^31 - 2.
constexpr int MaxSeed = 0x7FFFFFFE;

// The largest table any protocol may ask for, in megabytes.
constexpr int MaxHashMegabytes = 1024;
