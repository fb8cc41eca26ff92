// Game files: PGN (several games, tags, a comment per move, moves in any of
// the four notations) and the WXF game file of the WXF-era programs (KEY<TAB>
// VALUE header lines, the moves numbered between START{ and }END). One reader
// for both, told apart by content; one writer for each. A bad file changes
// nothing and is refused with the game, the line and the reason.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/notation.h"

// The largest file read: room for big opening collections, and a bound on
// what a stray binary costs to refuse.
constexpr size_t MaxGameFileBytes = size_t{32} << 20;
// Games one file may hold (and each at most MaxGamePlies moves).
constexpr int MaxFileGames = 100000;

struct GameTag {
    std::string name;
    std::string value;
};

// A game as a file holds it.
struct SavedGame {
    // Every tag in the file's order, WXF header keys under their PGN names
    // (GAME Event, PLACE Site, DATE Date, ROUND Round, RED White, BLACK Black,
    // RESULT Result, FEN FEN, FORMAT Format; any other key as it stands).
    // Writing keeps them, except that Result, SetUp, FEN and Format are
    // written from the fields below, and a name the file kind cannot hold
    // (empty, with a blank, in PGN with '"' or ']') is left out.
    std::vector<GameTag> tags;
    std::string startFen;  // empty: the standard start
    std::vector<Move> moves;
    // moves.size() + 1 entries: [0] before the first move, [i] after move i;
    // "" for none. Whitespace runs are read as one space.
    std::vector<std::string> comments;
    std::string result;  // "1-0", "0-1", "1/2-1/2" or "*"
};

struct GameFileError {
    int32_t game;  // 1-based; 0 for the file as a whole
    int32_t line;  // 1-based; 0 when no line is to blame
    std::string reason;
};

// Reads every game of length bytes of text, PGN or WXF game file (a file whose
// first line starts with FORMAT or that has a START{ line before any PGN tag
// is WXF). Returns 1 with games replaced by what was read, or 0 with error set
// and games untouched. Moves are read in any notation whatever the Format tag
// says; a text that names no legal move, or several, fails the file.
int readGameFile(const char* text, size_t length, std::vector<SavedGame>& games, GameFileError& error);
// "game 2, line 14: H8+7: no horse on file 8".
std::string gameFileErrorText(const GameFileError& error);

// Appends the game as PGN, moves in notation (flags as for writeMoveText)
// with a Format tag naming it (none for coordinates), lines under 80 bytes,
// and an empty line after it. Returns 0 (out unchanged) when the start FEN or
// a move is not legal.
int writePgnGame(const SavedGame& game, MoveNotation notation, int flags, std::string& out);
// Appends the game as a WXF game file, moves in WXF. Returns 0 (out
// unchanged) when the start FEN or a move is not legal.
int writeWxfGame(const SavedGame& game, std::string& out);

// The value of the first tag of that name, "" when there is none.
std::string tagValue(const SavedGame& game, const char* name);
