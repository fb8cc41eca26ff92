// The opening book "qvr.bin": 12-byte little-endian records sorted by
// (lock2, lock1), probed by binary search in the file.
#pragma once

#include <cstdint>
#include "board/position.h"

extern const uint8_t MirrorSquare[256];

constexpr int BookRecordSize = 12;  // lock1, lock2, move, weight; little-endian

// One record of the file, and one entry of a book being built.
struct BookRecord {
    uint32_t lock1;
    uint32_t lock2;
    uint16_t move;
    uint16_t weight;
};

struct BookMove {
    uint16_t move;
    uint16_t weight;
};
constexpr int MaxBookMoves = 128;

// The usable moves the book stores for pos, in file order (at most
// MaxBookMoves): the position's own records or, when it has none, its mirror
// image's, mapped back; mirrored tells which. Returns the number of moves, or
// -1 when the file cannot be opened.
int readBookMoves(const char* path, const Position& pos, BookMove* moves, int& mirrored);

// A move for pos from the book file at path, chosen by weight with the
// generator at randomSeed (advanced once when there is a choice), or 0.
int probeBook(const char* path, const Position& pos, uint32_t& randomSeed);
void mirrorPosition(Position& pos);
