// Pins: a rook or cannon holding an undefended knight or cannon against the
// enemy king or an enemy rook.
#include "board/position.h"
#include "board/tables.h"
#include "eval/evaluation.h"
#include "movegen/generate.h"

namespace {

// Pin bonus in points by the square difference between the pinned piece and
// the piece behind it (index difference + 256): a closer pin binds harder, and
// a file pin is worth 4 more than a rank pin of the same length.
struct PinValueTable {
    int8_t value[512];
};

constexpr PinValueTable buildPinValues() {
    PinValueTable table{};
    for (int k = 1; k <= 8; ++k) {
        table.value[256 + 16 * k] = static_cast<int8_t>(44 - 4 * k);
        table.value[256 - 16 * k] = static_cast<int8_t>(44 - 4 * k);
    }
    for (int k = 1; k <= 7; ++k) {
        table.value[256 + k] = static_cast<int8_t>(40 - 4 * k);
        table.value[256 - k] = static_cast<int8_t>(40 - 4 * k);
    }
    return table;
}

constexpr PinValueTable PinValues = buildPinValues();

int pinValue(int difference) { return PinValues.value[difference + 256]; }

// By piece code: knights 2, cannons 1, everything else cannot be pinned here.
constexpr int8_t PinnableClass[48] = {
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 2, 2, 0, 0, 1, 1, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 2, 2, 0, 0, 1, 1, 0, 0, 0, 0, 0,
};

// The first, second and third occupied squares seen from one square towards
// another on a shared line; a missing one is the viewing square itself.
struct LineView {
    int seen[3];
};

bool viewTowards(const Position& pos, int from, int to, LineView& view) {
    int row = from >> 4;
    int column = from & 15;
    int lower = to > from ? 0 : 1;  // even bytes look towards higher squares, odd ones lower
    if ((to >> 4) == row) {
        const uint8_t* seen = RowSlideSquares[column][pos.rowMask[row]].squares;
        view = {{row * 16 + seen[2 + lower], row * 16 + seen[4 + lower], row * 16 + seen[6 + lower]}};
        return true;
    }
    if ((to & 15) == column) {
        const uint8_t* seen = ColSlideSquares[row][pos.colMask[column]].squares;
        view = {{seen[2 + lower] + column, seen[4 + lower] + column, seen[6 + lower] + column}};
        return true;
    }
    return false;
}

// The piece on square belongs to the side with bit enemyBit and is pinnable above minClass.
bool isPinnable(const Position& pos, int square, int enemyBit, int minClass) {
    int code = pos.board[square];
    return (code & enemyBit) && PinnableClass[code] > minClass;
}

// A slider pins the undefended piece just beyond its screens (none for a
// rook, one for a cannon) against the enemy king or an enemy rook behind it.
// A cannon pins only knights, and the rook behind need not be undefended.
// The screen count is a template argument so each slider gets its own loop.
template <int screens>
int sliderPins(const Position& pos, int slider, int enemy) {
    int enemyBit = sideTag(enemy);
    int bonus = 0;
    LineView view;
    int king = pos.pieceSquares[enemyBit + KingSlot];
    if (king != 0 && viewTowards(pos, slider, king, view) && view.seen[screens + 1] == king &&
        isPinnable(pos, view.seen[screens], enemyBit, screens) &&
        !isAttackedBy(pos, enemy, view.seen[screens], king)) {
        bonus += pinValue(king - view.seen[screens]);
    }
    for (int code = enemyBit + FirstRookSlot; code <= enemyBit + LastRookSlot; ++code) {
        int target = pos.pieceSquares[code];
        if (target == 0 || !viewTowards(pos, slider, target, view) || view.seen[screens + 1] != target) continue;
        int pinned = view.seen[screens];
        if (isPinnable(pos, pinned, enemyBit, screens) && (screens > 0 || !isAttackedBy(pos, enemy, target, 0)) &&
            !isAttackedBy(pos, enemy, pinned, target)) {
            bonus += pinValue(target - pinned);
        }
    }
    return bonus;
}

// By square: bit row and bit 16 + column, the lines through the square.
struct SquareLineTable {
    uint32_t bits[256];
};

constexpr SquareLineTable buildSquareLines() {
    SquareLineTable table{};
    for (int square = 0; square < 256; ++square) table.bits[square] = (1u << (square >> 4)) | (0x10000u << (square & 15));
    return table;
}

constexpr SquareLineTable SquareLines = buildSquareLines();

int pinBonus(const Position& pos, int side) {
    int own = sideTag(side);
    int enemy = 1 - side;
    // Every pin runs along a line holding the enemy king or an enemy rook and
    // an enemy knight or cannon, so a slider on no such row or column pins
    // nothing. A missing piece (square 0) marks row 0 and column 0, where no
    // slider stands.
    const uint8_t* enemies = pos.pieceSquares + sideTag(enemy);
    const uint32_t* bits = SquareLines.bits;
    const uint32_t lines =
        (bits[enemies[KingSlot]] | bits[enemies[FirstRookSlot]] | bits[enemies[LastRookSlot]]) &
        (bits[enemies[FirstKnightSlot]] | bits[enemies[LastKnightSlot]] | bits[enemies[FirstCannonSlot]] |
         bits[enemies[LastCannonSlot]]);
    int bonus = 0;
    for (int code = own + FirstRookSlot; code <= own + LastRookSlot; ++code) {
        const int square = pos.pieceSquares[code];
        if (square != 0 && (lines & bits[square]) != 0) bonus += sliderPins<0>(pos, square, enemy);
    }
    for (int code = own + FirstCannonSlot; code <= own + LastCannonSlot; ++code) {
        const int square = pos.pieceSquares[code];
        if (square != 0 && (lines & bits[square]) != 0) bonus += sliderPins<1>(pos, square, enemy);
    }
    return bonus;
}

}  // namespace

int pinScore(const Position& pos) {
    int redAdvantage = pinBonus(pos, 0) - pinBonus(pos, 1);
    return pos.sideToMove == 0 ? redAdvantage : -redAdvantage;
}
