// Shared set-up for the search tests: a small table and a position copied into
// the search context the way a search starts.
#pragma once

#include <initializer_list>

#include "board/position.h"
#include "common/positions.h"
#include "eval/evaluation.h"
#include "search/hash.h"
#include "search/search.h"

// A table of 2^20 bytes, allocated once and cleared for every test.
inline void useSmallTable() {
    static bool allocated = false;
    if (!allocated) {
        releaseHashTable();
        allocateHashTable(20);
        allocated = true;
    }
    clearHashTable();
}

// Sets up fen as the root of a new search in Context.
inline void startSearchAt(const char* fen) {
    Position root;
    root.setFromFen(fen);
    root.rootCount = root.moveCount;
    preEvaluate(root);
    Context.position = root;
    Context.pollEnabled = false;
    resetSearchState();
    Context.usePruning = true;
    Context.useKnowledge = true;
    PollHook = nullptr;
    useSmallTable();
}

// Plays moves given as text on Context.position; false when one is refused.
inline bool playMoves(std::initializer_list<const char*> texts) {
    for (const char* text : texts) {
        int move = textToMove(text);
        if (move == 0 || !Context.position.makeMove(move)) return false;
    }
    return true;
}
