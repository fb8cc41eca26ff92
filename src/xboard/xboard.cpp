// The CECP conversation (xboard protocol version 2): features, the game as
// the front end drives it, time controls, and the main loop that starts the
// engine's own searches when they are due.
#include "xboard/xboard.h"

#include <cstdio>
#include <cstring>
#include <ctime>

#include "book/book.h"
#include "io/line_input.h"
#include "io/output.h"
#include "io/session.h"
#include "io/text.h"
#include "search/driver.h"
#include "search/hash.h"
#include "xboard/xboard_game.h"
#include "xboard/xboard_options.h"

XboardGame Game;

namespace {

int is(const char* word, const char* keyword) { return std::strcmp(word, keyword) == 0; }

void say(const char* format, const char* detail) {
    char text[LineBufferSize + 128];
    std::snprintf(text, sizeof text, format, detail);
    printLine(text);
}

// The rest of the line after its first word, blanks trimmed.
const char* restOf(const char* line) {
    while (*line == ' ' || *line == '\t') line++;
    while (*line != '\0' && *line != ' ' && *line != '\t') line++;
    while (*line == ' ' || *line == '\t') line++;
    return line;
}

// A four-character move text: files a..i, ranks 0..9.
int looksLikeMove(const char* text) {
    return std::strlen(text) == 4 && text[0] >= 'a' && text[0] <= 'i' && text[1] >= '0' && text[1] <= '9' &&
           text[2] >= 'a' && text[2] <= 'i' && text[3] >= '0' && text[3] <= '9';
}

// "12", "12.5": seconds as milliseconds; 0 when the text is not a number.
int readSeconds(const char* text, int64_t& milliseconds) {
    if (*text < '0' || *text > '9') return 0;
    int64_t whole = readInt64(text, 0, int64_t(1) << 30);
    while (*text >= '0' && *text <= '9') text++;
    int64_t fraction = 0;
    if (*text == '.') {
        int scale = 100;
        for (text++; *text >= '0' && *text <= '9'; text++, scale /= 10) fraction += (*text - '0') * scale;
    }
    milliseconds = whole * 1000 + fraction;
    return 1;
}

// The session time of level: minutes, or minutes:seconds; whatever follows is ignored.
int readSessionTime(const char* text, int64_t& milliseconds) {
    if (*text < '0' || *text > '9') return 0;
    int64_t minutes = readInt64(text, 0, int64_t(1) << 24);
    while (*text >= '0' && *text <= '9') text++;
    int64_t seconds = 0;
    if (*text == ':') seconds = readInt64(text + 1, 0, int64_t(1) << 24);
    milliseconds = (minutes * 60 + seconds) * 1000;
    return 1;
}

// ---- the game ------------------------------------------------------------

// The search plays its lines on from the game's own history. A game that has
// used most of it keeps the moves since the last capture, all that the
// repetition rules look at, and starts the rest from a FEN.
void keepHistoryRoom(Position& pos) {
    constexpr int Room = 256;
    constexpr int MostKept = 300;
    if (pos.moveCount < MaxHistory - Room) return;
    int kept = 0;
    while (kept < MostKept && kept < pos.moveCount - 1 && pos.history[pos.moveCount - 1 - kept].capturedCode() == 0)
        kept++;
    Position start = pos;
    for (int i = 0; i < kept; i++) start.unmakeMove();
    char fen[FenSize];
    start.writeFen(fen);
    Position fresh;
    if (!fresh.loadFen(fen)) return;
    for (int i = kept; i > 0; i--)
        if (!fresh.makeMove(pos.history[pos.moveCount - i].move)) return;
    Game.sessionStart -= pos.moveCount - fresh.moveCount;
    pos = fresh;
}

void resetTimeControl() {
    Game.engineClock = -1;
    Game.opponentClock = -1;
    Game.sessionStart = Game.position.moveCount;
    Game.clockAfterMove = -1;
}

void forgetSearch() {
    Game.hintMove = 0;
    Game.drawAcceptable = 0;
    Game.drawOffered = 0;
    Game.ponderDue = 0;
}

void newGame() {
    Game.position.setFromFen(StartPositionFen);
    Game.forceMode = 0;
    Game.engineSide = 1;
    Game.thinkDue = 0;
    Game.depthLimit = 0;
    Game.fixedTime = 0;
    resetTimeControl();
    forgetSearch();
    positionChanged();
}

void printFeatures() {
    printLine("feature done=0");
    printLine("feature myname=\"Quorvel 1.1\" variants=\"xiangqi\" setboard=1 usermove=1 ping=1 playother=1");
    printLine("feature sigint=0 sigterm=0 colors=0 analyze=1 memory=1 reuse=1 san=0 time=1 draw=1");
    printLine("feature pause=0 nps=0 exclude=1");
    printOptionFeatures();
    printLine("feature done=1");
}

// A position the engine's rules accept replaces the game; the old one stays otherwise.
void setBoard(const char* fen) {
    Position pos;
    if (!pos.loadFen(fen)) {
        printLine("tellusererror Illegal position");
        return;
    }
    Game.position = pos;
    Game.thinkDue = 0;
    Game.sessionStart = pos.moveCount;
    forgetSearch();
    positionChanged();
}

int takeBack(int moves) {
    if (Game.position.moveCount <= moves) return 0;
    for (int i = 0; i < moves; i++) Game.position.unmakeMove();
    Game.thinkDue = 0;
    forgetSearch();
    positionChanged();
    return 1;
}

// white and black: that colour to move, the engine playing the other. The
// side is changed through the FEN, so a position whose side not to move
// would stand in check is left as it is.
void setColours(int sideToMove) {
    Game.forceMode = 0;
    Game.engineSide = 1 - sideToMove;
    Game.thinkDue = 0;
    if (Game.position.sideToMove == sideToMove) return;
    char fen[FenSize];
    Game.position.writeFen(fen);
    char* side = std::strstr(fen, " w ");
    if (side == nullptr) side = std::strstr(fen, " b ");
    if (side == nullptr) return;
    side[1] = sideToMove == 0 ? 'w' : 'b';
    Position pos;
    if (!pos.loadFen(fen)) return;
    Game.position = pos;
    Game.sessionStart = pos.moveCount;
    forgetSearch();
    positionChanged();
}

void setLevel(const Words& words, const char* line) {
    int64_t session = 0, increment = 0;
    if (words.count < 4 || words.word[1][0] < '0' || words.word[1][0] > '9' ||
        !readSessionTime(words.word[2], session) || !readSeconds(words.word[3], increment)) {
        say("Error (bad parameters): %s", line);
        return;
    }
    Game.movesPerSession = readInt(words.word[1], 0, 100000);
    Game.sessionTime = session;
    Game.increment = increment;
    Game.fixedTime = 0;
    Game.sessionStart = Game.position.moveCount;
}

void exclude(const Words& words, const char* line, int excluding) {
    if (words.count < 2) {
        say("Error (bad parameters): %s", line);
        return;
    }
    if (is(words.word[1], "all")) {
        Game.excludedCount = 0;
        if (excluding) {
            MoveEntry moves[MoveListCapacity];
            int total = generateCaptures(Game.position, moves);
            total += generateQuietMoves(Game.position, moves + total);
            for (int i = 0; i < total; i++)
                if (Game.position.isLegalMove(moves[i].move)) Game.excluded[Game.excludedCount++] = moves[i].move;
        }
        Game.analysisDue = 1;
        return;
    }
    const int move = legalMoveOfText(Game.position, words.word[1]);
    if (move == 0) {
        say("Error (not a legal move here): %s", line);
        return;
    }
    int at = 0;
    while (at < Game.excludedCount && Game.excluded[at] != move) at++;
    if (excluding && at == Game.excludedCount && Game.excludedCount < MoveListCapacity)
        Game.excluded[Game.excludedCount++] = static_cast<Move>(move);
    if (!excluding && at < Game.excludedCount) Game.excluded[at] = Game.excluded[--Game.excludedCount];
    Game.analysisDue = 1;
}

// bk: the book's moves of the position with their weights, each line
// indented, and an empty line to end the text.
void showBook() {
    BookMove moves[MaxBookMoves];
    int mirrored = 0;
    const int count = readBookMoves(XboardSettings.bookPath, Game.position, moves, mirrored);
    int64_t total = 0;
    for (int i = 0; i < count; i++) total += moves[i].weight;
    if (count <= 0 || total == 0) {
        printLine(" no book moves in this position");
    } else {
        for (int i = 0; i < count; i++) {
            if (moves[i].weight == 0) continue;
            char text[64];
            char move[5] = {};
            moveToText(moves[i].move, move);
            std::snprintf(text, sizeof text, " %s %d (%d%%)%s", move, moves[i].weight,
                          static_cast<int>(moves[i].weight * 100 / total), mirrored ? " mirrored" : "");
            printLine(text);
        }
    }
    printLine("");
}

void showHint() {
    const int move = currentHint();
    if (move == 0) return;
    char text[16] = "Hint: ";
    moveToText(move, text + 6);
    text[10] = '\0';
    printLine(text);
}

// Unknown and malformed lines are answered, never dropped.
void runWords(const Words& words, const char* line) {
    const char* command = words.word[0];
    const char* argument = words.count > 1 ? words.word[1] : "";
    if (is(command, "xboard") || is(command, "accepted") || is(command, "rejected") || is(command, "computer") ||
        is(command, "name") || is(command, "rating") || is(command, "random") || is(command, "cores")) {
        // Nothing to do.
    } else if (is(command, "protover")) {
        printFeatures();
    } else if (is(command, "new")) {
        newGame();
    } else if (is(command, "variant")) {
        if (!is(argument, "xiangqi")) say("Error (unsupported variant): %s", argument);
    } else if (is(command, "quit")) {
        Game.quit = 1;
    } else if (is(command, "force")) {
        Game.forceMode = 1;
        Game.thinkDue = 0;
        Game.ponderDue = 0;
    } else if (is(command, "go")) {
        Game.forceMode = 0;
        Game.engineSide = Game.position.sideToMove;
        Game.thinkDue = 1;
    } else if (is(command, "playother")) {
        Game.forceMode = 0;
        Game.engineSide = 1 - Game.position.sideToMove;
        Game.thinkDue = 0;
        Game.ponderDue = 1;
    } else if (is(command, "white") || is(command, "black")) {
        setColours(is(command, "white") ? 0 : 1);
    } else if (is(command, "usermove")) {
        if (words.count < 2) say("Error (no move given): %s", line);
        else playUserMove(argument);
    } else if (looksLikeMove(command)) {
        playUserMove(command);
    } else if (is(command, "level")) {
        setLevel(words, line);
    } else if (is(command, "st")) {
        int64_t fixed = 0;
        if (!readSeconds(argument, fixed)) say("Error (bad parameters): %s", line);
        else Game.fixedTime = fixed;
    } else if (is(command, "sd")) {
        if (*argument < '0' || *argument > '9') say("Error (bad parameters): %s", line);
        else Game.depthLimit = readInt(argument, 1, MaxSearchDepth);
    } else if (is(command, "time") || is(command, "otim")) {
        if ((*argument < '0' || *argument > '9') && *argument != '-') {
            say("Error (bad parameters): %s", line);
        } else {
            const int64_t clock = readInt64(argument, 0, int64_t(1) << 40) * 10;
            if (is(command, "time")) Game.engineClock = clock;
            else Game.opponentClock = clock;
        }
    } else if (is(command, "?")) {
        // Nothing is being thought about: nothing to move now.
    } else if (is(command, "ping")) {
        say("pong %s", argument);
    } else if (is(command, "draw")) {
        answerDrawOffer();
    } else if (is(command, "result")) {
        Game.forceMode = 1;
        Game.thinkDue = 0;
        Game.ponderDue = 0;
    } else if (is(command, "setboard")) {
        setBoard(restOf(line));
    } else if (is(command, "undo")) {
        if (!takeBack(1)) say("Error (command not legal now): %s", command);
    } else if (is(command, "remove")) {
        if (!takeBack(2)) say("Error (command not legal now): %s", command);
    } else if (is(command, "hint")) {
        showHint();
    } else if (is(command, "bk")) {
        showBook();
    } else if (is(command, "hard") || is(command, "easy")) {
        Game.ponder = is(command, "hard");
    } else if (is(command, "post") || is(command, "nopost")) {
        Game.post = is(command, "post");
    } else if (is(command, "memory")) {
        if (*argument < '0' || *argument > '9') say("Error (bad parameters): %s", line);
        else setMemory(readInt(argument, 0, 1 << 30));
    } else if (is(command, "option")) {
        setXboardOption(restOf(line));
    } else if (is(command, "exclude") || is(command, "include")) {
        exclude(words, line, is(command, "exclude"));
    } else if (is(command, "analyze")) {
        Game.analyzing = 1;
        Game.analysisDue = 1;
        Game.forceMode = 1;
        Game.thinkDue = 0;
        Game.ponderDue = 0;
    } else if (is(command, "exit")) {
        Game.analyzing = 0;
    } else if (is(command, ".")) {
        if (Game.analyzing) printAnalysisStatus();
    } else {
        say("Error (unknown command): %s", command);
    }
}

// The search that is due, if any; 1 when one ran.
int runDueSearch() {
    if (Game.thinkDue) {
        Game.thinkDue = 0;
        if (Game.forceMode || Game.analyzing || Game.position.sideToMove != Game.engineSide) return 0;
        think();
        return 1;
    }
    if (Game.analyzing && Game.analysisDue) {
        analyse();
        return 1;
    }
    if (Game.ponderDue) {
        Game.ponderDue = 0;
        if (!Game.ponder || Game.forceMode || Game.analyzing || Game.position.sideToMove == Game.engineSide ||
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

int currentHint() {
    const Position& pos = Game.position;
    if (Game.hintMove == 0 || pos.lock1 != Game.hintLock1 || pos.lock2 != Game.hintLock2) return 0;
    return Game.hintMove;
}

int makeGameMove(int move) {
    keepHistoryRoom(Game.position);
    return Game.position.makeMove(move);
}

int playUserMove(const char* text) {
    const int move = legalMoveOfText(Game.position, text);
    if (move == 0 || !makeGameMove(move)) {
        say("Illegal move: %s", text);
        return 0;
    }
    positionChanged();
    if (!Game.forceMode && !Game.analyzing && Game.position.sideToMove == Game.engineSide) Game.thinkDue = 1;
    return 1;
}

void positionChanged() {
    Game.excludedCount = 0;
    Game.analysisDue = 1;
}

void answerDrawOffer() {
    Game.drawOffered = 1;
    if (XboardSettings.offerDraw && Game.drawAcceptable) printLine("offer draw");
}

int xboardMain(int argc, char** argv) {
    clearDeferredLines();
    openInput();
    startEngine();
    resetXboardOptions(argc >= 1 ? argv[0] : "", static_cast<uint32_t>(std::time(nullptr)));
    Game.post = 0;
    Game.ponder = 0;
    Game.analyzing = 0;
    Game.quit = 0;
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
    releaseHashTable(ProgramEngine.table);
    return 0;
}
