// The functions the wasm exports for the rules of a game in JavaScript: the
// Game of the npm package (web/quorvel-game.mjs), which the page plays on
// too. Each game is a record of its own in the wasm heap, played, judged,
// written and read by src/game, so that JavaScript holds no rule, notation or
// PGN. Texts come in as bytes and a length (any bytes: nothing past them is
// read) and go out through one buffer that the caller reads before its next call.
#include <emscripten.h>

#include <cstring>
#include <memory>
#include <new>
#include <string>
#include <vector>

#include "game/game.h"
#include "game/game_file.h"
#include "game/notation.h"
#include "session/skill.h"

namespace {

struct WebGame {
    GameRecord record;
    // record.plyCount + 1 entries: [0] before the first move, [i] after move i.
    std::vector<std::string> comments;
    // As the file gave them or setTag set them; Result, when there, one of Results.
    std::vector<GameTag> tags;
};

// The text of the latest call that writes one.
std::string Out;

// Between the fields of a move's record, and between records or texts of a list:
// no move text holds either.
constexpr char FieldBreak = '\t';
constexpr char RecordBreak = '\n';
// Between the strings of a list of comments or tags: none of them holds it
// (a file with a NUL byte is refused, and text set here has its control
// characters made blanks).
constexpr char StringBreak = '\0';

// A move the record has no room for, beside readMoveText's codes.
constexpr int MoveRecordFull = MoveTextAmbiguous + 1;

// A game's result by GameOutcome, as PGN writes it.
const char* const Results[] = {"*", "1-0", "0-1", "1/2-1/2"};

// The tags the file writers derive from the game itself.
const char* const DerivedTags[] = {"SetUp", "FEN", "Format"};

// The longest notation name read.
constexpr int NotationNameBytes = 16;

bool sameName(const std::string& a, const char* b) {
    const size_t length = std::strlen(b);
    if (a.size() != length) return false;
    for (size_t i = 0; i < length; i++) {
        const char x = a[i] >= 'A' && a[i] <= 'Z' ? static_cast<char>(a[i] - 'A' + 'a') : a[i];
        const char y = b[i] >= 'A' && b[i] <= 'Z' ? static_cast<char>(b[i] - 'A' + 'a') : b[i];
        if (x != y) return false;
    }
    return true;
}

// Text from JavaScript as a file would hold it: control characters (a NUL, a
// line break) made blanks.
std::string plainText(const char* text, int length) {
    std::string plain(text, length > 0 ? static_cast<size_t>(length) : 0);
    for (char& c : plain)
        if (static_cast<unsigned char>(c) < ' ') c = ' ';
    return plain;
}

// A notation number from JavaScript; coordinates for one out of range.
MoveNotation notationOf(int number) {
    return number >= NotationCoord && number <= NotationChinese ? static_cast<MoveNotation>(number) : NotationCoord;
}

// A piece's kind as the FEN letter of black's: the side is said apart.
char kindLetter(int code) {
    const char letter = pieceLetter(code);
    return letter >= 'A' && letter <= 'Z' ? static_cast<char>(letter - 'A' + 'a') : letter;
}

// A move's record, for move, legal in pos: its text in each notation, the
// mover (0 red, 1 black), and the kinds of its piece and of the piece it takes.
void addMoveRecord(const Position& pos, Move move) {
    char text[MoveTextSize];
    for (MoveNotation notation : {NotationCoord, NotationIccs, NotationWxf, NotationChinese}) {
        writeMoveText(pos, move, notation, 0, text, sizeof text);
        Out += text;
        Out += FieldBreak;
    }
    Out += static_cast<char>('0' + pos.sideToMove);
    Out += FieldBreak;
    Out += kindLetter(pos.board[moveSource(move)]);
    Out += FieldBreak;
    const int captured = pos.board[moveDestination(move)];
    if (captured != 0) Out += kindLetter(captured);
}

// The record replayed for a game's history, kept out of the stack.
GameRecord Replay;

int tagIndex(const WebGame& game, const char* name) {
    for (size_t i = 0; i < game.tags.size(); i++)
        if (sameName(game.tags[i].name, name)) return static_cast<int>(i);
    return -1;
}

void setTag(WebGame& game, const char* name, const std::string& value) {
    const int at = tagIndex(game, name);
    if (at >= 0)
        game.tags[static_cast<size_t>(at)].value = value;
    else
        game.tags.push_back(GameTag{name, value});
}

void removeTag(WebGame& game, const char* name) {
    const int at = tagIndex(game, name);
    if (at >= 0) game.tags.erase(game.tags.begin() + at);
}

// The game as the file writers take it: the verdict of the rules, when the
// game is over, as its result and Termination; otherwise the Result tag.
int toSavedGame(const WebGame& game, SavedGame& saved) {
    const GameRecord& record = game.record;
    Position start;
    if (!start.loadFen(record.startFen)) return 0;
    char fen[FenSize];
    start.writeFen(fen);
    saved.startFen = std::strcmp(fen, StartPositionFen) == 0 ? "" : fen;
    saved.tags = game.tags;
    saved.moves.assign(record.moves, record.moves + record.plyCount);
    saved.comments = game.comments;
    const GameVerdict verdict = judgeGame(record);
    saved.result = Results[verdict.outcome];
    if (verdict.outcome == GameOngoing) {
        const int at = tagIndex(game, "Result");
        if (at >= 0) saved.result = game.tags[static_cast<size_t>(at)].value;
    } else {
        if (tagIndex(game, "Result") < 0) saved.tags.push_back(GameTag{"Result", saved.result});
        bool termination = false;
        for (GameTag& tag : saved.tags)
            if (sameName(tag.name, "Termination")) {
                tag.value = gameEndName(verdict.reason);
                termination = true;
            }
        if (!termination) saved.tags.push_back(GameTag{"Termination", gameEndName(verdict.reason)});
    }
    return 1;
}

}  // namespace

