// Static evaluation: the incremental material-and-placement sum plus four
// knowledge terms, with lazy exits; and the score of a repeated position.
#include "board/position.h"
#include "board/tables.h"
#include "eval/evaluation.h"

int quickEvaluate(const Position& pos, const PreEvaluation& pre) {
    int redAdvantage = pos.redValue - pos.blackValue;
    return (pos.sideToMove == 0 ? redAdvantage : -redAdvantage) + pre.tempo;
}

// The terms come from the most to the least valuable, each margin bounding
// everything still to come, so the cheap sum alone decides most leaves and the
// terms that call isAttackedBy run last.
int evaluate(const Position& pos, const PreEvaluation& pre, int alpha, int beta) {
    int value = quickEvaluate(pos, pre);
    if (value + 160 <= alpha || value - 160 >= beta) return value;
    value += kingShapeScore(pos, pre);
    if (value + 80 <= alpha || value - 80 >= beta) return value;
    value += pinScore(pos);
    if (value + 40 <= alpha || value - 40 >= beta) return value;
    value += rookMobilityScore(pos);
    if (value + 20 <= alpha || value - 20 >= beta) return value;
    return value + knightTrapScore(pos);
}

int repetitionScore(const Position& pos, int flags) {
    // A perpetual checker loses, one point less per ply like a mate score.
    int ownChecks = (flags & RepeatedOwnChecks) ? pos.ply() - RuleBound : 0;
    int opponentChecks = (flags & RepeatedOpponentChecks) ? RuleBound - pos.ply() : 0;
    int score = ownChecks + opponentChecks;
    return score != 0 ? score : pos.drawScore();
}
