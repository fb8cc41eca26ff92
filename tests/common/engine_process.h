// Drives a program over pipes the way a UCCI front end does: lines to its
// standard input, lines back from its standard output, every wait bounded.
//
// The program is QUORVEL_BINARY unless the environment variable QUORVEL_ENGINE
// names another command line, split at spaces, so that the same tests can run
// a prefix such as "wine build-win/quorvel.exe".
#pragma once

#include <string>
#include <sys/types.h>
#include <vector>

class EngineProcess {
public:
    EngineProcess() = default;
    EngineProcess(const EngineProcess&) = delete;
    EngineProcess& operator=(const EngineProcess&) = delete;
    ~EngineProcess();  // ends a program still running: quit, then a kill after 2 s

    // Starts command (split at spaces); an empty command means the engine
    // under test. Returns false when the program could not be started.
    bool start(const std::string& command = "");

    // Writes line and a line feed; false once the program's input is closed.
    bool send(const std::string& line);
    // Writes bytes exactly as given.
    bool sendRaw(const std::string& bytes);
    // Closes the program's standard input (end of input for the program).
    void closeInput();
    // Closes our end of the program's standard output: its writes fail from now on.
    void closeOutput();

    enum ReadResult { LineRead = 1, TimedOut = 0, OutputEnded = -1 };
    // Next output line without its line feed, waiting at most timeoutMs.
    ReadResult readLine(std::string& line, int timeoutMs = 5000);
    // Reads lines until one begins with prefix; every line read (the match
    // included) is appended to seen when it is given. False on timeout or end.
    bool waitFor(const std::string& prefix, std::vector<std::string>* seen = nullptr,
                 int timeoutMs = 5000);
    // Every line until the program closes its output, or until timeoutMs.
    std::vector<std::string> readAll(int timeoutMs = 5000);

    // Waits for the program to end; kills it after timeoutMs. Returns its exit
    // status, or -1 when it had to be killed or ended by a signal.
    int wait(int timeoutMs = 5000);
    bool running() const { return pid_ > 0; }

    // The default command: $QUORVEL_ENGINE or else QUORVEL_BINARY.
    static std::string engineCommand();
    // The UCI program: $QUORVEL_UCI_ENGINE or else QUORVEL_UCI_BINARY.
    static std::string uciCommand();
    // The XBoard program: $QUORVEL_XBOARD_ENGINE or else QUORVEL_XBOARD_BINARY.
    static std::string xboardCommand();

private:
    pid_t pid_ = -1;
    int toChild_ = -1;
    int fromChild_ = -1;
    bool outputEnded_ = false;
    std::string pending_;  // output bytes after the last complete line
};
