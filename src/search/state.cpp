// The search context and the counters of one search.
#include "search/ordering.h"
#include "search/search.h"

#include <cstring>

SearchContext Context;

int64_t NodeCount = 0;
int64_t NextPoll = PollInterval;
int64_t FailHighCount = 0;
int64_t FailHighFirstCount = 0;
int64_t HistoryReductionCount = 0;
int64_t NullReductionCount = 0;
int32_t StopSearch = 0;
int32_t CutCount[65536];
int32_t TryCount[65536];

int (*PollHook)() = nullptr;

void resetSearchState() {
    std::memset(Context.Killers, 0, sizeof(Context.Killers));
    std::memset(HistoryScore, 0, sizeof(HistoryScore));
    // Starting at 1 keeps the cutoff ratio defined for moves never tried.
    for (int i = 0; i < 65536; i++) {
        CutCount[i] = 1;
        TryCount[i] = 1;
    }
    NodeCount = 0;
    NextPoll = PollInterval;
    FailHighCount = 0;
    FailHighFirstCount = 0;
    HistoryReductionCount = 0;
    NullReductionCount = 0;
    StopSearch = 0;
}
