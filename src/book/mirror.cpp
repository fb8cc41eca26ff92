// The left-right mirror image of a position, for book lookups of positions
// whose mirror image is stored.
#include <cstring>

#include "book/book.h"

// Square with the same row and the column reflected about the e-file (14 - column);
// 0 for every square off the board. Rows 0..15 top to bottom, as on the board.
const uint8_t MirrorSquare[256] = {
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,  59,  58,  57,  56,  55,  54,  53,  52,  51,   0,   0,   0,   0,
      0,   0,   0,  75,  74,  73,  72,  71,  70,  69,  68,  67,   0,   0,   0,   0,
      0,   0,   0,  91,  90,  89,  88,  87,  86,  85,  84,  83,   0,   0,   0,   0,
      0,   0,   0, 107, 106, 105, 104, 103, 102, 101, 100,  99,   0,   0,   0,   0,
      0,   0,   0, 123, 122, 121, 120, 119, 118, 117, 116, 115,   0,   0,   0,   0,
      0,   0,   0, 139, 138, 137, 136, 135, 134, 133, 132, 131,   0,   0,   0,   0,
      0,   0,   0, 155, 154, 153, 152, 151, 150, 149, 148, 147,   0,   0,   0,   0,
      0,   0,   0, 171, 170, 169, 168, 167, 166, 165, 164, 163,   0,   0,   0,   0,
      0,   0,   0, 187, 186, 185, 184, 183, 182, 181, 180, 179,   0,   0,   0,   0,
      0,   0,   0, 203, 202, 201, 200, 199, 198, 197, 196, 195,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
      0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,   0,
};

void mirrorPosition(Position& pos) {
    // Everything comes off before anything goes back, so that no piece lands on
    // a square its mirrored neighbour has not left yet.
    uint8_t oldSquares[48] = {};
    for (int code = 16; code < 48; code++) {
        int square = pos.pieceSquares[code];
        oldSquares[code] = static_cast<uint8_t>(square);
        if (square != 0) pos.removePiece(square, code);
    }
    for (int code = 16; code < 48; code++) {
        if (oldSquares[code] != 0) pos.addPiece(MirrorSquare[oldSquares[code]], code);
    }
    for (int i = 0; i < pos.moveCount; i++) {
        int move = pos.history[i].move;
        pos.history[i].move =
            static_cast<Move>(makeMoveValue(MirrorSquare[moveSource(move)], MirrorSquare[moveDestination(move)]));
    }
    // The filter no longer matches the mirrored keys; a full filter leaves the
    // decision to the walk over the history.
    std::memset(pos.repTable, 1, sizeof(pos.repTable));
}
