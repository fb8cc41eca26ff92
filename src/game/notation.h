// Moves as players write them: coordinates (h2e2), ICCS (H2-E2), WXF (C2=5,
// R++2, 15+1) and Chinese (炮二平五, 馬８進７, 前俥進二), written for a legal
// move of a position and read back from any of the four. Reading judges with
// the position's legal moves and guesses nothing: a text that names no legal
// move, or more than one, is refused with the reason.
#pragma once

#include "board/position.h"

enum MoveNotation { NotationCoord, NotationIccs, NotationWxf, NotationChinese };

// Flag of writeMoveText: Chinese in simplified characters (进, 后, 车, 马, 帅, 将).
constexpr int NotationSimplified = 1;
// Bytes of UTF-8 the longest move text needs, with its terminator.
constexpr int MoveTextSize = 32;

// Writes move, legal in pos, in notation with its terminator; returns its
// length in bytes, or 0 (and out empty when size > 0) when the move is not
// legal or size is too small.
int writeMoveText(const Position& pos, Move move, MoveNotation notation, int flags, char* out, int size);

enum MoveTextCode {
    MoveTextOk,
    MoveTextUnreadable,   // not a move in any notation
    MoveTextNoPiece,      // no such piece where the text says ("no horse on file 8")
    MoveTextWhichPiece,   // several pieces fit the text: it must say which
    MoveTextCannotMove,   // the piece named cannot move so
    MoveTextLeavesCheck,  // the move would leave the mover's king attacked
    MoveTextAmbiguous,    // the text fits more than one legal move
};

// Bytes a reason of readMoveText needs at most, with its terminator.
constexpr int MoveTextReasonSize = 96;

// Reads a move of the side to move from the length bytes at text (any bytes:
// nothing past them is read) in any of the four notations, with the forms
// people type: either letter case, '.' for '=', N and B for the horse and the
// elephant, the tandem sign before or after the letter (+R+2, R++2), Chinese
// in traditional or simplified characters with Chinese, full-width or ASCII
// numerals for either side, ICCS with or without its dash, blanks around and
// trailing '#', '!', '?' and a check '+' after a whole move. Returns
// MoveTextOk with *move set, or a MoveTextCode; reason, when not null, gets
// the refusal in words ("two rooks on file 2: say which (R+ or R-)"), at most
// reasonSize bytes with the terminator.
int readMoveText(const Position& pos, const char* text, int length, Move* move, char* reason, int reasonSize);

// A code's meaning in general words ("not a move in any notation").
const char* moveTextError(int code);

// "coord", "iccs", "wxf", "chinese" (any case); -1 for another name.
int notationFromName(const char* name);
