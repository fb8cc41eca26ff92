// Lines that arrive during a search and are not for it are kept in order and
// handed out once the search is over, before any new line is read.
#pragma once

// Keeps line; a line beyond the room is dropped.
void deferLine(const char* line);
// 1 with the oldest kept line in destination (LineBufferSize bytes).
int takeDeferredLine(char* destination);
void clearDeferredLines();
