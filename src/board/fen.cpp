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

void updatePiece(Position& pos, int square, int code, bool remove) {
    pos.board[square] = remove ? 0 : static_cast<uint8_t>(code);
    pos.pieceSquares[code] = remove ? 0 : static_cast<uint8_t>(square);
    pos.rowMask[square >> 4] ^= ColumnBit[square];
    pos.colMask[square & 15] ^= RowBit[square];
    pos.pieceBits ^= 1u << (code - 16);
    int kt = keyType(code);
    int value = PieceSquareValues[kt][square];
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
