// The Park-Miller minimal standard generator, x = x * 16807 mod (2^31 - 1).
// Seeded with 1 it makes the keys and locks that book files are written with,
// so it must never change; seeded with the time it picks book moves and the
// root noise.
#pragma once

#include <cstdint>

inline uint32_t nextRandom(uint32_t& seed) {
    seed = static_cast<uint32_t>(static_cast<uint64_t>(seed) * 16807 % 0x7FFFFFFF);
    return seed;
}
