// One engine's search state: everything a search changes, in one record that
// the search reaches through one reference, so that two engines can search in
// one process without meeting. The tables built once at start-up stay global.
#pragma once

#include <chrono>
#include <cstdint>
#include "board/position.h"
#include "eval/evaluation.h"
#include "search/hash.h"
#include "search/limits.h"
#include "search/ordering.h"
#include "search/search.h"

class SearchReporter;

constexpr int PollInterval = 4096;

// Called every PollInterval nodes when pollEnabled; nonzero ends the search.
// The driver installs its poll; tests may install their own.
using PollFunction = int (*)(SearchEngine& engine);

struct SearchEngine {
    // What every node reads or writes comes first, the larger tables after it.
    Position position;          // the search's own copy of the root position
    PreEvaluation evaluation;   // fixed for the root by preEvaluate
    TranspositionTable table;
    bool pollEnabled = false;   // poll input and limits every PollInterval nodes
    bool usePruning = true;     // the null move
    bool useKnowledge = true;   // the full evaluation rather than the running sums
    bool stopped = false;       // a poll ended the search: every node unwinds
    int64_t nodeCount = 0;
    int64_t nextPoll = PollInterval;  // nodeCount at which the next poll is due
    int64_t failHighCount = 0;
    int64_t failHighFirstCount = 0;
    int64_t historyReductionCount = 0;
    int64_t nullReductionCount = 0;
    PollFunction pollHook = nullptr;
    Move killers[MaxHistory][2];
    HistoryTable history;
    int32_t cutCount[MoveSlots];  // quiet cutoffs per move, for the reduction
    int32_t tryCount[MoveSlots];  // quiet tries per move in nodes that cut off

    // The driver's: the running search's limits (a ponderhit changes
    // pondering and drawOffered), its reporter, its root and what it found.
    SearchLimits limits;
    SearchReporter* reporter = nullptr;
    // A monotonic clock, so that a change of the system time cannot stretch or cut a search.
    std::chrono::steady_clock::time_point start = std::chrono::steady_clock::now();
    MoveList rootMoves;
    Move principalVariation[MaxHistory];
    Move lineMoves[MaxHistory];           // a further line's moves, while it is reported
    int32_t rootValues[MoveListCapacity]; // with several lines: each root move's score
    // The front end's banned moves, the root moves that would repeat too often
    // and those outside the moves to search.
    Move rootBans[MaxBannedMoves + 2 * MoveListCapacity];
    int32_t stableIterations = 0;
    // The iteration under way and the root moves it has searched: progress only.
    int32_t currentDepth = 0;
    int32_t rootMovesSearched = 0;
    bool timeUpWhilePondering = false;
};
