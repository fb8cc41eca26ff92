#include "io/command_line.h"
#include "ucci/ucci.h"

int main(int argc, char** argv) {
    const int answered = answerEngineArguments(argc, argv, "quorvel", "UCCI front ends", "ucci");
    if (answered != ArgumentsForProgram) return answered;
    return ucciMain(argc, argv);
}
