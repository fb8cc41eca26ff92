// The transposition table: four consecutive slots per key, two bounds per entry.
#include "search/hash.h"

#include <cstdlib>
#include <cstring>

#include "search/search.h"

HashEntry* HashTable = nullptr;
uint32_t HashMask = 0;
int TableExponentCap = 34;

namespace {

constexpr int HashWindow = 4;
constexpr int MinExponent = 6;    // four slots, the width of one probe window
constexpr int MaxExponent = 34;
constexpr int FreshMax = 15;

// Used when even the smallest heap table cannot be had, so that the search
// never meets a missing table.
HashEntry FallbackTable[HashWindow];
bool TableOnHeap = false;

// Scratch line for the cutoff test of probeHash; one search runs at a time and
// followHashMoves never probes, so one static line serves every node.
Move ScratchLine[MaxHistory];

int freshnessOf(const HashEntry& e) { return e.info & 15; }
int upperDepthOf(const HashEntry& e) { return (e.info >> 4) & 63; }
int lowerDepthOf(const HashEntry& e) { return (e.info >> 10) & 63; }

void setFreshness(HashEntry& e, int f) { e.info = uint16_t((e.info & ~15) | f); }
void setUpperDepth(HashEntry& e, int d) { e.info = uint16_t((e.info & ~(63 << 4)) | ((d & 63) << 4)); }
void setLowerDepth(HashEntry& e, int d) { e.info = uint16_t((e.info & ~(63 << 10)) | ((d & 63) << 10)); }

HashEntry* findEntry(const Position& pos) {
    for (int i = 0; i < HashWindow; i++) {
        HashEntry* e = &HashTable[(pos.key + i) & HashMask];
        if (e->lock1 == pos.lock1 && e->lock2 == pos.lock2) return e;
    }
    return nullptr;
}

// Mate scores are kept relative to the node that stored them.
int valueToTable(int value, int ply) {
    if (value > MateBound) return value + ply;
    if (value < -MateBound) return value - ply;
    return value;
}

int isStoredMate(int stored) { return stored > RuleBound || stored < -RuleBound; }
// The band of the rule scores depends on the path to the node, so it is never reused.
int isUsable(int stored) {
    return !(stored > MateBound && stored <= RuleBound) && !(stored >= -RuleBound && stored < -MateBound);
}

int valueFromTable(int stored, int ply) {
    if (stored > RuleBound) return stored - ply;
    if (stored < -RuleBound) return stored + ply;
    return stored;
}

// Writes to every page of a fresh zeroed block, so that the first search does
// not pay the page faults; volatile keeps the compiler from dropping the writes.
void touchPages(void* memory, size_t bytes) {
    volatile char* bytesOf = static_cast<volatile char*>(memory);
    for (size_t i = 0; i < bytes; i += 4096) bytesOf[i] = 0;
}


}  // namespace

void allocateHashTable(int exponent) {
    if (exponent < MinExponent) exponent = MinExponent;
    if (exponent > MaxExponent) exponent = MaxExponent;
    if (exponent > TableExponentCap) exponent = TableExponentCap;
    // When memory is short, a smaller table still plays; only its hit rate suffers.
    for (int e = exponent; e >= MinExponent; e--) {
        size_t slots = (size_t(1) << e) / sizeof(HashEntry);
        void* memory = std::calloc(slots, sizeof(HashEntry));
        if (memory != nullptr) {
            HashTable = static_cast<HashEntry*>(memory);
            HashMask = uint32_t(slots - 1);
            TableOnHeap = true;
            touchPages(memory, slots * sizeof(HashEntry));
            return;
        }
    }
    std::memset(FallbackTable, 0, sizeof(FallbackTable));
    HashTable = FallbackTable;
    HashMask = HashWindow - 1;
    TableOnHeap = false;
}

int hashExponent(int megabytes) {
    int bits = 0;
    for (int n = megabytes; n > 0; n >>= 1) bits++;
    if (megabytes <= 0) return 24;
    return bits + 19 > 24 ? bits + 19 : 24;
}

void releaseHashTable() {
    if (TableOnHeap) std::free(HashTable);
    HashTable = nullptr;
    HashMask = 0;
    TableOnHeap = false;
}

void clearHashTable() {
    if (HashTable != nullptr) std::memset(HashTable, 0, (size_t(HashMask) + 1) * sizeof(HashEntry));
}

void ageHashTable() {
    if (HashTable == nullptr) return;
    for (size_t i = 0; i <= HashMask; i++) {
        int f = freshnessOf(HashTable[i]);
        if (f != 0) setFreshness(HashTable[i], f - 1);
    }
}

