// Generator variants for callers that need the moves but not their ordering
// scores. The moves and their order are those of the Position generators.
#pragma once

#include "board/position.h"
#include "movegen/movelist.h"

// The captures of generateCaptures with every score left at 0.
int generateCaptureMoves(const Position& pos, MoveEntry* out);
