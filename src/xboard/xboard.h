// The XBoard program: the CECP conversation of XBoard and WinBoard (protocol
// version 2) over the same engine as the UCCI and UCI programs.
#pragma once

// Runs the engine on standard input and output; returns the exit status (0).
int xboardMain(int argc, char** argv);
