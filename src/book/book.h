// The opening book "qvr.bin": 12-byte little-endian records sorted by
// (lock2, lock1), probed by binary search in the file.
#pragma once

#include <cstdint>
#include "board/position.h"

extern const uint8_t MirrorSquare[256];

// A move for the global position chosen by weight, or 0.
int probeBook();
// Same, for any position and book file.
int probeBookFile(const char* path, const Position& pos);
void mirrorPosition(Position& pos);
