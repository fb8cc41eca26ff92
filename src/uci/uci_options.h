// The options of the UCI program: what uci announces and setoption changes.
#pragma once

#include <cstdint>

struct UciOptions {
    int hashMegabytes;
    int ponder;        // a quarter more normal time, as for the time saved on hits
    int ownBook;
    int lines;         // MultiPV
    int moveOverhead;  // milliseconds kept back from the clock for the way to the front end
    int pruning;
    int knowledge;
    int randomMask;    // Selectivity: 0, 1, 3 or 7
    uint32_t randomSeed;
    char bookPath[1024];
};

extern UciOptions UciSettings;

// Start-up values; the book lies beside the program.
void resetUciOptions(const char* programName, uint32_t seed);
// The option lines of the handshake.
void printOptions();
// Applies a whole "setoption name N [value V]" line.
void setUciOption(const char* line);
