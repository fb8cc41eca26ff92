#include "io/session.h"

#include <cstdio>
#include <cstring>

#include "board/tables.h"
#include "io/line_input.h"
#include "movegen/generate.h"
#include "search/hash.h"

namespace {

// A front end sends a few lines ahead at most; this is room for a great many.
constexpr int DeferredRoom = 64;
char Deferred[DeferredRoom][LineBufferSize];
int DeferredFirst = 0;
int DeferredCount = 0;

}  // namespace

SearchEngine ProgramEngine;

void startEngine() {
    // The tables never change once built; a conversation run in process again
    // finds them ready.
    static bool built = false;
    if (!built) {
        buildPopCount();
        buildTables();
        built = true;
    }
    allocateHashTable(ProgramEngine.table, 24);
}

void locatePath(char* destination, int destinationSize, const char* programName, const char* fileName) {
    if (destinationSize <= 0) return;
    const char* slash = std::strrchr(programName, '/');
    const char* backslash = std::strrchr(programName, '\\');
    if (backslash != nullptr && (slash == nullptr || backslash > slash)) slash = backslash;
    const size_t directory = slash == nullptr ? 0 : static_cast<size_t>(slash - programName) + 1;
    std::snprintf(destination, static_cast<size_t>(destinationSize), "%.*s%s", static_cast<int>(directory),
                  programName, fileName);
}

int legalMoveOfText(Position& pos, const char* text) {
    if (std::strlen(text) != 4) return 0;
    int move = textToMove(text);
    return move != 0 && pos.isLegalMove(move) ? move : 0;
}

int firstLegalMove(Position& pos) {
    MoveEntry moves[MoveListCapacity];
    int total = generateCaptures(pos, moves);
    total += generateQuietMoves(pos, moves + total);
    for (int i = 0; i < total; i++)
        if (pos.isLegalMove(moves[i].move)) return moves[i].move;
    return 0;
}

int mateMoves(int score) {
    if (score > RuleBound) return (MateValue - score + 1) / 2;
    if (score < -RuleBound) return -(MateValue + score) / 2;
    return 0;
}

int appendMoves(char* text, int length, int size, const Move* moves) {
    for (int i = 0; moves[i] != 0 && length + 6 <= size; i++) {
        text[length++] = ' ';
        moveToText(moves[i], text + length);
        length += 4;
    }
    text[length] = '\0';
    return length;
}

void deferLine(const char* line) {
    if (DeferredCount == DeferredRoom) return;
    std::strncpy(Deferred[(DeferredFirst + DeferredCount) % DeferredRoom], line, LineBufferSize - 1);
    Deferred[(DeferredFirst + DeferredCount) % DeferredRoom][LineBufferSize - 1] = '\0';
    DeferredCount++;
}

void clearDeferredLines() {
    DeferredFirst = 0;
    DeferredCount = 0;
}

int takeDeferredLine(char* destination) {
    if (DeferredCount == 0) return 0;
    std::memcpy(destination, Deferred[DeferredFirst], LineBufferSize);
    DeferredFirst = (DeferredFirst + 1) % DeferredRoom;
    DeferredCount--;
    return 1;
}
