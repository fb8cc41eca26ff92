// The UCI program: the conversation of UCI front ends, libraries and bots
// over the engine session.
#pragma once

#include "session/session.h"

// Runs the engine on standard input and output; returns the exit status (0).
int uciMain(int argc, char** argv, const SessionBounds& bounds = SessionBounds());
