// Move text in the players' notations. Writing names the piece the way the
// WXF rules (2018 for pawns) and the Chinese custom do; reading turns any of
// the notations into a query (piece, file or place, direction, number) and
// counts the position's moves that answer it, so the rules of movement live
// in movegen alone.
#include "game/notation.h"

#include <cstdio>
#include <cstring>

#include "board/tables.h"
#include "game/game.h"
#include "movegen/generate.h"

namespace {

// Piece types as PieceType numbers them.
enum PieceKind { King, Advisor, Elephant, Horse, Rook, Cannon, Pawn, PieceKinds };

constexpr char WxfLetters[PieceKinds + 1] = "KAEHRCP";
const char* const PieceNames[PieceKinds] = {"king", "advisor", "elephant", "horse", "rook", "cannon", "pawn"};
const char* const CountNames[6] = {"no", "one", "two", "three", "four", "five"};
const char* const SideNames[2] = {"red", "black"};

// Chinese characters by side and piece type.
const char* const TraditionalPieces[2][PieceKinds] = {{"帥", "仕", "相", "傌", "俥", "炮", "兵"},
                                                      {"將", "士", "象", "馬", "車", "砲", "卒"}};
const char* const SimplifiedPieces[2][PieceKinds] = {{"帅", "仕", "相", "马", "车", "炮", "兵"},
                                                     {"将", "士", "象", "马", "车", "炮", "卒"}};
const char* const ChineseNumerals[10] = {"", "一", "二", "三", "四", "五", "六", "七", "八", "九"};
const char* const FullWidthDigits[10] = {"", "１", "２", "３", "４", "５", "６", "７", "８", "９"};

// Places of a piece among those of its kind on its file: 1..5 count from the
// front (the most advanced); the rear and the middle one depend on how many stand there.
constexpr int PlaceFront = 1;
constexpr int PlaceRear = -1;
constexpr int PlaceMiddle = -2;
constexpr int MostOfAKind = 5;  // a side's pawns

// Longer texts are refused unread: no move text comes near.
constexpr int MaxMoveTextBytes = 64;
constexpr int MaxSymbols = 8;

int fileOf(int square) { return (square & 15) - 3; }  // 0 = file a
int rankOf(int square) { return 12 - (square >> 4); }  // 0 = red's back rank
// Each side numbers the files 1..9 from its own right.
int fileNumber(int side, int file) { return side == 0 ? 9 - file : file + 1; }
int fileOfNumber(int side, int number) { return side == 0 ? 9 - number : number - 1; }
// Ranks counted from the side's own back rank: larger is further forward.
int advance(int side, int square) { return side == 0 ? rankOf(square) : 9 - rankOf(square); }

// The side's pieces of type on file, most advanced first; returns how many.
int piecesOnFile(const Position& pos, int side, int type, int file, int* squares) {
    int count = 0;
    for (int code = sideTag(side); code < sideTag(side) + 16; code++) {
        const int square = pos.pieceSquares[code];
        if (square == 0 || pos.board[square] != code || PieceType[code] != type || fileOf(square) != file) continue;
        if (count == MostOfAKind) break;
        int at = count++;
        for (; at > 0 && advance(side, squares[at - 1]) < advance(side, square); at--) squares[at] = squares[at - 1];
        squares[at] = square;
    }
    return count;
}

// Files where the side has two or more pieces of type; *file gets the last one.
int crowdedFiles(const Position& pos, int side, int type, int except, int* file) {
    int crowded = 0;
    for (int f = 0; f < 9; f++) {
        int squares[MostOfAKind];
        if (f != except && piecesOnFile(pos, side, type, f, squares) >= 2) {
            crowded++;
            if (file != nullptr) *file = f;
        }
    }
    return crowded;
}

// What a notation says of a move besides its piece: forward (+1), backward
// (-1) or sideways (0), then ranks travelled or the destination file.
struct Shape {
    int direction;
    int number;
};

Shape shapeOf(int side, int type, int source, int destination) {
    const int rise = advance(side, destination) - advance(side, source);
    const bool byRanks = rise != 0 && (type == King || type == Rook || type == Cannon || type == Pawn);
    Shape shape;
    shape.direction = rise > 0 ? 1 : rise < 0 ? -1 : 0;
    shape.number = byRanks ? (rise > 0 ? rise : -rise) : fileNumber(side, fileOf(destination));
    return shape;
}

bool sameShape(Shape a, Shape b) { return a.direction == b.direction && a.number == b.number; }

// The position last asked about, copied once to try moves on, and its legal
// moves once a text needs them all: a move is often written in several
// notations at once, or read and then written. Legality depends on the board
// and the side to move alone, so those are the key.
struct TrialPosition {
    bool filled;
    int32_t side;
    uint8_t board[sizeof(Position::board)];
    Position work;
    int legalCount;  // -1 until they are listed
    Move legal[MoveListCapacity];
};
thread_local TrialPosition Trial;

TrialPosition& trialOf(const Position& pos) {
    if (!Trial.filled || Trial.side != pos.sideToMove || std::memcmp(Trial.board, pos.board, sizeof Trial.board) != 0) {
        Trial.work = pos;
        Trial.side = pos.sideToMove;
        std::memcpy(Trial.board, pos.board, sizeof Trial.board);
        Trial.legalCount = -1;
        Trial.filled = true;
    }
    return Trial;
}

bool isLegal(const Position& pos, int move) {
    return move != 0 && pos.isValidMove(move) && leavesKingSafe(trialOf(pos).work, move);
}

// The legal moves of pos; count gets their number.
const Move* legalList(const Position& pos, int& count) {
    TrialPosition& trial = trialOf(pos);
    if (trial.legalCount < 0) trial.legalCount = legalMoves(trial.work, trial.legal);
    count = trial.legalCount;
    return trial.legal;
}

// How a move's piece is named.
struct Naming {
    int side, type;
    int file;     // the side's file number
    int place;    // 1.. from the front, 0 when the file alone names it
    int count;    // pieces of its kind on its file
    int crowded;  // another file holds two or more of the side's pawns
};

Naming nameMover(const Position& pos, int move) {
    Naming naming{};
    const int source = moveSource(move);
    naming.side = pos.sideToMove;
    naming.type = PieceType[pos.board[source]];
    naming.file = fileNumber(naming.side, fileOf(source));
    int squares[MostOfAKind];
    naming.count = piecesOnFile(pos, naming.side, naming.type, fileOf(source), squares);
    for (int i = 0; i < naming.count; i++)
        if (squares[i] == source) naming.place = i + 1;
    naming.crowded = naming.type == Pawn && crowdedFiles(pos, naming.side, Pawn, fileOf(source), nullptr) > 0;
    if (naming.count < 2 || naming.type == King) {
        naming.place = 0;
    } else if (naming.type == Advisor || naming.type == Elephant) {
        // Two on one file move in different directions, so the file names
        // them; only a position set up off their points needs the place.
        const Shape shape = shapeOf(naming.side, naming.type, source, moveDestination(move));
        bool clash = false;
        int legalCount = 0;
        const Move* legal = legalList(pos, legalCount);
        for (int i = 0; i < legalCount; i++) {
            const int other = moveSource(legal[i]);
            if (other != source && fileOf(other) == fileOf(source) && PieceType[pos.board[other]] == naming.type &&
                sameShape(shapeOf(naming.side, naming.type, other, moveDestination(legal[i])), shape))
                clash = true;
        }
        if (!clash) naming.place = 0;
    }
    return naming;
}

// Text written into a buffer that may be too small: overflow is remembered.
struct TextOut {
    char* out;
    int size;
    int length;
    bool full;

