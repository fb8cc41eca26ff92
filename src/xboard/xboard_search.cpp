// The XBoard program's searches: the engine's own move under the time
// control, pondering on the predicted reply, and analysis; the thinking
// output, and the commands that arrive while a search runs.
#include <cinttypes>
#include <cstdio>
#include <cstring>

#include "io/deferred_lines.h"
#include "io/output.h"
#include "session/go.h"
#include "board/notation.h"
#include "xboard/xboard_game.h"

namespace {

enum SearchMode { Thinking, Pondering, Analysing };

// Mate scores as the protocol writes them: 100000 + N to mate in N moves.
constexpr int64_t MateShown = 100000;

// The figures of the last analysis, for a status request after it ended.
SearchProgress LastAnalysis = {};
bool AnalysisRunning = false;

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
    char text[128 + 5 * MaxHistory];
    const int mate = mateMoves(report.score);
    const int64_t score = mate > 0   ? MateShown + mate
                          : mate < 0 ? -MateShown + mate
                                     : int64_t(report.score) * CentipawnsPerUnit;
    int length = std::snprintf(text, sizeof text, "%d %" PRId64 " %" PRId64 " %" PRId64, report.depth, score,
                               report.elapsed / 10, report.nodes);
    if (firstMove != 0) length += std::snprintf(text + length, sizeof text - length, " %s", moveText(firstMove).text);
    appendMoves(text, length, sizeof text, report.pv);
    printLine(text);
}

// The engine's move under the time control: st as a fixed time that the
// search uses but never exceeds, otherwise the clock as every protocol
// shares it out.
GoRequest timedRequest(int64_t clock, int toGo) {
    GoRequest request;
    request.depthGiven = Game.depthLimit > 0;
    request.depth = Game.depthLimit;
    if (Game.fixedTime > 0) {
        request.moveTimeGiven = true;
        request.moveTime = Game.fixedTime;
        return request;
    }
    for (int side = 0; side < 2; side++) {
        request.clockGiven[side] = true;
        request.clock[side] = clock;
        request.increment[side] = Game.increment;
    }
    request.movesToGo = toGo;
    return request;
}

// The side to move has no legal move, which loses.
void claimNoMoves(const Position& pos) {
    printLine(pos.sideToMove == 1 ? "1-0 {Black has no legal moves}" : "0-1 {Red has no legal moves}");
}

// Plays the engine's move in the game, or resigns; a move is always played
// when the engine does not resign, whatever the search gave.
void playOwnMove(const GoAnswer& answer, int64_t clockBefore, int toGo, int64_t used) {
    Position& pos = Session.position;
    Game.drawAcceptable = answer.drawAcceptable;
    if (answer.offer == OfferResign && option(Session, OptionResign)) {
        Game.drawOffered = false;
        printLine("resign");
        return;
    }
    int move = answer.move;
    if (move == 0 || !pos.isLegalMove(move)) move = firstLegalMove(pos);
    // A draw offer goes before the move, so that it is one for this move.
    if (option(Session, OptionOfferDraw) && (answer.offer == OfferDraw || (Game.drawOffered && answer.drawAcceptable)))
        printLine("offer draw");
    Game.drawOffered = false;
    if (!makeGameMove(Session, move)) return;
    say("move %s", moveText(move).text);

    int64_t after = clockBefore - used;
    if (Game.movesPerSession <= 0) after += Game.increment;
    else if (toGo == 1) after += Game.sessionTime;
    Game.clockAfterMove = after;
    if (firstLegalMove(pos) == 0) {
        claimNoMoves(pos);
        return;
    }
    const int predicted = answer.ponderMove;
    if (predicted != 0 && pos.isLegalMove(predicted)) {
        Game.hintMove = static_cast<Move>(predicted);
        Game.hintLock1 = pos.lock1;
        Game.hintLock2 = pos.lock2;
        Game.ponderDue = true;
    }
}

class XboardConversation : public Conversation {
public:
    XboardConversation(SearchMode searchMode, int predicted) : mode(searchMode), ponderMove(predicted) {}

    void newBestMove(const SearchReport& report) override {
        best = report.pv[0];
        if (mode == Analysing || Game.post) printThinking(report, mode == Pondering ? ponderMove : 0);
    }

    // Nothing more can come: a move under the clock is still played.
    PollEvent inputEnded() override {
        Game.quit = true;
        if (mode != Thinking) discard = true;
        return PollInputEnded;
    }

    PollEvent outputLost() override {
        Game.quit = true;
        return stop(nullptr);
    }

    // The engine's move goes out at once; a move from a search that had ended
    // before the predicted reply came has used none of the engine's time.
    void answer(const GoAnswer& answer) override {
        if (mode != Thinking || discard) return;
        const int64_t used = answer.source == AnswerSearch && !answer.held ? answer.statistics.elapsed - hitElapsed : 0;
        playOwnMove(answer, clockBefore, toGo, used);
    }

