// Move list entries and the phased move list of a search node.
#pragma once

#include <cstdint>

struct MoveEntry {
    uint16_t move;
    uint16_t score;  // capture score 0..6, or a history score; larger is tried first
};

constexpr int MoveListCapacity = 128;  // no position has more than 119 pseudo-legal moves

struct MoveList {
    int32_t phase;      // state of nextMove, 0..6
    int32_t nextIndex;
    int32_t moveTotal;
    int32_t hashMove;
    int32_t killer1;
    int32_t killer2;
    MoveEntry entries[MoveListCapacity];
};

// Capture value by piece code: king 5, rook 4, knight 3, cannon 3, pawn 2, advisor 1, bishop 1.
extern const int32_t CaptureValue[48];