    void add(const char* text) {
        const int n = static_cast<int>(std::strlen(text));
        if (full || length + n >= size) {
            full = true;
            return;
        }
        std::memcpy(out + length, text, static_cast<size_t>(n));
        length += n;
    }
    void add(char c) {
        if (full || length + 1 >= size) {
            full = true;
            return;
        }
        out[length++] = c;
    }
};

void writeWxf(TextOut& text, const Naming& naming, Shape shape) {
    const char letter = WxfLetters[naming.type];
    const char sign = naming.place == 1 ? '+' : '-';
    if (naming.place == 0) {
        text.add(letter);
        text.add(static_cast<char>('0' + naming.file));
    } else if (naming.type != Pawn || (naming.count == 2 && !naming.crowded)) {
        text.add(letter);
        text.add(sign);
    } else {
        // 2018 rules: three or more on a file, or two on each of two files,
        // are named by place from the front and file, without the letter.
        text.add(static_cast<char>('0' + naming.place));
        text.add(static_cast<char>('0' + naming.file));
    }
    text.add(shape.direction > 0 ? '+' : shape.direction < 0 ? '-' : '=');
    text.add(static_cast<char>('0' + shape.number));
}

void writeChinese(TextOut& text, const Naming& naming, Shape shape, bool simplified) {
    const char* const* pieces = simplified ? SimplifiedPieces[naming.side] : TraditionalPieces[naming.side];
    const char* const* numerals = naming.side == 0 ? ChineseNumerals : FullWidthDigits;
    const char* rear = simplified ? "后" : "後";
    if (naming.place == 0) {
        text.add(pieces[naming.type]);
        text.add(numerals[naming.file]);
    } else if (naming.type != Pawn) {
        text.add(naming.place == 1 ? "前" : rear);
        text.add(pieces[naming.type]);
    } else {
        if (naming.count > 3)
            text.add(ChineseNumerals[naming.place]);
        else
            text.add(naming.place == 1 ? "前" : naming.place == naming.count ? rear : "中");
        // With two or more on another file too, the file replaces the piece.
        text.add(naming.crowded ? numerals[naming.file] : pieces[naming.type]);
    }
    text.add(shape.direction > 0 ? (simplified ? "进" : "進") : shape.direction < 0 ? "退" : "平");
    text.add(numerals[shape.number]);
}

// ---- reading ------------------------------------------------------------------

enum SymbolKind { SymbolLetter, SymbolDigit, SymbolSign, SymbolPiece, SymbolNumeral, SymbolPlace, SymbolDirection };

struct Symbol {
    int kind;
    int value;  // the letter, digit or sign character; the piece type, numeral, place or direction
};

struct Word {
    const char* text;
    int kind;
    int value;
};

// Chinese words of a move in both character sets and for both sides.
const Word ChineseWords[] = {
    {"帥", SymbolPiece, King},      {"帅", SymbolPiece, King},       {"將", SymbolPiece, King},
    {"将", SymbolPiece, King},      {"仕", SymbolPiece, Advisor},    {"士", SymbolPiece, Advisor},
    {"相", SymbolPiece, Elephant},  {"象", SymbolPiece, Elephant},   {"傌", SymbolPiece, Horse},
    {"馬", SymbolPiece, Horse},     {"马", SymbolPiece, Horse},      {"俥", SymbolPiece, Rook},
    {"車", SymbolPiece, Rook},      {"车", SymbolPiece, Rook},       {"炮", SymbolPiece, Cannon},
    {"砲", SymbolPiece, Cannon},    {"兵", SymbolPiece, Pawn},       {"卒", SymbolPiece, Pawn},
    {"前", SymbolPlace, PlaceFront}, {"中", SymbolPlace, PlaceMiddle}, {"後", SymbolPlace, PlaceRear},
    {"后", SymbolPlace, PlaceRear}, {"進", SymbolDirection, 1},      {"进", SymbolDirection, 1},
    {"退", SymbolDirection, -1},    {"平", SymbolDirection, 0},
};

bool readChineseWord(const char* text, int length, Symbol& symbol, int& used) {
    for (const Word& word : ChineseWords) {
        if (word.text[0] != text[0]) continue;
        const int n = static_cast<int>(std::strlen(word.text));
        if (n <= length && std::memcmp(text, word.text, static_cast<size_t>(n)) == 0) {
            symbol = Symbol{word.kind, word.value};
            used = n;
            return true;
        }
    }
    const char* const* numeralSets[2] = {ChineseNumerals, FullWidthDigits};
    for (int value = 1; value <= 9; value++) {
        for (const char* const* numerals : numeralSets) {
            const int n = static_cast<int>(std::strlen(numerals[value]));
            if (n <= length && std::memcmp(text, numerals[value], static_cast<size_t>(n)) == 0) {
                symbol = Symbol{SymbolNumeral, value};
                used = n;
                return true;
            }
        }
    }
    return false;
}

// The text as symbols; -1 when a character belongs to no notation or there are too many.
int readSymbols(const char* text, int length, Symbol* symbols) {
    int count = 0;
    for (int i = 0; i < length;) {
        if (count == MaxSymbols) return -1;
        const char c = text[i];
        Symbol& symbol = symbols[count++];
        int used = 1;
        if (c >= 'a' && c <= 'z') {
            symbol = Symbol{SymbolLetter, c - 'a' + 'A'};
        } else if (c >= 'A' && c <= 'Z') {
            symbol = Symbol{SymbolLetter, c};
        } else if (c >= '0' && c <= '9') {
            symbol = Symbol{SymbolDigit, c - '0'};
        } else if (c == '+' || c == '-' || c == '=' || c == '.') {
            symbol = Symbol{SymbolSign, c == '.' ? '=' : c};  // playOK writes '.' for '='
        } else if (!readChineseWord(text + i, length - i, symbol, used)) {
            return -1;
        }
        i += used;
    }
    return count;
}

// What a text asks for: a move by its squares, or a piece and how it moves.
struct MoveQuery {
    bool bySquares;
    int source, destination;
    int type;   // the piece type; a pawn when named by place and file alone
    int file;   // the mover's file number 1..9; 0 when not said
    int place;  // 0 when not said; 1..5 from the front, PlaceRear, PlaceMiddle
    Shape shape;
};

int pieceOfLetter(int letter) {
    switch (letter) {
        case 'K': return King;
        case 'A': return Advisor;
        case 'E': case 'B': return Elephant;
        case 'H': case 'N': return Horse;
        case 'R': return Rook;
        case 'C': return Cannon;
        case 'P': return Pawn;
        default: return -1;
    }
}

bool isSign(const Symbol& s, char sign) { return s.kind == SymbolSign && s.value == sign; }
bool isNumber(const Symbol& s) { return (s.kind == SymbolDigit || s.kind == SymbolNumeral) && s.value >= 1; }
bool isPlaceSign(const Symbol& s) { return isSign(s, '+') || isSign(s, '-'); }
int placeOfSign(const Symbol& s) { return s.value == '+' ? PlaceFront : PlaceRear; }

// A whole move may be followed by one check sign.
int moveLength(const Symbol* symbols, int count, int length) {
    return count == length || (count == length + 1 && isSign(symbols[length], '+')) ? length : 0;
}

bool readSquares(const Symbol* symbols, int count, MoveQuery& query) {
    const int dash = count >= 5 && isSign(symbols[2], '-') ? 1 : 0;
    if (moveLength(symbols, count, 4 + dash) == 0) return false;
    int squares[2];
    for (int i = 0; i < 2; i++) {
        const Symbol& file = symbols[i == 0 ? 0 : 2 + dash];
        const Symbol& rank = symbols[i == 0 ? 1 : 3 + dash];
        if (file.kind != SymbolLetter || file.value > 'I' || rank.kind != SymbolDigit) return false;
        squares[i] = 16 * (12 - rank.value) + 3 + (file.value - 'A');
    }
    query.bySquares = true;
    query.source = squares[0];
    query.destination = squares[1];
    return true;
}

bool readWxf(const Symbol* symbols, int count, MoveQuery& query) {
    if (moveLength(symbols, count, 4) == 0) return false;
    const Symbol *first = symbols, *second = symbols + 1, *direction = symbols + 2, *number = symbols + 3;
    if (direction->kind != SymbolSign || number->kind != SymbolDigit || number->value == 0) return false;
    if (first->kind == SymbolLetter && second->kind == SymbolDigit && second->value >= 1) {
        query.type = pieceOfLetter(first->value);
        query.file = second->value;
    } else if (first->kind == SymbolLetter && isPlaceSign(*second)) {
        query.type = pieceOfLetter(first->value);
        query.place = placeOfSign(*second);
    } else if (isPlaceSign(*first) && second->kind == SymbolLetter) {
        query.type = pieceOfLetter(second->value);
        query.place = placeOfSign(*first);
    } else if (first->kind == SymbolDigit && first->value >= 1 && first->value <= MostOfAKind &&
               second->kind == SymbolDigit && second->value >= 1) {
        query.type = Pawn;
        query.place = first->value;
        query.file = second->value;
    } else {
        return false;
    }
    query.shape.direction = direction->value == '+' ? 1 : direction->value == '-' ? -1 : 0;
    query.shape.number = number->value;
    return query.type >= 0;
}

bool readChinese(const Symbol* symbols, int count, MoveQuery& query) {
    if (moveLength(symbols, count, 4) == 0) return false;
    const Symbol &first = symbols[0], &second = symbols[1], &direction = symbols[2], &number = symbols[3];
    if (direction.kind != SymbolDirection || !isNumber(number)) return false;
    if (first.kind == SymbolPiece && isNumber(second)) {
        query.type = first.value;
        query.file = second.value;
    } else if (first.kind == SymbolPlace && second.kind == SymbolPiece) {
        query.place = first.value;
        query.type = second.value;
    } else if (first.kind == SymbolPlace && isNumber(second)) {
        query.place = first.value;
        query.type = Pawn;
        query.file = second.value;
    } else if (isNumber(first) && first.value <= MostOfAKind && second.kind == SymbolPiece) {
        query.place = first.value;  // 一兵 .. 五兵: four or five on one file
        query.type = second.value;
    } else if (isNumber(first) && first.value <= MostOfAKind && isNumber(second)) {
        query.place = first.value;
        query.type = Pawn;
        query.file = second.value;
    } else {
        return false;
    }
    query.shape.direction = direction.value;
    query.shape.number = number.value;
    return true;
}

// The refusal in words, when the caller wants them.
struct Reason {
    char* out;
    int size;

