// The UCI conversation: handshake and options, positions, every form of go,
// and the lines of a search and its answer.
#include "uci/uci.h"

#include <cinttypes>
#include <cstdio>

#include "io/deferred_lines.h"
#include "io/line_input.h"
#include "io/output.h"
#include "io/text.h"
#include "movegen/generate.h"
#include "session/go.h"
#include "board/notation.h"
#include "uci/uci_options.h"

namespace {

EngineSession Session;
bool QuitRequested = false;

void printInfoString(const char* format, const char* detail) {
    char text[LineBufferSize + 128];
    std::snprintf(text, sizeof text, format, detail);
    printLine(text);
}

// ---- position ------------------------------------------------------------

void setupPosition(const Words& words) {
    int index = 1;
    char fen[LineBufferSize] = "";
    if (index < words.count && sameWord(words.word[index], "startpos")) {
        std::snprintf(fen, sizeof fen, "%s", StartPositionFen);
        index++;
    } else if (index < words.count && sameWord(words.word[index], "fen")) {
        int length = 0;
        for (index++; index < words.count && !sameWord(words.word[index], "moves"); index++)
            length += std::snprintf(fen + length, sizeof fen - length, "%s%s", length > 0 ? " " : "", words.word[index]);
    } else {
        printLine("info string position needs startpos or fen");
        return;
    }
    if (!setGame(Session, fen)) {
        printInfoString("info string unreadable FEN, position unchanged: %s", fen);
        return;
    }
    if (index < words.count && sameWord(words.word[index], "moves")) {
        for (index++; index < words.count; index++) {
            if (!playMoveText(Session, words.word[index])) {
                printInfoString("info string illegal move %s: it and the moves after it are ignored",
                                words.word[index]);
                break;
            }
        }
    }
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

// Reads a number after a keyword; bad or missing numbers count as 0.
int64_t numberAfter(const Words& words, int& index) {
    if (index + 1 >= words.count) return 0;
    return readInt64(words.word[++index], -(int64_t(1) << 40), int64_t(1) << 40);
}

// The words of go, where the moves after searchmoves end.
const char* const GoKeywords[] = {"wtime", "btime", "winc", "binc", "movestogo", "movetime", "depth",
                                  "nodes", "mate", "infinite", "ponder", "searchmoves", nullptr};

// searchMoves receives the moves after searchmoves, MoveListCapacity at most.
GoRequest parseGo(const Words& words, Move* searchMoves) {
    GoRequest go;
    go.searchMoves = searchMoves;
    for (int i = 1; i < words.count; i++) {
        const char* w = words.word[i];
        if (sameWord(w, "wtime")) go.clock[0] = numberAfter(words, i), go.clockGiven[0] = true;
        else if (sameWord(w, "btime")) go.clock[1] = numberAfter(words, i), go.clockGiven[1] = true;
        else if (sameWord(w, "winc")) go.increment[0] = numberAfter(words, i);
        else if (sameWord(w, "binc")) go.increment[1] = numberAfter(words, i);
        else if (sameWord(w, "movestogo")) go.movesToGo = numberAfter(words, i);
        else if (sameWord(w, "movetime")) go.moveTime = numberAfter(words, i), go.moveTimeGiven = true;
        else if (sameWord(w, "depth")) go.depth = numberAfter(words, i), go.depthGiven = true;
        else if (sameWord(w, "nodes")) go.nodes = numberAfter(words, i), go.nodesGiven = true;
        else if (sameWord(w, "mate")) go.mate = numberAfter(words, i), go.mateGiven = true;
        else if (sameWord(w, "infinite")) go.infinite = true;
        else if (sameWord(w, "ponder")) go.ponder = true;
        else if (sameWord(w, "searchmoves")) {
            while (i + 1 < words.count && !isOneOf(words.word[i + 1], GoKeywords)) {
                int move = legalMoveOfText(Session.position, words.word[++i]);
                if (move == 0) {
                    printInfoString("info string searchmoves: %s is not a legal move here", words.word[i]);
                } else if (go.searchMoveCount < MoveListCapacity) {
                    searchMoves[go.searchMoveCount++] = static_cast<Move>(move);
                }
            }
        } else {
            printInfoString("info string go: unknown word %s ignored", w);
        }
    }
    // Depth 1 is the shallowest search UCI asks for.
    if (go.depthGiven && go.depth < 1) go.depth = 1;
    // The book plays timed games only; analysis always searches, and runs to
    // its depth even when one move is all there is.
    const bool timed = go.clockGiven[Session.position.sideToMove] || go.moveTimeGiven;
    go.mayUseBook = timed;
    go.analysis = !timed;
    return go;
}

class UciConversation : public Conversation {
public:
    explicit UciConversation(const GoRequest& request) : request_(request) { rules.holdInfinite = true; }

    void newBestMove(const SearchReport& report) override {
        char text[128 + 5 * MaxHistory];
        int length = std::snprintf(text, sizeof text, "info depth %d", report.depth);
        if (option(Session, OptionMultiPV) > 1)
            length += std::snprintf(text + length, sizeof text - length, " multipv %d", report.line);
        const int mate = mateMoves(report.score);
        if (mate != 0)
            length += std::snprintf(text + length, sizeof text - length, " score mate %d", mate);
        else
            length += std::snprintf(text + length, sizeof text - length, " score cp %d", report.score * CentipawnsPerUnit);
        const int64_t nps = report.elapsed > 0 ? report.nodes * 1000 / report.elapsed : 0;
        length += std::snprintf(text + length, sizeof text - length, " nodes %" PRId64 " nps %" PRId64 " time %" PRId64 " pv",
                                report.nodes, nps, report.elapsed);
        appendMoves(text, length, sizeof text, report.pv);
        printLine(text);
    }

    // Lines other than these are kept and run once the answer is out.
    PollEvent busyLine(const char* line) override {
        const char* word = line;
        while (*word == ' ' || *word == '\t') word++;
        if (startsWith(word, "isready")) {
            printLine("readyok");
            return PollNothing;
        }
        if (startsWith(word, "ponderhit")) return PollPonderHit;
        if (startsWith(word, "stop")) return PollStop;
        if (startsWith(word, "quit")) {
            QuitRequested = true;
            return PollQuit;
        }
        deferLine(line);
        return PollNothing;
    }

    PollEvent outputLost() override {
        QuitRequested = true;
        return PollQuit;
    }

    void bookMove(int move) override { printInfoString("info string book move %s", moveText(move).text); }

    // Whenever a legal move exists the answer is one, even where no search
    // result stands (every move repeats too often, or a stop came first).
    void answer(const GoAnswer& answer) override {
        int move = answer.move;
        int ponderMove = answer.ponderMove;
        if (move == 0) {
            move = request_.searchMoveCount > 0 ? request_.searchMoves[0] : firstLegalMove(Session.position);
            ponderMove = 0;
        }
        if (move == 0) {
            printLine("bestmove (none)");
            return;
        }
        char text[32];
        int length = std::snprintf(text, sizeof text, "bestmove %s", moveText(move).text);
        if (ponderMove != 0) std::snprintf(text + length, sizeof text - length, " ponder %s", moveText(ponderMove).text);
        printLine(text);
    }

private:
    const GoRequest& request_;
};

void go(const Words& words) {
    Move searchMoves[MoveListCapacity];
    const GoRequest request = parseGo(words, searchMoves);
    UciConversation conversation(request);
    runGo(Session, Session.position, request, conversation);
}

// ---- the conversation -------------------------------------------------------

void handshake() {
    char text[64];
    std::snprintf(text, sizeof text, "id name %s", EngineName);
    printLine(text);
    std::snprintf(text, sizeof text, "id author %s", EngineAuthor);
    printLine(text);
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
    if (sameWord(command, "uci")) handshake();
    else if (sameWord(command, "isready")) printLine("readyok");
    else if (sameWord(command, "ucinewgame")) {
        setOption(Session, OptionClearHash, 0);
        restartRandom(Session);
    }
    else if (sameWord(command, "setoption")) setUciOption(Session, original);
    else if (sameWord(command, "position")) setupPosition(words);
    else if (sameWord(command, "go")) go(words);
    else if (sameWord(command, "stop") || sameWord(command, "ponderhit")) {}  // nothing runs: nothing to do
    else if (sameWord(command, "quit")) QuitRequested = true;
    else if (sameWord(command, "d")) showBoard(Session.position);
    else if (sameWord(command, "debug") || sameWord(command, "register")) {}
    else printInfoString("info string unknown command: %s", command);
}

}  // namespace

int uciMain(int argc, char** argv, const SessionBounds& bounds) {
    QuitRequested = false;
    clearDeferredLines();
    openInput();
    startSession(Session, argc >= 1 ? argv[0] : "", bounds);
    char line[LineBufferSize];
    while (!QuitRequested && !outputClosed()) {
        if (!takeDeferredLine(line) && !waitForLine(line)) break;
        runCommand(line);
    }
    endSession(Session);
    return 0;
}
