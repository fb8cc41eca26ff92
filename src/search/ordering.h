// Move ordering: the phased move picker of a node, history scores, killers
// and the root-list operations.
#pragma once

#include <cstdint>
#include "board/position.h"
#include "movegen/generate.h"

// The picker's phases, in the order nextMove walks them.
enum PickPhase {
    PhaseHash,          // the move from the transposition table
    PhaseCaptures,      // generate and sort the captures
    PhaseGoodCaptures,  // captures scored 2 or more
    PhaseKiller1,
    PhaseKiller2,
    PhaseQuiet,         // generate the quiet moves, history order
    PhaseRest,          // everything left, and every prepared whole list
};

struct MoveList {
    int32_t phase;      // a PickPhase
    int32_t nextIndex;
    int32_t moveTotal;
    int32_t hashMove;
    int32_t killer1;
    int32_t killer2;
    MoveEntry entries[MoveListCapacity];
};

// Tables indexed by a move have a slot for every 16-bit value.
constexpr int MoveSlots = 1 << 16;

struct HistoryTable {
    int32_t score[MoveSlots];   // sum of depth*depth per move, saturating
};
extern const int ShellGaps[8];

int nextMove(MoveList& list, Position& pos, const HistoryTable& history);
void sortMoves(MoveList& list);
void scoreByHistory(MoveList& list, const HistoryTable& history);
int prepareEvasions(MoveList& list, Position& pos, int hashMove, const Move killers[2], const HistoryTable& history);
void prepareAllMoves(MoveList& list, const Position& pos, const HistoryTable& history);
void prepareCaptures(MoveList& list, const Position& pos);
void recordGoodMove(HistoryTable& history, int move, int depth, Move killers[2]);
// 1 when the best move of a node stays out of the history and killers: none,
// a good capture, or the hash move when it is a good capture.
int isGoodCapturePick(const MoveList& list, const Position& pos, int move);
void filterBannedMoves(MoveList& list, int count, const Move* banned);
void promoteRootMove(MoveList& list, int move);
