// The options as XBoard shows them: the option features of the handshake and
// the option command.
#include <cstdio>
#include <cstring>

#include "io/line_input.h"
#include "io/output.h"
#include "xboard/xboard_game.h"

namespace {

// The order XBoard shows them in.
constexpr OptionId FeatureOrder[] = {OptionSkillLevel, OptionLimitStrength, OptionElo,       OptionSeed,
                                     OptionOwnBook,    OptionPruning,       OptionKnowledge, OptionSelectivity,
                                     OptionResign,     OptionOfferDraw,     OptionMoveOverhead, OptionClearHash};

void sayError(const char* reason, const char* text) {
    char line[LineBufferSize + 64];
    std::snprintf(line, sizeof line, "Error (%s): option %s", reason, text);
    printLine(line);
}

}  // namespace

void printOptionFeatures() {
    for (OptionId id : FeatureOrder) {
        const OptionEntry& entry = Options[id];
        char text[256];
        int length = std::snprintf(text, sizeof text, "feature option=\"%s ", entry.xboardName);
        switch (entry.kind) {
        case OptionCheck: length += std::snprintf(text + length, sizeof text - length, "-check %d", entry.startValue); break;
        case OptionSpin:
            length += std::snprintf(text + length, sizeof text - length, "-spin %d %d %d", entry.startValue, entry.low,
                                    entry.high);
            break;
        case OptionCombo:
            length += std::snprintf(text + length, sizeof text - length, "-combo");
            for (int i = entry.low; i <= entry.high; i++)
                length += std::snprintf(text + length, sizeof text - length, "%s %s%s", i == entry.low ? "" : " ///",
                                        i == entry.startValue ? "*" : "", entry.choices[i]);
            break;
        case OptionButton: length += std::snprintf(text + length, sizeof text - length, "-button"); break;
        }
        std::snprintf(text + length, sizeof text - length, "\"");
        printLine(text);
    }
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
    trimTrailingBlanks(name);

    const OptionId id = optionNamed(&OptionEntry::xboardName, name);
    if (id == OptionCount) {
        sayError("unknown option", text);
        return;
    }
    const OptionEntry& entry = Options[id];
    const bool number = *value >= '0' && *value <= '9';
    switch (entry.kind) {
    // XBoard sends check options as 0 or 1; anything that is not a number keeps the value.
    case OptionCheck:
        if (number) setOption(Session, id, readInt(value, 0, 1));
        break;
    case OptionSpin:
        if (!number) sayError("bad value", text);
        else setOption(Session, id, readInt(value, entry.low, entry.high));
        break;
    case OptionCombo: {
        const int choice = choiceNamed(entry, value);
        if (choice < 0) sayError("bad value", text);
        else setOption(Session, id, choice);
        break;
    }
    case OptionButton: setOption(Session, id, 0); break;
    }
}
