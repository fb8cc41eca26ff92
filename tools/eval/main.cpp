// quorvel-eval [FEN]: the pre-evaluation and every evaluation term of one
// position, one "name value" line each. The FEN may come as several
// arguments; without one the start position is used.
#include <cstdio>
#include <string>

#include "board/position.h"
#include "board/tables.h"
#include "eval/evaluation.h"

namespace {

void show(const char* name, int value) { std::printf("%s %d\n", name, value); }

}  // namespace

int main(int argc, char** argv) {
    std::string fen;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) fen += ' ';
        fen += argv[i];
    }
    if (fen.empty()) fen = StartPositionFen;

    buildPopCount();
    buildTables();
    Position board;
    board.setFromFen(fen.c_str());
    PreEvaluation pre;
    preEvaluate(board, pre);
    GameStage stage = gameStageOf(board);

    show("phaseMaterial", stage.phaseMaterial);
    show("midgameWeight", stage.midgameWeight);
    show("Tempo", pre.tempo);
    show("redAttack", stage.redAttack);
    show("blackAttack", stage.blackAttack);
    show("RedAttackWeight", pre.redAttackWeight);
    show("BlackAttackWeight", pre.blackAttackWeight);
    show("redValue", board.redValue);
    show("blackValue", board.blackValue);
    show("kingShapeScore", kingShapeScore(board, pre));
    show("pinScore", pinScore(board));
    show("rookMobilityScore", rookMobilityScore(board));
    show("knightTrapScore", knightTrapScore(board));
    show("quickEvaluate", quickEvaluate(board, pre));
    show("evaluate", evaluate(board, pre, -MateValue, MateValue));
    return 0;
}
