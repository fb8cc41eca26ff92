#include "io/command_line.h"
#include "xboard/xboard.h"

int main(int argc, char** argv) {
    const int answered = answerEngineArguments(argc, argv, "quorvel-xboard", "XBoard and WinBoard (protocol 2)", "xboard");
    if (answered != ArgumentsForProgram) return answered;
    return xboardMain(argc, argv);
}
