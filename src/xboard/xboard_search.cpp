// The XBoard program's searches: the engine's own move under the time
// control, pondering on the predicted reply, and analysis; the thinking
// output, and the commands that arrive while a search runs.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "book/book.h"
#include "io/clock.h"
#include "io/line_input.h"
#include "io/output.h"
#include "io/session.h"
#include "search/driver.h"
#include "xboard/xboard_game.h"
#include "xboard/xboard_options.h"

namespace {

enum SearchMode { Thinking, Pondering, Analysing };

// Mate scores as the protocol writes them: 100000 + N to mate in N moves.
constexpr int64_t MateShown = 100000;

// The figures of the last analysis, for a status request after it ended.
SearchProgress LastAnalysis = {};
int AnalysisRunning = 0;

int is(const char* word, const char* keyword) { return std::strcmp(word, keyword) == 0; }

int isOneOf(const char* word, const char* const* keywords) {
    for (; *keywords != nullptr; keywords++)
        if (is(word, *keywords)) return 1;
    return 0;
}

// Answered at once in every mode: they change nothing a search depends on.
const char* const AlwaysAtOnce[] = {"post", "nopost", "hard", "xboard", "accepted", "rejected", "computer",
                                    "name", "rating", "random", "cores", nullptr};
// While pondering or analysing these are answered at once too.
const char* const AtOnceWhenNotOnMove[] = {"ping", "time", "otim", "bk", "?", nullptr};
// While the engine thinks on its move these end the search without a move.
const char* const EndThinking[] = {"force", "new", "result", "setboard", "undo", "remove", "usermove",
                                   "analyze", "white", "black", "playother", "edit", nullptr};

// "PLY SCORE TIME NODES PV", time in centiseconds; firstMove (when not 0)
// leads the line, as the predicted reply does while pondering.
void printThinking(const SearchReport& report, int firstMove) {
    static char text[128 + 5 * MaxHistory];
    const int mate = mateMoves(report.score);
    const int64_t score = mate > 0   ? MateShown + mate
                          : mate < 0 ? -MateShown + mate
                                     : int64_t(report.score) * CentipawnsPerUnit;
    int length = std::snprintf(text, sizeof text, "%d %" PRId64 " %" PRId64 " %" PRId64, report.depth, score,
                               report.elapsed / 10, report.nodes);
    if (firstMove != 0) {
        text[length++] = ' ';
        moveToText(firstMove, text + length);
        length += 4;
        text[length] = '\0';
    }
    appendMoves(text, length, sizeof text, report.pv);
    printLine(text);
}

SearchLimits commonLimits() {
    SearchLimits limits;
    limits.usePruning = XboardSettings.pruning;
    limits.useKnowledge = XboardSettings.knowledge;
    limits.randomMask = XboardSettings.randomMask;
    limits.randomSeed = &XboardSettings.randomSeed;
    limits.bannedMoves = Game.excluded;
    limits.bannedCount = Game.excludedCount;
    return limits;
}

int64_t engineClock() { return Game.engineClock >= 0 ? Game.engineClock : Game.sessionTime; }

// Moves up to the next time control, this one included; 0 for a clock with
// increment or one session for the whole game.
int movesToGo(const Position& pos) {
    if (Game.movesPerSession <= 0) return 0;
    int plies = pos.moveCount - Game.sessionStart;
    if (plies < 0) plies = 0;
    return Game.movesPerSession - (plies / 2) % Game.movesPerSession;
}

// The budget of the engine's move: st as a fixed time that the search uses
// but never exceeds, otherwise the clock as every protocol shares it out.
SearchLimits timedLimits(int64_t clock, int toGo) {
    SearchLimits limits = commonLimits();
    limits.kind = LimitTime;
    if (Game.depthLimit > 0) limits.maxDepth = Game.depthLimit;
    if (Game.fixedTime > 0) {
        int64_t fixed = Game.fixedTime - XboardSettings.moveOverhead;
        if (fixed < 1) fixed = 1;
        limits.normalTime = 2 * fixed;
        limits.maxTime = fixed;
    } else {
        int64_t left = clock - XboardSettings.moveOverhead;
        if (left < 0) left = 0;
        TimeBudget budget = clockBudget(left, toGo, Game.movesPerSession > 0 ? 0 : Game.increment, Game.ponder);
        limits.normalTime = budget.normalTime;
        limits.maxTime = budget.maxTime;
    }
    return limits;
}

// The side to move has no legal move, which loses.
void claimNoMoves(const Position& pos) {
    printLine(pos.sideToMove == 1 ? "1-0 {Black has no legal moves}" : "0-1 {Red has no legal moves}");
}

// Plays the engine's move in the game, or resigns; a move is always played
// when the engine does not resign, whatever the search gave.
void playOwnMove(int move, int predicted, int offer, int drawAcceptable, int64_t clockBefore, int toGo,
                 int64_t used) {
    Position& pos = Game.position;
    Game.drawAcceptable = drawAcceptable;
    if (offer == OfferResign && XboardSettings.resign) {
        Game.drawOffered = 0;
        printLine("resign");
        return;
    }
    if (move == 0 || !pos.isLegalMove(move)) move = firstLegalMove(pos);
    // A draw offer goes before the move, so that it is one for this move.
    if (XboardSettings.offerDraw && (offer == OfferDraw || (Game.drawOffered && drawAcceptable))) printLine("offer draw");
    Game.drawOffered = 0;
    if (!makeGameMove(move)) return;
    char text[16] = "move ";
    moveToText(move, text + 5);
    text[9] = '\0';
    printLine(text);

    int64_t after = clockBefore - used;
    if (Game.movesPerSession <= 0) after += Game.increment;
    else if (toGo == 1) after += Game.sessionTime;
    Game.clockAfterMove = after;
    if (firstLegalMove(pos) == 0) {
        claimNoMoves(pos);
        return;
    }
    if (predicted != 0 && pos.isLegalMove(predicted)) {
        Game.hintMove = static_cast<Move>(predicted);
        Game.hintLock1 = pos.lock1;
        Game.hintLock2 = pos.lock2;
        Game.ponderDue = 1;
    }
}

// The search's view of the conversation.
class XboardReporter : public SearchReporter {
public:
    XboardReporter(int searchMode, int predicted) : mode(searchMode), ponderMove(predicted) {}

