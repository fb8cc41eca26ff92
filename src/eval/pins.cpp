// Pins: a rook or cannon holding an undefended knight or cannon against the
// enemy king or an enemy rook.
#include "board/position.h"
#include "board/tables.h"

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
    int first;
    int second;
    int third;
};

bool viewTowards(const Position& pos, int from, int to, LineView& view) {
    int row = from >> 4;
    int column = from & 15;
    int lower = to > from ? 0 : 1;  // even bytes look towards higher squares, odd ones lower
    if ((to >> 4) == row) {
        const uint8_t* seen = RowSlideSquares[column][pos.rowMask[row]].squares;
        view = {row * 16 + seen[2 + lower], row * 16 + seen[4 + lower], row * 16 + seen[6 + lower]};
        return true;
    }
    if ((to & 15) == column) {
        const uint8_t* seen = ColSlideSquares[row][pos.colMask[column]].squares;
        view = {seen[2 + lower] + column, seen[4 + lower] + column, seen[6 + lower] + column};
        return true;
    }
    return false;
}

// The piece on square belongs to the side with bit enemyBit and is pinnable above minClass.
bool isPinnable(const Position& pos, int square, int enemyBit, int minClass) {
    int code = pos.board[square];
    return (code & enemyBit) && PinnableClass[code] > minClass;
}

int rookPins(const Position& pos, int rook, int enemy) {
    int enemyBit = 16 << enemy;
    int bonus = 0;
    LineView view;
    int king = pos.pieceSquares[enemyBit];
    if (king != 0 && viewTowards(pos, rook, king, view) && view.second == king &&
        isPinnable(pos, view.first, enemyBit, 0) && !pos.isAttackedBy(enemy, view.first, king)) {
        bonus += pinValue(king - view.first);
    }
    for (int code = enemyBit + 7; code <= enemyBit + 8; ++code) {
        int target = pos.pieceSquares[code];
        if (target == 0 || !viewTowards(pos, rook, target, view) || view.second != target) continue;
        if (isPinnable(pos, view.first, enemyBit, 0) && !pos.isAttackedBy(enemy, target, 0) &&
            !pos.isAttackedBy(enemy, view.first, target)) {
            bonus += pinValue(target - view.first);
        }
    }
    return bonus;
}

// A cannon pins the piece right behind its screen; only a knight counts.
int cannonPins(const Position& pos, int cannon, int enemy) {
    int enemyBit = 16 << enemy;
    int bonus = 0;
    LineView view;
    int king = pos.pieceSquares[enemyBit];
    if (king != 0 && viewTowards(pos, cannon, king, view) && view.third == king &&
        isPinnable(pos, view.second, enemyBit, 1) && !pos.isAttackedBy(enemy, view.second, king)) {
        bonus += pinValue(king - view.second);
    }
    for (int code = enemyBit + 7; code <= enemyBit + 8; ++code) {
        int target = pos.pieceSquares[code];
        if (target == 0 || !viewTowards(pos, cannon, target, view) || view.third != target) continue;
        if (isPinnable(pos, view.second, enemyBit, 1) && !pos.isAttackedBy(enemy, view.second, target)) {
            bonus += pinValue(target - view.second);
        }
    }
    return bonus;
}

int pinBonus(const Position& pos, int side) {
    int own = 16 + 16 * side;
    int enemy = 1 - side;
    int bonus = 0;
    for (int code = own + 7; code <= own + 8; ++code) {
        if (pos.pieceSquares[code] != 0) bonus += rookPins(pos, pos.pieceSquares[code], enemy);
    }
    for (int code = own + 9; code <= own + 10; ++code) {
        if (pos.pieceSquares[code] != 0) bonus += cannonPins(pos, pos.pieceSquares[code], enemy);
    }
    return bonus;
}

}  // namespace

int Position::pinScore() const {
    int redAdvantage = pinBonus(*this, 0) - pinBonus(*this, 1);
    return sideToMove == 0 ? redAdvantage : -redAdvantage;
}