    template <typename... Values>
    void say(const char* format, Values... values) {
        if (out != nullptr && size > 0) std::snprintf(out, static_cast<size_t>(size), format, values...);
    }
};

// How to name each pawn of a file of count when the file alone does not: "(15, 25 or 35)".
void sayWhichPawn(Reason& reason, int count, int file, bool crowded) {
    if (count == 2 && !crowded) {
        reason.say("two pawns on file %d: say which (P+ or P-)", file);
        return;
    }
    char choices[48] = "";
    int length = 0;
    for (int place = 1; place <= count; place++)
        length += std::snprintf(choices + length, sizeof choices - static_cast<size_t>(length), "%s%d%d",
                                place == 1 ? "" : place == count ? " or " : ", ", place, file);
    reason.say("%s pawns on file %d: say which (%s)", CountNames[count], file, choices);
}

// The squares the query's piece may stand on; 0 (with the reason) when it names none.
int findMovers(const Position& pos, const MoveQuery& query, int* squares, Reason& reason, int& code) {
    const int side = pos.sideToMove;
    const char* name = PieceNames[query.type];
    if (query.place == 0) {
        const int count = piecesOnFile(pos, side, query.type, fileOfNumber(side, query.file), squares);
        if (count == 0) {
            code = MoveTextNoPiece;
            reason.say("no %s on file %d", name, query.file);
        } else if (count > 1 && query.type != Advisor && query.type != Elephant) {
            code = MoveTextWhichPiece;
            if (query.type == Pawn)
                sayWhichPawn(reason, count, query.file, crowdedFiles(pos, side, Pawn, fileOfNumber(side, query.file), nullptr) > 0);
            else
                reason.say("two %ss on file %d: say which (%c+ or %c-)", name, query.file, WxfLetters[query.type],
                           WxfLetters[query.type]);
            return 0;
        }
        return count;
    }
    int file = 0;
    if (query.file != 0) {
        file = fileOfNumber(side, query.file);
    } else {
        const int crowded = crowdedFiles(pos, side, query.type, -1, &file);
        if (crowded == 0) {
            code = MoveTextNoPiece;
            reason.say("no two %ss on one file", name);
            return 0;
        }
        if (crowded > 1) {
            code = MoveTextWhichPiece;
            reason.say("%ss stand two or more on two files: name the file", name);
            return 0;
        }
    }
    int onFile[MostOfAKind];
    const int count = piecesOnFile(pos, side, query.type, file, onFile);
    const int number = fileNumber(side, file);
    if (count < 2) {
        code = MoveTextNoPiece;
        reason.say("no two %ss on file %d", name, number);
        return 0;
    }
    const int place = query.place == PlaceRear ? count : query.place == PlaceMiddle ? (count == 3 ? 2 : 0) : query.place;
    if (place < 1 || place > count) {
        code = MoveTextNoPiece;
        if (query.place == PlaceMiddle)
            reason.say("no middle %s on file %d: it holds %s", name, number, CountNames[count]);
        else
            reason.say("no %s %d from the front on file %d", name, place, number);
        return 0;
    }
    squares[0] = onFile[place - 1];
    return 1;
}

int resolve(const Position& pos, const MoveQuery& query, Move* move, Reason& reason) {
    const int side = pos.sideToMove;
    int squares[MostOfAKind];
    int count = 0;
    int code = MoveTextOk;
    if (query.bySquares) {
        const int piece = pos.board[query.source];
        if ((piece & sideTag(side)) == 0) {
            char square[5] = "";
            moveToText(makeMoveValue(query.source, query.source), square);
            reason.say("no %s piece on %.2s", SideNames[side], square);
            return MoveTextNoPiece;
        }
        squares[count++] = query.source;
    } else {
        count = findMovers(pos, query, squares, reason, code);
        if (count == 0) return code;
    }
    const int type = PieceType[pos.board[squares[0]]];
    auto fits = [&](int candidate) {
        const int source = moveSource(candidate), destination = moveDestination(candidate);
        bool from = false;
        for (int s = 0; s < count; s++) from = from || squares[s] == source;
        if (query.bySquares) return from && destination == query.destination;
        return from && sameShape(shapeOf(side, type, source, destination), query.shape);
    };
    // The moves the rules of movement allow that fit the text, then those the king's safety allows.
    Move candidates[MoveListCapacity];
    int matches = 0, legalMatches = 0;
    if (query.bySquares) {
        const int candidate = makeMoveValue(query.source, query.destination);
        if (pos.isValidMove(candidate)) candidates[matches++] = static_cast<Move>(candidate);
    } else {
        MoveEntry moves[MoveListCapacity];
        int total = generateCaptureMoves(pos, moves);
        total += generateQuietMoves(pos, moves + total);
        for (int i = 0; i < total; i++)
            if (fits(moves[i].move)) candidates[matches++] = moves[i].move;
    }
    for (int i = 0; i < matches; i++) {
        if (!isLegal(pos, candidates[i])) continue;
        legalMatches++;
        *move = candidates[i];
    }
    if (matches == 0) {
        reason.say("the %s cannot move so", PieceNames[type]);
        return MoveTextCannotMove;
    }
    if (legalMatches == 0) {
        reason.say("the %s's move would leave the king in check", PieceNames[type]);
        return MoveTextLeavesCheck;
    }
    if (legalMatches > 1) {
        reason.say("two %ss on file %d move so: say which (%c+ or %c-)", PieceNames[type], query.file,
                   WxfLetters[type], WxfLetters[type]);
        return MoveTextAmbiguous;
    }
    return MoveTextOk;
}

bool isBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

}  // namespace

