#include "session/clock.h"

#include <algorithm>

TimeBudget clockBudget(int64_t clock, int64_t movesToGo, int64_t increment, int ponderEnabled) {
    int64_t normal, maximum;
    if (movesToGo > 0) {
        normal = clock / movesToGo;
        // All of the clock for the last move, down to half of it from six moves on.
        maximum = clock * std::max<int64_t>(11 - movesToGo, 5) / 10;
    } else {
        normal = clock / 20 + increment;
        maximum = clock / 2;
    }
    if (ponderEnabled) normal += normal / 4;
    if (maximum >= 10 * normal) maximum = 10 * normal;
    return TimeBudget{normal, maximum};
}
