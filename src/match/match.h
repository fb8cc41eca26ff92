// quorvel-match: a match of two engines run as child processes, judged move
// by move under the rules of src/game. These records are what the command
// line turns into and what a match hands back; runMatch plays it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "game/game.h"
#include "game/notation.h"

enum Protocol { ProtocolUcci, ProtocolUci, ProtocolXboard, ProtocolUnset };

// The limits of one engine's moves. A clock (tc=) and a fixed time (st=)
// exclude each other; depth and nodes may come with either or alone.
struct TimeControl {
    int32_t movesPerPeriod;  // tc=40/60: moves before the clock is refilled; 0 for the whole game
    int64_t baseMs;          // the clock at the start of each period; 0 for no clock
    int64_t incrementMs;
    int64_t moveTimeMs;      // st=: every move in this time; 0 for none
    int32_t depth;           // 0 for none
    int64_t nodes;           // 0 for none
};

struct EngineSettings {
    std::string command;
    std::string directory;
    std::string arguments;
    std::string name;  // empty: the name the engine gives itself
    Protocol protocol;
    std::vector<std::pair<std::string, std::string>> options;
    TimeControl limits;
    int32_t ponder;
    int32_t ranksFromOne;   // moves written with ranks 1..10 instead of 0..9
    int64_t timeMarginMs;   // how far past its clock an answer still counts
};

struct OpeningSource {
    std::string file;  // empty: every game from the standard start
    int32_t gameFile;  // 1 for a PGN or WXF game file, 0 for FEN/EPD lines
    int32_t random;    // shuffled with the match seed
    int32_t maxPlies;  // moves of a PGN opening kept; 0 for all
};

// Adjudication: 0 in a count turns that rule off.
struct Adjudication {
    int32_t drawMoveNumber;  // draws are considered from this move on
    int32_t drawMoveCount;   // for this many moves of each side...
    int32_t drawScore;       // ...both engines within +-this (centipawns)
    int32_t resignMoveCount;
    int32_t resignScore;     // both engines agree one side is below -this
    int32_t maxPlies;
};

enum SprtModel { SprtNormalized, SprtLogistic };

struct SprtSettings {
    int32_t enabled;
    double elo0, elo1, alpha, beta;
    SprtModel model;
};

struct MatchConfig {
    EngineSettings engines[2];
    OpeningSource openings;
    Adjudication adjudication;
    SprtSettings sprt;
    RuleSet rules;
    int32_t games;        // games per round
    int32_t rounds;
    int32_t repeat;       // each opening twice, colours swapped
    int32_t concurrency;
    int32_t shardIndex;   // 0-based; plays the game pairs p with p % shardCount == shardIndex
    int32_t shardCount;
    uint64_t seed;
    std::string pgnFile;
    MoveNotation pgnNotation;  // how -pgnout writes the moves
    std::string resultsFile;
    std::string event;
    int32_t quiet;        // no progress lines
    int32_t debug;        // every line to and from the engines on standard error
};

// One game played. Scores are from the first engine's side.
struct GameResult {
    int32_t index;       // 0-based in the whole match: pair index * 2 + 0 or 1
    int32_t firstIsRed;
    GameOutcome outcome;
    std::string termination;
};

// Results, and how the match went.
struct MatchReport {
    std::vector<GameResult> games;
    std::string names[2];
    int32_t sprtStopped;     // 1 when a bound was crossed
    int64_t latencyMoves;    // moves whose handling the runner timed
    int64_t latencySumUs;    // from the answer read to the next command written
    int64_t latencyMaxUs;
    int64_t latencyOverMs;   // moves whose handling took longer than a millisecond
};

// Reads the command line after the program's name into config (every value
// not given keeps its default); 0 with a message in error for a bad one.
int parseMatchArguments(int argc, const char* const* argv, MatchConfig& config, std::string& error);

// Plays the match; messages go to standard error, progress lines to standard
// output. Returns 0, or 2 when the match could not start (an engine that does
// not start or cannot play the openings given).
int runMatch(const MatchConfig& config, MatchReport& report);