void storeHash(const Position& pos, int bounds, int value, int depth, int move) {
    int stored = valueToTable(value, pos.ply());
    HashEntry* match = nullptr;
    HashEntry* victim = nullptr;
    int victimCost = 4096;
    for (int i = 0; i < HashWindow; i++) {
        HashEntry* e = &HashTable[(pos.key + i) & HashMask];
        if (e->lock1 == pos.lock1 && e->lock2 == pos.lock2) {
            match = e;
            break;
        }
        int deeper = upperDepthOf(*e) > lowerDepthOf(*e) ? upperDepthOf(*e) : lowerDepthOf(*e);
        int cost = freshnessOf(*e) * 256 + deeper;
        if (cost < victimCost) {
            victimCost = cost;
            victim = e;
        }
    }

    if (match == nullptr) {
        HashEntry fresh{};
        fresh.lock1 = pos.lock1;
        fresh.lock2 = pos.lock2;
        fresh.move = uint16_t(move);
        setFreshness(fresh, FreshMax);
        if (bounds & HashUpper) {
            setUpperDepth(fresh, depth);
            fresh.upperValue = int16_t(stored);
        }
        if (bounds & HashLower) {
            setLowerDepth(fresh, depth);
            fresh.lowerValue = int16_t(stored);
        }
        *victim = fresh;
        return;
    }

    HashEntry e = *match;
    if (move != 0) e.move = uint16_t(move);
    setFreshness(e, FreshMax);
    // A deeper bound survives unless the new one is at least as tight.
    if ((bounds & HashUpper) && (upperDepthOf(e) <= depth || e.upperValue >= stored)) {
        setUpperDepth(e, depth);
        e.upperValue = int16_t(stored);
    }
    if ((bounds & HashLower) && (lowerDepthOf(e) <= depth || e.lowerValue <= stored)) {
        setLowerDepth(e, depth);
        e.lowerValue = int16_t(stored);
    }
    *match = e;
}

int probeHash(Position& pos, int alpha, int beta, int depth, int afterNull, int& hashMove) {
    hashMove = 0;
    HashEntry* found = findEntry(pos);
    if (found == nullptr) return NoValue;
    if (freshnessOf(*found) != FreshMax) setFreshness(*found, FreshMax);
    HashEntry e = *found;
    hashMove = e.move;
    int ply = pos.ply();

    int lowerDepth = lowerDepthOf(e);
    if (lowerDepth > 0) {
        int stored = e.lowerValue;
        int v = valueFromTable(stored, ply);
        if (e.move == 0) {
            if (!afterNull) {
                // A null-move fail-high has no move; trust it a little deeper when
                // the side has enough material for the null move to be sound.
                int floor = pos.sideToMoveValue() > NullMoveMaterial ? 3 : 2;
                int usable = lowerDepth > floor ? lowerDepth : floor;
                if ((usable >= depth || isStoredMate(stored)) && isUsable(stored) && v >= beta) return v;
            }
        } else if ((lowerDepth >= depth || isStoredMate(stored)) && isUsable(stored) && v >= beta &&
                   followHashMoves(pos, ScratchLine, e.move)) {
            return v;
        }
    }

    int upperDepth = upperDepthOf(e);
    if (upperDepth > 0) {
        int stored = e.upperValue;
        int v = valueFromTable(stored, ply);
        if ((upperDepth >= depth || isStoredMate(stored)) && v <= alpha && isUsable(stored)) {
            if (e.move == 0 || followHashMoves(pos, ScratchLine, e.move)) return v;
        }
    }
    return NoValue;
}

int probeHashMove(const Position& pos) {
    const HashEntry* e = findEntry(pos);
    return e == nullptr ? 0 : e->move;
}

int followHashMoves(Position& pos, Move* moves, int firstMove) {
    int n = 0;
    int result = 1;
    if (firstMove != 0) {
        moves[0] = Move(firstMove);
        // A move that cannot be made here only comes from a lock collision.
        if (!pos.isValidMove(firstMove) || !pos.makeMove(firstMove)) {
            moves[1] = 0;
            return 0;
        }
        n = 1;
        if (pos.repetitionStatus(1) != 0) {
            moves[1] = 0;
            pos.unmakeMove();
            return 0;
        }
    }
    for (;;) {
        HashEntry* e = findEntry(pos);
        if (e == nullptr) break;
        setFreshness(*e, FreshMax);
        int move = e->move;
        if (move == 0) break;
        if (!pos.isValidMove(move) || !pos.makeMove(move)) {
            result = 0;
            break;
        }
        moves[n++] = Move(move);
        if (pos.repetitionStatus(1) != 0) {
            result = 0;
            break;
        }
    }
    moves[n] = 0;
    for (int i = 0; i < n; i++) pos.unmakeMove();
    return result;
}
