// The functions the page calls on its own instance of the wasm: one game,
// played and judged by the engine's core, and its state as one JSON text, so
// that the page holds no rules of its own.
#include <emscripten.h>

#include <cstdarg>
#include <cstdio>

#include "game/game.h"

namespace {

GameRecord Game;
GameRecord Trial;

// The state text: two FENs, the moves (at most seven bytes each with their
// quotes and comma), the legal moves and a few short fields.
constexpr int StateSize = 2 * FenSize + 7 * (MaxGamePlies + MoveListCapacity) + 512;
char State[StateSize];
int StateLength = 0;

// Appends to State; text that would not fit is cut, never written past the end.
void add(const char* format, ...) {
    va_list arguments;
    va_start(arguments, format);
    const int written = std::vsnprintf(State + StateLength, StateSize - StateLength, format, arguments);
    va_end(arguments);
    if (written > 0) StateLength = StateLength + written < StateSize ? StateLength + written : StateSize - 1;
}

void addMoveArray(const Move* moves, int count) {
    add("[");
    for (int i = 0; i < count; i++) {
        char text[5] = {};
        moveToText(moves[i], text);
        add("%s\"%s\"", i > 0 ? "," : "", text);
    }
    add("]");
}

}  // namespace

extern "C" {

// Starts a new game from fen (the standard start when empty); 0, and the
// game as it was, when the FEN is refused.
EMSCRIPTEN_KEEPALIVE int quorvel_game_start(const char* fen) {
    if (!startGame(Trial, fen != nullptr && fen[0] != '\0' ? fen : nullptr, RulesAsian)) return 0;
    Game = Trial;
    return 1;
}

// Plays a move given as text (h2e2); 0 when it is not legal here or the game is over.
EMSCRIPTEN_KEEPALIVE int quorvel_game_play(const char* text) {
    if (judgeGame(Game).outcome != GameOngoing) return 0;
    const int move = textToMove(text);
    return move != 0 && playGameMove(Game, static_cast<Move>(move));
}

EMSCRIPTEN_KEEPALIVE int quorvel_game_undo() { return takeBackGameMove(Game); }

// {"startFen","fen","side" (0 red, 1 black),"check" (the side to move is in
// check),"outcome" (0 on, 1 red won, 2 black won, 3 drawn),"reason","moves","legal"};
// the legal moves are empty once the game is over.
EMSCRIPTEN_KEEPALIVE const char* quorvel_game_state() {
    const Position& pos = Game.position;
    const GameVerdict verdict = judgeGame(Game);
    char fen[FenSize];
    pos.writeFen(fen);
    StateLength = 0;
    add("{\"startFen\":\"%s\",\"fen\":\"%s\",\"side\":%d,\"check\":%d,\"outcome\":%d,\"reason\":\"%s\",\"moves\":",
        Game.startFen, fen, pos.sideToMove, pos.inCheck(pos.sideToMove) ? 1 : 0, static_cast<int>(verdict.outcome),
        gameEndName(verdict.reason));
    addMoveArray(Game.moves, Game.plyCount);
    Move legal[MoveListCapacity];
    const int legalCount = verdict.outcome == GameOngoing ? legalMoves(pos, legal) : 0;
    add(",\"legal\":");
    addMoveArray(legal, legalCount);
    add("}");
    return State;
}

}  // extern "C"
