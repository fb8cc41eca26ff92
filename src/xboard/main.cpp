#include "io/command_line.h"
#include "xboard/xboard.h"

namespace {

constexpr const char* Usage =
    "Usage: quorvel-xboard [--help | --version]\n"
    "The Quorvel Xiangqi engine for XBoard and WinBoard (protocol 2). Started\n"
    "without arguments, as XBoard starts it, it reads XBoard commands on standard\n"
    "input and answers on standard output; the first command is \"xboard\".\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the name and version and exit\n"
    "\n"
    "The opening book is qvr.bin in the folder of the program file, or else in\n"
    "the folder of the path the program was started by.\n";

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerStandardArguments(argc, argv, {"quorvel-xboard", Usage, NoArguments});
    if (answered != ArgumentsForProgram) return answered;
    return xboardMain(argc, argv);
}
