// The search driver: what go runs. A first placeholder so that the engine links
// while the search it drives is being written.
#include "search/driver.h"

#include <chrono>
#include <cstdio>

MoveList RootMoves;
Move PrincipalVariation[MaxHistory];
int32_t DeferredDepth = 0;
int32_t DeferredScore = 0;
int32_t StableIterations = 0;
int32_t TimeUpWhilePondering = 0;

static std::chrono::steady_clock::time_point SearchStart = std::chrono::steady_clock::now();

int64_t elapsedMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - SearchStart)
        .count();
}

void runSearch(int /*maxDepth*/) {
    SearchStart = std::chrono::steady_clock::now();
    std::printf("nobestmove\n");
    std::fflush(stdout);
}

int searchRoot(int /*depth*/) { return NoValue; }

int onlyMoveCheck(int /*threshold*/, int /*depth*/) { return 0; }

int pollInput() { return 0; }

void reportPv(int /*depth*/, int /*score*/) {}
