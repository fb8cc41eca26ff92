#include "ucci/engine.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "board/tables.h"
#include "book/book.h"
#include "io/line_input.h"
#include "io/output.h"
#include "io/session.h"
#include "search/hash.h"
#include "ucci/commands.h"
#include "ucci/settings.h"

namespace {

// Search results below this depth come and go too fast to be worth a line:
// the last one is printed once before bestmove if nothing deeper replaced it.
constexpr int FirstPrintedDepth = 6;

// Room for "info depth .. score .. pv" and five characters per move of a full line.
char LineText[64 + 5 * MaxHistory];

void printDepthLine(int depth, int score, const Move* pv) {
    int length = std::snprintf(LineText, sizeof LineText, "info depth %d score %d pv", depth, score);
    for (int i = 0; i < MaxHistory && pv[i] != 0; i++) {
        LineText[length++] = ' ';
        moveToText(pv[i], LineText + length);
        length += 4;
    }
    LineText[length] = '\0';
    printLine(LineText);
}

void printStatistics(const SearchStatistics& s) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "info time %" PRId64 " nodes %" PRId64 " nps %" PRId64 " hcut %" PRId64 " adptR %" PRId64
                  " fh %" PRId64,
                  s.elapsed, s.nodes, s.nodesPerSecond, s.historyReductions, s.nullReductions, s.failHighFirstShare);
    printLine(text);
}

void printBestMove(int move, int ponderMove, int offer) {
    char text[64];
    int length = std::snprintf(text, sizeof text, "bestmove ");
    moveToText(move, text + length);
    length += 4;
    if (ponderMove != 0) {
        length += std::snprintf(text + length, sizeof text - length, " ponder ");
        moveToText(ponderMove, text + length);
        length += 4;
    }
    text[length] = '\0';
    if (offer == OfferResign) std::snprintf(text + length, sizeof text - length, " resign");
    if (offer == OfferDraw) std::snprintf(text + length, sizeof text - length, " draw");
    printLine(text);
}

// The answer to a go, printed at once or, for a ponder search, held until
// the front end releases it.
struct Answer {
    int move = 0;             // 0: nobestmove
    int ponderMove = 0;
    int offer = OfferNone;
    int drawAcceptable = 0;
    int searched = 0;         // a search ran: the statistics and a held-back depth line come first
    SearchStatistics statistics = {};
    int deferredDepth = 0;
    int deferredScore = 0;
    Move pv[MaxHistory];
};

void printAnswer(const Answer& answer) {
    if (answer.move == 0) {
        printLine("nobestmove");
        return;
    }
    if (answer.searched) {
        printStatistics(answer.statistics);
        if (answer.deferredDepth != 0) printDepthLine(answer.deferredDepth, answer.deferredScore, answer.pv);
    }
    printBestMove(answer.move, answer.ponderMove, answer.offer);
}

// The search's view of the UCCI conversation: depth lines as it goes, the
// commands that may arrive meanwhile, and the result.
class UcciReporter : public SearchReporter {
public:
    void newBestMove(const SearchReport& report) override {
        if (report.depth >= 1 && report.depth < FirstPrintedDepth) {
            answer.deferredDepth = report.depth;
            answer.deferredScore = report.score;
            return;
        }
        answer.deferredDepth = 0;
        printDepthLine(report.depth, report.score, report.pv);
    }

    PollEvent poll() override {
        if (outputClosed()) {
            QuitRequested = 1;
            return PollQuit;
        }
        if (BatchMode) return PollNothing;
        switch (readBusyCommand(DebugMode)) {
        case CmdIsReady: printLine("readyok"); return PollNothing;
        case CmdPonderHit: released = 1; return PollPonderHit;
        case CmdPonderHitDraw: released = 1; return PollPonderHitDraw;
        case CmdStop: released = 1; return PollStop;
        case CmdQuit: released = 1; QuitRequested = 1; return PollQuit;
        default: break;
        }
        if (inputEnded()) {
            // Nothing more can arrive: the engine quits once the search is over.
            released = 1;
            QuitRequested = 1;
            return PollInputEnded;
        }
        return PollNothing;
    }

