// Helpers for the move generation tests.
#pragma once

#include <algorithm>
#include <string>
#include <vector>

#include "board/position.h"
#include "common/positions.h"
#include "movegen/generate.h"

namespace movegen_test {

inline std::vector<MoveEntry> captures(const Position& pos)
{
    MoveEntry entries[MoveListCapacity];
    return std::vector<MoveEntry>(entries, entries + generateCaptures(pos, entries));
}

inline std::vector<MoveEntry> quietMoves(const Position& pos)
{
    MoveEntry entries[MoveListCapacity];
    return std::vector<MoveEntry>(entries, entries + generateQuietMoves(pos, entries));
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
