#include "common/engine_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <poll.h>
#include <sstream>
#include <sys/wait.h>
#include <unistd.h>

// The built programs, where the build names them.
#ifndef QUORVEL_BINARY
#define QUORVEL_BINARY ""
#endif
#ifndef QUORVEL_UCI_BINARY
#define QUORVEL_UCI_BINARY ""
#endif
#ifndef QUORVEL_XBOARD_BINARY
#define QUORVEL_XBOARD_BINARY ""
#endif

namespace {

using Clock = std::chrono::steady_clock;

int millisecondsLeft(Clock::time_point deadline) {
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

std::string commandOf(const char* variable, const char* built) {
    const char* fromEnvironment = std::getenv(variable);
    if (fromEnvironment != nullptr && fromEnvironment[0] != '\0') return fromEnvironment;
    return built;
}

}  // namespace

std::string EngineProcess::engineCommand() { return commandOf("QUORVEL_ENGINE", QUORVEL_BINARY); }
std::string EngineProcess::uciCommand() { return commandOf("QUORVEL_UCI_ENGINE", QUORVEL_UCI_BINARY); }
std::string EngineProcess::xboardCommand() { return commandOf("QUORVEL_XBOARD_ENGINE", QUORVEL_XBOARD_BINARY); }

EngineProcess::~EngineProcess() {
    // Leave the way a front end does: quit, end of input, and a kill only for a
    // program that ignores both, so that a run under Wine does not kill clients
    // of Wine's shared server mid-flight.
    if (pid_ > 0) {
        send("quit");
        closeInput();
        wait(2000);
    }
    if (toChild_ >= 0) close(toChild_);
    if (fromChild_ >= 0) close(fromChild_);
}

bool EngineProcess::start(const std::string& command) {
    std::vector<std::string> words;
    std::istringstream split(command.empty() ? engineCommand() : command);
    for (std::string word; split >> word;) words.push_back(word);
    if (words.empty() || pid_ > 0) return false;

    // A program that exits early must not kill the test with SIGPIPE.
    signal(SIGPIPE, SIG_IGN);
    int input[2], output[2];
    if (pipe(input) != 0) return false;
    if (pipe(output) != 0) {
        close(input[0]);
        close(input[1]);
        return false;
    }
    pid_t child = fork();
    if (child < 0) {
        for (int fd : {input[0], input[1], output[0], output[1]}) close(fd);
        return false;
    }
    if (child == 0) {
        dup2(input[0], 0);
        dup2(output[1], 1);
        for (int fd : {input[0], input[1], output[0], output[1]}) close(fd);
        std::vector<char*> argv;
        for (auto& word : words) argv.push_back(&word[0]);
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    close(input[0]);
    close(output[1]);
    fcntl(input[1], F_SETFD, FD_CLOEXEC);
    fcntl(output[0], F_SETFD, FD_CLOEXEC);
    pid_ = child;
    toChild_ = input[1];
    fromChild_ = output[0];
    outputEnded_ = false;
    pending_.clear();
    return true;
}

bool EngineProcess::send(const std::string& line) { return sendRaw(line + "\n"); }

bool EngineProcess::sendRaw(const std::string& bytes) {
    if (toChild_ < 0) return false;
    size_t done = 0;
    while (done < bytes.size()) {
        ssize_t written = write(toChild_, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR) continue;
        if (written <= 0) return false;
        done += static_cast<size_t>(written);
    }
    return true;
}

void EngineProcess::closeOutput() {
    if (fromChild_ >= 0) close(fromChild_);
    fromChild_ = -1;
    outputEnded_ = true;
}

void EngineProcess::closeInput() {
    if (toChild_ >= 0) close(toChild_);
    toChild_ = -1;
}

EngineProcess::ReadResult EngineProcess::readLine(std::string& line, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return LineRead;
        }
        if (outputEnded_ || fromChild_ < 0) return OutputEnded;
        pollfd ready = {fromChild_, POLLIN, 0};
        int polled = poll(&ready, 1, millisecondsLeft(deadline));
        if (polled < 0 && errno == EINTR) continue;
        if (polled <= 0) return TimedOut;
        char chunk[4096];
        ssize_t got = read(fromChild_, chunk, sizeof chunk);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            outputEnded_ = true;
            continue;
        }
        pending_.append(chunk, static_cast<size_t>(got));
    }
}

bool EngineProcess::waitFor(const std::string& prefix, std::vector<std::string>* seen, int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string line;
    while (readLine(line, millisecondsLeft(deadline)) == LineRead) {
        if (seen != nullptr) seen->push_back(line);
        if (line.compare(0, prefix.size(), prefix) == 0) return true;
    }
    return false;
}

std::vector<std::string> EngineProcess::readAll(int timeoutMs) {
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::vector<std::string> lines;
    std::string line;
    while (readLine(line, millisecondsLeft(deadline)) == LineRead) lines.push_back(line);
    return lines;
}

int EngineProcess::wait(int timeoutMs) {
    if (pid_ <= 0) return -1;
    auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    int status = 0;
    for (;;) {
        pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) break;
        if (done < 0 && errno != EINTR) {
            pid_ = -1;
            return -1;
        }
        if (millisecondsLeft(deadline) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, nullptr, 0);
            pid_ = -1;
            return -1;
        }
        usleep(2000);
    }
    pid_ = -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}
