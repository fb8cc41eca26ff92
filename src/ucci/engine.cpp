#include "ucci/engine.h"

#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "board/tables.h"
#include "book/book.h"
#include "io/line_input.h"
#include "io/output.h"
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

// The search's view of the UCCI conversation: depth lines as it goes, the
// commands that may arrive meanwhile, and the result lines.
class UcciReporter : public SearchReporter {
public:
    void newBestMove(const SearchReport& report) override {
        if (report.depth >= 1 && report.depth < FirstPrintedDepth) {
            deferredDepth_ = report.depth;
            deferredScore_ = report.score;
            return;
        }
        deferredDepth_ = 0;
        printDepthLine(report.depth, report.score, report.pv);
    }

    int poll() override {
        if (BatchMode) return PollNothing;
        switch (readBusyCommand(DebugMode)) {
        case CmdIsReady: printLine("readyok"); return PollNothing;
        case CmdPonderHit: return PollPonderHit;
        case CmdPonderHitDraw: return PollPonderHitDraw;
        case CmdStop: return PollStop;
        case CmdQuit: QuitRequested = 1; return PollQuit;
        default: break;
        }
        if (inputEnded()) {
            // Nothing more can arrive: the engine quits once the search is over.
            QuitRequested = 1;
            return PollInputEnded;
        }
        return PollNothing;
    }

    void searchDone(const SearchResult& result) override {
        if (result.bestMove == 0) {
            printLine("nobestmove");
            return;
        }
        printStatistics(result.statistics);
        if (deferredDepth_ != 0) printDepthLine(deferredDepth_, deferredScore_, result.pv);
        printBestMove(result.bestMove, result.ponderMove, result.offer);
    }

private:
    int deferredDepth_ = 0;
    int deferredScore_ = 0;
};

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
    if (isDrawByRule(EnginePosition)) {
        printLine("nobestmove");
        return;
    }
    if (UseBook) {
        int move = probeBook(BookPath, EnginePosition, RandomSeed);
        if (move != 0) {
            printBestMove(move, 0, OfferNone);
            return;
        }
    }
    UcciReporter reporter;
    runSearch(EnginePosition, limits, reporter);
}

void locatePath(char* destination, int destinationSize, const char* programName, const char* fileName) {
    if (destinationSize <= 0) return;
    const char* slash = std::strrchr(programName, '/');
    const char* backslash = std::strrchr(programName, '\\');
    if (backslash != nullptr && (slash == nullptr || backslash > slash)) slash = backslash;
    const size_t directory = slash == nullptr ? 0 : static_cast<size_t>(slash - programName) + 1;
    std::snprintf(destination, static_cast<size_t>(destinationSize), "%.*s%s", static_cast<int>(directory),
                  programName, fileName);
}

int ucciMain(int argc, char** argv) {
    if (!waitForUcci()) return 0;
    locatePath(BookPath, BookPathSize, argc >= 1 ? argv[0] : "", "qvr.bin");
    buildPopCount();
    buildTables();
    allocateHashTable(24);
    EnginePosition.setFromFen(StartPositionFen);
    resetSettings();
    RandomSeed = static_cast<uint32_t>(std::time(nullptr));
    printLine("id name Quorvel 1.1");
    printLine("id author Delvane");
    printLine("option usemillisec type check default false");
    printLine("ucciok");

    UcciCommand command = {};
    while (!QuitRequested) runCommand(parseIdleCommand(command, DebugMode), command);

    releaseHashTable();
    printLine("bye");
    return 0;
}
