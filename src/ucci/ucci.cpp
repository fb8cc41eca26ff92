// The UCCI conversation: the handshake, the idle loop of commands, and the
// lines of a search and its answer.
#include "ucci/ucci.h"

#include <algorithm>
#include <cinttypes>
#include <cstdio>

#include "io/line_input.h"
#include "io/output.h"
#include "session/go.h"
#include "board/notation.h"
#include "ucci/commands.h"

namespace {

// Search results below this depth come and go too fast to be worth a line:
// the last one is printed once before bestmove if nothing deeper replaced it.
constexpr int FirstPrintedDepth = 6;

EngineSession Session;
bool QuitRequested = false;
bool BatchMode = false;        // the search reads no input
bool DebugMode = false;        // every input line is echoed
bool UseMilliseconds = false;  // go times are milliseconds rather than seconds

void printDepthLine(int depth, int score, const Move* pv) {
    char text[64 + 5 * MaxHistory];
    const int length = std::snprintf(text, sizeof text, "info depth %d score %d pv", depth, score);
    appendMoves(text, length, sizeof text, pv);
    printLine(text);
}

void printStatistics(const SearchStatistics& s) {
    char text[256];
    std::snprintf(text, sizeof text,
                  "info time %" PRId64 " nodes %" PRId64 " nps %" PRId64 " hcut %" PRId64 " adptR %" PRId64
                  " fh %" PRId64,
                  s.elapsed, s.nodes, s.nodesPerSecond, s.historyReductions, s.nullReductions, s.failHighFirstShare);
    printLine(text);
}

void printBestMove(int move, int ponderMove, ResultOffer offer) {
    char text[64];
    int length = std::snprintf(text, sizeof text, "bestmove %s", moveText(move).text);
    if (ponderMove != 0) length += std::snprintf(text + length, sizeof text - length, " ponder %s", moveText(ponderMove).text);
    if (offer == OfferResign) std::snprintf(text + length, sizeof text - length, " resign");
    if (offer == OfferDraw) std::snprintf(text + length, sizeof text - length, " draw");
    printLine(text);
}

class UcciConversation : public Conversation {
public:
    UcciConversation() { rules.noMoveWhenDrawn = true; }

    void newBestMove(const SearchReport& report) override {
        if (report.depth >= 1 && report.depth < FirstPrintedDepth) {
            deferredDepth_ = report.depth;
            deferredScore_ = report.score;
            return;
        }
        deferredDepth_ = 0;
        printDepthLine(report.depth, report.score, report.pv);
    }

    // Lines other than these are dropped while a search runs.
    PollEvent busyLine(const char* line) override {
        if (DebugMode) echoLine("busyline", line);
        switch (busyCommandCode(line)) {
        case CmdIsReady: printLine("readyok"); return PollNothing;
        case CmdPonderHit: return PollPonderHit;
        case CmdPonderHitDraw: return PollPonderHitDraw;
        case CmdStop: return PollStop;
        case CmdQuit: QuitRequested = true; return PollQuit;
        default: return PollNothing;
        }
    }

    // Nothing more can arrive: the engine quits once the search is over.
    PollEvent inputEnded() override {
        QuitRequested = true;
        return PollInputEnded;
    }

    PollEvent outputLost() override {
        QuitRequested = true;
        return PollQuit;
    }

    bool readsInput() override { return !BatchMode; }

    void answer(const GoAnswer& answer) override {
        if (answer.move == 0) {
            printLine("nobestmove");
            return;
        }
        if (answer.source == AnswerSearch) {
            printStatistics(answer.statistics);
            if (deferredDepth_ != 0) printDepthLine(deferredDepth_, deferredScore_, answer.pv);
        }
        printBestMove(answer.move, answer.ponderMove, answer.offer);
    }

private:
    int deferredDepth_ = 0;
    int deferredScore_ = 0;
};

void applyOption(const UcciCommand& command) {
    const int value = command.optionValue;
    switch (command.optionId) {
    case OptBatch: BatchMode = value != 0; break;
    case OptDebug: DebugMode = value != 0; break;
    case OptUseMillisec: UseMilliseconds = value != 0; break;
    case OptPonder: setOption(Session, OptionPonder, value); break;
    case OptUseBook: setOption(Session, OptionOwnBook, value); break;
    case OptHashSize: setOption(Session, OptionHash, value); break;
    // Every level but none turns pruning and knowledge on.
    case OptPruning: setOption(Session, OptionPruning, value != 0); break;
    case OptKnowledge: setOption(Session, OptionKnowledge, value != 0); break;
    case OptSelectivity: setOption(Session, OptionSelectivity, value & 3); break;
    case OptNewGame: setOption(Session, OptionClearHash, 0); break;
    default: break;  // accepted and ignored
    }
}

// Opens the input and waits for the first line, which must begin with ucci.
int waitForUcci() {
    char line[LineBufferSize];
    openInput();
    if (!waitForLine(line)) return 0;
    return startsWith(line, "ucci");
}

void runCommand(CommandCode code, const UcciCommand& command) {
    switch (code) {
    case CmdIsReady: printLine("readyok"); break;
    case CmdStop: printLine("nobestmove"); break;
    case CmdSetOption: applyOption(command); break;
    case CmdPosition:
        setGameLeniently(Session, command.fen);
        playUcciMoves(Session.position, command);
        break;
    case CmdBanMoves: Session.bannedCount = readBanMoves(command, Session.banned); break;
    case CmdGo: {
        UcciConversation conversation;
        runGo(Session, Session.position, goRequestOf(command, UseMilliseconds), conversation);
        break;
    }
    case CmdQuit: QuitRequested = true; break;
    default: break;
    }
}

}  // namespace

int ucciMain(int argc, char** argv, const SessionBounds& bounds) {
    if (!waitForUcci()) return 0;
    startSession(Session, argc >= 1 ? argv[0] : "", bounds);
    // UCCI shares out the clock as it is: nothing is kept back for the pipe.
    setOption(Session, OptionMoveOverhead, 0);
    QuitRequested = BatchMode = DebugMode = UseMilliseconds = false;
    char text[64];
    std::snprintf(text, sizeof text, "id name %s", EngineName);
    printLine(text);
    std::snprintf(text, sizeof text, "id author %s", EngineAuthor);
    printLine(text);
    printLine("option usemillisec type check default false");
    printLine("ucciok");

    UcciCommand command = {};
    while (!QuitRequested && !outputClosed()) runCommand(parseIdleCommand(command, DebugMode), command);

    endSession(Session);
    printLine("bye");
    return 0;
}
