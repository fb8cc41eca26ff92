// The operating-system side of line input: what the line buffer needs from
// standard input, one implementation per platform (platform_posix.cpp,
// platform_win32.cpp, platform_web.cpp); and where the program file lies.
#pragma once

#include <cstdint>

// A file descriptor on POSIX, a HANDLE on Windows.
using InputHandle = intptr_t;

// Binds standard input. isConsole becomes 1 for an interactive console whose
// pending input is counted in events rather than bytes, else 0.
InputHandle platformStandardInput(int32_t& isConsole);

// Console only: number of input events queued, without waiting.
int platformConsoleEvents(InputHandle handle);

// Pipe or file: bytes waiting, without waiting. Returns 1 with available set,
// or 0 when the query fails; the caller then treats input as ready so that the
// following read reports the end of input at once.
int platformPeekInput(InputHandle handle, int32_t& available);

// One read of at most size bytes. Returns the bytes read, 0 at the end of
// input (or on a failure that no retry can mend), -1 when nothing was there.
int platformReadInput(InputHandle handle, char* destination, int size);

// Idle wait: returns when input may have arrived, or after a short while.
// Uses no processor time while it waits.
void platformWaitForInput(InputHandle handle, int isConsole);

// The full path of the running program's own file, links resolved: 1, or 0
// where the system cannot tell (the browser) or the whole path does not fit
// in size bytes.
int platformProgramFile(char* destination, int size);
