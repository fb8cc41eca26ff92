// Reading and writing PGN and WXF game files. The reader checks the whole
// text first (size, NUL bytes, UTF-8), then plays every move on a game record
// as it reads it, into a fresh list that replaces the caller's only once the
// whole file is good.
#include "game/game_file.h"

#include <cstdio>
#include <cstring>
#include <memory>

#include "game/game.h"

namespace {

constexpr size_t PgnLineWidth = 79;
// A WXF move line: "  1. C2=5      H8+7", black's move from this column on.
constexpr size_t WxfBlackColumn = 15;
// Longest piece of a refused move text quoted back in an error.
constexpr size_t QuotedBytes = 40;

const char* const Results[] = {"1-0", "0-1", "1/2-1/2", "*"};

// WXF header keys and the PGN tags they stand for.
struct KeyName {
    const char* key;
    const char* name;
};
const KeyName WxfKeys[] = {{"GAME", "Event"},   {"PLACE", "Site"}, {"DATE", "Date"},   {"ROUND", "Round"},
                           {"RED", "White"},    {"RED", "Red"},    {"BLACK", "Black"}, {"RESULT", "Result"},
                           {"FEN", "FEN"},      {"FORMAT", "Format"}};

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }

char lower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool sameName(const std::string& a, const char* b) {
    size_t i = 0;
    for (; i < a.size() && b[i] != '\0'; i++)
        if (lower(a[i]) != lower(b[i])) return false;
    return i == a.size() && b[i] == '\0';
}

bool isResult(const std::string& word) {
    for (const char* result : Results)
        if (word == result) return true;
    return false;
}

bool startsWith(const char* text, size_t length, const char* prefix) {
    const size_t n = std::strlen(prefix);
    return length >= n && std::memcmp(text, prefix, n) == 0;
}

// A text quoted back in an error, cut short on a character boundary.
std::string quoted(const std::string& text) {
    if (text.size() <= QuotedBytes) return text;
    size_t end = QuotedBytes;
    while (end > 0 && (static_cast<unsigned char>(text[end]) & 0xC0) == 0x80) end--;
    return text.substr(0, end) + "...";
}

// 1 when the text is UTF-8 without NUL bytes; otherwise 0, with the line of the first bad byte.
int checkText(const char* text, size_t length, GameFileError& error) {
    int line = 1;
    for (size_t i = 0; i < length;) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (c == 0) {
            error = GameFileError{0, line, "a NUL byte: not a text file"};
            return 0;
        }
        const size_t n = c < 0x80 ? 1 : c >= 0xC2 && c <= 0xDF ? 2 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xF0 && c <= 0xF4 ? 4 : 0;
        bool good = n > 0 && n <= length - i;
        for (size_t k = 1; good && k < n; k++) good = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (good && n >= 3) {
            // No overlong forms, no surrogates, nothing past U+10FFFF.
            const unsigned char next = static_cast<unsigned char>(text[i + 1]);
            good = !(c == 0xE0 && next < 0xA0) && !(c == 0xED && next >= 0xA0) && !(c == 0xF0 && next < 0x90) &&
                   !(c == 0xF4 && next >= 0x90);
        }
        if (!good) {
            error = GameFileError{0, line, "not UTF-8 text"};
            return 0;
        }
        if (c == '\n') line++;
        i += n;
    }
    return 1;
}

// ---- reading ------------------------------------------------------------------

struct Reader {
    const char* text;
    size_t length;
    size_t at;
    int line;
    std::vector<SavedGame> games;
    SavedGame game;
    int fenLine;
    std::unique_ptr<GameRecord> record;
    bool open;     // the current game has begun: a tag, a comment, a move or a result
    bool started;  // its record stands at its start position
    bool ended;    // its result was read
    GameFileError error;

    int fail(int atLine, const std::string& reason) {
        error = GameFileError{static_cast<int32_t>(games.size() + 1), atLine, reason};
        return 0;
    }
};

