// The search driver: what go runs.
#pragma once

#include <cstdint>
#include "board/position.h"
#include "movegen/movelist.h"

extern MoveList RootMoves;
extern Move PrincipalVariation[MaxHistory];
extern int32_t DeferredDepth;
extern int32_t DeferredScore;
extern int32_t StableIterations;
extern int32_t TimeUpWhilePondering;

void runSearch(int maxDepth);
int searchRoot(int depth);
int onlyMoveCheck(int threshold, int depth);
int pollInput();
void reportPv(int depth, int score);
// Milliseconds since the search started.
int64_t elapsedMilliseconds();
