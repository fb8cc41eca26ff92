// quorvel-eval [FEN]: the pre-evaluation and every evaluation term of one
// position, one "name value" line each. The FEN may come as several
// arguments; without one the start position is used.
#include <cstdio>
#include <string>

#include "board/position.h"
#include "board/tables.h"
#include "eval/evaluation.h"
#include "io/command_line.h"

namespace {

constexpr const char* Usage =
    "Usage: quorvel-eval [FEN]\n"
    "Prints the pre-evaluation and every term of the static evaluation of a\n"
    "Xiangqi position, one \"name value\" line each, in the engine's units (a\n"
    "pawn is about 10 to 20). The FEN may be one argument or several words; the\n"
    "start position without one.\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the name and version and exit\n";

void show(const char* name, int value) { std::printf("%s %d\n", name, value); }

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerStandardArguments(argc, argv, {"quorvel-eval", Usage, ListedOptions});
    if (answered != ArgumentsForProgram) return answered;
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
