// Move generation: captures with their ordering scores, quiet moves, and the
// attack test with the two tests that tell whether a capture wins material.
// Generators write at out and return the number of moves written.
#pragma once

#include <cstdint>
#include "board/position.h"

struct MoveEntry {
    uint16_t move;
    uint16_t score;  // capture score 0..6, or a history score; larger is tried first
};

constexpr int MoveListCapacity = 128;  // no position has more than 119 pseudo-legal moves

// Capture value by piece code: king 5, rook 4, knight 3, cannon 3, pawn 2, advisor 1, bishop 1.
extern const int32_t CaptureValue[48];

// Captures scored 0..6: 2 or more wins material or takes an undefended piece.
int generateCaptures(const Position& pos, MoveEntry* out);
// The same captures in the same order with every score left at 0.
int generateCaptureMoves(const Position& pos, MoveEntry* out);
// Non-captures, every score 0.
int generateQuietMoves(const Position& pos, MoveEntry* out);

// 1 when a piece of side attacks square; the piece on ignoreSquare (0: none)
// is left out as an attacker.
int isAttackedBy(const Position& pos, int side, int square, int ignoreSquare);
// 1 when the capture wins material or takes an undefended piece.
int isGoodCapture(const Position& pos, int move);

// 1 when the move, a valid one, does not leave the mover's king attacked;
// unlike makeMove it needs no room in the history.
int leavesKingSafe(Position& pos, int move);
// The legal moves of pos in generation order, captures first; out holds
// MoveListCapacity moves. Returns their number.
int legalMoves(const Position& pos, Move* out);
