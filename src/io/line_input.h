// Buffered line input from standard input that never waits unless asked to:
// the idle side waits for lines, the search polls for them.
#pragma once

#include <cstddef>
#include <cstdint>
#include "io/platform.h"

// Every destination handed to takeLine/readLine holds this many bytes: a line
// comes out as at most 4095 characters and a terminating zero.
constexpr int LineBufferSize = 4096;

struct LineInput {
    InputHandle readHandle;
    int32_t isConsole;
    int32_t pipeAvailable;   // bytes reported waiting and not yet read; may go negative
    int32_t bufferedBytes;   // 0..LineBufferSize
    int32_t ended;           // a read after a ready report found nothing: input is over
    const char* memory;      // not null: the input is these bytes, not standard input
    size_t memoryLeft;
    char buffer[LineBufferSize];
};

// The program's one line input, on standard input.
extern LineInput Input;

// Binds Input to standard input (or to the bytes useMemoryInput named) and empties it.
void openInput();
// Makes the next openInput read these bytes, then report the end of input:
// a whole conversation run in process. The bytes must outlive the run.
void useMemoryInput(const char* bytes, size_t size);
// 1 when a read would find input or return at once; never waits.
int inputReady();
// One read into the free part of the buffer.
void fillBuffer();
// Hands out one complete buffered line without its line end; 1 if it did.
int takeLine(char* destination);
// A complete line if one is buffered or pending now, 1 if so; never waits for
// input that has not arrived. A run of 4096 bytes without a line feed comes
// out in slices of 4095 characters.
int readLine(char* destination);
// Idle side: 1 with the next line, or 0 once input has ended for good. Waits
// without using the processor.
int waitForLine(char* destination);
// 1 once standard input has ended and no complete line is left in the buffer.
int inputEnded();
