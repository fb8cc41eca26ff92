// Leaf counts of the legal move tree: the oracle that proves move generation.
// A legal move is a generated capture or quiet move that makeMove accepts.
#pragma once

#include <cstdint>
#include "board/position.h"

// Leaves depth plies below pos (1 for depth 0). pos is returned unchanged.
uint64_t perft(Position& pos, int depth);

struct PerftDivision {
    Move move;
    uint64_t leaves;
};

// One entry per legal root move, in generation order (captures first);
// out needs room for MoveListCapacity entries. Returns the number written.
int perftDivide(Position& pos, int depth, PerftDivision* out);
