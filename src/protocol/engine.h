// The program's life: handshake, start-up, idle loop and its options.
#pragma once

#include <cstdint>

// Runs the engine on standard input and output; returns the exit status (0).
int engineMain(int argc, char** argv);

// Directory of programName (up to its last '/' or '\\') followed by fileName,
// truncated to fit destination.
void locatePath(char* destination, int destinationSize, const char* programName, const char* fileName);
