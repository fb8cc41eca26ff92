// The UCCI engine's state: the position that position sets up and go
// searches, and the settings that setoption changes. Plain globals owned by
// the idle loop.
#pragma once

#include <cstdint>
#include "board/position.h"

extern Position EnginePosition;

extern int32_t QuitRequested;
extern int32_t BatchMode;        // the search reads no input
extern int32_t DebugMode;        // every input line is echoed
extern int32_t UseBook;
extern int32_t UsePruning;
extern int32_t UseKnowledge;
extern int32_t RandomMask;       // selectivity: 0, 1, 3 or 7
extern int32_t UseMilliseconds;  // go times are milliseconds rather than seconds
extern int32_t PonderEnabled;    // a quarter more normal time
extern uint32_t RandomSeed;      // book choices and root noise
constexpr int MaxBanMoves = 1024;
extern int32_t BanMoveCount;
extern Move BanMoves[MaxBanMoves];
constexpr int BookPathSize = 1024;
extern char BookPath[BookPathSize];

// Start-up values of every setting.
void resetSettings();
