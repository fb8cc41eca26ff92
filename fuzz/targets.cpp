#include "targets.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <unistd.h>
#include <vector>

#include "board/tables.h"
#include "board/notation.h"
#include "book/book.h"
#include "game/game_file.h"
#include "game/notation.h"
#include "io/line_input.h"
#include "io/output.h"
#include "movegen/generate.h"
#include "search/driver.h"
#include "search/hash.h"
#include "uci/uci.h"
#include "ucci/ucci.h"
#include "xboard/xboard.h"

namespace {

// ---- programs run in process ------------------------------------------------

struct Program {
    const char* name;
    int (*main)(int, char**, const SessionBounds&);
    const char* handshake;
};

const Program Programs[] = {
    {"ucci", ucciMain, "ucci\n"},
    {"uci", uciMain, "uci\n"},
    {"xboard", xboardMain, "xboard\nprotover 2\n"},
};
constexpr int ProgramCount = sizeof(Programs) / sizeof(Programs[0]);

std::vector<std::string> Output;

void collect(const char* line, void*) {
    if (Output.size() < 200000) Output.emplace_back(line);
}

// Runs a whole conversation: every search small, every table small, the
// input read from memory and the output kept.
const std::vector<std::string>& runProgram(const Program& program, const std::string& input) {
    Output.clear();
    SessionBounds bounds;
    bounds.maxNodes = 1;
    bounds.maxDepth = 3;
    bounds.maxTableExponent = 20;
    useMemoryInput(input.data(), input.size());
    setOutputSink(collect, nullptr);
    char name[] = "quorvel-fuzz";
    char* argv[] = {name, nullptr};
    program.main(1, argv, bounds);
    setOutputSink(nullptr, nullptr);
    // QUORVEL_FUZZ_SHOW=1 prints each conversation, to read what an input does.
    if (std::getenv("QUORVEL_FUZZ_SHOW") != nullptr) {
        std::fprintf(stderr, "== %s in:\n%s\n== out:\n", program.name, input.c_str());
        for (const std::string& line : Output) std::fprintf(stderr, "%s\n", line.c_str());
    }
    return Output;
}

bool startsWith(const std::string& text, const char* prefix) { return text.compare(0, std::strlen(prefix), prefix) == 0; }

bool isResult(const std::string& line) { return startsWith(line, "bestmove") || startsWith(line, "nobestmove"); }

// Reads choices from the fuzz input; 0 once it is used up.
class Choices {
public:
    Choices(const uint8_t* data, size_t size) : data_(data), size_(size) {}
    int next(int range) { return range <= 1 || at_ >= size_ ? 0 : data_[at_++] % range; }
    bool empty() const { return at_ >= size_; }

private:
    const uint8_t* data_;
    size_t size_;
    size_t at_ = 0;
};

std::vector<int> legalMoves(Position& pos) {
    MoveEntry moves[MoveListCapacity];
    int total = generateCaptures(pos, moves);
    total += generateQuietMoves(pos, moves + total);
    std::vector<int> legal;
    for (int i = 0; i < total; i++)
        if (pos.isLegalMove(moves[i].move)) legal.push_back(moves[i].move);
    return legal;
}

std::string text(int move) {
    char buffer[5] = {};
    moveToText(move, buffer);
    return buffer;
}

// ---- the line reader and parsers ---------------------------------------------

// Occurrences of a two-letter word in any letter case.
int countWord(const std::string& input, const char* word) {
    int count = 0;
    for (size_t i = 0; i + 1 < input.size(); i++)
        if ((input[i] | 0x20) == word[0] && (input[i + 1] | 0x20) == word[1]) count++;
    return count;
}

// ---- the grammar of conversations --------------------------------------------

const char* const Fens[] = {
    "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1",
    "2bakab1r/6r2/1cn4c1/p1p1p3p/9/2P3p2/PC2P1n1P/2N1B1NC1/R4R3/3AKAB2 w - - 0 1",
    "4kar2/4a2rn/4bc3/RN1c5/2bC5/9/4p4/9/4p4/3p1K3 w - - 0 1",
    "3k5/4PP3/4r4/3P5/9/9/9/9/9/5K3 w - - 0 1",
    "4k4/4a4/4P4/9/9/9/9/4B4/9/4K4 w - - 0 1",
    "4k4/R8/1R7/9/9/9/9/9/9/3K5 w - - 0 1",
    "3k5/9/9/9/9/9/9/9/9/4K4 b - - 0 1",
    "rheakaehr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RHEAKAEHR w 0 1",
};
constexpr int FenCount = sizeof(Fens) / sizeof(Fens[0]);

struct Conversation {
    std::string input;
    std::vector<Position> searched;       // the position of each go, for UCI
    std::vector<std::string> restricted;  // the searchmoves of each go, "" for none
    int quits = 0;
};

std::string positionCommand(Choices& choices, Position& model) {
    const char* fen = Fens[choices.next(FenCount)];
    model.setFromFen(fen);
    std::string line = fen == Fens[0] && choices.next(2) ? "position startpos" : std::string("position fen ") + fen;
    int count = choices.next(9);
    if (count > 0) line += " moves";
    for (int i = 0; i < count; i++) {
        std::vector<int> legal = legalMoves(model);
        if (legal.empty()) break;
        int move = legal[choices.next(static_cast<int>(legal.size()))];
        model.makeMove(move);
        line += " " + text(move);
    }
    return line;
}

std::string ucciGo(Choices& choices) {
    static const char* const Prefixes[] = {"", "ponder ", "draw "};
    std::string line = std::string("go ") + Prefixes[choices.next(3)];
    switch (choices.next(4)) {
    case 0: return line + "depth " + std::to_string(1 + choices.next(4));
    case 1: return line + "nodes " + std::to_string(choices.next(256) * 40);
    case 2: return line + "time " + std::to_string(choices.next(50)) + " increment " + std::to_string(choices.next(3));
    default: return line + "wtime " + std::to_string(choices.next(50)) + " btime 20 movestogo " + std::to_string(1 + choices.next(40));
    }
}

std::string uciGo(Choices& choices, Position& model, std::string& restricted) {
    std::string line = choices.next(4) == 0 ? "go ponder" : "go";
    switch (choices.next(7)) {
    case 0: line += " depth " + std::to_string(1 + choices.next(4)); break;
    case 1: line += " nodes " + std::to_string(choices.next(256) * 40); break;
    case 2: line += " movetime " + std::to_string(choices.next(30)); break;
    case 3: line += " wtime " + std::to_string(choices.next(100)) + " btime " + std::to_string(choices.next(100)) +
                    " winc " + std::to_string(choices.next(20)) + " binc 5"; break;
    case 4: line += " infinite"; break;
    case 5: line += " mate " + std::to_string(1 + choices.next(2)); break;
    default: line += " depth 2"; break;
    }
    std::vector<int> legal = legalMoves(model);
    if (!legal.empty() && choices.next(4) == 0) {
        restricted = text(legal[choices.next(static_cast<int>(legal.size()))]);
        line += " searchmoves " + restricted;
    }
    return line;
}

// CECP: the engine moves on go and, out of force mode, after each usermove.
std::string xboardCommand(Choices& choices, Position& model) {
    switch (choices.next(14)) {
    case 0: model.setFromFen(Fens[0]); return "new";
    case 1: return "force";
    case 2: {
        const char* fen = Fens[choices.next(FenCount)];
        model.setFromFen(fen);
        return std::string("setboard ") + fen;
    }
    case 3: case 4: {
        std::vector<int> legal = legalMoves(model);
        if (legal.empty()) return "usermove a0a1";
        int move = legal[choices.next(static_cast<int>(legal.size()))];
        model.makeMove(move);
        return "usermove " + text(move);
    }
    case 5: return std::string("sd ") + std::to_string(1 + choices.next(3));
    case 6: return std::string("st ") + std::to_string(choices.next(2));
    case 7: return "level 0 0:10 0.1\ntime " + std::to_string(choices.next(1000)) + "\notim 500";
    case 8: return "go";
    case 9: return choices.next(2) ? "hard" : "easy";
    case 10: return choices.next(2) ? "analyze" : "exit";
    case 11: return choices.next(2) ? "?" : ".";
    case 12: return choices.next(2) ? "undo" : "remove";
    default: return std::string("ping ") + std::to_string(choices.next(100));
    }
}

Conversation buildConversation(Choices& choices, int program) {
    Conversation c;
    Position model;
    model.setFromFen(Fens[0]);
    c.input = Programs[program].handshake;
    if (program == 0) c.input += "setoption debug on\n";
    for (int commands = 0; commands < 40 && !choices.empty(); commands++) {
        std::string line;
        if (program == 2) {
            c.input += xboardCommand(choices, model) + "\n";
            continue;
        }
        switch (choices.next(10)) {
        case 0: case 1: line = positionCommand(choices, model); break;
        case 2: case 3:
            if (program == 0) {
                line = ucciGo(choices);
            } else {
                std::string restricted;
                line = uciGo(choices, model, restricted);
                c.searched.push_back(model);
                c.restricted.push_back(restricted);
            }
            break;
        case 4: line = "stop"; break;
        case 5: line = choices.next(2) ? "ponderhit" : (program == 0 ? "ponderhit draw" : "ponderhit"); break;
        case 6: line = "isready"; break;
        case 7:
            if (program == 0) {
                static const char* const Options[] = {"usebook off", "pruning none", "knowledge none",
                                                      "selectivity large", "hashsize 32", "newgame",
                                                      "ponder on", "usemillisec on", "batch on", "batch off"};
                line = std::string("setoption ") + Options[choices.next(10)];
            } else {
                static const char* const Options[] = {"MultiPV value 3", "MultiPV value 1", "OwnBook value false",
                                                      "Ponder value true", "Selectivity value large",
                                                      "Clear Hash", "Hash value 32", "Move Overhead value 0"};
                line = std::string("setoption name ") + Options[choices.next(8)];
            }
            break;
        case 8: line = program == 0 ? "banmoves h2e2 b2e2 h0g2" : "ucinewgame"; break;
        default: line = program == 0 ? "position fen 9/9/9 w" : "d"; break;
        }
        c.input += line + "\n";
    }
    c.quits = choices.next(2);
    if (c.quits) c.input += "quit\n";
    return c;
}

// UCCI with debug on echoes each line it reads: a go or stop read while idle
// is answered exactly once before the next idle line, anything else not at all.
const char* checkUcci(const std::vector<std::string>& out) {
    int expected = 0;  // answers owed by the last idle line
    Position model;
    model.setFromFen(Fens[0]);
    for (const std::string& line : out) {
        if (startsWith(line, "info idleline [")) {
            if (expected != 0) return "ucci: a go or stop went unanswered";
            std::string command = line.substr(15, line.size() - 16);
            expected = startsWith(command, "go") || startsWith(command, "stop") ? 1 : 0;
            if (startsWith(command, "position")) {
                size_t moves = command.find(" moves ");
                std::string fen = command.substr(9, moves == std::string::npos ? std::string::npos : moves - 9);
                if (startsWith(fen, "fen ")) fen = fen.substr(4);
                if (startsWith(fen, "startpos")) fen = Fens[0];
                model.setFromFen(fen.c_str());
                for (size_t at = moves; at != std::string::npos && at + 11 <= command.size(); at += 5)
                    model.makeMove(textToMove(command.c_str() + at + 7));
            }
        } else if (isResult(line)) {
            if (--expected < 0) return "ucci: an answer no go or stop asked for";
            if (startsWith(line, "bestmove ") && !model.isLegalMove(textToMove(line.c_str() + 9)))
                return "ucci: an illegal best move";
        }
    }
    return expected == 0 ? nullptr : "ucci: the last go went unanswered";
}

// UCI carries out every go, in order: one answer each, a legal move when
// there is one and within the searchmoves when they were given.
const char* checkUci(const Conversation& c, const std::vector<std::string>& out) {
    size_t answered = 0;
    for (const std::string& line : out) {
        if (!isResult(line)) continue;
        if (answered >= c.searched.size()) return "uci: more answers than go commands";
        Position pos = c.searched[answered];
        std::vector<int> legal = legalMoves(pos);
        if (line == "bestmove (none)") {
            if (!legal.empty()) return "uci: (none) with a legal move";
        } else {
            int move = textToMove(line.c_str() + 9);
            if (!pos.isLegalMove(move)) return "uci: an illegal best move";
            if (!c.restricted[answered].empty() && line.compare(9, 4, c.restricted[answered]) != 0)
                return "uci: a move outside searchmoves";
        }
        answered++;
    }
    // quit may cut the kept commands short; otherwise every go is answered.
    if (answered == c.searched.size() || c.quits) return nullptr;
    return "uci: a go without an answer";
}

// CECP has no one-to-one answer to count, but a move needs a go, a
// usermove or a ? to ask for it, and the pongs answer the pings in order
// (the last ones may be lost to the end of input).
const char* checkXboard(const Conversation& c, const std::vector<std::string>& out) {
    int asks = 0;
    std::vector<std::string> pings;
    for (size_t at = 0; at < c.input.size();) {
        size_t end = c.input.find('\n', at);
        std::string line = c.input.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? c.input.size() : end + 1;
        asks += startsWith(line, "go") || startsWith(line, "usermove") || startsWith(line, "?");
        if (startsWith(line, "ping ")) pings.push_back(line.substr(5));
    }
    int moves = 0;
    size_t pongs = 0;
    for (const std::string& line : out) {
        moves += startsWith(line, "move ");
        if (!startsWith(line, "pong ")) continue;
        if (pongs >= pings.size() || line.substr(5) != pings[pongs]) return "xboard: a pong out of order";
        pongs++;
    }
    if (moves > asks) return "xboard: more moves than go, usermove and ? asked for";
    return nullptr;
}

// ---- positions -----------------------------------------------------------------

int sideOf(int code) { return code >= 32 ? 1 : 0; }
int inPalace(int square, int side) {
    int row = square >> 4, column = square & 15;
    return column >= 6 && column <= 8 && (side == 0 ? row >= 10 && row <= 12 : row >= 3 && row <= 5);
}
int onOwnHalf(int square, int side) { return side == 0 ? (square >> 4) >= 8 : (square >> 4) <= 7; }
int piecesBetween(const Position& pos, int from, int to) {
    int step = (from >> 4) == (to >> 4) ? (to > from ? 1 : -1) : (to > from ? 16 : -16);
    int count = 0;
    for (int s = from + step; s != to; s += step) count += pos.board[s] != 0;
    return count;
}

// The movement rules written out square by square, for a piece of any side.
int slowReaches(const Position& pos, int from, int to) {
    int code = pos.board[from];
    if (code == 0 || !InBoard[to] || from == to) return 0;
    int side = sideOf(code);
    if (pos.board[to] != 0 && sideOf(pos.board[to]) == side) return 0;
    int dr = (to >> 4) - (from >> 4), dc = (to & 15) - (from & 15);
    int ar = dr < 0 ? -dr : dr, ac = dc < 0 ? -dc : dc;
    switch (PieceType[code]) {
    case 0: return inPalace(to, side) && ar + ac == 1;
    case 1: return inPalace(to, side) && ar == 1 && ac == 1;
    case 2: return onOwnHalf(to, side) && ar == 2 && ac == 2 && pos.board[(from + to) / 2] == 0;
    case 3: {
        if (!((ar == 2 && ac == 1) || (ar == 1 && ac == 2))) return 0;
        int leg = ar == 2 ? from + (dr > 0 ? 16 : -16) : from + (dc > 0 ? 1 : -1);
        return pos.board[leg] == 0;
    }
    case 4: return (dr == 0 || dc == 0) && piecesBetween(pos, from, to) == 0;
    case 5:
        if (dr != 0 && dc != 0) return 0;
        return piecesBetween(pos, from, to) == (pos.board[to] != 0 ? 1 : 0);
    default: {
        int forward = side == 0 ? -1 : 1;
        if (dc == 0 && dr == forward) return 1;
        return dr == 0 && ac == 1 && !onOwnHalf(from, side);
    }
    }
}

int slowInCheck(const Position& pos, int side) {
    int king = 0, enemyKing = 0;
    for (int s = 0; s < 256; s++) {
        int code = pos.board[s];
        if (code != 0 && PieceType[code] == 0) (sideOf(code) == side ? king : enemyKing) = s;
    }
    if (king == 0) return 0;
    if (enemyKing != 0 && (king & 15) == (enemyKing & 15) && piecesBetween(pos, king, enemyKing) == 0) return 1;
    for (int s = 0; s < 256; s++)
        if (pos.board[s] != 0 && sideOf(pos.board[s]) != side && slowReaches(pos, s, king)) return 1;
    return 0;
}

// Everything a position keeps incrementally, computed afresh.
const char* checkIncremental(const Position& pos) {
    uint32_t key = 0, lock1 = 0, lock2 = 0, bits = 0;
    int32_t values[2] = {0, 0};
    uint16_t rows[16] = {}, columns[16] = {};
    for (int s = 0; s < 256; s++) {
        int code = pos.board[s];
        if (code == 0) continue;
        if (pos.pieceSquares[code] != s) return "position: piece list and board disagree";
        int kt = keyType(code);
        key ^= PieceKeys[kt][s];
        lock1 ^= PieceLocks[kt][s][0];
        lock2 ^= PieceLocks[kt][s][1];
        bits |= 1u << (code - 16);
        values[sideOf(code)] += pos.pieceValues[kt][s];
        rows[s >> 4] |= ColumnBit[s];
        columns[s & 15] |= RowBit[s];
    }
    if (pos.sideToMove == 1) {
        key ^= SideKey;
        lock1 ^= SideLock1;
        lock2 ^= SideLock2;
    }
    if (key != pos.key || lock1 != pos.lock1 || lock2 != pos.lock2) return "position: keys or locks drifted";
    if (bits != pos.pieceBits) return "position: piece bits drifted";
    if (values[0] != pos.redValue || values[1] != pos.blackValue) return "position: value sums drifted";
    if (std::memcmp(rows, pos.rowMask, sizeof rows) != 0 || std::memcmp(columns, pos.colMask, sizeof columns) != 0)
        return "position: occupancy masks drifted";
    return nullptr;
}

// The record as unmake must give it back; the history past the last move may differ.
int sameRecord(const Position& a, const Position& b) {
    return a.sideToMove == b.sideToMove && std::memcmp(a.board, b.board, sizeof a.board) == 0 &&
           std::memcmp(a.pieceSquares, b.pieceSquares, sizeof a.pieceSquares) == 0 && a.key == b.key &&
           a.lock1 == b.lock1 && a.lock2 == b.lock2 && a.pieceBits == b.pieceBits &&
           std::memcmp(a.rowMask, b.rowMask, sizeof a.rowMask) == 0 &&
           std::memcmp(a.colMask, b.colMask, sizeof a.colMask) == 0 && a.moveCount == b.moveCount &&
           a.rootCount == b.rootCount &&
           std::memcmp(a.history, b.history, sizeof(MoveRecord) * static_cast<size_t>(a.moveCount)) == 0 &&
           std::memcmp(a.repTable, b.repTable, sizeof a.repTable) == 0 && a.redValue == b.redValue &&
           a.blackValue == b.blackValue;
}

const char* checkFenRoundTrip(const Position& pos) {
    char fen[FenSize], again[FenSize];
    pos.writeFen(fen);
    Position read;
    read.setFromFen(fen);
    read.writeFen(again);
    if (std::strcmp(fen, again) != 0 || read.key != pos.key || read.lock1 != pos.lock1 || read.lock2 != pos.lock2)
        return "fen: a written FEN reads back as another position";
    return nullptr;
}

const char* checkMoves(Position& pos) {
    MoveEntry moves[MoveListCapacity];
    int total = generateCaptures(pos, moves);
    total += generateQuietMoves(pos, moves + total);
    for (int i = 0; i < total; i++) {
        int move = moves[i].move;
        int from = moveSource(move), to = moveDestination(move);
        if (pos.board[from] == 0 || sideOf(pos.board[from]) != pos.sideToMove || !slowReaches(pos, from, to))
            return "movegen: a generated move breaks the movement rules";
        Position after = pos;
        int captured = after.movePiece(move);
        (void)captured;
        int legal = !slowInCheck(after, pos.sideToMove) && pos.moveCount < MaxHistory;
        Position before = pos;
        int made = pos.makeMove(move);
        if (made != legal) return "movegen: makeMove disagrees with the slow legality test";
        if (made) {
            if (const char* fault = checkIncremental(pos)) return fault;
            pos.unmakeMove();
        }
        if (!sameRecord(pos, before)) return "makemove: unmake does not restore the record";
    }
    return nullptr;
}

void ensureTables() {
    static bool built = false;
    if (!built) {
        buildPopCount();
        buildTables();
        built = true;
    }
}

// ---- books -----------------------------------------------------------------------

std::string bookPath() {
    static std::string path;
    if (path.empty()) {
        char name[] = "/tmp/quorvel-fuzz-book-XXXXXX";
        int fd = mkstemp(name);
        if (fd >= 0) close(fd);
        path = name;
    }
    return path;
}

// ---- notation and game files ------------------------------------------------------

constexpr MoveNotation Notations[] = {NotationCoord, NotationIccs, NotationWxf, NotationChinese};

bool isLegal(const Position& pos, Move move) {
    Move moves[MoveListCapacity];
    const int count = legalMoves(pos, moves);
    for (int i = 0; i < count; i++)
        if (moves[i] == move) return true;
    return false;
}

// Every notation writes the move so that it reads back as itself.
const char* checkMoveTexts(const Position& pos, Move move) {
    for (MoveNotation notation : Notations) {
        for (int flags = 0; flags <= (notation == NotationChinese ? NotationSimplified : 0); flags++) {
            char text[MoveTextSize];
            const int length = writeMoveText(pos, move, notation, flags, text, sizeof text);
            if (length <= 0) return "notation: a legal move not written";
            Move back = 0;
            if (readMoveText(pos, text, length, &back, nullptr, 0) != MoveTextOk || back != move)
                return "notation: a written move does not read back";
        }
    }
    return nullptr;
}

// What a game keeps through writing and reading again: a brace in a comment becomes ')'.
std::string gameSummary(const SavedGame& game) {
    std::string summary = game.startFen + "|" + game.result + "|";
    for (Move move : game.moves) summary += moveText(move).text;
    for (const std::string& comment : game.comments) {
        summary += "|";
        for (char c : comment) summary += c == '}' ? ')' : c;
    }
    return summary;
}

const char* checkGameFile(const char* text, size_t size, int choice) {
    std::vector<SavedGame> games(1);
    games[0].result = "kept";
    GameFileError error{};
    if (!readGameFile(text, size, games, error)) {
        if (games.size() != 1 || games[0].result != "kept") return "gamefile: a refused file changed the games";
        if (error.reason.empty()) return "gamefile: a refusal without its reason";
        return nullptr;
    }
    static GameRecord record;
    for (const SavedGame& game : games) {
        if (game.comments.size() != game.moves.size() + 1) return "gamefile: not one comment per ply";
        if (game.result != "1-0" && game.result != "0-1" && game.result != "1/2-1/2" && game.result != "*")
            return "gamefile: a result that is none";
        if (!startGame(record, game.startFen.empty() ? nullptr : game.startFen.c_str(), RulesAsian))
            return "gamefile: a start FEN that does not set up";
        for (Move move : game.moves)
            if (!playGameMove(record, move)) return "gamefile: a move read that is not legal";
    }
    // Written again, as PGN in one notation and as a WXF file, the games read back the same.
    const MoveNotation notation = Notations[choice % 4];
    const int flags = (choice >> 2) & NotationSimplified;
    for (int wxf = 0; wxf < 2; wxf++) {
        std::string written;
        for (const SavedGame& game : games)
            if (!(wxf ? writeWxfGame(game, written) : writePgnGame(game, notation, flags, written)))
                return "gamefile: a game read cannot be written";
        std::vector<SavedGame> again;
        if (!readGameFile(written.data(), written.size(), again, error)) return "gamefile: a written file does not read";
        if (again.size() != games.size()) return "gamefile: a written file holds another number of games";
        for (size_t g = 0; g < games.size(); g++)
            if (gameSummary(again[g]) != gameSummary(games[g])) return "gamefile: a game changes when written and read";
    }
    return nullptr;
}

}  // namespace

