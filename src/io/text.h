// Reading command lines: case-insensitive keywords and clamped numbers, as
// every protocol's parser needs them.
#pragma once

#include <cstdint>

#include "io/line_input.h"

// 1 when text begins with keyword, letter case aside.
int startsWith(const char* text, const char* keyword);
// 1 when text is the whole word keyword, letter case aside.
int sameWord(const char* text, const char* keyword);
// 1 when text is one of the words of keywords, a list ended by nullptr.
int isOneOf(const char* text, const char* const* keywords);
// Like startsWith, and moves cursor past the keyword when it matches.
int consumePrefix(const char*& cursor, const char* keyword);
// Moves cursor past the first occurrence of keyword; 0 (cursor kept) when none.
int skipPast(const char*& cursor, const char* keyword);
// A decimal integer as "%d" reads it, clamped to low..high; low when none.
int readInt(const char* text, int low, int high);
// The same for 64-bit values.
int64_t readInt64(const char* text, int64_t low, int64_t high);

// The words of one line: at most one per two characters of a full line.
constexpr int MaxWords = LineBufferSize / 2;
struct Words {
    int count = 0;
    const char* word[MaxWords];
};
// Splits line in place at blanks; the words point into it.
void splitWords(char* line, Words& words);
// Cuts the blanks at the end of text.
void trimTrailingBlanks(char* text);

// 1 when text is a whole move text: four characters, files a..i, ranks 0..9.
int isMoveText(const char* text);
