// What every front end does around the engine core: start it, read moves
// from text, turn scores and lines into text, and keep the lines that arrive
// while a search runs for when it is over.
#pragma once

#include <cstdint>
#include "board/position.h"
#include "search/engine.h"

// The engine's own score unit is about a tenth of a pawn; protocols that
// speak centipawns multiply by this.
constexpr int CentipawnsPerUnit = 10;

// The engine of a program, which runs one search at a time.
extern SearchEngine ProgramEngine;

// Static tables, and the 16 MB transposition table of ProgramEngine.
void startEngine();

// Directory of programName (up to its last '/' or '\\') followed by fileName,
// cut to fit destination: where the book lies beside the program.
void locatePath(char* destination, int destinationSize, const char* programName, const char* fileName);

// The legal move a four-character text names in pos, or 0.
int legalMoveOfText(Position& pos, const char* text);
// The first legal move of pos in generation order, or 0 when it has none.
int firstLegalMove(Position& pos);

// Moves to make a mate from a mate score (negative when mated), 0 for any other score.
int mateMoves(int score);

// Appends " m1 m2 ..." for moves up to their 0 to the text of length
// length, never past size; returns the new length.
int appendMoves(char* text, int length, int size, const Move* moves);

// Lines that arrive during a search and are not for it are kept in order
// and handed out once the search is over. A line beyond the room is dropped.
void deferLine(const char* line);
// 1 with the oldest kept line in destination (LineBufferSize bytes).
int takeDeferredLine(char* destination);
void clearDeferredLines();
