// quorvel-book check: every position of a line file searched with the book
// off, reporting the book moves that score well below the best move found.
#pragma once

#include <string>

struct SearchEngine;

struct CheckSettings {
    int depth;
    int margin;  // evaluation units below the best move before a book move is reported
};

// Searches on engine, whose table is allocated. Prints one report line per weak book move and a summary on stdout; returns
// the number of weak moves, or -1 when the line file does not build.
int checkBookLines(SearchEngine& engine, const std::string& text, const CheckSettings& settings);
