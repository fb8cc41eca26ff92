// The reset of an engine's search state before a search.
#include <cstring>

#include "search/engine.h"
#include "search/search.h"

void resetSearchState(SearchEngine& engine) {
    std::memset(engine.killers, 0, sizeof(engine.killers));
    std::memset(engine.history.score, 0, sizeof(engine.history.score));
    // Starting at 1 keeps the cutoff ratio defined for moves never tried.
    for (int i = 0; i < MoveSlots; i++) {
        engine.cutCount[i] = 1;
        engine.tryCount[i] = 1;
    }
    engine.nodeCount = 0;
    engine.nextPoll = PollInterval;
    engine.failHighCount = 0;
    engine.failHighFirstCount = 0;
    engine.historyReductionCount = 0;
    engine.nullReductionCount = 0;
    engine.stopped = false;
}
