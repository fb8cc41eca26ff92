// Every program's command line as a user or a packaging script meets it:
// --help and --version on standard output with status 0, an unknown option
// refused in one line on standard error with status 2.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

namespace {

struct ShellRun {
    std::string output;
    int status;
};

// The shell runs command; output is what it writes where redirect sends it.
ShellRun runShell(const std::string& command) {
    ShellRun run = {"", -1};
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return run;
    char buffer[4096];
    size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.output.append(buffer, count);
    const int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
}

size_t lineCount(const std::string& text) {
    size_t lines = 0;
    for (char c : text) lines += c == '\n';
    return lines;
}

TEST(CommandLine, EveryProgramAnswersHelpVersionAndRefusesAnUnknownOption) {
    for (const char* name : {"quorvel", "quorvel-uci", "quorvel-xboard", "quorvel-match", "quorvel-book",
                             "quorvel-perft", "quorvel-bench", "quorvel-eval"}) {
        const std::string program = std::string(QUORVEL_BUILD_DIR) + "/" + name;
        if (access(program.c_str(), X_OK) != 0) {
            ADD_FAILURE() << program << " is not built";
            continue;
        }
        const ShellRun version = runShell(program + " --version 2>/dev/null </dev/null");
        EXPECT_EQ(version.status, 0) << name;
        EXPECT_EQ(version.output.substr(0, version.output.find('\n')), std::string(name) + " " + QUORVEL_VERSION);

        const ShellRun help = runShell(program + " --help 2>/dev/null </dev/null");
        EXPECT_EQ(help.status, 0) << name;
        EXPECT_EQ(help.output.rfind(std::string("Usage: ") + name + " ", 0), 0u) << help.output;
        EXPECT_NE(help.output.find("--version"), std::string::npos) << name;

        const ShellRun unknown = runShell(program + " --no-such-option 2>&1 >/dev/null </dev/null");
        EXPECT_EQ(unknown.status, 2) << name;
        EXPECT_EQ(lineCount(unknown.output), 1u) << unknown.output;
        EXPECT_NE(unknown.output.find("--no-such-option"), std::string::npos) << unknown.output;
    }
}

}  // namespace
