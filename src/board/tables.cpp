#include "board/tables.h"

#include <cstring>

#include "board/random.h"

// Square tables: 16 x 16, row 3 (black's back rank) .. row 12 (red's back rank)
// and columns 3 (file a) .. 11 (file i) are the board.
const uint8_t InBoard[256] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,
    0, 0, 0, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

const uint8_t InPalace[256] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

// Step shapes by square difference + 256: 1 king step, 2 advisor step, 3 bishop step.
const uint8_t SpanTable[512] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0,
    0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2,
    1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1,
    0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2,
    1, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0,
    0, 0, 3, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

// Knight jump (difference + 256) -> offset of its leg square from the knight; 0 if not a jump.
const int8_t KnightLeg[512] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -16,
    0, -16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0,
    0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, -1, 0,
    0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 16,
    0, 16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
};

const int32_t PieceType[48] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 6, 6, 6,
    0, 1, 1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 6, 6, 6,
};

uint8_t PopCount16[65536];
uint32_t SideKey, SideLock1, SideLock2;
uint32_t PieceKeys[14][256];
uint32_t PieceLocks[14][256][2];
uint16_t ColumnBit[256];
uint16_t RowBit[256];
SlideSquares RowSlideSquares[16][512];
SlideMasks RowSlideMasks[16][512];
SlideSquares ColSlideSquares[16][1024];
SlideMasks ColSlideMasks[16][1024];
uint8_t KingMoves[256][8];
uint8_t AdvisorMoves[256][8];
uint8_t BishopMoves[256][8];
uint8_t BishopEyes[256][4];
uint8_t KnightMoves[256][12];
uint8_t KnightLegs[256][8];
uint8_t PawnMoves[2][256][4];

void buildPopCount() {
    for (int i = 0; i < 65536; i++) PopCount16[i] = static_cast<uint8_t>(__builtin_popcount(i));
}

namespace {

// Book files hold locks made from exactly this sequence.
struct KeySequence {
    uint32_t seed = 1;
    uint32_t next() { return nextRandom(seed); }
};

void buildZobrist() {
    KeySequence rng;
    SideKey = rng.next();
    for (int kt = 0; kt < 14; kt++)
        for (int sq = 0; sq < 256; sq++) PieceKeys[kt][sq] = rng.next();
    SideLock1 = rng.next();
    SideLock2 = rng.next();
    for (int kt = 0; kt < 14; kt++)
        for (int sq = 0; sq < 256; sq++) {
            PieceLocks[kt][sq][0] = rng.next();
            PieceLocks[kt][sq][1] = rng.next();
        }
}

void buildLineBits() {
    for (int sq = 0; sq < 256; sq++) {
        ColumnBit[sq] = InBoard[sq] ? static_cast<uint16_t>(1 << ((sq & 15) - 3)) : 0;
        RowBit[sq] = InBoard[sq] ? static_cast<uint16_t>(1 << ((sq >> 4) - 3)) : 0;
    }
}

// One slide entry for a piece at position p of a line of the given length and
// occupancy; a square value is scale * (index + 3).
void buildSlide(int p, int mask, int length, int scale, SlideSquares& squares, SlideMasks& masks) {
    uint8_t own = static_cast<uint8_t>((p + 3) * scale);
    for (int b = 0; b < 8; b++) squares.squares[b] = own;
    for (int w = 0; w < 4; w++) masks.masks[w] = 0;
    for (int dir = 0; dir < 2; dir++) {
        int step = dir == 0 ? 1 : -1;
        int found = 0;  // occupied squares met so far in this direction
        for (int i = p + step; i >= 0 && i < length && found < 3; i += step) {
            uint8_t value = static_cast<uint8_t>((i + 3) * scale);
            uint16_t bit = static_cast<uint16_t>(1 << i);
            if (!(mask & bit)) {
                if (found == 0) {
                    squares.squares[dir] = value;
                    masks.masks[0] |= bit;
                }
                continue;
            }
            found++;
            squares.squares[2 * found + dir] = value;
            masks.masks[found] |= bit;
        }
    }
}

void buildSlideTables() {
    for (int p = 0; p < 9; p++)
        for (int m = 0; m < 512; m++)
            buildSlide(p, m, 9, 1, RowSlideSquares[p + 3][m], RowSlideMasks[p + 3][m]);
    for (int p = 0; p < 10; p++)
        for (int m = 0; m < 1024; m++)
            buildSlide(p, m, 10, 16, ColSlideSquares[p + 3][m], ColSlideMasks[p + 3][m]);
}

void buildStepLists() {
    std::memset(KingMoves, 0, sizeof KingMoves);
    std::memset(AdvisorMoves, 0, sizeof AdvisorMoves);
    std::memset(BishopMoves, 0, sizeof BishopMoves);
    std::memset(BishopEyes, 0, sizeof BishopEyes);
    std::memset(KnightMoves, 0, sizeof KnightMoves);
    std::memset(KnightLegs, 0, sizeof KnightLegs);
    std::memset(PawnMoves, 0, sizeof PawnMoves);
    const int kingSteps[4] = {-16, -1, 1, 16};
    const int advisorSteps[4] = {-17, -15, 15, 17};
    const int bishopSteps[4] = {-34, -30, 30, 34};
    const int knightJumps[8] = {-33, -31, -18, -14, 14, 18, 31, 33};
    for (int s = 0; s < 256; s++) {
        if (!InBoard[s]) continue;
        int n = 0;
        for (int d : kingSteps)
            if (s + d >= 0 && s + d < 256 && InPalace[s + d]) KingMoves[s][n++] = static_cast<uint8_t>(s + d);
        n = 0;
        for (int d : advisorSteps)
            if (s + d >= 0 && s + d < 256 && InPalace[s + d]) AdvisorMoves[s][n++] = static_cast<uint8_t>(s + d);
        n = 0;
        for (int d : bishopSteps) {
            int t = s + d;
            if (t < 0 || t >= 256 || !InBoard[t] || ((t ^ s) & 0x80)) continue;
            BishopEyes[s][n] = static_cast<uint8_t>((s + t) / 2);
            BishopMoves[s][n++] = static_cast<uint8_t>(t);
        }
        n = 0;
        for (int d : knightJumps) {
            int t = s + d;
            if (t < 0 || t >= 256 || !InBoard[t]) continue;
            KnightLegs[s][n] = static_cast<uint8_t>(s + knightLegOf(s, t));
            KnightMoves[s][n++] = static_cast<uint8_t>(t);
        }
        for (int side = 0; side < 2; side++) {
            n = 0;
            int forward = side == 0 ? s - 16 : s + 16;
            if (forward >= 0 && forward < 256 && InBoard[forward]) PawnMoves[side][s][n++] = static_cast<uint8_t>(forward);
            bool crossed = side == 0 ? s < 128 : s >= 128;
            if (crossed) {
                if (InBoard[s - 1]) PawnMoves[side][s][n++] = static_cast<uint8_t>(s - 1);
                if (InBoard[s + 1]) PawnMoves[side][s][n++] = static_cast<uint8_t>(s + 1);
            }
        }
    }
}


}  // namespace

void buildTables() {
    buildZobrist();
    buildLineBits();
    buildSlideTables();
    buildStepLists();
}
