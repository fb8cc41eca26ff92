// Engines as child processes: started with pipes on their standard input and
// output, both ends of ours non-blocking, so that one poll() loop serves every
// engine and no engine can make the runner wait.
#pragma once

#include <cstdint>
#include <string>
#include <sys/types.h>

struct ChildProcess {
    pid_t pid;
    int input;   // the engine's standard input, our writing end; -1 when closed
    int output;  // the engine's standard output, our reading end; -1 when closed
};

// Starts command with arguments split at blanks (a word may be quoted), in
// directory when it is not empty, in a process group of its own so that the
// terminal's interrupt reaches the runner only. 0 when it cannot be started.
int startProcess(ChildProcess& child, const std::string& command, const std::string& arguments,
                 const std::string& directory);

// Writes what it can without waiting; returns the bytes written, 0 when the
// pipe is full, -1 when the engine's input is gone.
long writeSome(ChildProcess& child, const char* bytes, size_t size);
// Reads what is there without waiting; bytes read, 0 at the end of output,
// -1 when nothing is there now.
long readSome(ChildProcess& child, char* bytes, size_t size);

// Closes our ends and waits at most graceMs for the engine to exit by
// itself, then kills it. Never waits longer.
void stopProcess(ChildProcess& child, int graceMs);
// The same for several at once: every engine gets the same grace period.
void stopProcesses(ChildProcess* const* children, int count, int graceMs);

// Monotonic milliseconds and microseconds.
int64_t nowMs();
int64_t nowUs();
