// The transcribed base tables. Values are points for a red piece; the layout
// is the board seen from red's side, black's back rank (rank 9) first.
#include "eval/base_tables.h"

// Points for a red king, or a pawn of an attacking side, in the middlegame; rank 9 first, files a..i.
const uint8_t KingPawnMidAttacking[10][9] = {
    {  9,   9,   9,  11,  13,  11,   9,   9,   9},  // rank 9
    { 39,  49,  69,  84,  89,  84,  69,  49,  39},  // rank 8
    { 39,  49,  64,  74,  74,  74,  64,  49,  39},  // rank 7
    { 39,  46,  54,  59,  61,  59,  54,  46,  39},  // rank 6
    { 29,  37,  41,  54,  59,  54,  41,  37,  29},  // rank 5
    {  7,   0,  13,   0,  16,   0,  13,   0,   7},  // rank 4
    {  7,   0,   7,   0,  15,   0,   7,   0,   7},  // rank 3
    {  0,   0,   0,   1,   1,   1,   0,   0,   0},  // rank 2
    {  0,   0,   0,   2,   2,   2,   0,   0,   0},  // rank 1
    {  0,   0,   0,  11,  15,  11,   0,   0,   0},  // rank 0
};

// Points for a red king, or a pawn of an attacking side, in the ending; rank 9 first, files a..i.
// Rank 8 is deliberately lopsided: file h is worth 10 more than file b.
const uint8_t KingPawnEndAttacking[10][9] = {
    { 10,  10,  10,  15,  15,  15,  10,  10,  10},  // rank 9
    { 50,  55,  60,  85, 100,  85,  60,  65,  50},  // rank 8
    { 65,  70,  70,  75,  75,  75,  70,  70,  65},  // rank 7
    { 75,  80,  80,  80,  80,  80,  80,  80,  75},  // rank 6
    { 70,  70,  65,  70,  70,  70,  65,  70,  70},  // rank 5
    { 45,   0,  40,   0,  45,   0,  40,   0,  45},  // rank 4
    { 40,   0,  35,   0,  40,   0,  35,   0,  40},  // rank 3
    {  0,   0,   0,   5,  15,   5,   0,   0,   0},  // rank 2
    {  0,   0,   0,   3,  13,   3,   0,   0,   0},  // rank 1
    {  0,   0,   0,   1,  11,   1,   0,   0,   0},  // rank 0
};

// Points for a red pawn of a side without attack, in the middlegame; rank 9 first, files a..i.
const uint8_t KingPawnMidAttackless[10][9] = {
    {  9,   9,   9,  11,  13,  11,   9,   9,   9},  // rank 9
    { 19,  24,  34,  42,  44,  42,  34,  24,  19},  // rank 8
    { 19,  24,  32,  37,  37,  37,  32,  24,  19},  // rank 7
    { 19,  23,  27,  29,  30,  29,  27,  23,  19},  // rank 6
    { 14,  18,  20,  27,  29,  27,  20,  18,  14},  // rank 5
    {  7,   0,  13,   0,  16,   0,  13,   0,   7},  // rank 4
    {  7,   0,   7,   0,  15,   0,   7,   0,   7},  // rank 3
    {  0,   0,   0,   1,   1,   1,   0,   0,   0},  // rank 2
    {  0,   0,   0,   2,   2,   2,   0,   0,   0},  // rank 1
    {  0,   0,   0,  11,  15,  11,   0,   0,   0},  // rank 0
};

// Points for a red pawn of a side without attack, in the ending; rank 9 first, files a..i.
// Rank 8 is deliberately lopsided: file h is worth 10 more than file b.
const uint8_t KingPawnEndAttackless[10][9] = {
    { 10,  10,  10,  15,  15,  15,  10,  10,  10},  // rank 9
    { 10,  15,  20,  45,  60,  45,  20,  25,  10},  // rank 8
    { 25,  30,  30,  35,  35,  35,  30,  30,  25},  // rank 7
    { 35,  40,  40,  45,  45,  45,  40,  40,  35},  // rank 6
    { 25,  30,  30,  35,  35,  35,  30,  30,  25},  // rank 5
    { 25,   0,  25,   0,  25,   0,  25,   0,  25},  // rank 4
    { 20,   0,  20,   0,  20,   0,  20,   0,  20},  // rank 3
    {  0,   0,   0,   5,  13,   5,   0,   0,   0},  // rank 2
    {  0,   0,   0,   3,  12,   3,   0,   0,   0},  // rank 1
    {  0,   0,   0,   1,  11,   1,   0,   0,   0},  // rank 0
};

