// Helpers for the board tests.
#pragma once

#include <string>

#include "board/position.h"

constexpr const char* StartFen = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

inline int sq(const char* text) { return textToSquare(text); }
inline int mv(const char* text) { return textToMove(text); }

inline Position fromFen(const char* fen) {
    Position pos{};
    pos.setFromFen(fen);
    return pos;
}

inline std::string text(int move) {
    char buffer[4];
    moveToText(move, buffer);
    return std::string(buffer, 4);
}