int writeMoveText(const Position& pos, Move move, MoveNotation notation, int flags, char* out, int size) {
    ensureBoardTables();
    if (out == nullptr || size <= 0) return 0;
    out[0] = '\0';
    if (!isLegal(pos, move)) return 0;
    TextOut text{out, size, 0, false};
    if (notation == NotationCoord || notation == NotationIccs) {
        char squares[4];
        moveToText(move, squares);
        const bool iccs = notation == NotationIccs;
        for (int i = 0; i < 4; i++) {
            if (iccs && i == 2) text.add('-');
            text.add(iccs && i % 2 == 0 ? static_cast<char>(squares[i] - 'a' + 'A') : squares[i]);
        }
    } else {
        const Naming naming = nameMover(pos, move);
        const Shape shape = shapeOf(naming.side, naming.type, moveSource(move), moveDestination(move));
        if (notation == NotationWxf)
            writeWxf(text, naming, shape);
        else
            writeChinese(text, naming, shape, (flags & NotationSimplified) != 0);
    }
    if (text.full) {
        out[0] = '\0';
        return 0;
    }
    out[text.length] = '\0';
    return text.length;
}

int readMoveText(const Position& pos, const char* text, int length, Move* move, char* reason, int reasonSize) {
    ensureBoardTables();
    Reason why{reason, reasonSize};
    if (reason != nullptr && reasonSize > 0) reason[0] = '\0';
    int begin = 0, end = text == nullptr ? 0 : length;
    while (begin < end && isBlank(text[begin])) begin++;
    while (end > begin && (isBlank(text[end - 1]) || text[end - 1] == '#' || text[end - 1] == '!' || text[end - 1] == '?'))
        end--;
    Symbol symbols[MaxSymbols];
    const int count = end - begin > MaxMoveTextBytes ? -1 : readSymbols(text + begin, end - begin, symbols);
    MoveQuery query{};
    bool read = false;
    bool (*const readers[3])(const Symbol*, int, MoveQuery&) = {readSquares, readWxf, readChinese};
    for (auto reader : readers) {
        if (read || count <= 0) break;
        query = MoveQuery{};
        read = reader(symbols, count, query);
    }
    if (!read) {
        why.say("%s", moveTextError(MoveTextUnreadable));
        return MoveTextUnreadable;
    }
    Move found = 0;
    const int code = resolve(pos, query, &found, why);
    if (code == MoveTextOk && move != nullptr) *move = found;
    return code;
}

const char* moveTextError(int code) {
    switch (code) {
        case MoveTextOk: return "";
        case MoveTextUnreadable: return "not a move in any notation";
        case MoveTextNoPiece: return "no such piece";
        case MoveTextWhichPiece: return "several pieces fit: say which";
        case MoveTextCannotMove: return "the piece cannot move so";
        case MoveTextLeavesCheck: return "the move would leave the king in check";
        case MoveTextAmbiguous: return "the text fits more than one move";
        default: return "unknown code";
    }
}

int notationFromName(const char* name) {
    static const char* const Names[] = {"coord", "iccs", "wxf", "chinese"};
    for (int n = 0; n < 4 && name != nullptr; n++) {
        int i = 0;
        while (Names[n][i] != '\0' && name[i] != '\0' && (name[i] >= 'A' && name[i] <= 'Z' ? name[i] - 'A' + 'a' : name[i]) == Names[n][i])
            i++;
        if (Names[n][i] == '\0' && name[i] == '\0') return n;
    }
    return -1;
}
