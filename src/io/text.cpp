#include "io/text.h"

#include <cctype>
#include <cstring>

namespace {

int lowerCase(char c) { return std::tolower(static_cast<unsigned char>(c)); }

}  // namespace

int startsWith(const char* text, const char* keyword) {
    for (; *keyword != '\0'; text++, keyword++)
        if (*text == '\0' || lowerCase(*text) != lowerCase(*keyword)) return 0;
    return 1;
}

int sameWord(const char* text, const char* keyword) {
    return startsWith(text, keyword) && text[std::strlen(keyword)] == '\0';
}

int isOneOf(const char* text, const char* const* keywords) {
    for (; *keywords != nullptr; keywords++)
        if (sameWord(text, *keywords)) return 1;
    return 0;
}

int consumePrefix(const char*& cursor, const char* keyword) {
    if (!startsWith(cursor, keyword)) return 0;
    cursor += std::strlen(keyword);
    return 1;
}

int skipPast(const char*& cursor, const char* keyword) {
    for (const char* at = cursor; *at != '\0'; at++) {
        if (startsWith(at, keyword)) {
            cursor = at + std::strlen(keyword);
            return 1;
        }
    }
    return 0;
}

int64_t readInt64(const char* text, int64_t low, int64_t high) {
    while (std::isspace(static_cast<unsigned char>(*text))) text++;
    const int negative = *text == '-';
    if (*text == '-' || *text == '+') text++;
    if (!std::isdigit(static_cast<unsigned char>(*text))) return low;
    // Saturates far beyond any bound, so digits of any length cannot overflow.
    int64_t value = 0;
    for (; std::isdigit(static_cast<unsigned char>(*text)); text++)
        if (value < (int64_t(1) << 56)) value = value * 10 + (*text - '0');
    if (negative) value = -value;
    if (value < low) return low;
    if (value > high) return high;
    return value;
}

int readInt(const char* text, int low, int high) { return static_cast<int>(readInt64(text, low, high)); }

void splitWords(char* line, Words& words) {
    words.count = 0;
    char* c = line;
    while (*c != '\0') {
        while (*c == ' ' || *c == '\t') *c++ = '\0';
        if (*c == '\0') break;
        if (words.count < MaxWords) words.word[words.count++] = c;
        while (*c != '\0' && *c != ' ' && *c != '\t') c++;
    }
}

void trimTrailingBlanks(char* text) {
    for (size_t n = std::strlen(text); n > 0 && (text[n - 1] == ' ' || text[n - 1] == '\t'); n--) text[n - 1] = '\0';
}

int isMoveText(const char* text) {
    for (int i = 0; i < 4; i++) {
        const char low = i % 2 == 0 ? 'a' : '0';
        const char high = i % 2 == 0 ? 'i' : '9';
        if (text[i] < low || text[i] > high) return 0;
    }
    return text[4] == '\0';
}