    void newBestMove(const SearchReport& report) override {
        best = report.pv[0];
        if (mode == Analysing || Game.post) printThinking(report, mode == Pondering ? ponderMove : 0);
    }

    // Every line that has arrived is taken now: the opponent's move comes
    // after its time and otim lines, and must not wait for later polls.
    PollEvent poll() override {
        if (stopping) return PollStop;
        if (outputClosed()) {
            Game.quit = 1;
            return stop(nullptr);
        }
        char line[LineBufferSize];
        while (readLine(line)) {
            const PollEvent event = busyLine(line);
            if (event != PollNothing) return event;
        }
        if (!inputEnded()) return PollNothing;
        // Nothing more can come: a move under the clock is still played.
        Game.quit = 1;
        if (mode != Thinking) discard = 1;
        return PollInputEnded;
    }

    // The engine's move goes out at once, before the driver ages the table.
    void searchDone(const SearchResult& searchResult) override {
        result = searchResult;
        if (mode != Thinking || discard) return;
        playOwnMove(result.bestMove, result.ponderMove, result.offer, result.drawAcceptable, clockBefore, toGo,
                    result.statistics.elapsed - hitElapsed);
        played = 1;
    }

    // One line that arrives while the search runs, or while a ponder
    // search that ended by itself waits for the opponent's move.
    PollEvent busyLine(const char* line) {
        char command[16] = "";
        char argument[16] = "";
        std::sscanf(line, "%15s %15s", command, argument);
        if (is(command, "quit")) {
            Game.quit = 1;
            return stop(nullptr);
        }
        if (isOneOf(command, AlwaysAtOnce)) {
            runCommand(line);
            return PollNothing;
        }
        if (is(command, "easy")) {
            runCommand(line);
            return mode == Pondering ? stop(nullptr) : PollNothing;
        }
        if (is(command, "draw")) {
            // On its move the engine answers with that move; otherwise at once.
            if (mode == Thinking) Game.drawOffered = 1;
            if (mode == Pondering) answerDrawOffer();
            return PollNothing;
        }
        if (mode == Thinking) {
            if (is(command, "?")) {
                stopping = 1;
                return PollStop;
            }
            if (isOneOf(command, EndThinking) || isMoveText(command)) return stop(line);
            deferLine(line);
            return PollNothing;
        }
        if (isOneOf(command, AtOnceWhenNotOnMove) || (is(command, "hint") && mode == Pondering)) {
            runCommand(line);
            return PollNothing;
        }
        if (is(command, ".")) {
            if (mode == Analysing) printAnalysisStatus();
            return PollNothing;
        }
        if (is(command, "hint")) {
            printHint(best);
            return PollNothing;
        }
        const char* moveText = is(command, "usermove") ? argument : command;
        if (mode == Pondering && legalMoveOfText(Game.position, moveText) == ponderMove) {
            // The predicted reply: the search goes on as the engine's move.
            playUserMove(moveText);
            Game.thinkDue = 0;
            hit = 1;
            hitElapsed = elapsedMilliseconds(ProgramEngine);
            // The time lines before the reply have set the clock it counts against.
            clockBefore = engineClock();
            toGo = movesToGo(Game.position);
            mode = Thinking;
            return PollPonderHit;
        }
        return stop(line);
    }

