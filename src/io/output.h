// Protocol output: one line at a time, flushed at once so that a front end
// waiting on the pipe sees it.
#pragma once

// Writes text and a line feed to standard output (or to the sink a test has
// set) and flushes.
void printLine(const char* text);
// 1 once a write has failed: the front end closed our output and nothing
// more can reach it.
int outputClosed();

// Replaces standard output by sink (nullptr: standard output again); for
// running a conversation in process.
void setOutputSink(void (*sink)(const char* line, void* state), void* state);
