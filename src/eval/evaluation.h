// Evaluation interface beyond the Position members: the working values that
// preEvaluate derives from the material on the board, for tools and tests.
#pragma once

#include "board/position.h"

struct GameStage {
    int phaseMaterial;  // 6 per rook, 3 per knight or cannon, 1 per advisor, bishop or pawn: 0..66
    int midgameWeight;  // 66 at full material, 0 on a bare board
    int redAttack;      // 0..8: red's pieces across the river plus its major-material lead
    int blackAttack;
};

// The values preEvaluate would use for this position; changes nothing.
GameStage gameStageOf(const Position& position);
