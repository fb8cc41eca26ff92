// The game as the front end drives it: new games and positions, moves and
// take-backs, colours, the time control and the excluded moves.
#include <cstdio>
#include <cstring>

#include "io/line_input.h"
#include "io/output.h"
#include "search/driver.h"
#include "board/notation.h"
#include "xboard/xboard_game.h"

XboardGame Game;

namespace {

bool isDigit(char c) { return c >= '0' && c <= '9'; }

// "12", "12.5": seconds as milliseconds; 0 when the text is not a number.
int readSeconds(const char* text, int64_t& milliseconds) {
    if (!isDigit(*text)) return 0;
    const int64_t whole = readInt64(text, 0, int64_t(1) << 30);
    while (isDigit(*text)) text++;
    int64_t fraction = 0;
    if (*text == '.') {
        int scale = 100;
        for (text++; isDigit(*text); text++, scale /= 10) fraction += (*text - '0') * scale;
    }
    milliseconds = whole * 1000 + fraction;
    return 1;
}

// The session time of level: minutes, or minutes:seconds; whatever follows is ignored.
int readSessionTime(const char* text, int64_t& milliseconds) {
    if (!isDigit(*text)) return 0;
    const int64_t minutes = readInt64(text, 0, int64_t(1) << 24);
    while (isDigit(*text)) text++;
    int64_t seconds = 0;
    if (*text == ':') seconds = readInt64(text + 1, 0, int64_t(1) << 24);
    milliseconds = (minutes * 60 + seconds) * 1000;
    return 1;
}

void badParameters(const char* line) { say("Error (bad parameters): %s", line); }

int pliesPlayed() { return gamePlies(Session, Session.position); }

void resetTimeControl() {
    Game.engineClock = -1;
    Game.opponentClock = -1;
    Game.sessionStart = pliesPlayed();
    Game.clockAfterMove = -1;
}

void forgetSearch() {
    Game.hintMove = 0;
    Game.drawAcceptable = false;
    Game.drawOffered = false;
    Game.ponderDue = false;
}

// The game has a new position: its time control counts from here.
void restarted() {
    Game.sessionStart = pliesPlayed();
    forgetSearch();
    positionChanged();
}

}  // namespace

void say(const char* format, const char* detail) {
    char text[LineBufferSize + 128];
    std::snprintf(text, sizeof text, format, detail);
    printLine(text);
}

void newGame() {
    setGameLeniently(Session, StartPositionFen);
    restartRandom(Session);
    Game.forceMode = false;
    Game.engineSide = 1;
    Game.thinkDue = false;
    Game.depthLimit = 0;
    Game.fixedTime = 0;
    resetTimeControl();
    forgetSearch();
    positionChanged();
}

void setBoard(const char* fen) {
    if (!setGame(Session, fen)) {
        printLine("tellusererror Illegal position");
        return;
    }
    Game.thinkDue = false;
    restarted();
}

int takeBack(int moves) {
    if (!takeBackMoves(Session, moves)) return 0;
    Game.thinkDue = false;
    forgetSearch();
    positionChanged();
    return 1;
}

void setColours(int sideToMove) {
    Game.forceMode = false;
    Game.engineSide = 1 - sideToMove;
    Game.thinkDue = false;
    if (Session.position.sideToMove != sideToMove && setSideToMove(Session, sideToMove)) restarted();
}

void setLevel(const Words& words, const char* line) {
    int64_t session = 0, increment = 0;
    if (words.count < 4 || !isDigit(words.word[1][0]) || !readSessionTime(words.word[2], session) ||
        !readSeconds(words.word[3], increment)) {
        badParameters(line);
        return;
    }
    Game.movesPerSession = readInt(words.word[1], 0, 100000);
    Game.sessionTime = session;
    Game.increment = increment;
    Game.fixedTime = 0;
    Game.sessionStart = pliesPlayed();
}

void setFixedTime(const char* argument, const char* line) {
    int64_t fixed = 0;
    if (!readSeconds(argument, fixed)) badParameters(line);
    else Game.fixedTime = fixed;
}

void setDepthLimit(const char* argument, const char* line) {
    if (!isDigit(*argument)) badParameters(line);
    else Game.depthLimit = readInt(argument, 1, MaxSearchDepth);
}

void setClock(bool engines, const char* argument, const char* line) {
    if (!isDigit(*argument) && *argument != '-') {
        badParameters(line);
        return;
    }
    const int64_t clock = readInt64(argument, 0, int64_t(1) << 40) * 10;
    if (engines) Game.engineClock = clock;
    else Game.opponentClock = clock;
}

void exclude(const Words& words, const char* line, bool excluding) {
    if (words.count < 2) {
        badParameters(line);
        return;
    }
    int& count = Session.bannedCount;
    Move* banned = Session.banned;
    if (sameWord(words.word[1], "all")) {
        count = excluding ? legalMoves(Session.position, banned) : 0;
        Game.analysisDue = true;
        return;
    }
    const int move = legalMoveOfText(Session.position, words.word[1]);
    if (move == 0) {
        say("Error (not a legal move here): %s", line);
        return;
    }
    int at = 0;
    while (at < count && banned[at] != move) at++;
    if (excluding && at == count && count < MoveListCapacity) banned[count++] = static_cast<Move>(move);
    if (!excluding && at < count) banned[at] = banned[--count];
    Game.analysisDue = true;
}

int64_t engineClock() { return Game.engineClock >= 0 ? Game.engineClock : Game.sessionTime; }

int movesToGo(const Position& pos) {
    if (Game.movesPerSession <= 0) return 0;
    int plies = gamePlies(Session, pos) - Game.sessionStart;
    if (plies < 0) plies = 0;
    return Game.movesPerSession - (plies / 2) % Game.movesPerSession;
}

int currentHint() {
    const Position& pos = Session.position;
    if (Game.hintMove == 0 || pos.lock1 != Game.hintLock1 || pos.lock2 != Game.hintLock2) return 0;
    return Game.hintMove;
}

int playUserMove(const char* text) {
    if (!playMoveText(Session, text)) {
        say("Illegal move: %s", text);
        return 0;
    }
    positionChanged();
    if (!Game.forceMode && !Game.analyzing && Session.position.sideToMove == Game.engineSide) Game.thinkDue = true;
    return 1;
}

void positionChanged() { Game.analysisDue = true; }

void answerDrawOffer() {
    Game.drawOffered = true;
    if (option(Session, OptionOfferDraw) && Game.drawAcceptable) printLine("offer draw");
}

void printHint(int move) {
    if (move == 0) return;
    char text[16];
    std::snprintf(text, sizeof text, "Hint: %s", moveText(move).text);
    printLine(text);
}
