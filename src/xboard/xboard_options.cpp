#include "xboard/xboard_options.h"

#include <cstdio>
#include <cstring>

#include "io/line_input.h"
#include "io/output.h"
#include "io/session.h"
#include "io/text.h"
#include "search/driver.h"
#include "search/hash.h"

XboardOptions XboardSettings;

namespace {

constexpr int MaxHashMegabytes = 1024;
constexpr int MaxMoveOverhead = 5000;

// XBoard sends check options as 0 or 1; anything that is not a number keeps the value.
int checkValue(const char* value, int current) {
    if (*value < '0' || *value > '9') return current;
    return readInt(value, 0, 1) != 0 ? 1 : 0;
}

void sayError(const char* reason, const char* text) {
    char line[LineBufferSize + 64];
    std::snprintf(line, sizeof line, "Error (%s): option %s", reason, text);
    printLine(line);
}

}  // namespace

void resetXboardOptions(const char* programName, uint32_t seed) {
    XboardSettings.hashMegabytes = 16;
    XboardSettings.ownBook = 1;
    XboardSettings.pruning = 1;
    XboardSettings.knowledge = 1;
    XboardSettings.randomMask = 0;
    XboardSettings.resign = 1;
    XboardSettings.offerDraw = 1;
    XboardSettings.moveOverhead = 30;
    XboardSettings.randomSeed = seed;
    locatePath(XboardSettings.bookPath, sizeof XboardSettings.bookPath, programName, "qvr.bin");
}

void printOptionFeatures() {
    printLine("feature option=\"OwnBook -check 1\"");
    printLine("feature option=\"Pruning -check 1\"");
    printLine("feature option=\"Knowledge -check 1\"");
    printLine("feature option=\"Selectivity -combo *none /// small /// medium /// large\"");
    printLine("feature option=\"Resign -check 1\"");
    printLine("feature option=\"Offer Draw -check 1\"");
    printLine("feature option=\"Move Overhead -spin 30 0 5000\"");
    printLine("feature option=\"Clear Hash -button\"");
}

void setMemory(int megabytes) {
    if (megabytes < 1) megabytes = 1;
    if (megabytes > MaxHashMegabytes) megabytes = MaxHashMegabytes;
    if (hashExponent(megabytes) != hashExponent(XboardSettings.hashMegabytes) || ProgramEngine.table.entries == nullptr) {
        releaseHashTable(ProgramEngine.table);
        allocateHashTable(ProgramEngine.table, hashExponent(megabytes));
    }
    XboardSettings.hashMegabytes = megabytes;
}

void setXboardOption(const char* text) {
    char name[LineBufferSize];
    const char* value = "";
    const char* equals = std::strchr(text, '=');
    if (equals != nullptr) {
        std::snprintf(name, sizeof name, "%.*s", static_cast<int>(equals - text), text);
        value = equals + 1;
        while (*value == ' ') value++;
    } else {
        std::snprintf(name, sizeof name, "%s", text);
    }
    for (size_t n = std::strlen(name); n > 0 && (name[n - 1] == ' ' || name[n - 1] == '\t'); n--) name[n - 1] = '\0';

    if (sameWord(name, "OwnBook")) {
        XboardSettings.ownBook = checkValue(value, XboardSettings.ownBook);
    } else if (sameWord(name, "Pruning")) {
        XboardSettings.pruning = checkValue(value, XboardSettings.pruning);
    } else if (sameWord(name, "Knowledge")) {
        XboardSettings.knowledge = checkValue(value, XboardSettings.knowledge);
    } else if (sameWord(name, "Resign")) {
        XboardSettings.resign = checkValue(value, XboardSettings.resign);
    } else if (sameWord(name, "Offer Draw")) {
        XboardSettings.offerDraw = checkValue(value, XboardSettings.offerDraw);
    } else if (sameWord(name, "Move Overhead")) {
        if (*value < '0' || *value > '9') sayError("bad value", text);
        else XboardSettings.moveOverhead = readInt(value, 0, MaxMoveOverhead);
    } else if (sameWord(name, "Selectivity")) {
        const int level = levelOfName(value);
        if (level < 0) sayError("bad value", text);
        else XboardSettings.randomMask = SelectivityMasks[level];
    } else if (sameWord(name, "Clear Hash")) {
        clearHashTable(ProgramEngine.table);
    } else {
        sayError("unknown option", text);
    }
}
