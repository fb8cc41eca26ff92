// The record of a game: its start, the moves played and taken back, and the
// position after the last one, whose history always holds the moves since the
// last capture that the judge reads.
#include "game/game.h"

#include <cstring>

#include "board/tables.h"
#include "game/chase.h"
#include "movegen/generate.h"

namespace {

// A position's history holds MaxHistory records and a game up to
// MaxGamePlies moves; when it fills, the position starts again from a FEN
// that keeps this many of the latest moves since the last capture: far more
// than the 120 quiet plies after which the game is drawn anyway.
constexpr int KeptQuietPlies = 512;

int makeHistoryRoom(Position& pos) { return pos.dropOldHistory(KeptQuietPlies) > 0; }

// Plays the first plies of the record again from its start.
int replayGame(GameRecord& game, int plies) {
    if (!game.position.loadFen(game.startFen)) return 0;
    for (int i = 0; i < plies; i++) {
        if (game.position.moveCount >= MaxHistory && !makeHistoryRoom(game.position)) return 0;
        if (!game.position.makeMove(game.moves[i])) return 0;
    }
    game.plyCount = plies;
    return 1;
}

}  // namespace

// The page and the runner may judge games before (or without) an engine has
// built its tables; building them twice would clear what a search has set.
void ensureBoardTables() {
    if (PopCount16[0xFFFF] == 0) buildPopCount();
    if (ColumnBit[0x33] == 0) buildTables();
}

int startGame(GameRecord& game, const char* fen, RuleSet rules) {
    ensureBoardTables();
    if (fen == nullptr) fen = StartPositionFen;
    const size_t length = std::strlen(fen);
    if (length >= sizeof game.startFen) return 0;
    Position start;
    if (!start.loadFen(fen)) return 0;
    std::memcpy(game.startFen, fen, length + 1);
    game.position = start;
    game.plyCount = 0;
    game.rules = rules;
    return 1;
}

int playGameMove(GameRecord& game, Move move) {
    if (game.plyCount >= MaxGamePlies) return 0;
    Position& pos = game.position;
    if (!pos.isValidMove(move) || !leavesKingSafe(pos, move)) return 0;
    if (pos.moveCount >= MaxHistory && !makeHistoryRoom(pos)) return 0;
    if (!pos.makeMove(move)) return 0;
    game.moves[game.plyCount++] = move;
    return 1;
}

int takeBackGameMove(GameRecord& game) {
    if (game.plyCount == 0) return 0;
    // After a new start from a FEN the history may no longer reach the move.
    if (game.position.moveCount > 1) {
        game.position.unmakeMove();
        game.plyCount--;
        return 1;
    }
    return replayGame(game, game.plyCount - 1);
}

const char* gameEndName(GameEnd reason) {
    switch (reason) {
        case EndCheckmate: return "checkmate";
        case EndStalemate: return "stalemate";
        case EndPerpetualCheck: return "perpetual check";
        case EndPerpetualChase: return "perpetual chase";
        case EndRepetition: return "repetition";
        case EndQuietMoves: return "60-move rule";
        case EndInsufficientMaterial: return "insufficient material";
        case EndNone: break;
    }
    return "";
}
