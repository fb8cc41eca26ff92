// The main alpha-beta search and the quiescence search.
#pragma once

#include <cstdint>
#include "board/position.h"

// engine.h: everything one engine's search changes.
struct SearchEngine;

// A side with more than this in its running sum has the material for the
// null move to be sound.
constexpr int NullMoveMaterial = 300;

// Only a node on the principal variation is searched with an open window
// and may be reached before its iterative deepening has a hash move.
enum NodeKind { PvNode, NonPvNode };
// A node right after a null move tries no null move of its own, and trusts
// no stored null-move cutoff.
enum NullState { AfterMove, AfterNull };

// Both search engine.position, leave it as they found it, and keep their
// counters, statistics and table in engine.
int alphaBeta(SearchEngine& engine, int alpha, int beta, int depth, NodeKind kind, NullState previous);
int quiesce(SearchEngine& engine, int alpha, int beta);
int hasNullMaterial(const Position& pos);
// Resets killers, history, cutoff statistics and counters as a new search does.
void resetSearchState(SearchEngine& engine);
