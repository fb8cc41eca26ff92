// UCCI command lines: the codes of the commands, the parsed form of an idle
// command, and the readers of idle and busy-time lines.
#pragma once

#include <cstdint>
#include "io/text.h"
#include "session/go.h"

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
    UcciOption optionId;
    int32_t optionValue;
    const char* optionText;  // bookfiles, egtbpaths: the rest of the line
    // CmdPosition (fen, moveTextCount, moveTexts) and CmdBanMoves (the last two)
    const char* fen;
    int32_t moveTextCount;
    const uint32_t* moveTexts;
    // CmdGo
    GoMode goMode;
    bool ponder;
    bool draw;
    int32_t depth;           // GoDepth, 0..32
    int32_t nodes;           // GoNodes
    int32_t redTime;         // time modes, in the unit usemillisec selects
    int32_t blackTime;
    int32_t movesToGo;       // GoTimeMovesToGo, 1..100000
    int32_t increment;       // GoTimeIncrement, 0..600000
};

// Waits for the next input line and parses it; with echo set, prints
// "info idleline [...]" first. Returns CmdQuit once input has ended.
CommandCode parseIdleCommand(UcciCommand& command, int echo);
// Parses one line (which it may shorten at " moves "); returns the code.
CommandCode parseCommandLine(char* line, UcciCommand& command);
// The code of a line read during a search: isready, ponderhit [draw], stop, quit.
CommandCode busyCommandCode(const char* line);
// The moves of a position command. They are not checked against the rules
// of the pieces: a text naming an off-board or empty square ends the list, a
// move the position refuses (self-check, history full) is skipped.
void playUcciMoves(Position& pos, const UcciCommand& command);
// The moves of a banmoves command into bans (MaxBannedMoves at most), a
// text naming an off-board square as 0; returns their number.
int readBanMoves(const UcciCommand& command, Move* bans);
// The request of a go command, its times read as milliseconds or seconds.
GoRequest goRequestOf(const UcciCommand& command, bool useMilliseconds);
// Prints "info KIND [LINE]": the debug echo of a line read.
void echoLine(const char* kind, const char* line);
