// The time budget of a timed search from the engine's clock, the same for
// every protocol: a normal time that the search weighs after each iteration
// and a maximum time after which it stops.
#pragma once

#include <cstdint>

struct TimeBudget {
    int64_t normalTime;  // milliseconds
    int64_t maxTime;     // milliseconds
};

// clock and increment in milliseconds. With movesToGo > 0 the clock is shared
// among that many moves and the increment is not counted; otherwise the
// budget is a twentieth of the clock plus the increment. With pondering on,
// the normal time gets a quarter more, for the time saved on hits.
TimeBudget clockBudget(int64_t clock, int64_t movesToGo, int64_t increment, int ponderEnabled);
