#include <cstdio>
#include <cstring>

#include "board/position.h"
#include "board/tables.h"

namespace {

// Piece type of an upper-case FEN letter; 7 for a character that names no piece.
int letterToType(char letter) {
    switch (letter) {
        case 'K': return 0;
        case 'A': return 1;
        case 'B': case 'E': return 2;
        case 'N': case 'H': return 3;
        case 'R': return 4;
        case 'C': return 5;
        case 'P': return 6;
        default: return 7;
    }
}

// First code of each piece type for red; black codes are 16 higher.
constexpr int FirstCode[7] = {16, 17, 19, 21, 23, 25, 27};
// How many pieces of each type a side may have: its slots.
constexpr int TypeLimit[7] = {1, 2, 2, 2, 2, 2, 5};
constexpr char TypeLetter[7] = {'K', 'A', 'B', 'N', 'R', 'C', 'P'};

// The board field of a strict FEN, counted: 1 when every rank holds exactly
// nine files and no side has more pieces of a type than it has slots for.
int readableBoard(const char* fen, const char*& end) {
    int count[2][7] = {};
    int ranks = 1, files = 0;
    const char* c = fen;
    for (; *c != '\0' && *c != ' '; c++) {
        if (*c == '/') {
            if (files != 9 || ++ranks > 10) return 0;
            files = 0;
        } else if (*c >= '1' && *c <= '9') {
            files += *c - '0';
        } else {
            int side = (*c >= 'a' && *c <= 'z') ? 1 : 0;
            int type = letterToType(side ? static_cast<char>(*c - 'a' + 'A') : *c);
            if (type == 7 || ++count[side][type] > TypeLimit[type]) return 0;
            files++;
        }
        if (files > 9) return 0;
    }
    end = c;
    return ranks == 10 && files == 9 && count[0][0] == 1 && count[1][0] == 1;
}

void updatePiece(Position& pos, int square, int code, bool remove) {
    pos.board[square] = remove ? 0 : static_cast<uint8_t>(code);
    pos.pieceSquares[code] = remove ? 0 : static_cast<uint8_t>(square);
    pos.rowMask[square >> 4] ^= ColumnBit[square];
    pos.colMask[square & 15] ^= RowBit[square];
    pos.pieceBits ^= 1u << (code - 16);
    int kt = keyType(code);
    int value = pos.pieceValues[kt][square];
    int32_t& sum = code < 32 ? pos.redValue : pos.blackValue;
    sum += remove ? -value : value;
    pos.key ^= PieceKeys[kt][square];
    pos.lock1 ^= PieceLocks[kt][square][0];
    pos.lock2 ^= PieceLocks[kt][square][1];
}

}  // namespace

void Position::clear() {
    sideToMove = 0;
    std::memset(board, 0, sizeof board);
    std::memset(pieceSquares + 16, 0, 32);
    key = lock1 = lock2 = pieceBits = 0;
    std::memset(rowMask, 0, sizeof rowMask);
    std::memset(colMask, 0, sizeof colMask);
    redValue = blackValue = 0;
    std::memset(pieceValues, 0, sizeof pieceValues);
}

void Position::addPiece(int square, int code) { updatePiece(*this, square, code, false); }

void Position::removePiece(int square, int code) { updatePiece(*this, square, code, true); }

void Position::setFromFen(const char* fen) {
    int nextCode[2][7];
    for (int t = 0; t < 7; t++) {
        nextCode[0][t] = FirstCode[t];
        nextCode[1][t] = FirstCode[t] + 16;
    }
    std::memset(pieceSquares, 0, sizeof pieceSquares);
    clear();
    char sideChar = 0;
    if (fen[0] == ' ') {
        sideChar = fen[1];
    } else if (fen[0] != 0) {
        int rowBase = 48, column = 3;
        for (int i = 0;; i++) {
            char c = fen[i];
            if (c == '/') {
                rowBase += 16;
                if (rowBase > 192) {  // a tenth '/' ends the board field
                    sideChar = fen[i + 1];
                    break;
                }
                column = 3;
            } else if (c >= '1' && c <= '9') {
                if (column <= 11) column = column + (c - '0') > 11 ? 11 : column + (c - '0');
            } else if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) {
                if (column <= 11) {
                    int side = c >= 'a' ? 1 : 0;
                    int type = letterToType(side ? static_cast<char>(c - 'a' + 'A') : c);
                    if (type != 7) {
                        int code = nextCode[side][type];
                        if (code < 32 + 16 * side && pieceSquares[code] == 0) {
                            addPiece(rowBase + column, code);
                            nextCode[side][type]++;
                        }
                    }
                    column++;
                }
            }
            if (fen[i + 1] == 0) break;
            if (fen[i + 1] == ' ') {
                sideChar = fen[i + 2];
                break;
            }
        }
    }
    if (sideChar == 'b') changeSide();
    history[0].move = 0;
    history[0].flags = static_cast<uint8_t>(inCheck(sideToMove));
    history[0].quietCount = 0;
    rootCount = 1;
    moveCount = 1;
    std::memset(repTable, 0, sizeof repTable);
}

int Position::loadFen(const char* fen) {
    const char* end = fen;
    if (!readableBoard(fen, end)) return 0;
    while (*end == ' ') end++;
    if (*end != '\0' && *end != 'w' && *end != 'b') return 0;
    if (*end != '\0' && end[1] != '\0' && end[1] != ' ') return 0;
    Position loaded;
    loaded.setFromFen(fen);
    // Kings and advisors never leave their palace, bishops never cross the river.
    for (int code = 16; code < 48; code++) {
        int square = loaded.pieceSquares[code];
        if (square == 0) continue;
        int ownHalf = (square & 0x80) == (code < 32 ? 0x80 : 0);
        int slot = code & 15;
        if (slot <= LastAdvisorSlot && (!InPalace[square] || !ownHalf)) return 0;
        if (slot >= FirstBishopSlot && slot <= LastBishopSlot && !ownHalf) return 0;
    }
    // The side not to move in check: the side to move could take its king.
    if (loaded.inCheck(1 - loaded.sideToMove)) return 0;
    *this = loaded;
    return 1;
}

char pieceLetter(int code) {
    const char letter = TypeLetter[PieceType[code]];
    return code < 32 ? letter : static_cast<char>(letter - 'A' + 'a');
}

void Position::writeFen(char* out) const {
    int length = 0;
    for (int row = 3; row <= 12; row++) {
        int empty = 0;
        for (int column = 3; column <= 11; column++) {
            int code = board[row * 16 + column];
            if (code == 0) {
                empty++;
                continue;
            }
            if (empty > 0) out[length++] = static_cast<char>('0' + empty);
            empty = 0;
            out[length++] = pieceLetter(code);
        }
        if (empty > 0) out[length++] = static_cast<char>('0' + empty);
        if (row < 12) out[length++] = '/';
    }
    std::snprintf(out + length, static_cast<size_t>(FenSize - length), " %c - - 0 1", sideToMove == 0 ? 'w' : 'b');
}

int Position::dropOldHistory(int mostKept) {
    int kept = 0;
    while (kept < mostKept && kept < moveCount - 1 && history[moveCount - 1 - kept].capturedCode() == 0) kept++;
    Position start = *this;
    for (int i = 0; i < kept; i++) start.unmakeMove();
    char fen[FenSize];
    start.writeFen(fen);
    Position fresh;
    if (!fresh.loadFen(fen)) return 0;
    for (int i = kept; i > 0; i--)
        if (!fresh.makeMove(history[moveCount - i].move)) return 0;
    const int dropped = moveCount - fresh.moveCount;
    *this = fresh;
    return dropped;
}
