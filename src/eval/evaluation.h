// The evaluation: the once-per-search blend of the piece-square tables by game
// stage and attack levels, and the static score of a position with its
// knowledge terms, all from the side to move's point of view.
#pragma once

#include <cstdint>
#include "board/position.h"

// What preEvaluate fixes for the position a search starts from, besides the
// position's own piece-square values; every evaluation of that search reads it.
struct PreEvaluation {
    int32_t tempo;              // the side to move's bonus, larger with more material
    int32_t redAttackWeight;    // 0..80: how hard red attacks, scaled from its attack level
    int32_t blackAttackWeight;
    int32_t kingThreatValues[64];  // hollow cannon, centre knight, red's and black's bottom cannon
};

struct GameStage {
    int phaseMaterial;  // 6 per rook, 3 per knight or cannon, 1 per advisor, bishop or pawn: 0..66
    int midgameWeight;  // 66 at full material, 0 on a bare board
    int redAttack;      // 0..8: red's pieces across the river plus its major-material lead
    int blackAttack;
};

// The values preEvaluate would use for this position; changes nothing.
GameStage gameStageOf(const Position& position);
// Blends the position's piece-square values and the king threats for the
// material on the board, and rebases the position's two value sums on them.
void preEvaluate(Position& pos, PreEvaluation& pre);

// The running sums and the tempo: the lazy evaluation.
int quickEvaluate(const Position& pos, const PreEvaluation& pre);
// The full evaluation with lazy exits outside alpha..beta.
int evaluate(const Position& pos, const PreEvaluation& pre, int alpha, int beta);
int kingShapeScore(const Position& pos, const PreEvaluation& pre);
int pinScore(const Position& pos);
int rookMobilityScore(const Position& pos);
int knightTrapScore(const Position& pos);
// The score of a repeated position from the flags of repetitionStatus.
int repetitionScore(const Position& pos, int flags);
