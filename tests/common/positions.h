// Positions and moves for the tests: the engine's named positions, a position
// set up from FEN, and squares and moves to and from their text.
#pragma once

#include <string>

#include "board/position.h"

constexpr const char* StartFen = StartPositionFen;
constexpr const char* MidgameFen = "2bakab1r/6r2/1cn4c1/p1p1p3p/9/2P3p2/PC2P1n1P/2N1B1NC1/R4R3/3AKAB2 w - - 0 1";
constexpr const char* CheckmateFen = "4kar2/4a2rn/4bc3/RN1c5/2bC5/9/4p4/9/4p4/3p1K3 w - - 0 1";
constexpr const char* ZugzwangFen = "3k5/4PP3/4r4/3P5/9/9/9/9/9/5K3 w - - 0 1";
constexpr const char* EndgameFen = "4k4/4a4/4P4/9/9/9/9/4B4/9/4K4 w - - 0 1";

inline Position fromFen(const char* fen) {
    Position pos{};
    pos.setFromFen(fen);
    return pos;
}

// "e0" -> 199, "h2e2" -> the move; off the board: -1 and 0.
inline int sq(const char* text) { return textToSquare(text); }
inline int mv(const char* text) { return textToMove(text); }

inline std::string text(int move) {
    char buffer[4];
    moveToText(move, buffer);
    return std::string(buffer, 4);
}
