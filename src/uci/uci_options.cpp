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
int spinValue(const OptionSpec& spec, const char* value) {
    const long long read = readInt64(value, -(int64_t(1) << 40), int64_t(1) << 40);
    const long long result = read < spec.low ? spec.low : (read > spec.high ? spec.high : read);
    if (result != read || !*value) say("info string %s set to %lld", spec.uciName, result);
    return static_cast<int>(result);
}

int checkValue(const OptionSpec& spec, const char* value, int current) {
    if (startsWith(value, "true")) return 1;
    if (startsWith(value, "false")) return 0;
    say("info string %s takes true or false; it stays %lld", spec.uciName, current);
    return current;
}

// The choice value names, or -1 after saying which it takes.
int comboValue(const OptionSpec& spec, const char* value) {
    const int choice = choiceNamed(spec, value);
    if (choice >= 0) return choice;
    char text[256];
    int length = std::snprintf(text, sizeof text, "info string %s", spec.uciName);
    if (spec.high == spec.low) {
        std::snprintf(text + length, sizeof text - length, ": only %s is played here", spec.choices[spec.low]);
    } else {
        length += std::snprintf(text + length, sizeof text - length, " takes");
        for (int i = spec.low; i <= spec.high; i++)
            length += std::snprintf(text + length, sizeof text - length, "%s %s", i == spec.low ? "" : i == spec.high ? " or" : ",",
                                    spec.choices[i]);
    }
    printLine(text);
    return -1;
}

}  // namespace

void printOptions() {
    for (const OptionSpec& spec : Options) {
        if (spec.uciName == nullptr) continue;
        char text[256];
        int length = std::snprintf(text, sizeof text, "option name %s type ", spec.uciName);
        switch (spec.kind) {
        case OptionCheck:
            std::snprintf(text + length, sizeof text - length, "check default %s", spec.startValue ? "true" : "false");
            break;
        case OptionSpin:
            std::snprintf(text + length, sizeof text - length, "spin default %d min %d max %d", spec.startValue,
                          spec.low, spec.high);
            break;
        case OptionCombo:
            length += std::snprintf(text + length, sizeof text - length, "combo default %s", spec.choices[spec.startValue]);
            for (int i = spec.low; i <= spec.high; i++)
                length += std::snprintf(text + length, sizeof text - length, " var %s", spec.choices[i]);
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

    const OptionId id = optionNamed(&OptionSpec::uciName, name);
    if (id == OptionCount) {
        char text[LineBufferSize + 64];
        std::snprintf(text, sizeof text, "info string unknown option: %s", name);
        printLine(text);
        return;
    }
    const OptionSpec& spec = Options[id];
    int chosen = 0;
    switch (spec.kind) {
    case OptionCheck: chosen = checkValue(spec, value, option(session, id)); break;
    case OptionSpin: chosen = spinValue(spec, value); break;
    case OptionCombo: chosen = comboValue(spec, value); break;
    case OptionButton: break;
    }
    if (chosen >= 0) setOption(session, id, chosen);
}
