// Engine settings and search limits: plain globals written by the idle loop
// (options, go) and read by the search, the book and the busy-time poll.
#pragma once

#include <cstdint>
#include "board/position.h"

extern int32_t QuitRequested;
extern int32_t Pondering;
extern int32_t DrawOffered;
extern int32_t BatchMode;
extern int32_t DebugMode;
extern int32_t UseBook;
extern int32_t UsePruning;
extern int32_t UseKnowledge;
extern uint32_t RandomSeed;
extern int32_t LimitMode;     // 0 depth, 1 nodes, 2 time
extern int32_t NodeLimit;
extern int32_t NormalTime;    // milliseconds
extern int32_t MaxTime;       // milliseconds
extern int32_t RandomMask;
constexpr int MaxBanMoves = 1024;
extern int32_t BanMoveCount;
extern Move BanMoves[MaxBanMoves];
constexpr int BookPathSize = 1024;
extern char BookPath[BookPathSize];

// One Park-Miller step of RandomSeed; returns the new value.
uint32_t nextRandom();
