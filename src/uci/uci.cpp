// The UCI conversation: handshake and options, positions, every form of go,
// and the answers held for a ponder or infinite search until it is released.
#include "uci/uci.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "book/book.h"
#include "io/clock.h"
#include "io/line_input.h"
#include "io/output.h"
#include "io/session.h"
#include "io/text.h"
#include "search/driver.h"
#include "search/hash.h"
#include "uci/uci_options.h"

namespace {

Position EnginePosition;
int QuitRequested = 0;

int is(const char* word, const char* keyword) { return sameWord(word, keyword); }

void printInfoString(const char* format, const char* detail) {
    char text[LineBufferSize + 128];
    std::snprintf(text, sizeof text, format, detail);
    printLine(text);
}

// ---- position ------------------------------------------------------------

void setupPosition(const Words& words) {
    int index = 1;
    char fen[LineBufferSize] = "";
    if (index < words.count && is(words.word[index], "startpos")) {
        std::snprintf(fen, sizeof fen, "%s", StartPositionFen);
        index++;
    } else if (index < words.count && is(words.word[index], "fen")) {
        int length = 0;
        for (index++; index < words.count && !is(words.word[index], "moves"); index++)
            length += std::snprintf(fen + length, sizeof fen - length, "%s%s", length > 0 ? " " : "", words.word[index]);
    } else {
        printLine("info string position needs startpos or fen");
        return;
    }
    Position pos;
    if (!pos.loadFen(fen)) {
        printInfoString("info string unreadable FEN, position unchanged: %s", fen);
        return;
    }
    if (index < words.count && is(words.word[index], "moves")) {
        for (index++; index < words.count; index++) {
            int move = legalMoveOfText(pos, words.word[index]);
            if (move == 0 || !pos.makeMove(move)) {
                printInfoString("info string illegal move %s: it and the moves after it are ignored",
                                words.word[index]);
                break;
            }
        }
    }
    EnginePosition = pos;
}

// ---- the display of d ----------------------------------------------------

void showBoard(const Position& pos) {
    printLine("   +-------------------+");
    for (int row = 3; row <= 12; row++) {
        char text[64];
        int length = std::snprintf(text, sizeof text, " %d |", 12 - row);
        for (int column = 3; column <= 11; column++) {
            int code = pos.board[row * 16 + column];
            static const char Letters[] = "KAABBNNRRCCPPPPP";  // by piece slot
            char letter = Letters[code & 15];
            if (code == 0) letter = '.';
            if (code >= 32) letter = static_cast<char>(letter - 'A' + 'a');
            length += std::snprintf(text + length, sizeof text - length, " %c", letter);
        }
        std::snprintf(text + length, sizeof text - length, " |");
        printLine(text);
    }
    printLine("   +-------------------+");
    printLine("     a b c d e f g h i");
    char fen[FenSize];
    pos.writeFen(fen);
    char text[FenSize + 32];
    std::snprintf(text, sizeof text, "Fen: %s", fen);
    printLine(text);
    printLine(pos.sideToMove == 0 ? "Side to move: red (w)" : "Side to move: black (b)");
}

// ---- go ----------------------------------------------------------------

struct GoRequest {
    int clockGiven[2] = {0, 0};
    int64_t clock[2] = {0, 0};    // wtime, btime; a clock below 0 has simply run out
    int64_t increment[2] = {0, 0};
    int64_t movesToGo = 0;
    // A limit named at all counts, whatever its value: at worst it ends the search at once.
    int moveTimeGiven = 0, depthGiven = 0, nodesGiven = 0, mateGiven = 0;
    int64_t moveTime = 0;
    int64_t depth = 0;
    int64_t nodes = 0;
    int64_t mate = 0;
    int infinite = 0;
    int ponder = 0;
    int searchMoveCount = 0;
    Move searchMoves[MoveListCapacity];
};

// Reads a number after a keyword; bad or missing numbers count as 0.
int64_t numberAfter(const Words& words, int& index) {
    if (index + 1 >= words.count) return 0;
    return readInt64(words.word[++index], -(int64_t(1) << 40), int64_t(1) << 40);
}

int isGoKeyword(const char* word) {
    static const char* const Keywords[] = {"wtime", "btime", "winc", "binc", "movestogo", "movetime", "depth",
                                           "nodes", "mate", "infinite", "ponder", "searchmoves"};
    for (const char* keyword : Keywords)
        if (is(word, keyword)) return 1;
    return 0;
}

GoRequest parseGo(const Words& words) {
    GoRequest go;
    for (int i = 1; i < words.count; i++) {
        const char* w = words.word[i];
        if (is(w, "wtime")) go.clock[0] = numberAfter(words, i), go.clockGiven[0] = 1;
        else if (is(w, "btime")) go.clock[1] = numberAfter(words, i), go.clockGiven[1] = 1;
        else if (is(w, "winc")) go.increment[0] = numberAfter(words, i);
        else if (is(w, "binc")) go.increment[1] = numberAfter(words, i);
        else if (is(w, "movestogo")) go.movesToGo = numberAfter(words, i);
        else if (is(w, "movetime")) go.moveTime = numberAfter(words, i), go.moveTimeGiven = 1;
        else if (is(w, "depth")) go.depth = numberAfter(words, i), go.depthGiven = 1;
        else if (is(w, "nodes")) go.nodes = numberAfter(words, i), go.nodesGiven = 1;
        else if (is(w, "mate")) go.mate = numberAfter(words, i), go.mateGiven = 1;
        else if (is(w, "infinite")) go.infinite = 1;
        else if (is(w, "ponder")) go.ponder = 1;
        else if (is(w, "searchmoves")) {
            while (i + 1 < words.count && !isGoKeyword(words.word[i + 1])) {
                int move = legalMoveOfText(EnginePosition, words.word[++i]);
                if (move == 0) {
                    printInfoString("info string searchmoves: %s is not a legal move here", words.word[i]);
                } else if (go.searchMoveCount < MoveListCapacity) {
                    go.searchMoves[go.searchMoveCount++] = static_cast<Move>(move);
                }
            }
        } else {
            printInfoString("info string go: unknown word %s ignored", w);
        }
    }
    return go;
}

int clamp64(int64_t value, int64_t low, int64_t high) {
    return static_cast<int>(value < low ? low : (value > high ? high : value));
}

// Every limit the request names applies; where they overlap the tightest wins.
SearchLimits limitsOf(const GoRequest& go, int side) {
    SearchLimits limits;
    limits.usePruning = UciSettings.pruning;
    limits.useKnowledge = UciSettings.knowledge;
    limits.randomMask = UciSettings.randomMask;
    limits.randomSeed = &UciSettings.randomSeed;
    limits.lines = UciSettings.lines;
    limits.searchMoves = go.searchMoves;
    limits.searchMoveCount = go.searchMoveCount;
    limits.pondering = go.ponder;
    limits.maxDepth = MaxSearchDepth;
    if (go.depthGiven) limits.maxDepth = clamp64(go.depth, 1, MaxSearchDepth);
    if (go.mateGiven) limits.maxDepth = clamp64(2 * go.mate - 1, 1, limits.maxDepth);
    if (go.nodesGiven) {
        limits.kind = LimitNodes;
        limits.nodeLimit = go.nodes > 0 ? go.nodes : 0;
    }
    const int clocked = go.clockGiven[side];
    if (clocked || go.moveTimeGiven) {
        limits.kind = LimitTime;
        int64_t normal = int64_t(1) << 40, maximum = int64_t(1) << 40;
        if (clocked) {
            int64_t left = go.clock[side] - UciSettings.moveOverhead;
            int64_t increment = go.increment[side] > 0 ? go.increment[side] : 0;
            TimeBudget budget = clockBudget(left > 0 ? left : 0, go.movesToGo > 0 ? go.movesToGo : 0, increment,
                                            UciSettings.ponder);
            normal = budget.normalTime;
            maximum = budget.maxTime;
        }
        if (go.moveTimeGiven) {
            // A fixed time is there to be used: the budget only stops short of it.
            int64_t fixed = go.moveTime - UciSettings.moveOverhead;
            if (fixed < 1) fixed = 1;
            if (fixed < maximum) maximum = fixed;
            if (2 * fixed < normal) normal = 2 * fixed;
        }
        limits.normalTime = normal;
        limits.maxTime = maximum;
    }
    // Analysis runs to its depth even when one move is all there is.
    limits.stopWhenForced = limits.kind == LimitTime;
    limits.untilStopped = go.infinite || !(clocked || go.moveTimeGiven || go.depthGiven || go.nodesGiven || go.mateGiven);
    return limits;
}

void printScore(char* text, int& length, int size, int score) {
    int mate = mateMoves(score);
    if (mate != 0)
        length += std::snprintf(text + length, size - length, " score mate %d", mate);
    else
        length += std::snprintf(text + length, size - length, " score cp %d", score * CentipawnsPerUnit);
}

// The search's view of the UCI conversation.
class UciReporter : public SearchReporter {
public:
    void newBestMove(const SearchReport& report) override {
        static char text[128 + 5 * MaxHistory];
        int length = std::snprintf(text, sizeof text, "info depth %d", report.depth);
        if (UciSettings.lines > 1) length += std::snprintf(text + length, sizeof text - length, " multipv %d", report.line);
        printScore(text, length, sizeof text, report.score);
        int64_t nps = report.elapsed > 0 ? report.nodes * 1000 / report.elapsed : 0;
        length += std::snprintf(text + length, sizeof text - length,
                                " nodes %" PRId64 " nps %" PRId64 " time %" PRId64 " pv", report.nodes, nps,
                                report.elapsed);
        appendMoves(text, length, sizeof text, report.pv);
        printLine(text);
    }

