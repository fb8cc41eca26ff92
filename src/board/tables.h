// Tables shared by the board, move generation and evaluation. The constant
// ones are program data; the others are filled once by buildPopCount and
// buildTables at start-up and only read afterwards.
#pragma once

#include <cstdint>

// Constant tables.
extern const uint8_t InBoard[256];
extern const uint8_t InPalace[256];
extern const uint8_t SpanTable[512];   // index destination - source + 256
extern const int8_t KnightLeg[512];    // index destination - source + 256
extern const int32_t PieceType[48];    // 0 king .. 6 pawn, by piece code

inline int spanOf(int source, int destination) { return SpanTable[destination - source + 256]; }
inline int knightLegOf(int source, int destination) { return KnightLeg[destination - source + 256]; }
// Key type: piece type for red codes, piece type + 7 for black codes.
constexpr int8_t KeyTypes[48] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,  0,  0,  0,
    0, 1, 1, 2, 2, 3, 3, 4,  4,  5,  5,  6,  6,  6,  6,  6,
    7, 8, 8, 9, 9, 10, 10, 11, 11, 12, 12, 13, 13, 13, 13, 13,
};
inline int keyType(int code) { return KeyTypes[code]; }

// Slide entries: for one piece on a line and one occupancy of that line.
struct SlideSquares {
    uint8_t squares[8];  // farthest empty, first, second, third occupied: [even] higher, [odd] lower
};
struct SlideMasks {
    uint16_t masks[4];   // reachable empty squares, first, second, third occupied squares
};

extern uint8_t PopCount16[65536];
extern uint32_t SideKey, SideLock1, SideLock2;
extern uint32_t PieceKeys[14][256];
extern uint32_t PieceLocks[14][256][2];
extern uint16_t ColumnBit[256];
extern uint16_t RowBit[256];
extern SlideSquares RowSlideSquares[16][512];   // [column][row occupancy], columns 3..11 used
extern SlideMasks RowSlideMasks[16][512];
extern SlideSquares ColSlideSquares[16][1024];  // [row][column occupancy], rows 3..12 used
extern SlideMasks ColSlideMasks[16][1024];
extern uint8_t KingMoves[256][8];
extern uint8_t AdvisorMoves[256][8];
extern uint8_t BishopMoves[256][8];
extern uint8_t BishopEyes[256][4];
extern uint8_t KnightMoves[256][12];
extern uint8_t KnightLegs[256][8];
extern uint8_t PawnMoves[2][256][4];

void buildPopCount();
void buildTables();

