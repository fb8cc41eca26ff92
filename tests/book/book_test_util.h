// Helpers of the book tests: a seed that makes the weighted choice land where wanted.
#pragma once

#include <cstdint>

#include "board/random.h"

// A seed whose next step leaves the wanted remainder.
inline uint32_t seedGiving(uint32_t remainder, uint32_t modulus) {
    for (uint32_t seed = 1;; seed++) {
        uint32_t next = seed;
        if (nextRandom(next) % modulus == remainder) return seed;
    }
}
