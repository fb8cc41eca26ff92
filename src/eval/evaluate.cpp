// Static evaluation: the incremental material-and-placement sum plus four
// knowledge terms, with lazy exits; and the score of a repeated position.
#include "board/position.h"
#include "board/tables.h"

int Position::quickEvaluate() const {
    int redAdvantage = redValue - blackValue;
    return (sideToMove == 0 ? redAdvantage : -redAdvantage) + Tempo;
}

// The terms come from the most to the least valuable, each margin bounding
// everything still to come, so the cheap sum alone decides most leaves and the
// terms that call isAttackedBy run last.
int Position::evaluate(int alpha, int beta) const {
    int value = quickEvaluate();
    if (value + 160 <= alpha || value - 160 >= beta) return value;
    value += kingShapeScore();
    if (value + 80 <= alpha || value - 80 >= beta) return value;
    value += pinScore();
    if (value + 40 <= alpha || value - 40 >= beta) return value;
    value += rookMobilityScore();
    if (value + 20 <= alpha || value - 20 >= beta) return value;
    return value + knightTrapScore();
}

int Position::repetitionScore(int flags) const {
    // A perpetual checker loses, one point less per ply like a mate score.
    int ownChecks = (flags & 2) ? ply() - 950 : 0;
    int opponentChecks = (flags & 4) ? 950 - ply() : 0;
    int score = ownChecks + opponentChecks;
    return score != 0 ? score : drawScore();
}