void beginGame(Reader& r) {
    if (r.open) return;
    r.game = SavedGame{};
    r.game.comments.emplace_back();
    r.open = true;
    r.started = false;
    r.ended = false;
}

void addTag(Reader& r, const std::string& name, const std::string& value) {
    beginGame(r);
    r.game.tags.push_back(GameTag{name, value});
    if (sameName(name, "FEN")) {
        // Its fields one space apart, as every writer puts them.
        std::string& fen = r.game.startFen;
        fen.clear();
        for (char c : value) {
            if (!isBlank(c))
                fen += c;
            else if (!fen.empty() && fen.back() != ' ')
                fen += ' ';
        }
        if (!fen.empty() && fen.back() == ' ') fen.pop_back();
        r.fenLine = r.line;
    }
}

int startRecord(Reader& r) {
    if (r.started) return 1;
    const std::string& fen = r.game.startFen;
    if (!startGame(*r.record, fen.empty() ? nullptr : fen.c_str(), RulesAsian))
        return r.fail(r.fenLine, "the FEN sets up no legal position: " + quoted(fen));
    char standard[FenSize];
    r.record->position.writeFen(standard);
    if (std::strcmp(standard, StartPositionFen) == 0) r.game.startFen.clear();
    r.started = true;
    return 1;
}

int finishGame(Reader& r) {
    if (!r.open) return 1;
    if (!startRecord(r)) return 0;
    if (r.game.result.empty()) {
        const std::string tagged = tagValue(r.game, "Result");
        r.game.result = isResult(tagged) ? tagged : "*";
    }
    if (r.games.size() >= static_cast<size_t>(MaxFileGames))
        return r.fail(r.line, "more than " + std::to_string(MaxFileGames) + " games in one file");
    r.games.push_back(std::move(r.game));
    r.game = SavedGame{};
    r.open = false;
    return 1;
}

// Appends to the comment after the last move read, whitespace runs as one space.
void addComment(Reader& r, size_t begin, size_t end) {
    std::string& comment = r.game.comments.back();
    bool space = !comment.empty();
    for (size_t i = begin; i < end; i++) {
        const char c = r.text[i];
        if (isBlank(c)) {
            space = !comment.empty();
        } else {
            if (space) comment += ' ';
            space = false;
            comment += c;
        }
    }
}

// From '{' past its '}', lines counted; 0 when the comment never ends.
int skipBraces(Reader& r, size_t& begin, size_t& end) {
    const int startLine = r.line;
    begin = ++r.at;
    while (r.at < r.length && r.text[r.at] != '}') {
        if (r.text[r.at] == '\n') r.line++;
        r.at++;
    }
    if (r.at >= r.length) return r.fail(startLine, "a comment that never ends ('{' without '}')");
    end = r.at++;
    return 1;
}

// From ';' to the end of its line, the line break left for the caller.
void skipLine(Reader& r, size_t& begin) {
    begin = ++r.at;
    while (r.at < r.length && r.text[r.at] != '\n') r.at++;
}

int skipVariation(Reader& r) {
    const int startLine = r.line;
    int depth = 0;
    while (r.at < r.length) {
        const char c = r.text[r.at];
        size_t begin = 0, end = 0;
        if (c == '\n') {
            r.line++;
        } else if (c == '{') {
            if (!skipBraces(r, begin, end)) return 0;
            continue;
        } else if (c == ';') {
            skipLine(r, begin);
            continue;
        } else if (c == '(') {
            depth++;
        } else if (c == ')' && --depth == 0) {
            r.at++;
            return 1;
        }
        r.at++;
    }
    return r.fail(startLine, "a variation that never ends ('(' without ')')");
}

bool endsWord(char c) { return isBlank(c) || std::strchr("{}()[];", c) != nullptr; }