const char* fuzzLines(const uint8_t* data, size_t size) {
    if (size == 0) return nullptr;
    const Program& program = Programs[data[0] % ProgramCount];
    std::string input = program.handshake;
    input.append(reinterpret_cast<const char*>(data + 1), size - 1);
    const std::vector<std::string>& out = runProgram(program, input);
    // An answer needs a go, or in UCCI an idle stop.
    int answers = 0;
    for (const std::string& line : out) answers += isResult(line);
    if (answers > countWord(input, "go") + countWord(input, "st")) return "lines: more answers than the input asked for";
    return nullptr;
}

const char* fuzzConversation(const uint8_t* data, size_t size) {
    Choices choices(data, size);
    int program = choices.next(ProgramCount);
    Conversation c = buildConversation(choices, program);
    const std::vector<std::string>& out = runProgram(Programs[program], c.input);
    if (program == 0) return checkUcci(out);
    if (program == 1) return checkUci(c, out);
    return checkXboard(c, out);
}

const char* fuzzPosition(const uint8_t* data, size_t size) {
    ensureTables();
    // The FEN runs to the first zero byte; the rest chooses moves.
    size_t fenLength = 0;
    while (fenLength < size && data[fenLength] != 0 && fenLength < 200) fenLength++;
    std::string fen(reinterpret_cast<const char*>(data), fenLength);
    // A strict FEN is a position of the game, where the slow rules hold; any
    // other text still gives a position the engine must keep consistent.
    Position pos;
    const int strict = pos.loadFen(fen.c_str());
    if (!strict) pos.setFromFen(fen.c_str());
    if (const char* fault = checkIncremental(pos)) return fault;
    Choices choices(data + fenLength, size - fenLength);
    for (int ply = 0; ply < 60 && !choices.empty(); ply++) {
        if (strict) {
            if (const char* fault = checkMoves(pos)) return fault;
        }
        if (const char* fault = checkFenRoundTrip(pos)) return fault;
        std::vector<int> legal = legalMoves(pos);
        if (legal.empty() || choices.next(16) == 0) {
            Position before = pos;
            if (pos.makeNullMove()) {
                pos.unmakeNullMove();
                if (!sameRecord(pos, before)) return "makemove: unmaking a null move does not restore the record";
            }
            if (legal.empty()) break;
        }
        pos.makeMove(legal[choices.next(static_cast<int>(legal.size()))]);
        pos.repetitionStatus(1 + choices.next(4));
    }
    return nullptr;
}

