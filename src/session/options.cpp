#include "session/options.h"

#include "io/text.h"
#include "session/skill.h"

const char* const LevelNames[4] = {"none", "small", "medium", "large"};

namespace {

const char* const VariantNames[] = {"xiangqi"};

}  // namespace

// In the order UCI front ends are shown them.
const OptionEntry Options[OptionCount] = {
    // kind, start, low, high, choices, UCI, XBoard, UCCI
    {OptionSpin, 16, 1, MaxHashMegabytes, nullptr, "Hash", nullptr, "hashsize"},
    {OptionButton, 0, 0, 0, nullptr, "Clear Hash", "Clear Hash", "newgame"},
    {OptionCheck, 0, 0, 1, nullptr, "Ponder", nullptr, "ponder"},
    {OptionCheck, 1, 0, 1, nullptr, "OwnBook", "OwnBook", "usebook"},
    {OptionSpin, 1, 1, 128, nullptr, "MultiPV", nullptr, nullptr},
    {OptionSpin, 30, 0, 5000, nullptr, "Move Overhead", "Move Overhead", nullptr},
    {OptionCombo, 0, 0, 0, VariantNames, "UCI_Variant", nullptr, nullptr},
    {OptionCheck, 1, 0, 1, nullptr, "Pruning", "Pruning", "pruning"},
    {OptionCheck, 1, 0, 1, nullptr, "Knowledge", "Knowledge", "knowledge"},
    {OptionCombo, 0, 0, 3, LevelNames, "Selectivity", "Selectivity", "selectivity"},
    {OptionSpin, FullSkillLevel, 0, FullSkillLevel, nullptr, "Skill Level", "Skill Level", nullptr},
    {OptionCheck, 0, 0, 1, nullptr, "UCI_LimitStrength", "UCI_LimitStrength", nullptr},
    {OptionSpin, LevelElo[FullSkillLevel / 2], LevelElo[0], LevelElo[FullSkillLevel], nullptr, "UCI_Elo", "UCI_Elo",
     nullptr},
    {OptionSpin, 0, 0, MaxSeed, nullptr, "Seed", "Seed", nullptr},
    {OptionCheck, 1, 0, 1, nullptr, nullptr, "Resign", nullptr},
    {OptionCheck, 1, 0, 1, nullptr, nullptr, "Offer Draw", nullptr},
};

OptionId optionNamed(const char* const OptionEntry::*protocolName, const char* name) {
    for (int id = 0; id < OptionCount; id++) {
        const char* shown = Options[id].*protocolName;
        if (shown != nullptr && sameWord(name, shown)) return static_cast<OptionId>(id);
    }
    return OptionCount;
}

int choiceNamed(const OptionEntry& entry, const char* word) {
    for (int i = entry.low; i <= entry.high; i++)
        if (sameWord(word, entry.choices[i])) return i;
    return -1;
}