    // One line that arrives while the search runs, or while a ponder search
    // that ended by itself waits for the opponent's move.
    PollEvent busyLine(const char* line) override {
        char command[16] = "";
        char argument[16] = "";
        std::sscanf(line, "%15s %15s", command, argument);
        if (sameWord(command, "quit")) {
            Game.quit = true;
            return stop(nullptr);
        }
        if (isOneOf(command, AlwaysAtOnce)) {
            runCommand(line);
            return PollNothing;
        }
        if (sameWord(command, "easy")) {
            runCommand(line);
            return mode == Pondering ? stop(nullptr) : PollNothing;
        }
        if (sameWord(command, "draw")) {
            // On its move the engine answers with that move; otherwise at once.
            if (mode == Thinking) Game.drawOffered = true;
            if (mode == Pondering) answerDrawOffer();
            return PollNothing;
        }
        if (mode == Thinking) {
            if (sameWord(command, "?")) return PollStop;
            if (isOneOf(command, EndThinking) || isMoveText(command)) return stop(line);
            deferLine(line);
            return PollNothing;
        }
        if (isOneOf(command, AtOnceWhenNotOnMove) || (sameWord(command, "hint") && mode == Pondering)) {
            runCommand(line);
            return PollNothing;
        }
        if (sameWord(command, ".")) {
            if (mode == Analysing) printAnalysisStatus();
            return PollNothing;
        }
        if (sameWord(command, "hint")) {
            printHint(best);
            return PollNothing;
        }
        const char* moveText = sameWord(command, "usermove") ? argument : command;
        if (mode == Pondering && legalMoveOfText(Session.position, moveText) == ponderMove) {
            // The predicted reply: the search goes on as the engine's move.
            playUserMove(moveText);
            Game.thinkDue = false;
            hitElapsed = elapsedMilliseconds(Session.engine);
            // The time lines before the reply have set the clock it counts against.
            clockBefore = engineClock();
            toGo = movesToGo(Session.position);
            mode = Thinking;
            return PollPonderHit;
        }
        return stop(line);
    }

    SearchMode mode;
    int ponderMove;
    bool discard = false;  // the result is not to be played
    int64_t hitElapsed = 0;
    int64_t clockBefore = 0;  // the engine's clock when its move began
    int toGo = 0;
    int best = 0;

private:
    // Ends the search without a move; line (if any) runs once it is over.
    PollEvent stop(const char* line) {
        discard = true;
        if (line != nullptr) deferLine(line);
        return Game.quit ? PollQuit : PollStop;
    }
};

}  // namespace

void think() {
    Position& pos = Session.position;
    if (firstLegalMove(pos) == 0) {
        claimNoMoves(pos);
        return;
    }
    XboardConversation conversation(Thinking, 0);
    conversation.clockBefore = engineClock();
    conversation.toGo = movesToGo(pos);
    GoRequest request = timedRequest(conversation.clockBefore, conversation.toGo);
    request.drawOffered = Game.drawOffered;
    request.mayUseBook = true;
    runGo(Session, pos, request, conversation);
}

void ponder() {
    Position pos = Session.position;
    const int predicted = currentHint();
    if (predicted == 0 || !pos.isLegalMove(predicted) || !pos.makeMove(predicted)) return;
    if (firstLegalMove(pos) == 0) return;
    // The clock as the engine's move left it; the search counts from now, so
    // the opponent's thinking only shortens what is left after a hit.
    const int64_t clockAtStart = Game.clockAfterMove >= 0 ? Game.clockAfterMove : engineClock();
    GoRequest request = timedRequest(clockAtStart, movesToGo(pos));
    request.ponder = true;
    XboardConversation conversation(Pondering, predicted);
    runGo(Session, pos, request, conversation);
    // A command that ended pondering without changing the game lets it start again.
    if (conversation.discard && !Game.quit) Game.ponderDue = true;
}

void analyse() {
    Game.analysisDue = false;
    if (firstLegalMove(Session.position) == 0) return;
    GoRequest request;
    request.infinite = true;
    request.analysis = true;
    XboardConversation conversation(Analysing, 0);
    AnalysisRunning = true;
    runGo(Session, Session.position, request, conversation);
    AnalysisRunning = false;
    LastAnalysis = searchProgress(Session.engine);
    // The command that ended it runs next; unless it is exit, analysis goes on after it.
    if (conversation.discard && !Game.quit) Game.analysisDue = true;
}

void printAnalysisStatus() {
    const SearchProgress progress = AnalysisRunning ? searchProgress(Session.engine) : LastAnalysis;
    char text[128];
    std::snprintf(text, sizeof text, "stat01: %" PRId64 " %" PRId64 " %d %d %d", progress.elapsed / 10,
                  progress.nodes, progress.depth, progress.movesLeft, progress.moveTotal);
    printLine(text);
}