// Points for a red knight in the middlegame; rank 9 first, files a..i.
const uint8_t KnightMid[10][9] = {
    { 90,  90,  90,  96,  90,  96,  90,  90,  90},  // rank 9
    { 90,  96, 103,  97,  94,  97, 103,  96,  90},  // rank 8
    { 92,  98,  99, 103,  99, 103,  99,  98,  92},  // rank 7
    { 93, 108, 100, 107, 100, 107, 100, 108,  93},  // rank 6
    { 90, 100,  99, 103, 104, 103,  99, 100,  90},  // rank 5
    { 90,  98, 101, 102, 103, 102, 101,  98,  90},  // rank 4
    { 92,  94,  98,  95,  98,  95,  98,  94,  92},  // rank 3
    { 93,  92,  94,  95,  92,  95,  94,  92,  93},  // rank 2
    { 85,  90,  92,  93,  78,  93,  92,  90,  85},  // rank 1
    { 88,  85,  90,  88,  90,  88,  90,  85,  88},  // rank 0
};

// Points for a red knight in the ending; rank 9 first, files a..i.
// Rank 1 is deliberately lopsided: file c holds 94 where file g holds 90.
const uint8_t KnightEnd[10][9] = {
    { 92,  94,  96,  96,  96,  96,  96,  94,  92},  // rank 9
    { 94,  96,  98,  98,  98,  98,  98,  96,  94},  // rank 8
    { 96,  98, 100, 100, 100, 100, 100,  98,  96},  // rank 7
    { 96,  98, 100, 100, 100, 100, 100,  98,  96},  // rank 6
    { 96,  98, 100, 100, 100, 100, 100,  98,  96},  // rank 5
    { 94,  96,  98,  98,  98,  98,  98,  96,  94},  // rank 4
    { 94,  96,  98,  98,  98,  98,  98,  96,  94},  // rank 3
    { 92,  94,  96,  96,  96,  96,  96,  94,  92},  // rank 2
    { 90,  92,  94,  92,  92,  92,  90,  92,  90},  // rank 1
    { 88,  90,  92,  90,  90,  90,  92,  90,  88},  // rank 0
};

// Points for a red rook in the middlegame; rank 9 first, files a..i.
const uint8_t RookMid[10][9] = {
    {206, 208, 207, 213, 214, 213, 207, 208, 206},  // rank 9
    {206, 212, 209, 216, 233, 216, 209, 212, 206},  // rank 8
    {206, 208, 207, 214, 216, 214, 207, 208, 206},  // rank 7
    {206, 213, 213, 216, 216, 216, 213, 213, 206},  // rank 6
    {208, 211, 211, 214, 215, 214, 211, 211, 208},  // rank 5
    {208, 212, 212, 214, 215, 214, 212, 212, 208},  // rank 4
    {204, 209, 204, 212, 214, 212, 204, 209, 204},  // rank 3
    {198, 208, 204, 212, 212, 212, 204, 208, 198},  // rank 2
    {200, 208, 206, 212, 200, 212, 206, 208, 200},  // rank 1
    {194, 206, 204, 212, 200, 212, 204, 206, 194},  // rank 0
};

// Points for a red rook in the ending; rank 9 first, files a..i.
const uint8_t RookEnd[10][9] = {
    {182, 182, 182, 184, 186, 184, 182, 182, 182},  // rank 9
    {184, 184, 184, 186, 190, 186, 184, 184, 184},  // rank 8
    {182, 182, 182, 184, 186, 184, 182, 182, 182},  // rank 7
    {180, 180, 180, 182, 184, 182, 180, 180, 180},  // rank 6
    {180, 180, 180, 182, 184, 182, 180, 180, 180},  // rank 5
    {180, 180, 180, 182, 184, 182, 180, 180, 180},  // rank 4
    {180, 180, 180, 182, 184, 182, 180, 180, 180},  // rank 3
    {180, 180, 180, 182, 184, 182, 180, 180, 180},  // rank 2
    {180, 180, 180, 182, 184, 182, 180, 180, 180},  // rank 1
    {180, 180, 180, 182, 184, 182, 180, 180, 180},  // rank 0
};

