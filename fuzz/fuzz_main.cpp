// One libFuzzer entry per target: FUZZ_FUNCTION names the target's function.
#include <cstdio>
#include <cstdlib>

#include "targets.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (const char* fault = FUZZ_FUNCTION(data, size)) {
        std::fprintf(stderr, "invariant broken: %s\n", fault);
        std::abort();
    }
    return 0;
}
