// Draw and repetition rules applied at every node of both searches.
#pragma once

#include "board/position.h"
#include "eval/evaluation.h"
#include "search/engine.h"
#include "search/search.h"

// Moves without capture after which the game is drawn.
constexpr int QuietMoveLimit = 100;

inline int isDrawByRule(const Position& pos) {
    return (pos.pieceBits & CrossingPieceBits) == 0 || pos.lastRecord().quietCount >= QuietMoveLimit;
}

// The score a rule gives this node, or NoValue when no rule applies. It comes
// before the transposition table so that no stored value masks a draw.
inline int ruleScore(const Position& pos) {
    if (isDrawByRule(pos)) return pos.drawScore();
    int status = pos.repetitionStatus(1);
    if (status != 0) return repetitionScore(pos, status);
    return NoValue;
}

inline int staticValue(const SearchEngine& engine, int alpha, int beta) {
    return engine.useKnowledge ? evaluate(engine.position, engine.evaluation, alpha, beta)
                               : quickEvaluate(engine.position, engine.evaluation);
}

// Beyond this ply both searches stop and take the static value.
constexpr int MaxSearchPly = 64;
