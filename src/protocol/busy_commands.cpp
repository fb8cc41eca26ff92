#include <cstdio>
#include "protocol/commands.h"
#include "protocol/line_input.h"

int busyCommandCode(const char* line) {
    // "ponderhit draw" before "ponderhit", which is its prefix.
    if (startsWith(line, "isready")) return CmdIsReady;
    if (startsWith(line, "ponderhit draw")) return CmdPonderHitDraw;
    if (startsWith(line, "ponderhit")) return CmdPonderHit;
    if (startsWith(line, "stop")) return CmdStop;
    if (startsWith(line, "quit")) return CmdQuit;
    return CmdNone;
}

int readBusyCommand(int echo) {
    char line[LineBufferSize];
    if (!readLine(line)) return CmdNone;
    if (echo) {
        std::printf("info busyline [%s]\n", line);
        std::fflush(stdout);
    }
    return busyCommandCode(line);
}
