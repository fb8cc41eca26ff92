// The transposition table: four consecutive slots per key, two bounds per entry.
#include "search/hash.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#ifdef __linux__
#include <sys/mman.h>
#endif

#include "search/search.h"


namespace {

constexpr int MinExponent = 6;    // four slots, the width of one probe window
constexpr int MaxExponent = 34;
constexpr int FreshMax = 15;

// Aging without walking the table. Each aging advances Generation through
// 1..255; a slot written or probed takes the current generation as its stamp,
// and stamp 0 marks a slot whose freshness has run out (or that was never
// written: zeroed memory reads as exhausted, as it always did). A stamp s != 0
// stands for freshness max(0, 15 - ((Generation - s) mod 255)), which is exact
// while the slot's true age is below 255. Each aging sweeps the next
// 1/SweepPeriod of the table and sets the stamp of every exhausted slot there
// to 0, so a slot is visited at least once in any SweepPeriod agings: between
// its age reaching 15 and its next visit at most SweepPeriod - 1 agings pass,
// and 15 + SweepPeriod - 1 <= 254 keeps the reading exact until then.
constexpr int Generations = 255;
constexpr int SweepPeriod = 240;
static_assert(FreshMax + SweepPeriod - 1 < Generations, "the sweep must outrun the stamp's wrap");

constexpr FreshnessTable freshnessAt(int generation) {
    FreshnessTable table{};
    for (int s = 1; s <= Generations; s++) {
        int age = generation - s;
        if (age < 0) age += Generations;
        table.byStamp[s] = uint8_t(age < FreshMax ? FreshMax - age : 0);
    }
    return table;
}

int stampOf(const HashEntry& e) { return (e.info & 15) | (e.upperValue & 3) << 4 | (e.lowerValue & 3) << 6; }
int freshness(const TranspositionTable& table, const HashEntry& e) { return table.freshness.byStamp[stampOf(e)]; }

void setStamp(HashEntry& e, int s) {
    e.info = uint16_t((e.info & ~15) | (s & 15));
    e.upperValue = int16_t((e.upperValue & ~3) | ((s >> 4) & 3));
    e.lowerValue = int16_t((e.lowerValue & ~3) | ((s >> 6) & 3));
}
void markFresh(const TranspositionTable& table, HashEntry& e) { setStamp(e, table.generation); }

void setUpperDepth(HashEntry& e, int d) { e.info = uint16_t((e.info & ~(63 << 4)) | ((d & 63) << 4)); }
void setLowerDepth(HashEntry& e, int d) { e.info = uint16_t((e.info & ~(63 << 10)) | ((d & 63) << 10)); }
void setUpperValue(HashEntry& e, int v) { e.upperValue = int16_t(v * 4 | (e.upperValue & 3)); }
void setLowerValue(HashEntry& e, int v) { e.lowerValue = int16_t(v * 4 | (e.lowerValue & 3)); }

HashEntry* findEntry(const TranspositionTable& table, const Position& pos) {
    for (int i = 0; i < HashWindow; i++) {
        HashEntry* e = &table.entries[(pos.key + i) & table.mask];
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


// The table's zeroed memory. On Linux a table of 2 MB or more is mapped
// directly, 2 MB-aligned, and offered to the kernel for huge pages, so that a
// probe rarely misses the TLB as well as the cache; fresh anonymous pages come
// zeroed. Elsewhere, and for small tables, calloc.
#ifdef __linux__
constexpr size_t HugePage = size_t(1) << 21;

void* allocateZeroed(size_t bytes) {
    if (bytes < HugePage) return std::calloc(bytes, 1);
    // Map one huge page more and keep the aligned stretch.
    const size_t mapped = bytes + HugePage;
    void* base = mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (base == MAP_FAILED) return nullptr;
    const uintptr_t start = (reinterpret_cast<uintptr_t>(base) + HugePage - 1) & ~uintptr_t(HugePage - 1);
    const size_t head = start - reinterpret_cast<uintptr_t>(base);
    if (head != 0) munmap(base, head);
    if (mapped - head - bytes != 0) munmap(reinterpret_cast<void*>(start + bytes), mapped - head - bytes);
    madvise(reinterpret_cast<void*>(start), bytes, MADV_HUGEPAGE);
    return reinterpret_cast<void*>(start);
}

void releaseZeroed(void* memory, size_t bytes) {
    if (bytes < HugePage)
        std::free(memory);
    else
        munmap(memory, bytes);
}
#else
void* allocateZeroed(size_t bytes) { return std::calloc(bytes, 1); }
void releaseZeroed(void* memory, size_t) { std::free(memory); }
#endif

}  // namespace

void allocateHashTable(TranspositionTable& table, int exponent) {
    table.generation = 1;
    table.freshness = freshnessAt(1);
    table.sweepCursor = 0;
    if (exponent < MinExponent) exponent = MinExponent;
    if (exponent > MaxExponent) exponent = MaxExponent;
    // When memory is short, a smaller table still plays; only its hit rate suffers.
    for (int e = exponent; e >= MinExponent; e--) {
        size_t slots = (size_t(1) << e) / sizeof(HashEntry);
        void* memory = allocateZeroed(slots * sizeof(HashEntry));
        if (memory != nullptr) {
            table.entries = static_cast<HashEntry*>(memory);
            table.mask = uint32_t(slots - 1);
            table.onHeap = true;
            touchPages(memory, slots * sizeof(HashEntry));
            return;
        }
    }
    std::memset(table.fallback, 0, sizeof(table.fallback));
    table.entries = table.fallback;
    table.mask = HashWindow - 1;
    table.onHeap = false;
}

int hashExponent(int megabytes) {
    int bits = 0;
    for (int n = megabytes; n > 0; n >>= 1) bits++;
    if (megabytes <= 0) return 24;
    return bits + 19 > 24 ? bits + 19 : 24;
}

void releaseHashTable(TranspositionTable& table) {
    if (table.onHeap) releaseZeroed(table.entries, (size_t(table.mask) + 1) * sizeof(HashEntry));
    table.entries = nullptr;
    table.mask = 0;
    table.onHeap = false;
    table.sweepCursor = 0;
}

int freshnessOf(const TranspositionTable& table, const HashEntry& e) { return freshness(table, e); }

void clearHashTable(TranspositionTable& table) {
    if (table.entries != nullptr) std::memset(table.entries, 0, (size_t(table.mask) + 1) * sizeof(HashEntry));
}

void ageHashTable(TranspositionTable& table) {
    if (table.entries == nullptr) return;
    table.generation = table.generation == Generations ? 1 : table.generation + 1;
    table.freshness = freshnessAt(table.generation);
    const size_t slots = size_t(table.mask) + 1;
    for (size_t n = (slots + SweepPeriod - 1) / SweepPeriod; n > 0; n--) {
        HashEntry& e = table.entries[table.sweepCursor];
        int s = stampOf(e);
        if (s != 0 && table.freshness.byStamp[s] == 0) setStamp(e, 0);
        if (++table.sweepCursor == slots) table.sweepCursor = 0;
    }
}

void storeHash(TranspositionTable& table, const Position& pos, int bounds, int value, int depth, int move) {
    int stored = valueToTable(value, pos.ply());
    HashEntry* match = nullptr;
    HashEntry* victim = nullptr;
    int victimCost = 4096;
    for (int i = 0; i < HashWindow; i++) {
        HashEntry* e = &table.entries[(pos.key + i) & table.mask];
        if (e->lock1 == pos.lock1 && e->lock2 == pos.lock2) {
            match = e;
            break;
        }
        int deeper = upperDepthOf(*e) > lowerDepthOf(*e) ? upperDepthOf(*e) : lowerDepthOf(*e);
        int cost = freshness(table, *e) * 256 + deeper;
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
        if (bounds & HashUpper) {
            setUpperDepth(fresh, depth);
            setUpperValue(fresh, stored);
        }
        if (bounds & HashLower) {
            setLowerDepth(fresh, depth);
            setLowerValue(fresh, stored);
        }
        markFresh(table, fresh);
        *victim = fresh;
        return;
    }

    HashEntry e = *match;
    if (move != 0) e.move = uint16_t(move);
    markFresh(table, e);
    // A deeper bound survives unless the new one is at least as tight.
    if ((bounds & HashUpper) && (upperDepthOf(e) <= depth || upperValueOf(e) >= stored)) {
        setUpperDepth(e, depth);
        setUpperValue(e, stored);
    }
    if ((bounds & HashLower) && (lowerDepthOf(e) <= depth || lowerValueOf(e) <= stored)) {
        setLowerDepth(e, depth);
        setLowerValue(e, stored);
    }
    *match = e;
}

int probeHash(TranspositionTable& table, Position& pos, int alpha, int beta, int depth, NullState previous,
              int& hashMove) {
    hashMove = 0;
    HashEntry* found = findEntry(table, pos);
    if (found == nullptr) return NoValue;
    if (stampOf(*found) != table.generation) markFresh(table, *found);
    HashEntry e = *found;
    hashMove = e.move;
    int ply = pos.ply();

    int lowerDepth = lowerDepthOf(e);
    if (lowerDepth > 0) {
        int stored = lowerValueOf(e);
        int v = valueFromTable(stored, ply);
        if (e.move == 0) {
            if (previous == AfterMove) {
                // A null-move fail-high has no move; trust it a little deeper when
                // the side has enough material for the null move to be sound.
                int floor = pos.sideToMoveValue() > NullMoveMaterial ? 3 : 2;
                int usable = lowerDepth > floor ? lowerDepth : floor;
                if ((usable >= depth || isStoredMate(stored)) && isUsable(stored) && v >= beta) return v;
            }
        } else if ((lowerDepth >= depth || isStoredMate(stored)) && isUsable(stored) && v >= beta &&
                   followHashMoves(table, pos, table.scratchLine, e.move)) {
            return v;
        }
    }

    int upperDepth = upperDepthOf(e);
    if (upperDepth > 0) {
        int stored = upperValueOf(e);
        int v = valueFromTable(stored, ply);
        if ((upperDepth >= depth || isStoredMate(stored)) && v <= alpha && isUsable(stored)) {
            if (e.move == 0 || followHashMoves(table, pos, table.scratchLine, e.move)) return v;
        }
    }
    return NoValue;
}

int probeHashMove(const TranspositionTable& table, const Position& pos) {
    const HashEntry* e = findEntry(table, pos);
    return e == nullptr ? 0 : e->move;
}

int followHashMoves(TranspositionTable& table, Position& pos, Move* moves, int firstMove) {
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
        HashEntry* e = findEntry(table, pos);
        if (e == nullptr) break;
        markFresh(table, *e);
        int move = e->move;
        if (move == 0) break;
        if (!pos.isValidMove(move)) {
            result = 0;
            break;
        }
        prefetchHash(table, keyAfter(pos, move));
        if (!pos.makeMove(move)) {
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
