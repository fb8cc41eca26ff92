// Opening book lookup: binary search straight in the file, one seek and one
// 12-byte read per probe, then a weighted random choice among the stored moves.
#include <cstdio>

#include "board/random.h"
#include "board/tables.h"
#include "book/book.h"

namespace {

uint32_t readLittle32(const unsigned char* bytes) {
    return static_cast<uint32_t>(bytes[0]) | static_cast<uint32_t>(bytes[1]) << 8 |
           static_cast<uint32_t>(bytes[2]) << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

uint16_t readLittle16(const unsigned char* bytes) {
    return static_cast<uint16_t>(bytes[0] | bytes[1] << 8);
}

int readRecord(std::FILE* file, long index, BookRecord& record) {
    unsigned char bytes[BookRecordSize];
    if (std::fseek(file, index * BookRecordSize, SEEK_SET) != 0) return 0;
    if (std::fread(bytes, 1, BookRecordSize, file) != BookRecordSize) return 0;
    record.lock1 = readLittle32(bytes);
    record.lock2 = readLittle32(bytes + 4);
    record.move = readLittle16(bytes + 8);
    record.weight = readLittle16(bytes + 10);
    return 1;
}

// Order of the file: lock2 first, then lock1. Negative, 0 or positive as the
// record sorts before, with or after the position.
int compareKey(const BookRecord& record, const Position& pos) {
    if (record.lock2 != pos.lock2) return record.lock2 < pos.lock2 ? -1 : 1;
    if (record.lock1 != pos.lock1) return record.lock1 < pos.lock1 ? -1 : 1;
    return 0;
}

// Index of some record of pos, or -1. A failed read ends the search as a miss.
long findRecord(std::FILE* file, long count, const Position& pos) {
    long low = 0;
    long high = count - 1;
    BookRecord record;
    while (low <= high) {
        long middle = low + (high - low) / 2;
        if (!readRecord(file, middle, record)) return -1;
        int order = compareKey(record, pos);
        if (order == 0) return middle;
        if (order < 0) {
            low = middle + 1;
        } else {
            high = middle - 1;
        }
    }
    return -1;
}

// A damaged file may name squares off the board, where the movement rules
// would look past the board's border; such a move is never valid.
int isUsableMove(const Position& pos, int move) {
    return InBoard[moveSource(move)] && InBoard[moveDestination(move)] && pos.isValidMove(move);
}

int collectMoves(std::FILE* file, long count, long hit, const Position& pos, int mirrored, BookMove* moves) {
    BookRecord record;
    long first = hit;
    while (first > 0 && readRecord(file, first - 1, record) && compareKey(record, pos) == 0) first--;

    int total = 0;
    for (long index = first; index < count && total < MaxBookMoves; index++) {
        if (!readRecord(file, index, record) || compareKey(record, pos) != 0) break;
        if (!isUsableMove(pos, record.move)) continue;
        int move = record.move;
        if (mirrored) {
            move = makeMoveValue(MirrorSquare[moveSource(move)], MirrorSquare[moveDestination(move)]);
        }
        moves[total].move = static_cast<uint16_t>(move);
        moves[total].weight = record.weight;
        total++;
    }
    return total;
}

int chooseByWeight(const BookMove* moves, int total, uint32_t& randomSeed) {
    uint32_t weightSum = 0;
    for (int i = 0; i < total; i++) weightSum += moves[i].weight;
    if (weightSum == 0) return 0;
    int64_t remaining = nextRandom(randomSeed) % weightSum;
    for (int i = 0; i < total; i++) {
        remaining -= moves[i].weight;
        if (remaining < 0) return moves[i].move;
    }
    return 0;
}

}  // namespace

int readBookMoves(const char* path, const Position& pos, BookMove* moves, int& mirrored) {
    mirrored = 0;
    std::FILE* file = std::fopen(path, "rb");
    if (file == nullptr) return -1;
    long count = 0;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        long size = std::ftell(file);
        if (size > 0) count = size / BookRecordSize;
    }

    // The copy is mirrored in place for the second pass; the caller's position stays as it was.
    Position copy = pos;
    long hit = findRecord(file, count, copy);
    if (hit < 0) {
        mirrorPosition(copy);
        mirrored = 1;
        hit = findRecord(file, count, copy);
    }
    int total = 0;
    if (hit >= 0) {
        total = collectMoves(file, count, hit, copy, mirrored, moves);
    } else {
        mirrored = 0;
    }
    std::fclose(file);
    return total;
}

int probeBook(const char* path, const Position& pos, uint32_t& randomSeed) {
    BookMove moves[MaxBookMoves];
    int mirrored = 0;
    int total = readBookMoves(path, pos, moves, mirrored);
    return total > 0 ? chooseByWeight(moves, total, randomSeed) : 0;
}
