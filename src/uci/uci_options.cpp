#include "uci/uci_options.h"

#include <cstdio>
#include <cstring>

#include "io/line_input.h"
#include "io/output.h"
#include "io/session.h"
#include "io/text.h"
#include "movegen/generate.h"
#include "search/driver.h"
#include "search/hash.h"

UciOptions UciSettings;

namespace {

constexpr int MaxHashMegabytes = 1024;
constexpr int MaxLines = MoveListCapacity;
constexpr int MaxMoveOverhead = 5000;

void say(const char* format, const char* name, long long value) {
    char text[256];
    std::snprintf(text, sizeof text, format, name, value);
    printLine(text);
}

// A number clamped to low..high, saying so when it had to be.
int clamped(const char* name, const char* value, int low, int high) {
    long long read = readInt64(value, -(int64_t(1) << 40), int64_t(1) << 40);
    long long result = read < low ? low : (read > high ? high : read);
    if (result != read || !*value) say("info string %s set to %lld", name, result);
    return static_cast<int>(result);
}

int checked(const char* name, const char* value, int current) {
    if (startsWith(value, "true")) return 1;
    if (startsWith(value, "false")) return 0;
    say("info string %s takes true or false; it stays %lld", name, current);
    return current;
}

}  // namespace

void resetUciOptions(const char* programName, uint32_t seed) {
    UciSettings.hashMegabytes = 16;
    UciSettings.ponder = 0;
    UciSettings.ownBook = 1;
    UciSettings.lines = 1;
    UciSettings.moveOverhead = 30;
    UciSettings.pruning = 1;
    UciSettings.knowledge = 1;
    UciSettings.randomMask = 0;
    UciSettings.randomSeed = seed;
    locatePath(UciSettings.bookPath, sizeof UciSettings.bookPath, programName, "qvr.bin");
}

void printOptions() {
    printLine("option name Hash type spin default 16 min 1 max 1024");
    printLine("option name Clear Hash type button");
    printLine("option name Ponder type check default false");
    printLine("option name OwnBook type check default true");
    printLine("option name MultiPV type spin default 1 min 1 max 128");
    printLine("option name Move Overhead type spin default 30 min 0 max 5000");
    printLine("option name UCI_Variant type combo default xiangqi var xiangqi");
    printLine("option name Pruning type check default true");
    printLine("option name Knowledge type check default true");
    printLine("option name Selectivity type combo default none var none var small var medium var large");
}

void setUciOption(const char* line) {
    // setoption name NAME [value VALUE]: the name may hold blanks.
    const char* cursor = line;
    if (!skipPast(cursor, "name ")) {
        printLine("info string setoption needs a name");
        return;
    }
    while (*cursor == ' ') cursor++;
    char name[LineBufferSize];
    const char* valueAt = cursor;
    const char* value = "";
    if (skipPast(valueAt, " value ")) {
        std::snprintf(name, sizeof name, "%.*s", static_cast<int>(valueAt - 7 - cursor), cursor);
        value = valueAt;
        while (*value == ' ') value++;
    } else {
        std::snprintf(name, sizeof name, "%s", cursor);
    }
    for (size_t n = std::strlen(name); n > 0 && (name[n - 1] == ' ' || name[n - 1] == '\t'); n--) name[n - 1] = '\0';

    if (sameWord(name, "Hash")) {
        int megabytes = clamped("Hash", value, 1, MaxHashMegabytes);
        if (hashExponent(megabytes) != hashExponent(UciSettings.hashMegabytes) || ProgramEngine.table.entries == nullptr) {
            releaseHashTable(ProgramEngine.table);
            allocateHashTable(ProgramEngine.table, hashExponent(megabytes));
        }
        UciSettings.hashMegabytes = megabytes;
    } else if (sameWord(name, "Clear Hash")) {
        clearHashTable(ProgramEngine.table);
    } else if (sameWord(name, "Ponder")) {
        UciSettings.ponder = checked("Ponder", value, UciSettings.ponder);
    } else if (sameWord(name, "OwnBook")) {
        UciSettings.ownBook = checked("OwnBook", value, UciSettings.ownBook);
    } else if (sameWord(name, "MultiPV")) {
        UciSettings.lines = clamped("MultiPV", value, 1, MaxLines);
    } else if (sameWord(name, "Move Overhead")) {
        UciSettings.moveOverhead = clamped("Move Overhead", value, 0, MaxMoveOverhead);
    } else if (sameWord(name, "UCI_Variant")) {
        if (!sameWord(value, "xiangqi")) printLine("info string UCI_Variant: only xiangqi is played here");
    } else if (sameWord(name, "Pruning")) {
        UciSettings.pruning = checked("Pruning", value, UciSettings.pruning);
    } else if (sameWord(name, "Knowledge")) {
        UciSettings.knowledge = checked("Knowledge", value, UciSettings.knowledge);
    } else if (sameWord(name, "Selectivity")) {
        const int level = levelOfName(value);
        if (level < 0)
            printLine("info string Selectivity takes none, small, medium or large");
        else
            UciSettings.randomMask = SelectivityMasks[level];
    } else {
        char text[LineBufferSize + 64];
        std::snprintf(text, sizeof text, "info string unknown option: %s", name);
        printLine(text);
    }
}
