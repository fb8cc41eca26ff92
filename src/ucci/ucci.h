// The UCCI program: the conversation of UCCI front ends over the engine session.
#pragma once

#include "session/session.h"

// Runs the engine on standard input and output; returns the exit status (0).
int ucciMain(int argc, char** argv, const SessionBounds& bounds = SessionBounds());