const char* fuzzBook(const uint8_t* data, size_t size) {
    ensureTables();
    if (size == 0) return nullptr;
    // Records whose first byte is odd are given the locks of the probed
    // position or of its mirror image, so that the lookups find something.
    Position pos;
    pos.setFromFen(Fens[data[0] % FenCount]);
    Position image = pos;
    mirrorPosition(image);
    std::vector<uint8_t> file(data + 1, data + size);
    for (size_t at = 0; at + BookRecordSize <= file.size(); at += BookRecordSize) {
        if ((file[at] & 1) == 0) continue;
        const Position& owner = (file[at] & 2) ? image : pos;
        for (int i = 0; i < 4; i++) {
            file[at + i] = static_cast<uint8_t>(owner.lock1 >> (8 * i));
            file[at + 4 + i] = static_cast<uint8_t>(owner.lock2 >> (8 * i));
        }
    }
    const std::string path = bookPath();
    std::FILE* out = std::fopen(path.c_str(), "wb");
    if (out == nullptr) return nullptr;
    if (!file.empty()) std::fwrite(file.data(), 1, file.size(), out);
    std::fclose(out);

    BookMove moves[MaxBookMoves];
    int mirrored = 0;
    int total = readBookMoves(path.c_str(), pos, moves, mirrored);
    if (total > MaxBookMoves) return "book: more moves than the room for them";
    for (int i = 0; i < total; i++)
        if (!pos.isValidMove(moves[i].move)) return "book: a stored move that is not valid here";
    uint32_t seed = size;
    int move = probeBook(path.c_str(), pos, seed);
    if (move != 0 && !pos.isValidMove(move)) return "book: the probe chose a move that is not valid here";
    return nullptr;
}

const char* fuzzNotation(const uint8_t* data, size_t size) {
    ensureTables();
    if (size < 2) return nullptr;
    const char* text = reinterpret_cast<const char*>(data + 2);
    if (data[0] & 1) return checkGameFile(text, size - 2, data[1]);
    Position pos;
    pos.setFromFen(Fens[data[1] % FenCount]);
    Move move = 0;
    char reason[MoveTextReasonSize];
    const int code = readMoveText(pos, text, static_cast<int>(size - 2), &move, reason, sizeof reason);
    if (code < MoveTextOk || code > MoveTextAmbiguous) return "notation: an unknown code";
    if (code != MoveTextOk) return reason[0] == '\0' ? "notation: a refusal without its reason" : nullptr;
    if (!isLegal(pos, move)) return "notation: a move read that is not legal";
    return checkMoveTexts(pos, move);
}

const FuzzTarget FuzzTargets[] = {
    {"lines", fuzzLines},
    {"conversation", fuzzConversation},
    {"position", fuzzPosition},
    {"book", fuzzBook},
    {"notation", fuzzNotation},
};
const int FuzzTargetCount = sizeof(FuzzTargets) / sizeof(FuzzTargets[0]);
