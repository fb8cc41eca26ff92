// The XBoard program's state: the game as the front end has played it, the
// mode the engine is in, the time control and what the last own search said.
// Owned by the conversation (xboard.cpp); the searches (xboard_search.cpp)
// read it and play the engine's moves into it.
#pragma once

#include <cstdint>

#include "board/position.h"
#include "movegen/generate.h"

struct XboardGame {
    Position position;
    int32_t forceMode;        // the engine plays neither colour
    int32_t engineSide;       // 0 red, 1 black
    int32_t analyzing;
    int32_t analysisDue;      // the analysed position or its root moves changed
    int32_t thinkDue;         // a move or go asks for the engine's move
    int32_t ponderDue;        // the engine just moved: think on the opponent's time
    int32_t post;
    int32_t ponder;           // hard: pondering on
    int32_t quit;

    // The time control: level, st and sd; the clocks of time and otim.
    int32_t movesPerSession;  // 0: the whole game in one session
    int64_t sessionTime;      // milliseconds
    int64_t increment;        // milliseconds
    int64_t fixedTime;        // milliseconds per move, 0 when off
    int32_t depthLimit;       // 0 when off
    int64_t engineClock;      // milliseconds; -1 until a time command came
    int64_t opponentClock;
    int32_t sessionStart;     // position.moveCount when the time control was set
    int64_t clockAfterMove;   // the engine's clock as it left it after its last move

    // Root moves exclude has taken out of this position.
    int32_t excludedCount;
    Move excluded[MoveListCapacity];

    // The last own search: its predicted reply, valid in the position the
    // engine's move left, and its view of a draw.
    Move hintMove;
    uint32_t hintLock1;
    uint32_t hintLock2;
    int32_t drawAcceptable;
    int32_t drawOffered;      // the opponent offered a draw since the engine's last move
};

extern XboardGame Game;

// The conversation (xboard.cpp).
// Runs one command line at once, in any mode; the searches call it for the
// commands they answer while they run.
void runCommand(const char* line);
// The predicted reply for the current position, or 0.
int currentHint();
// A move of the opponent or of the front end: legal moves are made, others
// answered with "Illegal move"; 1 when made.
int playUserMove(const char* text);
// Makes a legal move in the game; 0 when the position refuses it.
int makeGameMove(int move);
// After every change of the position: exclusions end, analysis starts over.
void positionChanged();
// The opponent's draw offer: accepted at once when the last search allows it.
void answerDrawOffer();

// The searches (xboard_search.cpp). Each reads the commands that arrive while
// it runs: those that do not wait are answered at once, the rest are kept for
// the conversation in the order they came.
// The engine's move in Game.position: it plays, resigns or claims.
void think();
// Thinks on the opponent's time about the predicted reply, and plays at once
// when that reply comes.
void ponder();
// Analyses Game.position until a command changes it or the search ends.
void analyse();
// The stat01 line of the running or the last analysis.
void printAnalysisStatus();
