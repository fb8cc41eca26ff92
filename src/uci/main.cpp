#include "io/command_line.h"
#include "uci/uci.h"

int main(int argc, char** argv) {
    const int answered = answerEngineArguments(argc, argv, "quorvel-uci", "UCI front ends", "uci");
    if (answered != ArgumentsForProgram) return answered;
    return uciMain(argc, argv);
}