extern "C" {

EMSCRIPTEN_KEEPALIVE const char* quorvel_out() { return Out.data(); }
EMSCRIPTEN_KEEPALIVE int quorvel_out_length() { return static_cast<int>(Out.size()); }

// The number of the notation named by length bytes ("coord", "iccs", "wxf",
// "chinese", any case); -1, with the reason, for another name.
EMSCRIPTEN_KEEPALIVE int quorvel_notation(const char* name, int length) {
    char text[NotationNameBytes] = "";
    if (length > 0 && length < NotationNameBytes) std::memcpy(text, name, static_cast<size_t>(length));
    const int notation = notationFromName(text);
    if (notation < 0) Out = "no such notation: coord, iccs, wxf or chinese";
    return notation;
}

// A new game from the FEN of length bytes (the standard start when 0); null,
// with the reason, when the FEN is refused.
EMSCRIPTEN_KEEPALIVE WebGame* quorvel_game_new(const char* fen, int length) {
    char text[FenSize] = "";
    if (length < 0 || length >= FenSize || (length > 0 && std::memchr(fen, '\0', static_cast<size_t>(length)))) {
        Out = "not a Xiangqi FEN";
        return nullptr;
    }
    if (length > 0) std::memcpy(text, fen, static_cast<size_t>(length));
    std::unique_ptr<WebGame> game(new (std::nothrow) WebGame);
    if (!game) {
        Out = "no memory for a game";
        return nullptr;
    }
    if (!startGame(game->record, length > 0 ? text : nullptr, RulesAsian)) {
        Out = "not a Xiangqi FEN, or not a position of the rules";
        return nullptr;
    }
    game->comments.assign(1, std::string());
    return game.release();
}

EMSCRIPTEN_KEEPALIVE void quorvel_game_delete(WebGame* game) { delete game; }

// Plays the move that length bytes name in any notation. 0 with the move's
// record (see addMoveRecord); otherwise a MoveTextCode or MoveRecordFull, with
// the reason, and the game as it was.
EMSCRIPTEN_KEEPALIVE int quorvel_game_move(WebGame* game, const char* text, int length) {
    const Position& pos = game->record.position;
    Move move = 0;
    char reason[MoveTextReasonSize];
    const int code = readMoveText(pos, text, length > 0 ? length : 0, &move, reason, sizeof reason);
    if (code != MoveTextOk) {
        Out = reason;
        return code;
    }
    Out.clear();
    addMoveRecord(pos, move);
    if (!playGameMove(game->record, move)) {
        Out = "the game record is full";
        return MoveRecordFull;
    }
    game->comments.emplace_back();
    return MoveTextOk;
}

// Takes the last move back; 0 when there is none. (The caller keeps the
// records move gave it, so undo writes none.)
EMSCRIPTEN_KEEPALIVE int quorvel_game_undo(WebGame* game) {
    if (!takeBackGameMove(game->record)) return 0;
    game->comments.pop_back();
    return 1;
}

// The legal moves in a notation (flags as for writeMoveText), one a line; returns their number.
EMSCRIPTEN_KEEPALIVE int quorvel_game_moves(WebGame* game, int notation, int flags) {
    const Position& pos = game->record.position;
    Move legal[MoveListCapacity];
    const int count = legalMoves(pos, legal);
    Out.clear();
    for (int i = 0; i < count; i++) {
        char text[MoveTextSize];
        writeMoveText(pos, legal[i], notationOf(notation), flags, text, sizeof text);
        if (i > 0) Out += RecordBreak;
        Out += text;
    }
    return count;
}

// The moves played, one a line: their text in a notation, or with records
// != 0 their records (see addMoveRecord). Returns their number.
EMSCRIPTEN_KEEPALIVE int quorvel_game_history(WebGame* game, int notation, int flags, int records) {
    const GameRecord& record = game->record;
    Out.clear();
    if (!startGame(Replay, record.startFen, record.rules)) return 0;
    for (int ply = 0; ply < record.plyCount; ply++) {
        const Move move = record.moves[ply];
        if (ply > 0) Out += RecordBreak;
        if (records) {
            addMoveRecord(Replay.position, move);
        } else {
            char text[MoveTextSize];
            writeMoveText(Replay.position, move, notationOf(notation), flags, text, sizeof text);
            Out += text;
        }
        if (!playGameMove(Replay, move)) return ply + 1;
    }
    return record.plyCount;
}

// The FEN of the position after the last move; returns its length.
EMSCRIPTEN_KEEPALIVE int quorvel_game_fen(WebGame* game) {
    char fen[FenSize];
    game->record.position.writeFen(fen);
    Out = fen;
    return static_cast<int>(Out.size());
}

// The side to move (0 red, 1 black), plus 2 when it is in check.
EMSCRIPTEN_KEEPALIVE int quorvel_game_turn(WebGame* game) {
    const Position& pos = game->record.position;
    return pos.sideToMove + (pos.inCheck(pos.sideToMove) ? 2 : 0);
}

// The judge's verdict on the game after its last move: its GameOutcome, and
// when over its result and why, a tab between ("1-0\tcheckmate").
EMSCRIPTEN_KEEPALIVE int quorvel_game_outcome(WebGame* game) {
    const GameVerdict verdict = judgeGame(game->record);
    Out = Results[verdict.outcome];
    Out += FieldBreak;
    Out += gameEndName(verdict.reason);
    return verdict.outcome;
}

// The game as a file: PGN, moves in a notation (flags as for
// writeMoveText), or with wxfFile != 0 the WXF game file. 1 with the text, 0
// with the reason.
EMSCRIPTEN_KEEPALIVE int quorvel_game_pgn(WebGame* game, int notation, int flags, int wxfFile) {
    SavedGame saved;
    std::string text;
    const int written = toSavedGame(*game, saved) &&
                        (wxfFile ? writeWxfGame(saved, text) : writePgnGame(saved, notationOf(notation), flags, text));
    Out = written ? text : "the game cannot be written";
    return written;
}

// Reads the first game of a PGN or WXF game file of length bytes, with its
// tags and comments, in place of the game. Returns the number of games the
// file holds, or 0 with the reason ("game 1, line 3: H5+3: no horse on file
// 5") and the game as it was.
EMSCRIPTEN_KEEPALIVE int quorvel_game_load(WebGame* game, const char* text, int length) {
    std::vector<SavedGame> games;
    GameFileError error;
    if (!readGameFile(text, length > 0 ? static_cast<size_t>(length) : 0, games, error)) {
        Out = gameFileErrorText(error);
        return 0;
    }
    if (games.empty()) {
        Out = "no game in the text";
        return 0;
    }
    const SavedGame& saved = games[0];
    const std::string variant = tagValue(saved, "Variant");
    if (!variant.empty() && !sameName(variant, "xiangqi")) {
        Out = "game 1: not a Xiangqi game (Variant \"" + variant + "\")";
        return 0;
    }
    std::unique_ptr<WebGame> loaded(new (std::nothrow) WebGame);
    if (!loaded || !startGame(loaded->record, saved.startFen.empty() ? nullptr : saved.startFen.c_str(), RulesAsian)) {
        Out = "game 1: the start position cannot be set up";
        return 0;
    }
    for (Move move : saved.moves)
        if (!playGameMove(loaded->record, move)) {
            Out = "game 1: a move the game record cannot take";
            return 0;
        }
    loaded->comments = saved.comments;
    loaded->comments.resize(saved.moves.size() + 1);
    loaded->tags = saved.tags;
    if (saved.result == Results[GameOngoing])
        removeTag(*loaded, "Result");
    else
        setTag(*loaded, "Result", saved.result);
    *game = std::move(*loaded);
    return static_cast<int>(games.size());
}

// Every comment, [0] before the first move and [i] after move i, a NUL
// between; returns their number.
EMSCRIPTEN_KEEPALIVE int quorvel_game_comments(WebGame* game) {
    Out.clear();
    for (size_t i = 0; i < game->comments.size(); i++) {
        if (i > 0) Out += StringBreak;
        Out += game->comments[i];
    }
    return static_cast<int>(game->comments.size());
}

// Sets the comment after move ply (0: before the first move) to length
// bytes; 0 when the game has no such ply.
EMSCRIPTEN_KEEPALIVE int quorvel_game_set_comment(WebGame* game, int ply, const char* text, int length) {
    if (ply < 0 || ply > game->record.plyCount) return 0;
    game->comments[static_cast<size_t>(ply)] = plainText(text, length);
    return 1;
}

// Every tag, name and value, a NUL after each but the last; returns their number.
EMSCRIPTEN_KEEPALIVE int quorvel_game_tags(WebGame* game) {
    Out.clear();
    for (size_t i = 0; i < game->tags.size(); i++) {
        if (i > 0) Out += StringBreak;
        Out += game->tags[i].name;
        Out += StringBreak;
        Out += game->tags[i].value;
    }
    return static_cast<int>(game->tags.size());
}

// Sets a tag (a value length below 0 removes it). 1, or 0 with the reason for
// a name a file cannot hold, one the writers derive from the game, or a
// Result other than PGN's four.
EMSCRIPTEN_KEEPALIVE int quorvel_game_set_tag(WebGame* game, const char* name, int nameLength, const char* value, int valueLength) {
    const std::string key(name, nameLength > 0 ? static_cast<size_t>(nameLength) : 0);
    bool word = !key.empty();
    for (char c : key) word = word && static_cast<unsigned char>(c) > ' ' && c != '"' && c != ']' && c != '[';
    if (!word) {
        Out = "a tag's name is one word without quotes or brackets";
        return 0;
    }
    for (const char* derived : DerivedTags)
        if (sameName(key, derived)) {
            Out = key + " is written from the game itself";
            return 0;
        }
    if (valueLength < 0) {
        removeTag(*game, key.c_str());
        return 1;
    }
    const std::string text = plainText(value, valueLength);
    if (sameName(key, "Result")) {
        bool known = false;
        for (const char* result : Results) known = known || text == result;
        if (!known) {
            Out = "a Result is 1-0, 0-1, 1/2-1/2 or *";
            return 0;
        }
    }
    setTag(*game, key.c_str(), text);
    return 1;
}

// The Elo of each skill level, 0 to FullSkillLevel, one a line; returns their number.
EMSCRIPTEN_KEEPALIVE int quorvel_skill_elo() {
    Out.clear();
    for (int level = 0; level <= FullSkillLevel; level++) {
        if (level > 0) Out += RecordBreak;
        Out += std::to_string(LevelElo[level]);
    }
    return FullSkillLevel + 1;
}

}  // extern "C"