    void searchDone(const SearchResult& result) override {
        answer.move = result.bestMove;
        answer.ponderMove = result.ponderMove;
        answer.offer = result.offer;
        answer.drawAcceptable = result.drawAcceptable;
        answer.searched = 1;
        answer.statistics = result.statistics;
        for (int i = 0; i < MaxHistory; i++) {
            answer.pv[i] = result.pv[i];
            if (result.pv[i] == 0) break;
        }
        if (!held) printAnswer(answer);
    }

    Answer answer;
    int held = 0;      // a ponder search: the answer waits for its release
    int released = 0;  // ponderhit, stop, quit or the end of input came
};

// A ponder search that ended by itself keeps its answer until ponderhit or
// stop, so that a front end waiting for it after ponderhit gets it; quit and
// the end of input print it too. Other lines are dropped, as during a search.
void holdAnswer(Answer& answer) {
    char line[LineBufferSize];
    for (;;) {
        if (outputClosed() || !waitForLine(line)) {
            QuitRequested = 1;
            break;
        }
        if (DebugMode) echoLine("busyline", line);
        const int code = busyCommandCode(line);
        if (code == CmdIsReady) printLine("readyok");
        if (code == CmdPonderHitDraw && answer.offer == OfferNone && answer.drawAcceptable) answer.offer = OfferDraw;
        if (code == CmdQuit) QuitRequested = 1;
        if (code == CmdPonderHit || code == CmdPonderHitDraw || code == CmdStop || code == CmdQuit) break;
    }
    printAnswer(answer);
}

// Opens the input and waits for the first line, which must begin with ucci.
int waitForUcci() {
    char line[LineBufferSize];
    openInput();
    if (!waitForLine(line)) return 0;
    return startsWith(line, "ucci");
}

void runCommand(int code, const UcciCommand& command) {
    switch (code) {
    case CmdIsReady: printLine("readyok"); break;
    case CmdStop: printLine("nobestmove"); break;
    case CmdSetOption: applyOption(command); break;
    case CmdPosition: setupPosition(command); break;
    case CmdBanMoves: recordBanMoves(command); break;
    case CmdGo: runGo(command); break;
    case CmdQuit: QuitRequested = 1; break;
    default: break;
    }
}

}  // namespace

void runGo(const UcciCommand& command) {
    const SearchLimits limits = searchLimitsOf(command);
    UcciReporter reporter;
    reporter.held = limits.pondering;
    Answer& answer = reporter.answer;
    if (isDrawByRule(EnginePosition)) {
        answer.move = 0;
    } else if (UseBook && (answer.move = probeBook(BookPath, EnginePosition, RandomSeed)) != 0) {
        answer.searched = 0;
    } else {
        runSearch(ProgramEngine, EnginePosition, limits, reporter);
        if (!reporter.held) return;
        if (reporter.released) {
            printAnswer(answer);
            return;
        }
    }
    if (reporter.held)
        holdAnswer(answer);
    else
        printAnswer(answer);
}

int ucciMain(int argc, char** argv) {
    if (!waitForUcci()) return 0;
    locatePath(BookPath, BookPathSize, argc >= 1 ? argv[0] : "", "qvr.bin");
    startEngine();
    EnginePosition.setFromFen(StartPositionFen);
    resetSettings();
    RandomSeed = static_cast<uint32_t>(std::time(nullptr));
    printLine("id name Quorvel 1.1");
    printLine("id author Delvane");
    printLine("option usemillisec type check default false");
    printLine("ucciok");

    UcciCommand command = {};
    while (!QuitRequested && !outputClosed()) runCommand(parseIdleCommand(command, DebugMode), command);

    releaseHashTable(ProgramEngine.table);
    printLine("bye");
    return 0;
}
