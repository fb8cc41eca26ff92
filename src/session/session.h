// The engine session under every protocol: the game's position, the values of
// the options with the transposition table they size, the book and the random
// generator. A protocol turns its words into calls on the session and the
// session's answers into its own lines; the session itself prints nothing.
#pragma once

#include <cstdint>

#include "board/position.h"
#include "search/driver.h"
#include "search/engine.h"
#include "session/options.h"
#include "session/skill.h"

// What every program calls itself.
constexpr const char* EngineName = "Quorvel 1.1";
constexpr const char* EngineAuthor = "Delvane";

constexpr int BookPathSize = 1024;

// Bounds that a program run in process (the fuzz targets) puts on every
// search and on the table, so that any input ends soon; 0 leaves a bound off.
struct SessionBounds {
    int32_t maxDepth = 0;
    int64_t maxNodes = 0;
    int32_t maxTableExponent = 0;
};

struct EngineSession {
    SearchEngine engine;         // all that a search changes, and the table
    Position position;           // the game after the moves played so far
    int32_t droppedPlies;        // plies of the game no longer in the position's history
    // Root moves not to play in this position; a new position ends them.
    int32_t bannedCount;
    Move banned[MaxBannedMoves];
    int32_t options[OptionCount];
    int32_t tableExponent;       // the table now allocated holds 2^tableExponent bytes
    char bookPath[BookPathSize];
    uint32_t randomSeed;         // book choices, the root noise of selectivity, a weakened level's draw
    SkillLines skillLines;       // what the last weakened search drew from
    SessionBounds bounds;
};

// The start of a program: the static tables, the start position, every option
// at its start value with its table, the book (qvr.bin beside the program
// file, else beside programName), the generator seeded from the clock.
void startSession(EngineSession& session, const char* programName, const SessionBounds& bounds);
// The end of a program: the table is released.
void endSession(EngineSession& session);

// Sets an option to value, clamped to its range, and carries out what it does:
// a size for the table makes a fresh one (cleared, like every new size), the
// clear button empties it.
void setOption(EngineSession& session, OptionId id, int value);
inline int option(const EngineSession& session, OptionId id) { return session.options[id]; }
// The level the session plays at, in hundredths: FullStrength unless
// Skill Level, or UCI_Elo under UCI_LimitStrength, asks for less.
int32_t playingLevel(const EngineSession& session);
// A new game: with a Seed set, every random draw starts over from it, so
// that a game replays whatever came before it.
void restartRandom(EngineSession& session);

// The game. Each change of its position ends the bans.
// A position the engine's rules accept (Position::loadFen) replaces the game;
// 0 and nothing changes for any other text.
int setGame(EngineSession& session, const char* fen);
// The game from fen as far as its text goes (Position::setFromFen).
void setGameLeniently(EngineSession& session, const char* fen);
// Makes a legal move in the game, first making room in the history when it is
// nearly full; 0 when the move is not legal here.
int makeGameMove(EngineSession& session, int move);
// The same for a four-character move text; the move made, or 0.
int playMoveText(EngineSession& session, const char* text);
// Takes the last moves back; 0 (and nothing changes) when the game has fewer.
int takeBackMoves(EngineSession& session, int count);
// Gives the move to side; 0 when the other side would then stand in check.
int setSideToMove(EngineSession& session, int side);
// Plies played since the game's start position, all of them counted.
inline int gamePlies(const EngineSession& session, const Position& pos) {
    return pos.moveCount - 1 + session.droppedPlies;
}

// Directory of programName (up to its last '/' or '\\') followed by fileName,
// cut to fit destination: where the book lies beside the program.
void locatePath(char* destination, int destinationSize, const char* programName, const char* fileName);

// The legal move a four-character text names in pos, or 0.
int legalMoveOfText(Position& pos, const char* text);
// The first legal move of pos in generation order, or 0 when it has none.
int firstLegalMove(Position& pos);
