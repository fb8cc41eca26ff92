// The limits of one search, as a front end hands them to the driver.
#pragma once

#include <cstdint>
#include "board/position.h"

// Every search ends at maxDepth at the latest; the kind adds one more limit.
enum LimitKind {
    LimitDepth,  // nothing more
    LimitNodes,  // stop once nodeLimit nodes are searched
    LimitTime,   // normal and maximum time, and nodeLimit too when it is set
};

constexpr int MaxSearchDepth = 32;
constexpr int MaxBannedMoves = 1024;

// The root noise of each selectivity level: none, small, medium, large.
constexpr int32_t SelectivityMasks[4] = {0, 1, 3, 7};

struct SearchLimits {
    LimitKind kind = LimitDepth;
    int32_t maxDepth = MaxSearchDepth;
    int64_t nodeLimit = 0;
    int64_t normalTime = 0;           // milliseconds: the budget weighed after each iteration
    int64_t maxTime = 0;              // milliseconds: the poll ends the search past it
    bool pondering = false;           // time does not count until a ponderhit
    bool drawOffered = false;         // the opponent offers a draw
    bool untilStopped = false;        // no limit of its own: ends when input ends
    const Move* bannedMoves = nullptr;  // root moves not to play (at most MaxBannedMoves count)
    int32_t bannedCount = 0;
    const Move* searchMoves = nullptr;  // when searchMoveCount > 0, the only root moves to search
    int32_t searchMoveCount = 0;
    bool stopWhenForced = true;         // end once every other root move is found lost
    int32_t lines = 1;                  // the best root moves reported at each depth, each scored
    bool usePruning = true;
    bool useKnowledge = true;
    int32_t randomMask = 0;           // 0, 1, 3 or 7: width of the root noise
    uint32_t* randomSeed = nullptr;   // the noise's generator; needed when randomMask is set
};
