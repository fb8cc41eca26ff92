// Move ordering: the phased move picker, history scores, killers and the
// root-list operations.
#pragma once

#include <cstdint>
#include "board/position.h"
#include "movegen/movelist.h"

extern int32_t HistoryScore[65536];   // sum of depth*depth per move, saturating
extern const int ShellGaps[8];

int nextMove(MoveList& list, Position& pos);
void sortMoves(MoveList& list);
void scoreByHistory(MoveList& list);
int prepareEvasions(MoveList& list, Position& pos, int hashMove, const Move killers[2]);
void prepareAllMoves(MoveList& list, const Position& pos);
void prepareCaptures(MoveList& list, const Position& pos);
void recordGoodMove(int move, int depth, Move killers[2]);
void filterBannedMoves(MoveList& list, int count, const Move* banned);
void promoteRootMove(MoveList& list, int move);
