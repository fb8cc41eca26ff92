// The functions the page calls on its own instance of the wasm: one game,
// played and judged by the engine's core, and its state as one JSON text, so
// that the page holds no rules of its own.
#include <emscripten.h>

#include <cstdio>

#include "game/game.h"

namespace {

GameRecord Game;
GameRecord Trial;

// The state text: two FENs, the moves (five bytes each with quotes and comma
// at most seven), the legal moves and a few small fields.
constexpr int StateSize = 2 * FenSize + 7 * (MaxGamePlies + MoveListCapacity) + 256;
char State[StateSize];

int appendMoveArray(int length, const Move* moves, int count) {
    length += std::snprintf(State + length, StateSize - length, "[");
    for (int i = 0; i < count; i++) {
        char text[5] = {};
        moveToText(moves[i], text);
        length += std::snprintf(State + length, StateSize - length, "%s\"%s\"", i > 0 ? "," : "", text);
    }
    return length + std::snprintf(State + length, StateSize - length, "]");
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
    int length = std::snprintf(State, StateSize,
                               "{\"startFen\":\"%s\",\"fen\":\"%s\",\"side\":%d,\"check\":%d,\"outcome\":%d,"
                               "\"reason\":\"%s\",\"moves\":",
                               Game.startFen, fen, pos.sideToMove, pos.inCheck(pos.sideToMove) ? 1 : 0,
                               static_cast<int>(verdict.outcome), gameEndName(verdict.reason));
    length = appendMoveArray(length, Game.moves, Game.plyCount);
    Move legal[MoveListCapacity];
    const int legalCount = verdict.outcome == GameOngoing ? legalMoves(pos, legal) : 0;
    length += std::snprintf(State + length, StateSize - length, ",\"legal\":");
    length = appendMoveArray(length, legal, legalCount);
    std::snprintf(State + length, StateSize - length, "}");
    return State;
}

}  // extern "C"
