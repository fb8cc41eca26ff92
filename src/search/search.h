// The main alpha-beta search and the quiescence search.
#pragma once

#include <cstdint>
#include "board/position.h"

struct SearchContext {
    int32_t pollEnabled;     // poll input and limits every 4096 nodes
    int32_t stopRequested;
    int32_t usePruning;      // the null move
    int32_t useKnowledge;    // the full evaluation rather than the running sums
    Position position;       // the search's own copy of the root position
    Move Killers[MaxHistory][2];
};

extern SearchContext Context;

// A side with more than this in its running sum has the material for the
// null move to be sound.
constexpr int NullMoveMaterial = 300;

// Counters of one search (reset by the driver).
extern int64_t NodeCount;
extern int64_t NextPoll;            // NodeCount at which the next poll is due
constexpr int PollInterval = 4096;
extern int64_t FailHighCount;
extern int64_t FailHighFirstCount;
extern int64_t HistoryReductionCount;
extern int64_t NullReductionCount;
extern int32_t StopSearch;
extern int32_t CutCount[65536];
extern int32_t TryCount[65536];

// Called every 4096 nodes when pollEnabled; nonzero ends the search.
// The driver installs its poll here; tests may install their own.
extern int (*PollHook)();

int alphaBeta(SearchContext& context, int alpha, int beta, int depth, int nonPv, int afterNull);
int quiesce(SearchContext& context, int alpha, int beta);
int hasNullMaterial(const Position& pos);
// Resets killers, history, cutoff statistics and counters as a new search does.
void resetSearchState();
