// The search driver: what a front end runs for one search. It takes the
// position and the limits as values, reports each new best root move and
// asks for commands through the front end's SearchReporter, and gives back
// the result. It prints nothing and reads nothing itself.
#pragma once

#include <cstdint>
#include "board/position.h"
#include "search/engine.h"
#include "search/limits.h"
#include "search/rules.h"  // isDrawByRule: a front end answers such a position without a search

// What has arrived from the front end, asked every 4096 nodes.
enum PollEvent {
    PollNothing,
    PollPonderHit,       // go on as a normal timed search
    PollPonderHitDraw,   // the same, with a draw offer
    PollStop,
    PollQuit,
    PollInputEnded,      // nothing more can arrive
};

// A resignation or draw offer the engine would add to its move.
enum ResultOffer { OfferNone, OfferDraw, OfferResign };

struct SearchReport {
    int32_t depth;
    int32_t line;        // 1 for the best move; with several lines, its rank
    int32_t score;
    int64_t nodes;
    int64_t elapsed;     // milliseconds
    const Move* pv;      // 0-terminated; pv[0] is the move
};

struct SearchStatistics {
    int64_t elapsed;                // milliseconds
    int64_t nodes;
    int64_t nodesPerSecond;         // 0 when no millisecond has passed
    int64_t historyReductions;
    int64_t nullReductions;
    int64_t failHighFirstShare;     // percent of cutoffs by the first move
};

struct SearchResult {
    Move bestMove;       // 0: no move (no legal root move, or stopped before one was scored)
    Move ponderMove;     // 0: none
    ResultOffer offer;
    bool drawAcceptable;  // the engine would take a draw offered now
    int32_t lastScore;   // the value of the last completed iteration
    SearchStatistics statistics;
    const Move* pv;      // the principal variation, 0-terminated
};

class SearchReporter {
public:
    virtual ~SearchReporter() = default;
    // A new best root move at this depth.
    virtual void newBestMove(const SearchReport& report) = 0;
    // Every 4096 nodes while the limits allow the search to go on.
    virtual PollEvent poll() = 0;
    // The search is over: called before the table is aged.
    virtual void searchDone(const SearchResult& result) = 0;
};

// Searches root under limits by iterative deepening, on the engine's own
// state and table. Root moves that would bring a position back a fifth time
// and the banned moves are left out.
SearchResult runSearch(SearchEngine& engine, const Position& root, const SearchLimits& limits,
                       SearchReporter& reporter);

// Milliseconds since the engine's last search started.
int64_t elapsedMilliseconds(const SearchEngine& engine);

// Where the running (or the last) search stands, for a front end that shows
// progress while it runs.
struct SearchProgress {
    int64_t elapsed;    // milliseconds
    int64_t nodes;
    int32_t depth;      // the iteration under way
    int32_t movesLeft;  // root moves of this iteration not yet searched
    int32_t moveTotal;  // root moves searched at every iteration
};
SearchProgress searchProgress(const SearchEngine& engine);

