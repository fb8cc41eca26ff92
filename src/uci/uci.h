// The UCI program: the conversation of UCI front ends, libraries and bots
// over the same engine as the UCCI program.
#pragma once

// Runs the engine on standard input and output; returns the exit status (0).
int uciMain(int argc, char** argv);