int readMoveWord(Reader& r, const std::string& word) {
    if (isResult(word)) {
        r.game.result = word;
        r.ended = true;
        return 1;
    }
    // An annotation set apart, or a move number written without its dot.
    if (word.find_first_not_of("!?") == std::string::npos || word.find_first_not_of("0123456789") == std::string::npos)
        return 1;
    size_t digits = 0;
    while (digits < word.size() && isDigit(word[digits])) digits++;
    size_t dots = digits;
    while (dots < word.size() && word[dots] == '.') dots++;
    const bool numbered = dots > digits;  // "12." "12..." "..."
    if (numbered && dots == word.size()) return 1;
    if (!startRecord(r)) return 0;
    if (r.game.moves.size() >= static_cast<size_t>(MaxGamePlies))
        return r.fail(r.line, "more than " + std::to_string(MaxGamePlies) + " plies in one game");
    const Position& pos = r.record->position;
    Move move = 0;
    char reason[MoveTextReasonSize];
    std::string shown = word;
    // "15.6" is a pawn's move in playOK's WXF, "15.C2=5" move 15: the whole word first.
    int code = readMoveText(pos, word.data(), static_cast<int>(word.size()), &move, reason, sizeof reason);
    if (code != MoveTextOk && numbered) {
        shown = word.substr(dots);
        code = readMoveText(pos, shown.data(), static_cast<int>(shown.size()), &move, reason, sizeof reason);
    }
    if (code != MoveTextOk) return r.fail(r.line, quoted(shown) + ": " + reason);
    if (!playGameMove(*r.record, move)) return r.fail(r.line, quoted(shown) + ": the game record is full");
    r.game.moves.push_back(move);
    r.game.comments.emplace_back();
    return 1;
}

// One element of the moves: a comment, a variation, a NAG, a number, a move or a result.
int readMovetext(Reader& r) {
    const char c = r.text[r.at];
    size_t begin = 0, end = 0;
    if (c == '{') {
        if (!skipBraces(r, begin, end)) return 0;
        addComment(r, begin, end);
        return 1;
    }
    if (c == ';') {
        skipLine(r, begin);
        addComment(r, begin, r.at);
        return 1;
    }
    if (c == '(') return skipVariation(r);
    if (c == '$') {
        for (r.at++; r.at < r.length && isDigit(r.text[r.at]);) r.at++;
        return 1;
    }
    const size_t start = r.at;
    while (r.at < r.length && !endsWord(r.text[r.at])) r.at++;
    if (r.at == start) return r.fail(r.line, std::string("a stray '") + c + "'");
    return readMoveWord(r, std::string(r.text + start, r.at - start));
}

// [Name "value"] on one line, with \" and \\ in the value.
int readTag(Reader& r) {
    size_t end = r.at;
    while (end < r.length && r.text[end] != '\n') end++;
    const std::string shown = quoted(std::string(r.text + r.at, end - r.at));
    size_t i = r.at + 1;
    while (i < end && isBlank(r.text[i])) i++;
    const size_t nameBegin = i;
    while (i < end && !isBlank(r.text[i]) && r.text[i] != '"' && r.text[i] != ']') i++;
    const std::string name(r.text + nameBegin, i - nameBegin);
    while (i < end && isBlank(r.text[i])) i++;
    if (name.empty() || i >= end || r.text[i] != '"') return r.fail(r.line, "a tag that does not read: " + shown);
    std::string value;
    for (i++; i < end && r.text[i] != '"'; i++) {
        if (r.text[i] == '\\' && i + 1 < end) i++;
        value += r.text[i];
    }
    for (i++; i < end && isBlank(r.text[i]);) i++;
    if (i >= end || r.text[i] != ']') return r.fail(r.line, "a tag that does not read: " + shown);
    r.at = i + 1;
    addTag(r, name, value);
    return 1;
}

int readPgn(Reader& r) {
    while (r.at < r.length) {
        const char c = r.text[r.at];
        if (c == '\n') r.line++;
        if (isBlank(c)) {
            r.at++;
        } else if (c == '%' && (r.at == 0 || r.text[r.at - 1] == '\n')) {
            size_t begin = 0;
            skipLine(r, begin);  // an escaped line, for other programs
        } else if (c == '[') {
            // A tag after moves or a result begins the next game.
            if (r.open && (!r.game.moves.empty() || r.ended) && !finishGame(r)) return 0;
            if (!readTag(r)) return 0;
        } else {
            // Comments after the result still belong to its game; anything else begins the next.
            if (r.ended && c != '{' && c != ';' && !finishGame(r)) return 0;
            beginGame(r);
            if (!readMovetext(r)) return 0;
        }
    }
    return finishGame(r);
}

