#include "io/deferred_lines.h"

#include <cstring>

#include "io/line_input.h"

namespace {

// A front end sends a few lines ahead at most; this is room for a great many.
constexpr int DeferredRoom = 64;
char Deferred[DeferredRoom][LineBufferSize];
int DeferredFirst = 0;
int DeferredCount = 0;

}  // namespace

void deferLine(const char* line) {
    if (DeferredCount == DeferredRoom) return;
    char* slot = Deferred[(DeferredFirst + DeferredCount) % DeferredRoom];
    std::strncpy(slot, line, LineBufferSize - 1);
    slot[LineBufferSize - 1] = '\0';
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
