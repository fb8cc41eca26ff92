#include "protocol/engine.h"

#include <cstdio>
#include <cstring>
#include <ctime>
#include "board/position.h"
#include "board/tables.h"
#include "protocol/commands.h"
#include "protocol/line_input.h"
#include "protocol/settings.h"
#include "search/driver.h"
#include "search/hash.h"

namespace {

void printLine(const char* text) {
    std::printf("%s\n", text);
    std::fflush(stdout);
}

// Opens the input and waits for the first line, which must begin with ucci.
int waitForUcci() {
    char line[LineBufferSize];
    openInput();
    if (!waitForLine(line)) return 0;
    return startsWith(line, "ucci");
}

void runCommand(int code, const UcciCommand& command) {
    switch (code) {
    case CmdIsReady: printLine("readyok"); break;
    case CmdStop: printLine("nobestmove"); break;
    case CmdSetOption: applyOption(command); break;
    case CmdPosition: setupPosition(command); break;
    case CmdBanMoves: recordBanMoves(command); break;
    case CmdGo: runSearch(setSearchLimits(command)); break;
    case CmdQuit: QuitRequested = 1; break;
    default: break;
    }
}

}  // namespace

void locatePath(char* destination, int destinationSize, const char* programName, const char* fileName) {
    if (destinationSize <= 0) return;
    const char* slash = std::strrchr(programName, '/');
    const char* backslash = std::strrchr(programName, '\\');
    if (backslash != nullptr && (slash == nullptr || backslash > slash)) slash = backslash;
    const size_t directory = slash == nullptr ? 0 : static_cast<size_t>(slash - programName) + 1;
    std::snprintf(destination, static_cast<size_t>(destinationSize), "%.*s%s", static_cast<int>(directory),
                  programName, fileName);
}

int engineMain(int argc, char** argv) {
    if (!waitForUcci()) return 0;
    locatePath(BookPath, BookPathSize, argc >= 1 ? argv[0] : "", "qvr.bin");
    buildPopCount();
    buildTables();
    allocateHashTable(24);
    GlobalPosition.setFromFen(StartPositionFen);
    resetSettings();
    RandomSeed = static_cast<uint32_t>(std::time(nullptr));
    printLine("id name Quorvel 1.1");
    printLine("id author Delvane");
    printLine("option usemillisec type check default false");
    printLine("ucciok");

    UcciCommand command = {};
    while (!QuitRequested) runCommand(parseIdleCommand(command, DebugMode), command);

    releaseHashTable();
    printLine("bye");
    return 0;
}