int readWxfMoves(Reader& r) {
    const int startLine = r.line;
    while (r.at < r.length) {
        const char c = r.text[r.at];
        if (c == '\n') r.line++;
        if (isBlank(c)) {
            r.at++;
        } else if (c == '}') {
            if (!startsWith(r.text + r.at, r.length - r.at, "}END")) return r.fail(r.line, "a '}' outside a comment");
            r.at += 4;
            return 1;
        } else if (r.ended && c != '{' && c != ';') {
            return r.fail(r.line, "a move after the result");
        } else if (!readMovetext(r)) {
            return 0;
        }
    }
    return r.fail(startLine, "START{ without its }END");
}

int readWxf(Reader& r) {
    while (r.at < r.length) {
        size_t end = r.at;
        while (end < r.length && r.text[end] != '\n') end++;
        size_t begin = r.at;
        while (begin < end && isBlank(r.text[begin])) begin++;
        size_t last = end;
        while (last > begin && isBlank(r.text[last - 1])) last--;
        if (startsWith(r.text + begin, last - begin, "START{")) {
            beginGame(r);
            r.at = begin + 6;
            if (!readWxfMoves(r) || !finishGame(r)) return 0;
            continue;
        }
        if (begin < last) {
            size_t split = begin;
            while (split < last && !isBlank(r.text[split])) split++;
            const std::string key(r.text + begin, split - begin);
            while (split < last && isBlank(r.text[split])) split++;
            std::string name = key;
            for (const KeyName& known : WxfKeys)
                if (sameName(key, known.key)) {
                    name = known.name;
                    break;
                }
            addTag(r, name, std::string(r.text + split, last - split));
        }
        r.at = end;
        if (r.at < r.length) {
            r.at++;
            r.line++;
        }
    }
    if (r.open) return r.fail(r.line, "a header without its moves (no START{)");
    return 1;
}

// A WXF file opens with its FORMAT line, or has its moves in START{ before any PGN tag.
bool isWxfFile(const char* text, size_t length) {
    bool first = true;
    for (size_t at = 0; at < length;) {
        size_t end = at;
        while (end < length && text[end] != '\n') end++;
        while (at < end && isBlank(text[at])) at++;
        if (at < end) {
            if (first && startsWith(text + at, end - at, "FORMAT")) return true;
            if (text[at] == '[') return false;
            if (startsWith(text + at, end - at, "START{")) return true;
            first = false;
        }
        at = end + 1;
    }
    return false;
}

// ---- writing ------------------------------------------------------------------

// The text of every move in notation, replayed from the start; 0 when one is not legal.
int moveTexts(const SavedGame& game, MoveNotation notation, int flags, std::vector<std::string>& texts, int& blackFirst) {
    std::unique_ptr<GameRecord> record(new GameRecord);
    if (!startGame(*record, game.startFen.empty() ? nullptr : game.startFen.c_str(), RulesAsian)) return 0;
    blackFirst = record->position.sideToMove;
    for (Move move : game.moves) {
        char text[MoveTextSize];
        if (writeMoveText(record->position, move, notation, flags, text, sizeof text) == 0) return 0;
        if (!playGameMove(*record, move)) return 0;
        texts.emplace_back(text);
    }
    return 1;
}

std::string commentOf(const SavedGame& game, size_t index) {
    std::string comment = index < game.comments.size() ? game.comments[index] : std::string();
    // PGN has no escape for a brace inside a comment; a comment stays on the lines it is laid out on.
    for (char& c : comment) {
        if (c == '}') c = ')';
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    }
    return comment;
}

// Words laid out in lines of at most PgnLineWidth bytes.
struct LineLayout {
    std::string& out;
    std::string line;

