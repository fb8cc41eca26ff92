// Shared set-up for the search tests: one engine with a small table, and a
// position copied into it the way a search starts.
#pragma once

#include <initializer_list>

#include "board/position.h"
#include "common/positions.h"
#include "eval/evaluation.h"
#include "search/engine.h"
#include "search/hash.h"
#include "search/search.h"

// The engine of the search tests; too large for the stack.
inline SearchEngine Engine;

// A table of 2^20 bytes, allocated once and cleared for every test.
inline void useSmallTable() {
    static bool allocated = false;
    if (!allocated) {
        releaseHashTable(Engine.table);
        allocateHashTable(Engine.table, 20);
        allocated = true;
    }
    clearHashTable(Engine.table);
}

// Sets up fen as the root of a new search in Engine.
inline void startSearchAt(const char* fen) {
    Position root;
    root.setFromFen(fen);
    root.rootCount = root.moveCount;
    preEvaluate(root, Engine.evaluation);
    Engine.position = root;
    Engine.pollEnabled = false;
    resetSearchState(Engine);
    Engine.usePruning = true;
    Engine.useKnowledge = true;
    Engine.pollHook = nullptr;
    useSmallTable();
}

// Plays moves given as text on Engine.position; false when one is refused.
inline bool playMoves(std::initializer_list<const char*> texts) {
    for (const char* text : texts) {
        int move = textToMove(text);
        if (move == 0 || !Engine.position.makeMove(move)) return false;
    }
    return true;
}
