// The board record: a position, its history of moves, and move text.
//
// Squares are indexes 0..255 of a 16x16 array: row = sq >> 4 (3 = black's back
// rank .. 12 = red's back rank), column = sq & 15 (3 = file a .. 11 = file i).
// Piece codes: 16..31 red, 32..47 black; code & 15 is the piece index
// (0 king, 1-2 advisors, 3-4 bishops, 5-6 knights, 7-8 rooks, 9-10 cannons,
// 11-15 pawns). A Move is source | destination << 8, 0 for none.
#pragma once

#include <cstdint>
#include <type_traits>

using Move = uint16_t;

constexpr int MaxHistory = 1024;
constexpr int FenSize = 128;

constexpr const char* StartPositionFen = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1";

// The side tag is the first piece code of a side (16 red, 32 black); a piece
// belongs to the side whose tag bit its code carries.
inline int sideTag(int side) { return 16 + 16 * side; }

// Piece slots, code & 15: where each type's pieces sit in a side's 16 codes.
constexpr int KingSlot = 0;
constexpr int FirstAdvisorSlot = 1, LastAdvisorSlot = 2;
constexpr int FirstBishopSlot = 3, LastBishopSlot = 4;
constexpr int FirstKnightSlot = 5, LastKnightSlot = 6;
constexpr int FirstRookSlot = 7, LastRookSlot = 8;
constexpr int FirstCannonSlot = 9, LastCannonSlot = 10;
constexpr int FirstPawnSlot = 11, LastPawnSlot = 15;

// Scores, from the side to move's point of view. Mated at ply p scores
// p - MateValue; beyond MateBound a score is a mate; the band from MateBound
// to RuleBound holds the perpetual-check scores, which depend on the path.
constexpr int MateValue = 1000;
constexpr int MateBound = 900;
constexpr int RuleBound = 950;
constexpr int NoValue = 1001;  // no value: no hash cutoff, or an aborted search
// A draw scores against the side to move at even ply: the root prefers to play on.
constexpr int DrawValue = 20;

inline int isMateScore(int score) { return score > MateBound || score < -MateBound; }

inline int moveSource(int move) { return move & 0xFF; }
inline int moveDestination(int move) { return move >> 8; }
inline int makeMoveValue(int source, int destination) { return source | (destination << 8); }

// Writes exactly four characters (no terminator) into text.
void moveToText(int move, char* text);
// Converts the first four characters of text; returns 0 if a square is off the board.
int textToMove(const char* text);
// The FEN letter of a piece code (16..47): upper case red, lower case black.
char pieceLetter(int code);
// Square from a file letter and rank digit (read as signed bytes), or -1 when
// it is not on the board.
int textToSquare(const char* text);

constexpr int CheckBits = 3;     // flags bits 0-1: the move gives check
constexpr int CapturedShift = 2; // flags bits 2-7: the captured piece's code

struct MoveRecord {
    uint16_t move;       // 0 for the setup record and for a null move
    uint8_t flags;       // CheckBits and the captured code
    uint8_t quietCount;  // moves since the last capture, checks and evasions not counted

    int givesCheck() const { return flags & CheckBits; }
    int capturedCode() const { return flags >> CapturedShift; }
};

// Bits of pieceBits for the rooks, knights, cannons and pawns of both sides,
// the pieces that can cross the river: without them neither side can mate.
constexpr uint32_t CrossingPieceBits = 0xFFE0FFE0;

constexpr int RepetitionFound = 1;
constexpr int RepeatedOwnChecks = 2;       // the side to move checked throughout
constexpr int RepeatedOpponentChecks = 4;  // its opponent checked throughout

struct Position {
    int32_t sideToMove;          // 0 red, 1 black
    uint8_t board[256];          // piece code per square, 0 empty
    uint8_t pieceSquares[48];    // square per piece code, 0 when off the board
    uint32_t key;
    uint32_t lock1;
    uint32_t lock2;
    uint32_t pieceBits;          // bit (code - 16) per piece on the board
    uint16_t rowMask[16];        // bit (column - 3) per occupied square of a row
    uint16_t colMask[16];        // bit (row - 3) per occupied square of a column
    int32_t moveCount;           // history records in use, 1..1024
    int32_t rootCount;           // moveCount at the start of the current search
    MoveRecord history[MaxHistory];
    uint8_t repTable[4096];      // repetition filter indexed by key & 0xFFF
    int32_t redValue;            // piece-square sum of red (plus the pre-evaluation constant)
    int32_t blackValue;
    // The piece-square values by key type and square that the two sums add
    // up: zero once cleared, set for the material on the board by the
    // pre-evaluation before a search. Kept with the sums so that they always
    // agree, and so that two searches never share them.
    uint8_t pieceValues[14][256];

    // Setup (fen.cpp).
    void clear();
    void addPiece(int square, int code);
    void removePiece(int square, int code);
    // Lenient: whatever the text holds that fits the board is set up.
    void setFromFen(const char* fen);
    // Strict: 10 ranks of 9 files, one king and at most the usual pieces a
    // side, kings and advisors in their palace, bishops on their own half,
    // w or b to move (w when absent), and the side that is not to move not
    // in check. Returns 0 and changes nothing for any other text.
    int loadFen(const char* fen);
    // The board field, the side to move and "- - 0 1"; out needs FenSize bytes.
    void writeFen(char* out) const;
    // Room in the history: the position starts again from a FEN that keeps
    // the latest moves since the last capture, at most mostKept of them, all
    // that the repetition rules look at. Returns the records dropped (0 when
    // the position could not start again, and is then as it was).
    int dropOldHistory(int mostKept);

    // Moves (makemove.cpp). makeMove returns 0 when it refuses (history full,
    // or the mover's king attacked afterwards) and leaves the position as it was.
    void changeSide();
    int movePiece(int move);
    void undoMovePiece(int move, int captured);
    int makeMove(int move);
    void unmakeMove();
    // Returns 0 (and changes nothing) when the history is full.
    int makeNullMove();
    void unmakeNullMove();
    // Nonzero when the position stood n times before in the stretch without
    // captures: RepetitionFound, plus a flag for each side that gave check with
    // every one of its moves in that stretch.
    int repetitionStatus(int n) const;

    // Check detection and validation of stored moves (check.cpp).
    int inCheck(int side) const;
    int isValidMove(int move) const;
    // A valid move that does not leave the mover's king attacked.
    int isLegalMove(int move);

    // Small helpers shared by the search.
    int ply() const { return moveCount - rootCount; }
    const MoveRecord& lastRecord() const { return history[moveCount - 1]; }
    int drawScore() const { return (ply() & 1) ? DrawValue : -DrawValue; }
    // The running piece-square sum of the side to move.
    int sideToMoveValue() const { return sideToMove == 0 ? redValue : blackValue; }
};

static_assert(std::is_trivially_copyable<Position>::value, "a Position is copied by plain assignment");