    PollEvent poll() override {
        if (outputClosed()) {
            QuitRequested = 1;
            return PollQuit;
        }
        char line[LineBufferSize];
        // At the end of input the lines kept so far still run; the main
        // loop ends after them.
        if (!readLine(line)) return inputEnded() ? PollInputEnded : PollNothing;
        return busyLine(line);
    }

    void searchDone(const SearchResult& result) override {
        bestMove = result.bestMove;
        ponderMove = result.ponderMove;
    }

    // A line that arrives while the search runs or its answer is held.
    PollEvent busyLine(const char* line) {
        const char* word = line;
        while (*word == ' ' || *word == '\t') word++;
        if (startsWith(word, "isready")) {
            printLine("readyok");
            return PollNothing;
        }
        if (startsWith(word, "ponderhit")) {
            ponderHit = 1;
            return PollPonderHit;
        }
        if (startsWith(word, "stop")) {
            stopped = 1;
            return PollStop;
        }
        if (startsWith(word, "quit")) {
            QuitRequested = 1;
            return PollQuit;
        }
        deferLine(line);
        return PollNothing;
    }

    int bestMove = 0;
    int ponderMove = 0;
    int ponderHit = 0;
    int stopped = 0;
};

// An infinite search, or a ponder search not yet hit, gives its answer only
// when the front end asks for it: stop (or ponderhit for a ponder search),
// quit or the end of input.
void holdAnswer(UciReporter& reporter, int infinite) {
    char line[LineBufferSize];
    while (!QuitRequested && !reporter.stopped && (infinite || !reporter.ponderHit) && !outputClosed() &&
           waitForLine(line))
        reporter.busyLine(line);
}

void printBestMove(int move, int ponderMove) {
    if (move == 0) {
        printLine("bestmove (none)");
        return;
    }
    char text[32] = "bestmove ";
    moveToText(move, text + 9);
    if (ponderMove != 0) {
        std::memcpy(text + 13, " ponder ", 8);
        moveToText(ponderMove, text + 21);
        text[25] = '\0';
    } else {
        text[13] = '\0';
    }
    printLine(text);
}

void runGo(const Words& words) {
    GoRequest go = parseGo(words);
    SearchLimits limits = limitsOf(go, EnginePosition.sideToMove);
    UciReporter reporter;
    // The book plays timed games only; analysis always searches.
    const int timed = go.clockGiven[EnginePosition.sideToMove] || go.moveTimeGiven;
    int move = 0;
    if (timed && UciSettings.ownBook && UciSettings.lines == 1 && go.searchMoveCount == 0)
        move = probeBook(UciSettings.bookPath, EnginePosition, UciSettings.randomSeed);
    if (move != 0) {
        char text[5] = {};
        moveToText(move, text);
        printInfoString("info string book move %s", text);
        reporter.bestMove = move;
    } else {
        runSearch(ProgramEngine, EnginePosition, limits, reporter);
    }
    if (limits.untilStopped || (go.ponder && !reporter.ponderHit)) holdAnswer(reporter, limits.untilStopped);
    // Whenever a legal move exists the answer is one, even where no search
    // result stands (every move repeats too often, or a stop came first).
    if (reporter.bestMove == 0) {
        if (go.searchMoveCount > 0)
            reporter.bestMove = go.searchMoves[0];
        else
            reporter.bestMove = firstLegalMove(EnginePosition);
        reporter.ponderMove = 0;
    }
    printBestMove(reporter.bestMove, reporter.ponderMove);
}

// ---- the conversation -------------------------------------------------------

void handshake() {
    printLine("id name Quorvel 1.1");
    printLine("id author Delvane");
    printOptions();
    printLine("uciok");
}

void runCommand(char* line) {
    char original[LineBufferSize];
    std::snprintf(original, sizeof original, "%s", line);
    Words words;
    splitWords(line, words);
    if (words.count == 0) return;
    const char* command = words.word[0];
    if (is(command, "uci")) handshake();
    else if (is(command, "isready")) printLine("readyok");
    else if (is(command, "ucinewgame")) clearHashTable(ProgramEngine.table);
    else if (is(command, "setoption")) setUciOption(original);
    else if (is(command, "position")) setupPosition(words);
    else if (is(command, "go")) runGo(words);
    else if (is(command, "stop") || is(command, "ponderhit")) {}  // nothing runs: nothing to do
    else if (is(command, "quit")) QuitRequested = 1;
    else if (is(command, "d")) showBoard(EnginePosition);
    else if (is(command, "debug") || is(command, "register")) {}
    else printInfoString("info string unknown command: %s", command);
}

}  // namespace

int uciMain(int argc, char** argv) {
    QuitRequested = 0;
    clearDeferredLines();
    openInput();
    startEngine();
    resetUciOptions(argc >= 1 ? argv[0] : "", static_cast<uint32_t>(std::time(nullptr)));
    EnginePosition.setFromFen(StartPositionFen);
    char line[LineBufferSize];
    while (!QuitRequested && !outputClosed()) {
        if (!takeDeferredLine(line) && !waitForLine(line)) break;
        runCommand(line);
    }
    releaseHashTable(ProgramEngine.table);
    return 0;
}
