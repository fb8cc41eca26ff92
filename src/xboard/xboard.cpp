// The CECP conversation (xboard protocol version 2): the features, the
// dispatch of each command line, and the main loop that starts the engine's
// own searches when they are due.
#include "xboard/xboard.h"

#include <cstdio>

#include "book/book.h"
#include "io/deferred_lines.h"
#include "io/line_input.h"
#include "io/output.h"
#include "board/notation.h"
#include "xboard/xboard_game.h"

EngineSession Session;

namespace {

// The rest of the line after its first word, blanks trimmed.
const char* restOf(const char* line) {
    while (*line == ' ' || *line == '\t') line++;
    while (*line != '\0' && *line != ' ' && *line != '\t') line++;
    while (*line == ' ' || *line == '\t') line++;
    return line;
}

// Commands that need no answer from an engine that plays no other variant.
const char* const NothingToDo[] = {"xboard", "accepted", "rejected", "computer", "name", "rating", "random", "cores",
                                   "?", nullptr};

void printFeatures() {
    printLine("feature done=0");
    say("feature myname=\"%s\" variants=\"xiangqi\" setboard=1 usermove=1 ping=1 playother=1", EngineName);
    printLine("feature sigint=0 sigterm=0 colors=0 analyze=1 memory=1 reuse=1 san=0 time=1 draw=1");
    printLine("feature pause=0 nps=0 exclude=1");
    printOptionFeatures();
    printLine("feature done=1");
}

void showBook() {
    BookMove moves[MaxBookMoves];
    int mirrored = 0;
    const int count = readBookMoves(Session.bookPath, Session.position, moves, mirrored);
    int64_t total = 0;
    for (int i = 0; i < count; i++) total += moves[i].weight;
    if (count <= 0 || total == 0) {
        printLine(" no book moves in this position");
    } else {
        for (int i = 0; i < count; i++) {
            if (moves[i].weight == 0) continue;
            char text[64];
            std::snprintf(text, sizeof text, " %s %d (%d%%)%s", moveText(moves[i].move).text, moves[i].weight,
                          static_cast<int>(moves[i].weight * 100 / total), mirrored ? " mirrored" : "");
            printLine(text);
        }
    }
    printLine("");
}

void stopPlaying() {
    Game.forceMode = true;
    Game.thinkDue = false;
    Game.ponderDue = false;
}

// Unknown and malformed lines are answered, never dropped.
void runWords(const Words& words, const char* line) {
    const char* command = words.word[0];
    const char* argument = words.count > 1 ? words.word[1] : "";
    const int sideToMove = Session.position.sideToMove;
    if (isOneOf(command, NothingToDo)) {
    } else if (sameWord(command, "protover")) {
        printFeatures();
    } else if (sameWord(command, "new")) {
        newGame();
    } else if (sameWord(command, "variant")) {
        if (!sameWord(argument, "xiangqi")) say("Error (unsupported variant): %s", argument);
    } else if (sameWord(command, "quit")) {
        Game.quit = true;
    } else if (sameWord(command, "force") || sameWord(command, "result")) {
        stopPlaying();
    } else if (sameWord(command, "go")) {
        Game.forceMode = false;
        Game.engineSide = sideToMove;
        Game.thinkDue = true;
    } else if (sameWord(command, "playother")) {
        Game.forceMode = false;
        Game.engineSide = 1 - sideToMove;
        Game.thinkDue = false;
        Game.ponderDue = true;
    } else if (sameWord(command, "white") || sameWord(command, "black")) {
        setColours(sameWord(command, "white") ? 0 : 1);
    } else if (sameWord(command, "usermove")) {
        if (words.count < 2) say("Error (no move given): %s", line);
        else playUserMove(argument);
    } else if (isMoveText(command)) {
        playUserMove(command);
    } else if (sameWord(command, "level")) {
        setLevel(words, line);
    } else if (sameWord(command, "st")) {
        setFixedTime(argument, line);
    } else if (sameWord(command, "sd")) {
        setDepthLimit(argument, line);
    } else if (sameWord(command, "time") || sameWord(command, "otim")) {
        setClock(sameWord(command, "time"), argument, line);
    } else if (sameWord(command, "ping")) {
        say("pong %s", argument);
    } else if (sameWord(command, "draw")) {
        answerDrawOffer();
    } else if (sameWord(command, "setboard")) {
        setBoard(restOf(line));
    } else if (sameWord(command, "undo") || sameWord(command, "remove")) {
        if (!takeBack(sameWord(command, "undo") ? 1 : 2)) say("Error (command not legal now): %s", command);
    } else if (sameWord(command, "hint")) {
        printHint(currentHint());
    } else if (sameWord(command, "bk")) {
        showBook();
    } else if (sameWord(command, "hard") || sameWord(command, "easy")) {
        setOption(Session, OptionPonder, sameWord(command, "hard"));
    } else if (sameWord(command, "post") || sameWord(command, "nopost")) {
        Game.post = sameWord(command, "post");
    } else if (sameWord(command, "memory")) {
        if (*argument < '0' || *argument > '9') say("Error (bad parameters): %s", line);
        else setOption(Session, OptionHash, readInt(argument, 0, 1 << 30));
    } else if (sameWord(command, "option")) {
        setXboardOption(restOf(line));
    } else if (sameWord(command, "exclude") || sameWord(command, "include")) {
        exclude(words, line, sameWord(command, "exclude"));
    } else if (sameWord(command, "analyze")) {
        Game.analyzing = true;
        Game.analysisDue = true;
        stopPlaying();
    } else if (sameWord(command, "exit")) {
        Game.analyzing = false;
    } else if (sameWord(command, ".")) {
        if (Game.analyzing) printAnalysisStatus();
    } else {
        say("Error (unknown command): %s", command);
    }
}

// The search that is due, if any; 1 when one ran.
int runDueSearch() {
    const Position& pos = Session.position;
    if (Game.thinkDue) {
        Game.thinkDue = false;
        if (Game.forceMode || Game.analyzing || pos.sideToMove != Game.engineSide) return 0;
        think();
        return 1;
    }
    if (Game.analyzing && Game.analysisDue) {
        analyse();
        return 1;
    }
    if (Game.ponderDue) {
        Game.ponderDue = false;
        if (!option(Session, OptionPonder) || Game.forceMode || Game.analyzing || pos.sideToMove == Game.engineSide ||
            currentHint() == 0)
            return 0;
        ponder();
        return 1;
    }
    return 0;
}

}  // namespace

void runCommand(const char* line) {
    char copy[LineBufferSize];
    std::snprintf(copy, sizeof copy, "%s", line);
    Words words;
    splitWords(copy, words);
    if (words.count > 0) runWords(words, line);
}

int xboardMain(int argc, char** argv, const SessionBounds& bounds) {
    clearDeferredLines();
    openInput();
    startSession(Session, argc >= 1 ? argv[0] : "", bounds);
    Game.post = false;
    Game.analyzing = false;
    Game.quit = false;
    // XBoard's own default until a level comes.
    Game.movesPerSession = 40;
    Game.sessionTime = 5 * 60 * 1000;
    Game.increment = 0;
    newGame();
    char line[LineBufferSize];
    while (!Game.quit && !outputClosed()) {
        // Lines kept during a search come first, in their order; a search
        // that is due starts only once they have run.
        if (takeDeferredLine(line)) {
            runCommand(line);
            continue;
        }
        if (runDueSearch()) continue;
        if (!waitForLine(line)) break;
        runCommand(line);
    }
    endSession(Session);
    return 0;
}