    void add(const std::string& word) {
        if (!line.empty() && line.size() + 1 + word.size() > PgnLineWidth) {
            out += line + '\n';
            line.clear();
        }
        if (!line.empty()) line += ' ';
        line += word;
    }
    // In one piece when it fits on a line, otherwise word by word.
    void addComment(const std::string& comment) {
        if (comment.empty()) return;
        const std::string whole = "{" + comment + "}";
        if (whole.size() <= PgnLineWidth) {
            add(whole);
            return;
        }
        size_t at = 0;
        while (at < whole.size()) {
            size_t end = whole.find(' ', at);
            if (end == std::string::npos) end = whole.size();
            if (end > at) add(whole.substr(at, end - at));
            at = end + 1;
        }
    }
};

// Whether a tag name reads back as itself from a PGN tag (true) or a WXF header line.
bool holdsName(const std::string& name, bool pgn) {
    if (name.empty() || (!pgn && startsWith(name.data(), name.size(), "START{"))) return false;
    for (char c : name)
        if (isBlank(c) || (pgn && (c == '"' || c == ']'))) return false;
    return true;
}

void writeTag(std::string& out, const std::string& name, const std::string& value) {
    out += '[';
    out += name;
    out += " \"";
    for (char c : value) {
        if (c == '"' || c == '\\') out += '\\';
        out += (c == '\n' || c == '\r') ? ' ' : c;
    }
    out += "\"]\n";
}

const char* formatName(MoveNotation notation) {
    switch (notation) {
        case NotationIccs: return "ICCS";
        case NotationWxf: return "WXF";
        case NotationChinese: return "Chinese";
        case NotationCoord: break;
    }
    return "";
}

// A header value on one line.
std::string oneLine(const std::string& value) {
    std::string line = value;
    for (char& c : line)
        if (c == '\n' || c == '\r' || c == '\t') c = ' ';
    return line;
}

}  // namespace

int readGameFile(const char* text, size_t length, std::vector<SavedGame>& games, GameFileError& error) {
    if (length > MaxGameFileBytes) {
        error = GameFileError{0, 0, "larger than " + std::to_string(MaxGameFileBytes >> 20) + " MB"};
        return 0;
    }
    if (text == nullptr) length = 0;
    if (!checkText(text, length, error)) return 0;
    if (startsWith(text, length, "\xEF\xBB\xBF")) {  // a byte order mark
        text += 3;
        length -= 3;
    }
    Reader r{text, length, 0, 1, {}, SavedGame{}, 0, std::unique_ptr<GameRecord>(new GameRecord), false, false, false, {}};
    if (!(isWxfFile(text, length) ? readWxf(r) : readPgn(r))) {
        error = r.error;
        return 0;
    }
    games = std::move(r.games);
    return 1;
}

std::string gameFileErrorText(const GameFileError& error) {
    std::string text;
    if (error.game > 0) text = "game " + std::to_string(error.game);
    if (error.line > 0) text += (text.empty() ? "line " : ", line ") + std::to_string(error.line);
    return text.empty() ? error.reason : text + ": " + error.reason;
}

