// The UCCI parser: idle lines into commands, busy-time lines into codes.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include "board/position.h"
#include "io/line_input.h"
#include "io/output.h"
#include "search/driver.h"
#include "session/options.h"
#include "ucci/commands.h"

uint32_t MoveTextList[MaxMoveTexts];

namespace {

// A clock in seconds counts up to this many.
constexpr int64_t MaxClockSeconds = 100000;

// A move text of the parser's list, four characters with the first in the
// lowest byte: the move it names, or 0 when either square is off the board.
int moveOfText(uint32_t text) {
    char characters[4];
    for (int i = 0; i < 4; i++) characters[i] = static_cast<char>((text >> (8 * i)) & 0xFF);
    return textToMove(characters);
}

// The idle side's line: fen and optionText point into it until the next read.
char IdleLine[LineBufferSize];

const char* const NamedPositions[][2] = {
    {"startpos", StartPositionFen},
    {"midgamepos", "2bakab1r/6r2/1cn4c1/p1p1p3p/9/2P3p2/PC2P1n1P/2N1B1NC1/R4R3/3AKAB2 w - - 0 1"},
    {"checkmatepos", "4kar2/4a2rn/4bc3/RN1c5/2bC5/9/4p4/9/4p4/3p1K3 w - - 0 1"},
    {"zugzwangpos", "3k5/4PP3/4r4/3P5/9/9/9/9/9/5K3 w - - 0 1"},
    {"endgamepos", "4k4/4a4/4P4/9/9/9/9/4B4/9/4K4 w - - 0 1"},
};

// Option values are prefix tests tried in order; the first match gives its index.
int wordIndex(const char* value, const char* const* words, int count, int otherwise) {
    for (int i = 0; i < count; i++)
        if (startsWith(value, words[i])) return i;
    return otherwise;
}

// Switches that start off take only these words as on; those that start on
// take only the off words as off.
int isOnWord(const char* value) { return startsWith(value, "on") || startsWith(value, "true"); }
int isOffWord(const char* value) { return startsWith(value, "off") || startsWith(value, "false"); }

// Texts at offsets 0, 5, 10, ... of rest; the separators are not examined.
void readMoveTexts(const char* rest, UcciCommand& command) {
    int count = static_cast<int>((std::strlen(rest) + 1) / 5);
    if (count > MaxMoveTexts) count = MaxMoveTexts;
    for (int i = 0; i < count; i++) {
        const unsigned char* text = reinterpret_cast<const unsigned char*>(rest + 5 * i);
        MoveTextList[i] = text[0] | text[1] << 8 | text[2] << 16 | static_cast<uint32_t>(text[3]) << 24;
    }
    command.moveTextCount = count;
    command.moveTexts = MoveTextList;
}

void parseOption(const char* cursor, UcciCommand& command) {
    static const char* const Keywords[] = {
        "batch ", "debug ", "usemillisec ", "ponder ", "usebook ", "useegtb ", "bookfiles ", "egtbpaths ",
        "hashsize ", "threads ", "drawmoves ", "repetition ", "pruning ", "knowledge ", "selectivity ", "style ",
    };
    static const UcciOption Ids[] = {
        OptBatch, OptDebug, OptUseMillisec, OptPonder, OptUseBook, OptUseEgtb, OptBookFiles, OptEgtbPaths,
        OptHashSize, OptThreads, OptDrawMoves, OptRepetition, OptPruning, OptKnowledge, OptSelectivity, OptStyle,
    };
    static const char* const Repetition[] = {"alwaysdraw", "checkban", "asianrule"};
    static const char* const Styles[] = {"solid", "normal", "risky"};

    command.optionId = OptNone;
    for (int i = 0; i < 16 && command.optionId == OptNone; i++)
        if (consumePrefix(cursor, Keywords[i])) command.optionId = Ids[i];
    if (command.optionId == OptNone && startsWith(cursor, "newgame")) command.optionId = OptNewGame;
    switch (command.optionId) {
    case OptBatch: case OptDebug: case OptUseMillisec: case OptPonder:
        command.optionValue = isOnWord(cursor);
        break;
    case OptUseBook: case OptUseEgtb:
        command.optionValue = !isOffWord(cursor);
        break;
    case OptBookFiles: case OptEgtbPaths:
        command.optionText = cursor;
        break;
    case OptHashSize: command.optionValue = readInt(cursor, 0, 1024); break;
    case OptThreads: command.optionValue = readInt(cursor, 0, 32); break;
    case OptDrawMoves: command.optionValue = readInt(cursor, 100, 200); break;
    case OptRepetition: command.optionValue = wordIndex(cursor, Repetition, 3, 3); break;
    case OptPruning: case OptKnowledge: command.optionValue = wordIndex(cursor, LevelNames, 3, 3); break;
    case OptSelectivity: command.optionValue = wordIndex(cursor, LevelNames, 4, 0); break;
    case OptStyle: command.optionValue = wordIndex(cursor, Styles, 3, 1); break;
    default: break;
    }
}

CommandCode parsePosition(char* line, const char* cursor, UcciCommand& command) {
    if (consumePrefix(cursor, "fen ")) {
        command.fen = cursor;
    } else {
        int found = -1;
        for (int i = 0; i < 5 && found < 0; i++)
            if (startsWith(cursor, NamedPositions[i][0])) found = i;
        if (found < 0) return CmdNone;
        command.fen = NamedPositions[found][1];
    }
    command.moveTextCount = 0;
    if (!skipPast(cursor, " moves ")) return CmdPosition;
    // Ends the FEN text where its move list begins.
    line[(cursor - line) - 7] = '\0';
    readMoveTexts(cursor, command);
    return CmdPosition;
}

void readClockTail(const char* cursor, UcciCommand& command) {
    if (skipPast(cursor, " movestogo ")) {
        command.goMode = GoTimeMovesToGo;
        command.movesToGo = readInt(cursor, 1, 100000);
    } else if (skipPast(cursor, " increment ")) {
        command.goMode = GoTimeIncrement;
        command.increment = readInt(cursor, 0, 600000);
    } else {
        command.goMode = GoTimeMovesToGo;
        command.movesToGo = 1;
    }
}

void parseGo(const char* cursor, UcciCommand& command) {
    const int MaxClock = 100000000;
    command.ponder = false;
    command.draw = false;
    if (consumePrefix(cursor, "ponder "))
        command.ponder = true;
    else if (consumePrefix(cursor, "draw "))
        command.draw = true;

    if (consumePrefix(cursor, "depth ")) {
        command.goMode = GoDepth;
        command.depth = readInt(cursor, 0, 32);
    } else if (consumePrefix(cursor, "nodes ")) {
        command.goMode = GoNodes;
        command.nodes = readInt(cursor, 0, 1000000000);
    } else if (consumePrefix(cursor, "time ")) {
        command.redTime = command.blackTime = readInt(cursor, 0, MaxClock);
        readClockTail(cursor, command);
    } else if (consumePrefix(cursor, "wtime ")) {
        command.redTime = readInt(cursor, 0, MaxClock);
        command.blackTime = skipPast(cursor, " btime ") ? readInt(cursor, 0, MaxClock) : command.redTime;
        readClockTail(cursor, command);
    } else {
        // No limit named (go infinite, go ponder draw ...): the deepest search.
        command.goMode = GoDepth;
        command.depth = 32;
    }
}

}  // namespace

