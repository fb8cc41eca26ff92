#include "session/skill.h"

#include "board/random.h"

namespace {

// What each level below the top searches and how it draws, by level. The
// depth cap makes the large steps (a ply is worth hundreds of Elo this
// shallow); between them more lines and a heavier weakness make the lower
// levels of one depth weaker, so that neighbouring levels stay close. At the
// top the clock, not the cap, ends the search: level 19 searches as deep as
// the time allows, with the cost of a second line and a light draw. From 15
// up the cap rarely binds at fast controls, so the weakness only falls.
constexpr SkillSetting LevelSettings[FullSkillLevel] = {
    // maxDepth, lines, weakness
    {2, 10, 116}, {2, 10, 110}, {2, 8, 100}, {2, 6, 85},  {2, 4, 70},   // 0-4
    {3, 6, 110},  {3, 5, 100},  {3, 4, 85},  {3, 4, 70},  {4, 5, 100},  // 5-9
    {4, 4, 80},   {4, 4, 60},   {5, 4, 90},  {5, 4, 75},  {6, 4, 90},   // 10-14
    {6, 4, 80},   {7, 4, 80},   {8, 4, 70},  {9, 4, 60},  {MaxSearchDepth, 2, 40},  // 15-19
};

// The random push is at most about a pawn (a pawn is 7 to 10 units), less when
// the lines lie closer together than that.
constexpr int32_t PawnUnits = 10;
// The weight of a line's distance below the best one, and of the push, is
// weakness / WeightScale.
constexpr int32_t WeightScale = 128;

}  // namespace

int32_t levelOfElo(int32_t elo) {
    if (elo <= LevelElo[0]) return 0;
    for (int level = 0; level < FullSkillLevel; level++) {
        const int32_t low = LevelElo[level], high = LevelElo[level + 1];
        if (elo < high) return level * LevelHundredths + (elo - low) * LevelHundredths / (high - low);
    }
    return FullStrength;
}

SkillSetting skillSetting(int32_t level, uint32_t& randomSeed) {
    if (level < 0) level = 0;
    int whole = level / LevelHundredths;
    const int32_t part = level % LevelHundredths;
    if (part != 0 && static_cast<int32_t>(nextRandom(randomSeed) % LevelHundredths) < part) whole++;
    return whole >= FullSkillLevel ? SkillSetting{MaxSearchDepth, 1, 0} : LevelSettings[whole];
}

int chooseSkillLine(const SkillLines& lines, int32_t weakness, uint32_t& randomSeed) {
    if (lines.count <= 1 || lines.score[0] > MateBound) return 0;
    const int32_t top = lines.score[0];
    const int32_t spread = top - lines.score[lines.count - 1];
    const int32_t delta = spread < PawnUnits ? spread : PawnUnits;
    int chosen = 0;
    int64_t chosenValue = 0;
    for (int i = 0; i < lines.count; i++) {
        const uint32_t draw = nextRandom(randomSeed) % static_cast<uint32_t>(weakness);
        const int64_t push = (int64_t(weakness) * (top - lines.score[i]) + int64_t(delta) * draw) / WeightScale;
        const int64_t value = lines.score[i] + push;
        if (i == 0 || value > chosenValue) {
            chosen = i;
            chosenValue = value;
        }
    }
    return chosen;
}