int writePgnGame(const SavedGame& game, MoveNotation notation, int flags, std::string& out) {
    std::vector<std::string> texts;
    int blackFirst = 0;
    if (!moveTexts(game, notation, flags, texts, blackFirst)) return 0;
    const std::string result = game.result.empty() ? "*" : game.result;
    std::string text;
    bool wroteResult = false, wroteFen = game.startFen.empty(), wroteFormat = notation == NotationCoord;
    bool sawVariant = false;
    // SetUp and FEN, and Format, go right after the Variant tag unless the tags place them.
    auto writeDerived = [&]() {
        if (!wroteFen) {
            writeTag(text, "SetUp", "1");
            writeTag(text, "FEN", game.startFen);
            wroteFen = true;
        }
        if (!wroteFormat) {
            writeTag(text, "Format", formatName(notation));
            wroteFormat = true;
        }
    };
    for (const GameTag& tag : game.tags) {
        if (sameName(tag.name, "Result")) {
            if (!wroteResult) writeTag(text, "Result", result);
            wroteResult = true;
        } else if (sameName(tag.name, "SetUp") || sameName(tag.name, "FEN")) {
            if (!wroteFen) writeDerived();
        } else if (sameName(tag.name, "Format")) {
            if (!wroteFormat) writeTag(text, "Format", formatName(notation));
            wroteFormat = true;
        } else if (holdsName(tag.name, true)) {
            writeTag(text, tag.name, tag.value);
            if (sameName(tag.name, "Variant")) {
                sawVariant = true;
                writeDerived();
            }
        }
    }
    if (!wroteResult) writeTag(text, "Result", result);
    if (!sawVariant) writeTag(text, "Variant", "xiangqi");
    writeDerived();
    text += '\n';

    LineLayout layout{text, {}};
    layout.addComment(commentOf(game, 0));
    for (size_t ply = 0; ply < texts.size(); ply++) {
        const size_t slot = ply + static_cast<size_t>(blackFirst);  // half-moves counted from a red move
        if (slot % 2 == 0)
            layout.add(std::to_string(slot / 2 + 1) + ".");
        else if (ply == 0)
            layout.add("1...");
        layout.add(texts[ply]);
        layout.addComment(commentOf(game, ply + 1));
    }
    layout.add(result);
    text += layout.line + "\n\n";
    out += text;
    return 1;
}

int writeWxfGame(const SavedGame& game, std::string& out) {
    std::vector<std::string> texts;
    int blackFirst = 0;
    if (!moveTexts(game, NotationWxf, 0, texts, blackFirst)) return 0;
    const std::string result = game.result.empty() ? "*" : game.result;
    std::string text = "FORMAT\tWXF\n";
    bool wroteResult = false, wroteFen = game.startFen.empty();
    for (const GameTag& tag : game.tags) {
        if (sameName(tag.name, "Format") || sameName(tag.name, "Variant") || sameName(tag.name, "SetUp")) continue;
        if (sameName(tag.name, "FEN")) {
            if (!wroteFen) text += "FEN\t" + game.startFen + "\n";
            wroteFen = true;
            continue;
        }
        if (sameName(tag.name, "Result")) {
            if (!wroteResult) text += "RESULT\t" + result + "\n";
            wroteResult = true;
            continue;
        }
        std::string key = tag.name;
        for (const KeyName& known : WxfKeys)
            if (sameName(tag.name, known.name)) key = known.key;
        if (holdsName(key, false)) text += key + "\t" + oneLine(tag.value) + "\n";
    }
    if (!wroteResult) text += "RESULT\t" + result + "\n";
    if (!wroteFen) text += "FEN\t" + game.startFen + "\n";
    text += "START{\n";
    const std::string opening = commentOf(game, 0);
    if (!opening.empty()) text += "{" + opening + "}\n";
    std::string line;
    for (size_t ply = 0; ply < texts.size() + static_cast<size_t>(blackFirst); ply++) {
        // Slots of red and black moves; the first red slot stays empty when black begins.
        const size_t index = ply - static_cast<size_t>(blackFirst);
        std::string move = ply < static_cast<size_t>(blackFirst) ? "..." : texts[index];
        if (ply >= static_cast<size_t>(blackFirst)) {
            const std::string comment = commentOf(game, index + 1);
            if (!comment.empty()) move += " {" + comment + "}";
        }
        if (ply % 2 == 0) {
            char number[16];
            std::snprintf(number, sizeof number, "%3zu. ", ply / 2 + 1);
            line = number + move;
        } else {
            if (line.size() < WxfBlackColumn) line.append(WxfBlackColumn - line.size(), ' ');
            else line += ' ';
            text += line + move + "\n";
            line.clear();
        }
    }
    if (!line.empty()) text += line + "\n";
    text += "}END\n";
    out += text;
    return 1;
}

std::string tagValue(const SavedGame& game, const char* name) {
    for (const GameTag& tag : game.tags)
        if (sameName(tag.name, name)) return tag.value;
    return "";
}
