// Constant piece-square bases that the pre-evaluation blends once per search.
// Private to the evaluation; tests read them to check single entries.
#pragma once

#include <cstdint>

// Each table: points for a RED piece, rank by rank from black's back rank
// (rank 9, board row 3) down to red's (rank 0, row 12), files a..i left to
// right. Black uses the half-turn image (square 254 - s).
extern const uint8_t KingPawnMidAttacking[10][9];
extern const uint8_t KingPawnEndAttacking[10][9];
extern const uint8_t KingPawnMidAttackless[10][9];
extern const uint8_t KingPawnEndAttackless[10][9];
extern const uint8_t KnightMid[10][9];
extern const uint8_t KnightEnd[10][9];
extern const uint8_t RookMid[10][9];
extern const uint8_t RookEnd[10][9];
extern const uint8_t CannonMid[10][9];
extern const uint8_t CannonEnd[10][9];
extern const uint8_t AdvisorBishopSafe[10][9];
extern const uint8_t AdvisorBishopThreatened[10][9];

// Cannon threats to a king, in points. The first two are indexed by the
// threat row r (3 + rows between cannon and the king's back rank), the last
// by the cannon's column.
extern const int32_t HollowCannonBase[16];
extern const int32_t CentreKnightBase[16];
extern const int32_t BottomCannonBase[16];

// Entry of a base table for a board square (rows 3..12, columns 3..11).
inline int baseValue(const uint8_t (&table)[10][9], int square) {
    return table[(square >> 4) - 3][(square & 15) - 3];
}
