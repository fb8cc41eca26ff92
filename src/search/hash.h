// The transposition table: 16-byte entries, four consecutive slots per key.
#pragma once

#include <cstddef>
#include <cstdint>
#include "board/position.h"
#include "board/tables.h"
#include "search/search.h"

// A slot's freshness (15 when written or probed since the last aging, one less
// per aging since, never below 0) is kept as the 8-bit generation stamp of its
// last write or probe: bits 0-3 of info and the low two bits of each value word.
// Values stay within +-8191 (a side's material is at most 80 + 16 * 255), so
// value * 4 fits the 16-bit word.
struct HashEntry {
    uint32_t lock1;
    uint16_t move;
    uint16_t info;        // bits 0-3 stamp bits 0-3, 4-9 upperDepth, 10-15 lowerDepth
    int16_t upperValue;   // value * 4 + stamp bits 4-5
    int16_t lowerValue;   // value * 4 + stamp bits 6-7
    uint32_t lock2;
};
static_assert(sizeof(HashEntry) == 16, "a hash entry is 16 bytes");

// Fields of a slot; a depth of 0 means the bound is absent.
inline int upperDepthOf(const HashEntry& e) { return (e.info >> 4) & 63; }
inline int lowerDepthOf(const HashEntry& e) { return (e.info >> 10) & 63; }
inline int upperValueOf(const HashEntry& e) { return e.upperValue >> 2; }
inline int lowerValueOf(const HashEntry& e) { return e.lowerValue >> 2; }

constexpr int HashLower = 1;
constexpr int HashUpper = 2;
constexpr int HashExact = 3;

constexpr int HashWindow = 4;  // consecutive slots a key may use

// Freshness by stamp, for the table's current generation.
struct FreshnessTable {
    uint8_t byStamp[256];
};

// One engine's table. Never copied: its entries may be its own fallback slots.
struct TranspositionTable {
    HashEntry* entries = nullptr;
    uint32_t mask = 0;          // slots - 1
    int32_t generation = 1;     // the stamp of a slot written or probed now: 1..255
    FreshnessTable freshness{}; // at this generation: set when the table is allocated or aged
    size_t sweepCursor = 0;     // where the next aging sweeps on
    bool onHeap = false;
    // The table when not even the smallest heap table can be had, so that the
    // search never meets a missing table.
    HashEntry fallback[HashWindow] = {};
    // Where probeHash's cutoff test walks the stored line; followHashMoves never probes.
    Move scratchLine[MaxHistory];

    TranspositionTable() = default;
    TranspositionTable(const TranspositionTable&) = delete;
    TranspositionTable& operator=(const TranspositionTable&) = delete;
};

// Asks for the cache lines of the probe window of key, ahead of a probe or
// store. Always inlined: GCC drops a call to a function that only prefetches.
[[gnu::always_inline]] inline void prefetchHash(const TranspositionTable& table, uint32_t key) {
    __builtin_prefetch(&table.entries[key & table.mask]);
    __builtin_prefetch(&table.entries[(key + 3) & table.mask]);
}

// The key of the position after move, known before the move is made.
inline uint32_t keyAfter(const Position& pos, int move) {
    const int s = moveSource(move), d = moveDestination(move);
    const int mover = keyType(pos.board[s]);
    uint32_t key = pos.key ^ SideKey ^ PieceKeys[mover][s] ^ PieceKeys[mover][d];
    if (pos.board[d] != 0) key ^= PieceKeys[keyType(pos.board[d])][d];
    return key;
}

int freshnessOf(const TranspositionTable& table, const HashEntry& e);

// Allocates 2^exponent bytes, zeroed; halves the size while memory is short.
// The caller releases the previous table first.
void allocateHashTable(TranspositionTable& table, int exponent);
void releaseHashTable(TranspositionTable& table);
// Size exponent (bytes) of the table for a size in megabytes: the largest
// power of two not above it, never below 2^24 (16 MB).
int hashExponent(int megabytes);
void clearHashTable(TranspositionTable& table);
void ageHashTable(TranspositionTable& table);
void storeHash(TranspositionTable& table, const Position& pos, int bounds, int value, int depth, int move);
int probeHash(TranspositionTable& table, Position& pos, int alpha, int beta, int depth, NullState previous,
              int& hashMove);
int probeHashMove(const TranspositionTable& table, const Position& pos);
// Walks the stored best moves from pos (after firstMove when it is not 0) into
// moves, 0-terminated; 1 when the line ends without a repetition.
int followHashMoves(TranspositionTable& table, Position& pos, Move* moves, int firstMove);
