// How moves and scores are written for front ends and match records: one
// move, a list of moves, a mate in moves, centipawns.
#pragma once

#include "board/position.h"

// The engine's own score unit is about a tenth of a pawn; protocols that
// speak centipawns multiply by this.
constexpr int CentipawnsPerUnit = 10;

// A move's four characters with their terminator, to format with "%s".
struct MoveText {
    char text[5];
};
MoveText moveText(int move);

// Appends " m1 m2 ..." for moves up to their 0 to the text of length
// length, never past size; returns the new length.
int appendMoves(char* text, int length, int size, const Move* moves);

// Moves to make a mate from a mate score (negative when mated), 0 for any other score.
int mateMoves(int score);
