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
