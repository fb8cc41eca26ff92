#include "io/command_line.h"

#include <cstdio>
#include <cstring>

namespace {

// One line of copyright and the license's terms, as GNU programs print them.
constexpr const char* LicenseNotice =
    "Copyright (C) 2026 Delvane\n"
    "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
    "This is free software: you are free to change and redistribute it.\n"
    "There is NO WARRANTY, to the extent permitted by law.\n";

int looksLikeOption(const char* word) {
    return word[0] == '-' && word[1] != '\0' && !(word[1] >= '0' && word[1] <= '9');
}

constexpr int EngineUsageSize = 1024;

int isListed(const char* word, const char* const* options) {
    for (int i = 0; options[i] != nullptr; i++)
        if (std::strcmp(word, options[i]) == 0) return 1;
    return 0;
}

}  // namespace

const char* programVersion() { return QUORVEL_VERSION; }

int answerStandardArguments(int argc, const char* const* argv, const ProgramArguments& program) {
    for (int i = 1; i < argc; i++) {
        if (std::strcmp(argv[i], "--help") == 0) {
            std::fputs(program.usage, stdout);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("%s %s\n%s", program.name, programVersion(), LicenseNotice);
            return std::fflush(stdout) == 0 ? 0 : 1;
        }
    }
    for (int i = 1; i < argc; i++) {
        if (program.kind == NoArguments) {
            std::fprintf(stderr, "%s: takes no argument '%s' (see %s --help)\n", program.name, argv[i], program.name);
            return ArgumentsRefused;
        }
        if (program.kind == ListedOptions && looksLikeOption(argv[i]) &&
            (program.options == nullptr || !isListed(argv[i], program.options))) {
            std::fprintf(stderr, "%s: unknown option '%s' (see %s --help)\n", program.name, argv[i], program.name);
            return ArgumentsRefused;
        }
    }
    return ArgumentsForProgram;
}

int answerEngineArguments(int argc, const char* const* argv, const char* name, const char* frontEnds,
                          const char* firstCommand) {
    char usage[EngineUsageSize];
    std::snprintf(usage, sizeof usage,
                  "Usage: %s [--help | --version]\n"
                  "The Quorvel Xiangqi engine for %s.\n"
                  "Started without arguments, as a front end starts it, it reads the\n"
                  "front end's commands on standard input and answers on standard output;\n"
                  "the first command is \"%s\".\n"
                  "\n"
                  "  --help     print this help and exit\n"
                  "  --version  print the name and version and exit\n"
                  "\n"
                  "The opening book is qvr.bin in the folder of the program file, or else in\n"
                  "the folder of the path the program was started by.\n",
                  name, frontEnds, firstCommand);
    return answerStandardArguments(argc, argv, ProgramArguments{name, usage, NoArguments});
}