CommandCode parseCommandLine(char* line, UcciCommand& command) {
    const char* cursor = line;
    if (startsWith(cursor, "isready")) return CmdIsReady;
    if (consumePrefix(cursor, "setoption ")) {
        parseOption(cursor, command);
        return CmdSetOption;
    }
    if (consumePrefix(cursor, "position ")) return parsePosition(line, cursor, command);
    if (consumePrefix(cursor, "banmoves ")) {
        readMoveTexts(cursor, command);
        return CmdBanMoves;
    }
    if (consumePrefix(cursor, "go ")) {
        parseGo(cursor, command);
        return CmdGo;
    }
    if (startsWith(cursor, "stop")) return CmdStop;
    if (startsWith(cursor, "quit")) return CmdQuit;
    return CmdNone;
}

CommandCode parseIdleCommand(UcciCommand& command, int echo) {
    // A front end that has gone away cannot send quit; its silence means it.
    if (!waitForLine(IdleLine)) return CmdQuit;
    if (echo) echoLine("idleline", IdleLine);
    return parseCommandLine(IdleLine, command);
}

CommandCode busyCommandCode(const char* line) {
    // "ponderhit draw" before "ponderhit", which is its prefix.
    if (startsWith(line, "isready")) return CmdIsReady;
    if (startsWith(line, "ponderhit draw")) return CmdPonderHitDraw;
    if (startsWith(line, "ponderhit")) return CmdPonderHit;
    if (startsWith(line, "stop")) return CmdStop;
    if (startsWith(line, "quit")) return CmdQuit;
    return CmdNone;
}

void echoLine(const char* kind, const char* line) {
    char text[LineBufferSize + 32];
    std::snprintf(text, sizeof text, "info %s [%s]", kind, line);
    printLine(text);
}

GoRequest goRequestOf(const UcciCommand& command, bool useMilliseconds) {
    GoRequest request;
    request.ponder = command.ponder;
    request.drawOffered = command.draw;
    request.mayUseBook = true;
    switch (command.goMode) {
    case GoDepth:
        request.depthGiven = true;
        request.depth = command.depth;
        // The deepest search has no limit of its own: only a command ends it.
        request.infinite = command.depth >= MaxSearchDepth;
        break;
    case GoNodes:
        request.nodesGiven = true;
        request.nodes = command.nodes;
        break;
    case GoTimeMovesToGo:
    case GoTimeIncrement:
        for (int side = 0; side < 2; side++) {
            int64_t clock = side == 0 ? command.redTime : command.blackTime;
            if (!useMilliseconds) clock = std::min(clock, MaxClockSeconds) * 1000;
            request.clock[side] = clock;
            request.clockGiven[side] = true;
            request.increment[side] = useMilliseconds ? command.increment : int64_t(command.increment) * 1000;
        }
        if (command.goMode == GoTimeMovesToGo) request.movesToGo = std::max(command.movesToGo, 1);
        break;
    }
    return request;
}

void playUcciMoves(Position& pos, const UcciCommand& command) {
    for (int i = 0; i < command.moveTextCount; i++) {
        const int move = moveOfText(command.moveTexts[i]);
        if (move == 0 || pos.board[moveSource(move)] == 0) break;
        pos.makeMove(move);
    }
}

int readBanMoves(const UcciCommand& command, Move* bans) {
    const int count = std::min(command.moveTextCount, MaxBannedMoves);
    for (int i = 0; i < count; i++) bans[i] = static_cast<Move>(moveOfText(command.moveTexts[i]));
    return count;
}
