// The XBoard program's state: the game as the front end has played it (its
// position is the session's), the mode the engine is in, the time control
// and what the last own search said. The conversation (xboard.cpp) changes it
// through the game's functions (xboard_game.cpp); the searches
// (xboard_search.cpp) read it and play the engine's moves into it.
#pragma once

#include <cstdint>

#include "io/text.h"
#include "movegen/generate.h"
#include "session/session.h"

extern EngineSession Session;

struct XboardGame {
    bool forceMode;           // the engine plays neither colour
    int32_t engineSide;       // 0 red, 1 black
    bool analyzing;
    bool analysisDue;         // the analysed position or its root moves changed
    bool thinkDue;            // a move or go asks for the engine's move
    bool ponderDue;           // the engine just moved: think on the opponent's time
    bool post;
    bool quit;

    // The time control: level, st and sd; the clocks of time and otim.
    int32_t movesPerSession;  // 0: the whole game in one session
    int64_t sessionTime;      // milliseconds
    int64_t increment;        // milliseconds
    int64_t fixedTime;        // milliseconds per move, 0 when off
    int32_t depthLimit;       // 0 when off
    int64_t engineClock;      // milliseconds; -1 until a time command came
    int64_t opponentClock;
    int32_t sessionStart;     // the game's plies when the time control was set
    int64_t clockAfterMove;   // the engine's clock as it left it after its last move

    // The last own search: its predicted reply, valid in the position the
    // engine's move left, and its view of a draw.
    Move hintMove;
    uint32_t hintLock1;
    uint32_t hintLock2;
    bool drawAcceptable;
    bool drawOffered;         // the opponent offered a draw since the engine's last move
};

extern XboardGame Game;

// Prints a formatted line with one text in it.
void say(const char* format, const char* detail);

// The game (xboard_game.cpp).
void newGame();
// A position the engine's rules accept replaces the game; the old one stays otherwise.
void setBoard(const char* fen);
// Takes moves back; 0 when the game has fewer.
int takeBack(int moves);
// white and black: that colour to move, the engine playing the other.
void setColours(int sideToMove);
// level MPS BASE INC, st SECONDS, sd DEPTH, time and otim CENTISECONDS.
void setLevel(const Words& words, const char* line);
void setFixedTime(const char* argument, const char* line);
void setDepthLimit(const char* argument, const char* line);
void setClock(bool engines, const char* argument, const char* line);
// exclude and include: MOVE or all.
void exclude(const Words& words, const char* line, bool excluding);
// The engine's clock, and the moves up to the next time control (this one
// included; 0 for a clock with increment or one session for the game).
int64_t engineClock();
int movesToGo(const Position& pos);
// The predicted reply for the current position, or 0.
int currentHint();
// A move of the opponent or of the front end: legal moves are made, others
// answered with "Illegal move"; 1 when made.
int playUserMove(const char* text);
// After every change of the position: analysis starts over.
void positionChanged();
// The opponent's draw offer: accepted at once when the last search allows it.
void answerDrawOffer();
// "Hint: MOVE", when there is a move.
void printHint(int move);

// The conversation (xboard.cpp): runs one command line at once, in any mode;
// the searches call it for the commands they answer while they run.
void runCommand(const char* line);

// The searches (xboard_search.cpp). Each reads the commands that arrive while
// it runs: those that do not wait are answered at once, the rest are kept for
// the conversation in the order they came.
// The engine's move in the game: it plays, resigns or claims.
void think();
// Thinks on the opponent's time about the predicted reply, and plays at once
// when that reply comes.
void ponder();
// Analyses the game's position until a command changes it or the search ends.
void analyse();
// The stat01 line of the running or the last analysis.
void printAnalysisStatus();

// The options (xboard_options.cpp).
void printOptionFeatures();
// Applies "NAME=VALUE" (or "NAME" for a button), the text after "option ".
void setXboardOption(const char* text);
