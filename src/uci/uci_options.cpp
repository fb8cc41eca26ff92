#include "uci/uci_options.h"

#include <cstdio>
#include <cstring>

#include "io/line_input.h"
#include "io/output.h"
#include "io/text.h"

namespace {

void say(const char* format, const char* name, long long value) {
    char text[256];
    std::snprintf(text, sizeof text, format, name, value);
    printLine(text);
}

// A number clamped to the option's range, saying so when it had to be.
int spinValue(const OptionEntry& entry, const char* value) {
    const long long read = readInt64(value, -(int64_t(1) << 40), int64_t(1) << 40);
    const long long result = read < entry.low ? entry.low : (read > entry.high ? entry.high : read);
    if (result != read || !*value) say("info string %s set to %lld", entry.uciName, result);
    return static_cast<int>(result);
}

int checkValue(const OptionEntry& entry, const char* value, int current) {
    if (startsWith(value, "true")) return 1;
    if (startsWith(value, "false")) return 0;
    say("info string %s takes true or false; it stays %lld", entry.uciName, current);
    return current;
}

// The choice value names, or -1 after saying which it takes.
int comboValue(const OptionEntry& entry, const char* value) {
    const int choice = choiceNamed(entry, value);
    if (choice >= 0) return choice;
    char text[256];
    int length = std::snprintf(text, sizeof text, "info string %s", entry.uciName);
    if (entry.high == entry.low) {
        std::snprintf(text + length, sizeof text - length, ": only %s is played here", entry.choices[entry.low]);
    } else {
        length += std::snprintf(text + length, sizeof text - length, " takes");
        for (int i = entry.low; i <= entry.high; i++)
            length += std::snprintf(text + length, sizeof text - length, "%s %s", i == entry.low ? "" : i == entry.high ? " or" : ",",
                                    entry.choices[i]);
    }
    printLine(text);
    return -1;
}

}  // namespace

void printOptions() {
    for (const OptionEntry& entry : Options) {
        if (entry.uciName == nullptr) continue;
        char text[256];
        int length = std::snprintf(text, sizeof text, "option name %s type ", entry.uciName);
        switch (entry.kind) {
        case OptionCheck:
            std::snprintf(text + length, sizeof text - length, "check default %s", entry.startValue ? "true" : "false");
            break;
        case OptionSpin:
            std::snprintf(text + length, sizeof text - length, "spin default %d min %d max %d", entry.startValue,
                          entry.low, entry.high);
            break;
        case OptionCombo:
            length += std::snprintf(text + length, sizeof text - length, "combo default %s", entry.choices[entry.startValue]);
            for (int i = entry.low; i <= entry.high; i++)
                length += std::snprintf(text + length, sizeof text - length, " var %s", entry.choices[i]);
            break;
        case OptionButton: std::snprintf(text + length, sizeof text - length, "button"); break;
        }
        printLine(text);
    }
}

void setUciOption(EngineSession& session, const char* line) {
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
    trimTrailingBlanks(name);

    const OptionId id = optionNamed(&OptionEntry::uciName, name);
    if (id == OptionCount) {
        char text[LineBufferSize + 64];
        std::snprintf(text, sizeof text, "info string unknown option: %s", name);
        printLine(text);
        return;
    }
    const OptionEntry& entry = Options[id];
    int chosen = 0;
    switch (entry.kind) {
    case OptionCheck: chosen = checkValue(entry, value, option(session, id)); break;
    case OptionSpin: chosen = spinValue(entry, value); break;
    case OptionCombo: chosen = comboValue(entry, value); break;
    case OptionButton: break;
    }
    if (chosen >= 0) setOption(session, id, chosen);
}
