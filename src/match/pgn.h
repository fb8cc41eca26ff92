// A finished game as PGN: the standard tags with Variant, FEN and SetUp for
// another start, TimeControl and Termination; moves in the notation asked
// for (Quorvel's move text unless told), each engine move with {score/depth
// time} from the mover's side. The layout is src/game's.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/position.h"
#include "game/notation.h"
#include "match/match.h"

struct PlayedMove {
    Move move;
    int32_t fromOpening;  // played from the opening, not by an engine
    int32_t hasScore;
    int32_t scoreCp;      // centipawns, the mover's side
    int32_t mateIn;       // moves to mate, negative when mated; 0 for none
    int32_t depth;
    int64_t timeMs;
};

struct PgnGame {
    std::string event;
    std::string date;  // YYYY.MM.DD
    int32_t round;
    std::string red, black;
    std::string fen;   // empty: the standard start
    std::string redTimeControl, blackTimeControl;
    std::string result;  // 1-0, 0-1, 1/2-1/2
    std::string termination;
    std::vector<PlayedMove> moves;
};

// The game's text, ending with an empty line.
std::string formatPgn(const PgnGame& game, MoveNotation notation);

// A time control as the TimeControl tag writes it: 40/60+0.5, 10+0.1, 5/move, or -.
std::string timeControlText(const TimeControl& limits);