// Points for a red cannon in the middlegame; rank 9 first, files a..i.
const uint8_t CannonMid[10][9] = {
    {100, 100,  96,  91,  90,  91,  96, 100, 100},  // rank 9
    { 98,  98,  96,  92,  89,  92,  96,  98,  98},  // rank 8
    { 97,  97,  96,  91,  92,  91,  96,  97,  97},  // rank 7
    { 96,  99,  99,  98, 100,  98,  99,  99,  96},  // rank 6
    { 96,  96,  96,  96, 100,  96,  96,  96,  96},  // rank 5
    { 95,  96,  99,  96, 100,  96,  99,  96,  95},  // rank 4
    { 96,  96,  96,  96,  96,  96,  96,  96,  96},  // rank 3
    { 97,  96, 100,  99, 101,  99, 100,  96,  97},  // rank 2
    { 96,  97,  98,  98,  98,  98,  98,  97,  96},  // rank 1
    { 96,  96,  97,  99,  99,  99,  97,  96,  96},  // rank 0
};

// Points for a red cannon in the ending; rank 9 first, files a..i.
const uint8_t CannonEnd[10][9] = {
    {100, 100, 100, 100, 100, 100, 100, 100, 100},  // rank 9
    {100, 100, 100, 100, 100, 100, 100, 100, 100},  // rank 8
    {100, 100, 100, 100, 100, 100, 100, 100, 100},  // rank 7
    {100, 100, 100, 102, 104, 102, 100, 100, 100},  // rank 6
    {100, 100, 100, 102, 104, 102, 100, 100, 100},  // rank 5
    {100, 100, 100, 102, 104, 102, 100, 100, 100},  // rank 4
    {100, 100, 100, 102, 104, 102, 100, 100, 100},  // rank 3
    {100, 100, 100, 102, 104, 102, 100, 100, 100},  // rank 2
    {100, 100, 100, 104, 106, 104, 100, 100, 100},  // rank 1
    {100, 100, 100, 104, 106, 104, 100, 100, 100},  // rank 0
};

// Points for a red advisor or bishop when black does not attack; rank 9 first, files a..i.
const uint8_t AdvisorBishopSafe[10][9] = {
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 9
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 8
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 7
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 6
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 5
    {  0,   0,  20,   0,   0,   0,  20,   0,   0},  // rank 4
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 3
    { 18,   0,   0,  20,  23,  20,   0,   0,  18},  // rank 2
    {  0,   0,   0,   0,  23,   0,   0,   0,   0},  // rank 1
    {  0,   0,  20,  20,   0,  20,  20,   0,   0},  // rank 0
};

// Points for a red advisor or bishop under black's full attack; rank 9 first, files a..i.
const uint8_t AdvisorBishopThreatened[10][9] = {
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 9
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 8
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 7
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 6
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 5
    {  0,   0,  40,   0,   0,   0,  40,   0,   0},  // rank 4
    {  0,   0,   0,   0,   0,   0,   0,   0,   0},  // rank 3
    { 38,   0,   0,  40,  43,  40,   0,   0,  38},  // rank 2
    {  0,   0,   0,   0,  43,   0,   0,   0,   0},  // rank 1
    {  0,   0,  40,  40,   0,  40,  40,   0,   0},  // rank 0
};

// A cannon on the king's file with nothing between, by threat row: the
// farther back it stands, the more it is worth.
const int32_t HollowCannonBase[16] = {0, 0, 0, 0, 0, 0, 60, 65, 70, 75, 80, 80, 80, 0, 0, 0};
// A cannon on the king's file behind two pieces, one of them a knight on the
// palace centre, by threat row.
const int32_t CentreKnightBase[16] = {0, 0, 0, 0, 0, 0, 50, 45, 40, 35, 30, 30, 30, 0, 0, 0};
// A cannon on the king's back rank, by column: the corner files hurt most.
const int32_t BottomCannonBase[16] = {0, 0, 0, 40, 30, 0, 0, 0, 0, 0, 30, 40, 0, 0, 0, 0};
