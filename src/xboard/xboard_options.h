// The options of the XBoard program: what the features announce and the
// option command changes.
#pragma once

#include <cstdint>

struct XboardOptions {
    int hashMegabytes;
    int ownBook;
    int pruning;
    int knowledge;
    int randomMask;    // Selectivity: 0, 1, 3 or 7
    int resign;        // resign where the engine's rule says so
    int offerDraw;     // offer and accept draws where the engine's rule says so
    int moveOverhead;  // milliseconds kept back from the clock for the way to the front end
    uint32_t randomSeed;
    char bookPath[1024];
};

extern XboardOptions XboardSettings;

// Start-up values; the book lies beside the program.
void resetXboardOptions(const char* programName, uint32_t seed);
// The option features of the handshake, one line each.
void printOptionFeatures();
// Applies "NAME=VALUE" (or "NAME" for a button), the text after "option ".
void setXboardOption(const char* text);
// Table size in megabytes, as the memory command gives it.
void setMemory(int megabytes);
