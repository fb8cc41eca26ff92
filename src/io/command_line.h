// The words every program answers on its command line before its own:
// --help and --version, and a refusal of an option it does not take.
#pragma once

enum ArgumentKind {
    NoArguments,     // the engines: a front end starts them bare
    ListedOptions,   // any operand, and the options of a list
    OwnOptions,      // the program judges every word itself
};

// What a program says of itself and which arguments it takes.
struct ProgramArguments {
    const char* name;                  // the program's file name, as in "quorvel-perft"
    const char* usage;                 // the --help text, ending in a newline
    ArgumentKind kind;
    // For ListedOptions: the words beginning with '-' it takes, ended by nullptr.
    const char* const* options = nullptr;
};

// What answerStandardArguments leaves to the program.
constexpr int ArgumentsForProgram = -1;
// The status of a command line the program refuses.
constexpr int ArgumentsRefused = 2;

// Prints the usage (--help) or the name and version (--version) on standard
// output and returns 0; refuses, in one line on standard error and with
// ArgumentsRefused, an argument that looks like an option but is none of the
// program's listed ones (a lone "-" and a negative number are no options), or
// any argument at all where it takes none; otherwise ArgumentsForProgram.
int answerStandardArguments(int argc, const char* const* argv, const ProgramArguments& program);

// The same for an engine, which takes no argument: its --help says for which
// front ends it is and the first command they send.
int answerEngineArguments(int argc, const char* const* argv, const char* name, const char* frontEnds,
                          const char* firstCommand);

// The release's version, as "1.1.0".
const char* programVersion();