    int mode;
    int ponderMove;
    int stopping = 0;  // a stop was asked for: later polls say the same
    int discard = 0;   // the result is not to be played
    int hit = 0;       // the predicted reply came
    int64_t hitElapsed = 0;
    int64_t clockBefore = 0;  // the engine's clock when its move began
    int toGo = 0;
    int played = 0;
    int best = 0;
    SearchResult result{};

private:
    // Ends the search without a move; line (if any) runs once it is over.
    PollEvent stop(const char* line) {
        discard = 1;
        stopping = 1;
        if (line != nullptr) deferLine(line);
        return Game.quit ? PollQuit : PollStop;
    }

    static int isMoveText(const char* text) {
        return std::strlen(text) == 4 && text[0] >= 'a' && text[0] <= 'i' && text[1] >= '0' && text[1] <= '9';
    }

    static void printHint(int move) {
        if (move == 0) return;
        char text[16] = "Hint: ";
        moveToText(move, text + 6);
        text[10] = '\0';
        printLine(text);
    }
};

}  // namespace

void think() {
    Position& pos = Game.position;
    if (firstLegalMove(pos) == 0) {
        claimNoMoves(pos);
        return;
    }
    const int64_t clock = engineClock();
    const int toGo = movesToGo(pos);
    if (XboardSettings.ownBook && Game.excludedCount == 0) {
        const int move = probeBook(XboardSettings.bookPath, pos, XboardSettings.randomSeed);
        if (move != 0) {
            playOwnMove(move, 0, OfferNone, 0, clock, toGo, 0);
            return;
        }
    }
    SearchLimits limits = timedLimits(clock, toGo);
    limits.drawOffered = Game.drawOffered;
    XboardReporter reporter(Thinking, 0);
    reporter.clockBefore = clock;
    reporter.toGo = toGo;
    runSearch(ProgramEngine, pos, limits, reporter);
}

void ponder() {
    Position pos = Game.position;
    const int predicted = currentHint();
    if (predicted == 0 || !pos.isLegalMove(predicted) || !pos.makeMove(predicted)) return;
    if (firstLegalMove(pos) == 0) return;
    // The clock as the engine's move left it; the search counts from now, so
    // the opponent's thinking only shortens what is left after a hit.
    const int64_t clockAtStart = Game.clockAfterMove >= 0 ? Game.clockAfterMove : engineClock();
    SearchLimits limits = timedLimits(clockAtStart, movesToGo(pos));
    limits.pondering = 1;
    limits.bannedCount = 0;
    XboardReporter reporter(Pondering, predicted);
    runSearch(ProgramEngine, pos, limits, reporter);
    // A search that ended by itself keeps its move for the predicted reply.
    char line[LineBufferSize];
    while (!reporter.hit && !reporter.stopping) {
        if (outputClosed() || !waitForLine(line)) {
            Game.quit = 1;
            return;
        }
        reporter.busyLine(line);
    }
    // A command that ended pondering without changing the game lets it start again.
    if (reporter.discard && !Game.quit) Game.ponderDue = 1;
    // A reply that came after the search had ended is answered now.
    if (reporter.hit && !reporter.discard && !reporter.played) {
        const SearchResult& result = reporter.result;
        playOwnMove(result.bestMove, result.ponderMove, result.offer, result.drawAcceptable, reporter.clockBefore,
                    reporter.toGo, 0);
    }
}

void analyse() {
    Game.analysisDue = 0;
    if (firstLegalMove(Game.position) == 0) return;
    SearchLimits limits = commonLimits();
    limits.kind = LimitDepth;
    limits.maxDepth = MaxSearchDepth;
    limits.untilStopped = 1;
    limits.stopWhenForced = 0;
    XboardReporter reporter(Analysing, 0);
    AnalysisRunning = 1;
    runSearch(ProgramEngine, Game.position, limits, reporter);
    AnalysisRunning = 0;
    LastAnalysis = searchProgress(ProgramEngine);
    // The command that ended it runs next; unless it is exit, analysis goes on after it.
    if (reporter.discard && !Game.quit) Game.analysisDue = 1;
}

void printAnalysisStatus() {
    const SearchProgress progress = AnalysisRunning ? searchProgress(ProgramEngine) : LastAnalysis;
    char text[128];
    std::snprintf(text, sizeof text, "stat01: %" PRId64 " %" PRId64 " %d %d %d", progress.elapsed / 10,
                  progress.nodes, progress.depth, progress.movesLeft, progress.moveTotal);
    printLine(text);
}
