// The XBoard program: the CECP conversation of XBoard and WinBoard (protocol
// version 2) over the engine session.
#pragma once

#include "session/session.h"

// Runs the engine on standard input and output; returns the exit status (0).
int xboardMain(int argc, char** argv, const SessionBounds& bounds = SessionBounds());
