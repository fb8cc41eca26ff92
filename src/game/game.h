// A whole game and its judge: the record of a game from its start position,
// and after each move whether the game is over, who won and why, under the
// rules of Xiangqi (no legal move loses; a repetition is judged by perpetual
// check and chase; 60 moves a side without a capture, or no piece left that
// can cross the river, draw). Prints nothing; the match runner and the page
// both judge their games here.
#pragma once

#include <cstdint>

#include "board/position.h"
#include "movegen/generate.h"

// How a repetition is judged.
enum RuleSet {
    RulesAsian,   // perpetual check loses, otherwise perpetual chase loses, otherwise a draw
    RulesSimple,  // every third occurrence draws
    RulesCheck,   // only perpetual check loses; any other repetition draws
};

enum GameOutcome { GameOngoing, RedWins, BlackWins, GameDrawn };

// Why a game ended; gameEndName gives the word a PGN's Termination tag shows.
enum GameEnd {
    EndNone,
    EndCheckmate,
    EndStalemate,
    EndPerpetualCheck,
    EndPerpetualChase,
    EndRepetition,
    EndQuietMoves,         // 60 moves by each side without a capture
    EndInsufficientMaterial,
};

struct GameVerdict {
    GameOutcome outcome;
    GameEnd reason;
};

// The longest game a record holds; a runner adjudicates long before.
constexpr int MaxGamePlies = 2048;
// Moves without a capture, both sides counted, after which the game is drawn.
constexpr int GameQuietPlyLimit = 120;

struct GameRecord {
    char startFen[FenSize];
    Move moves[MaxGamePlies];
    int32_t plyCount;
    Position position;   // after the last move
    RuleSet rules;
};

// Builds the board tables when nothing has built them yet.
void ensureBoardTables();
// Starts a game from fen (the standard start when null); 0 when the FEN is
// refused or longer than a record keeps. Builds the board tables when nothing
// has built them yet, so the page and the runner need no engine first.
int startGame(GameRecord& game, const char* fen, RuleSet rules);
// Plays a legal move; 0 (and nothing changes) for any other move or a full record.
int playGameMove(GameRecord& game, Move move);
// Takes the last move back; 0 when there is none.
int takeBackGameMove(GameRecord& game);
// Whether the game stands over after its last move, and why.
GameVerdict judgeGame(const GameRecord& game);

// "checkmate", "stalemate", "perpetual check", "perpetual chase", "repetition",
// "60-move rule", "insufficient material"; "" for EndNone.
const char* gameEndName(GameEnd reason);
