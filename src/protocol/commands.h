// Command codes shared by the idle parser and the busy-time reader.
#pragma once

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

// 1 once standard input has ended (no further line can arrive).
int inputEnded();
