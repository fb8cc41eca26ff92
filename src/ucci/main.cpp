#include "io/command_line.h"
#include "ucci/ucci.h"

namespace {

constexpr const char* Usage =
    "Usage: quorvel [--help | --version]\n"
    "The Quorvel Xiangqi engine for UCCI front ends. Started without arguments,\n"
    "as a front end starts it, it reads UCCI commands on standard input and\n"
    "answers on standard output; the first command is \"ucci\".\n"
    "\n"
    "  --help     print this help and exit\n"
    "  --version  print the name and version and exit\n"
    "\n"
    "The opening book is qvr.bin in the folder of the program file, or else in\n"
    "the folder of the path the program was started by.\n";

}  // namespace

int main(int argc, char** argv) {
    const int answered = answerStandardArguments(argc, argv, {"quorvel", Usage, NoArguments});
    if (answered != ArgumentsForProgram) return answered;
    return ucciMain(argc, argv);
}
