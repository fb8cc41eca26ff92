// quorvel-eval [FEN]: the pre-evaluation and every evaluation term of one
// position, one "name value" line each. The FEN may come as several
// arguments; without one the start position is used.
#include <cstdio>
#include <string>

#include "board/position.h"
#include "board/tables.h"
#include "eval/evaluation.h"

namespace {

Position Board;  // too large to sit comfortably on the stack

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
    Board.setFromFen(fen.c_str());
    Board.preEvaluate();
    GameStage stage = gameStageOf(Board);

    show("phaseMaterial", stage.phaseMaterial);
    show("midgameWeight", stage.midgameWeight);
    show("Tempo", Tempo);
    show("redAttack", stage.redAttack);
    show("blackAttack", stage.blackAttack);
    show("RedAttackWeight", RedAttackWeight);
    show("BlackAttackWeight", BlackAttackWeight);
    show("redValue", Board.redValue);
    show("blackValue", Board.blackValue);
    show("kingShapeScore", Board.kingShapeScore());
    show("pinScore", Board.pinScore());
    show("rookMobilityScore", Board.rookMobilityScore());
    show("knightTrapScore", Board.knightTrapScore());
    show("quickEvaluate", Board.quickEvaluate());
    show("evaluate", Board.evaluate(-1000, 1000));
    return 0;
}
