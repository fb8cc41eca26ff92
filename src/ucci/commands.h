// UCCI command codes shared by the idle parser and the busy-time reader, and
// the parsed form of an idle command.
#pragma once

#include <cstdint>
#include "io/text.h"

enum CommandCode {
    CmdNone = 0,
    CmdIsReady = 2,
    CmdPonderHit = 3,
    CmdPonderHitDraw = 4,
    CmdStop = 5,
    CmdSetOption = 6,
    CmdPosition = 7,
    CmdBanMoves = 8,
    CmdGo = 9,
    CmdQuit = 10,
};

// Looks once, without waiting, for a complete input line during a search and
// recognises isready, ponderhit [draw], stop and quit; any other line is dropped.
// With echo set, prints "info busyline [...]" for the line.
int readBusyCommand(int echo);
// Prints "info KIND [LINE]": the debug echo of a line read.
void echoLine(const char* kind, const char* line);

enum UcciOption {
    OptNone = 0,
    OptBatch = 1,
    OptDebug = 2,
    OptPonder = 3,
    OptUseBook = 4,
    OptUseEgtb = 5,
    OptUseMillisec = 6,
    OptBookFiles = 7,
    OptEgtbPaths = 8,
    OptHashSize = 9,
    OptThreads = 10,
    OptDrawMoves = 11,
    OptRepetition = 12,
    OptPruning = 13,
    OptKnowledge = 14,
    OptSelectivity = 15,
    OptStyle = 16,
    OptNewGame = 17,
};

enum GoMode {
    GoDepth = 0,
    GoNodes = 1,
    GoTimeMovesToGo = 2,
    GoTimeIncrement = 3,
};

// Move texts of the last position or banmoves line, four characters each with
// the first in the lowest byte. A 4095-character line holds at most 819 texts.
constexpr int MaxMoveTexts = 819;
extern uint32_t MoveTextList[MaxMoveTexts];

// A parsed idle command. The parser writes only the fields of the group that
// its code names; the others keep what they held. fen and optionText point
// into the parser's line, valid until the next command is read.
struct UcciCommand {
    // CmdSetOption
    int32_t optionId;        // a UcciOption
    int32_t optionValue;
    const char* optionText;  // bookfiles, egtbpaths: the rest of the line
    // CmdPosition (fen, moveTextCount, moveTexts) and CmdBanMoves (the last two)
    const char* fen;
    int32_t moveTextCount;
    const uint32_t* moveTexts;
    // CmdGo
    int32_t goMode;          // a GoMode
    int32_t ponder;
    int32_t draw;
    int32_t depth;           // GoDepth, 0..32
    int32_t nodes;           // GoNodes
    int32_t redTime;         // time modes, in the unit usemillisec selects
    int32_t blackTime;
    int32_t movesToGo;       // GoTimeMovesToGo, 1..100000
    int32_t increment;       // GoTimeIncrement, 0..600000
};

// Waits for the next input line and parses it; with echo set, prints
// "info idleline [...]" first. Returns CmdQuit once input has ended.
int parseIdleCommand(UcciCommand& command, int echo);
// Parses one line (which it may shorten at " moves "); returns the code.
int parseCommandLine(char* line, UcciCommand& command);
// The code of a line read during a search: isready, ponderhit [draw], stop, quit.
int busyCommandCode(const char* line);
