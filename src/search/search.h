// The main alpha-beta search and the quiescence search.
#pragma once

#include <cstdint>
#include "board/position.h"

struct SearchContext {
    bool pollEnabled;        // poll input and limits every 4096 nodes
    bool usePruning;         // the null move
    bool useKnowledge;       // the full evaluation rather than the running sums
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

// Only a node on the principal variation is searched with an open window
// and may be reached before its iterative deepening has a hash move.
enum NodeKind { PvNode, NonPvNode };
// A node right after a null move tries no null move of its own, and trusts
// no stored null-move cutoff.
enum NullState { AfterMove, AfterNull };

int alphaBeta(SearchContext& context, int alpha, int beta, int depth, NodeKind kind, NullState previous);
int quiesce(SearchContext& context, int alpha, int beta);
int hasNullMaterial(const Position& pos);
// Resets killers, history, cutoff statistics and counters as a new search does.
void resetSearchState();
