#include <cstdio>

#include "io/line_input.h"
#include "io/output.h"
#include "ucci/commands.h"

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
    if (echo) echoLine("busyline", line);
    return busyCommandCode(line);
}

void echoLine(const char* kind, const char* line) {
    char text[LineBufferSize + 32];
    std::snprintf(text, sizeof text, "info %s [%s]", kind, line);
    printLine(text);
}
