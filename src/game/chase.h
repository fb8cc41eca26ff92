// What the judge asks of a position besides the board's own tests: which
// enemy pieces a side attacks and which of those attacks count as a chase.
#pragma once

#include <cstdint>

#include "board/position.h"

// Bit (code - 16) per enemy piece that a piece of side other than its king and
// pawns can legally capture in pos, whichever side is to move (while side is
// in check, any capture its pieces could make counts); when chased is
// given, it gets the bits of those attacks that chase (the target neither the
// king nor a pawn on its own half, no exchange offered, and the target
// unprotected or worth more than its attacker). pos is returned unchanged.
uint32_t attackedPieces(Position& pos, int side, uint32_t* chased);
