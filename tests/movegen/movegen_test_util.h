// Helpers for the move generation tests.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "board/position.h"
#include "movegen/movelist.h"

namespace movegen_test {

constexpr const char* StartPos = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";
constexpr const char* MidgamePos = "2bakab1r/6r2/1cn4c1/p1p1p3p/9/2P3p2/PC2P1n1P/2N1B1NC1/R4R3/3AKAB2 w - - 0 1";
constexpr const char* CheckmatePos = "4kar2/4a2rn/4bc3/RN1c5/2bC5/9/4p4/9/4p4/3p1K3 w - - 0 1";
constexpr const char* ZugzwangPos = "3k5/4PP3/4r4/3P5/9/9/9/9/9/5K3 w - - 0 1";
constexpr const char* EndgamePos = "4k4/4a4/4P4/9/9/9/9/4B4/9/4K4 w - - 0 1";

inline int sq(const char* text) { return textToSquare(text); }
inline int mv(const char* text) { return textToMove(text); }

inline Position fromFen(const char* fen)
{
    Position pos{};
    pos.setFromFen(fen);
    return pos;
}

inline std::string text(int move)
{
    char buffer[4];
    moveToText(move, buffer);
    return std::string(buffer, 4);
}

inline std::vector<MoveEntry> captures(const Position& pos)
{
    MoveEntry entries[MoveListCapacity];
    return std::vector<MoveEntry>(entries, entries + pos.generateCaptures(entries));
}

inline std::vector<MoveEntry> quietMoves(const Position& pos)
{
    MoveEntry entries[MoveListCapacity];
    return std::vector<MoveEntry>(entries, entries + pos.generateQuietMoves(entries));
}

// The move texts of the entries whose source square is the given one, in list order.
inline std::vector<std::string> movesFrom(const std::vector<MoveEntry>& entries, const char* source)
{
    std::vector<std::string> texts;
    for (const MoveEntry& e : entries)
        if (moveSource(e.move) == sq(source))
            texts.push_back(text(e.move));
    return texts;
}

// Generated moves that makeMove accepts, sorted.
inline std::vector<int> legalByGeneration(Position& pos)
{
    std::vector<int> legal;
    auto all = captures(pos);
    const auto quiet = quietMoves(pos);
    all.insert(all.end(), quiet.begin(), quiet.end());
    for (const MoveEntry& e : all)
        if (pos.makeMove(e.move)) {
            legal.push_back(e.move);
            pos.unmakeMove();
        }
    std::sort(legal.begin(), legal.end());
    return legal;
}

}  // namespace movegen_test
