// fork and exec with close-on-exec pipes; the child's stderr stays the runner's.
#include "match/process.h"

#include <cerrno>
#include <csignal>
#include <cstdint>
#include <ctime>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

std::vector<std::string> splitArguments(const std::string& text) {
    std::vector<std::string> words;
    std::string word;
    int inWord = 0;
    char quote = 0;
    for (char c : text) {
        if (quote != 0) {
            if (c == quote) quote = 0;
            else word += c;
        } else if (c == '"' || c == '\'') {
            quote = c;
            inWord = 1;
        } else if (c == ' ' || c == '\t') {
            if (inWord) words.push_back(word);
            word.clear();
            inWord = 0;
        } else {
            word += c;
            inWord = 1;
        }
    }
    if (inWord) words.push_back(word);
    return words;
}

int reap(pid_t pid, int block) {
    int status;
    for (;;) {
        pid_t got = waitpid(pid, &status, block ? 0 : WNOHANG);
        if (got == pid || (got < 0 && errno != EINTR)) return 1;
        if (got == 0) return 0;
    }
}

}  // namespace

int64_t nowUs() {
    timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000000 + now.tv_nsec / 1000;
}

int64_t nowMs() { return nowUs() / 1000; }

int startProcess(ChildProcess& child, const std::string& command, const std::string& arguments,
                 const std::string& directory) {
    child = ChildProcess{-1, -1, -1};
    std::vector<std::string> words = splitArguments(arguments);
    words.insert(words.begin(), command);
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(&word[0]);
    argv.push_back(nullptr);

    int toChild[2], fromChild[2];
    if (pipe2(toChild, O_CLOEXEC) != 0) return 0;
    if (pipe2(fromChild, O_CLOEXEC) != 0) {
        close(toChild[0]);
        close(toChild[1]);
        return 0;
    }
    // The exec's failure comes back through this pipe, which an exec closes.
    int failure[2];
    if (pipe2(failure, O_CLOEXEC) != 0) {
        for (int fd : {toChild[0], toChild[1], fromChild[0], fromChild[1]}) close(fd);
        return 0;
    }
    pid_t pid = fork();
    if (pid == 0) {
        setpgid(0, 0);
        dup2(toChild[0], 0);
        dup2(fromChild[1], 1);
        signal(SIGPIPE, SIG_DFL);
        int error = 0;
        if (!directory.empty() && chdir(directory.c_str()) != 0) error = errno;
        if (error == 0) {
            execvp(argv[0], argv.data());
            error = errno;
        }
        ssize_t ignored = write(failure[1], &error, sizeof error);
        (void)ignored;
        _exit(127);
    }
    close(toChild[0]);
    close(fromChild[1]);
    close(failure[1]);
    int error = 0;
    ssize_t got = pid > 0 ? read(failure[0], &error, sizeof error) : -1;
    close(failure[0]);
    if (pid < 0 || got > 0) {
        close(toChild[1]);
        close(fromChild[0]);
        if (pid > 0) reap(pid, 1);
        return 0;
    }
    fcntl(toChild[1], F_SETFL, fcntl(toChild[1], F_GETFL) | O_NONBLOCK);
    fcntl(fromChild[0], F_SETFL, fcntl(fromChild[0], F_GETFL) | O_NONBLOCK);
    child = ChildProcess{pid, toChild[1], fromChild[0]};
    return 1;
}

long writeSome(ChildProcess& child, const char* bytes, size_t size) {
    if (child.input < 0) return -1;
    for (;;) {
        ssize_t written = write(child.input, bytes, size);
        if (written >= 0) return written;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? 0 : -1;
    }
}

long readSome(ChildProcess& child, char* bytes, size_t size) {
    if (child.output < 0) return 0;
    for (;;) {
        ssize_t got = read(child.output, bytes, size);
        if (got >= 0) return got;
        if (errno == EINTR) continue;
        return errno == EAGAIN || errno == EWOULDBLOCK ? -1 : 0;
    }
}

void stopProcesses(ChildProcess* const* children, int count, int graceMs) {
    constexpr int PollStepMs = 5;
    for (int n = 0; n < count; n++) {
        ChildProcess& child = *children[n];
        if (child.input >= 0) close(child.input);
        if (child.output >= 0) close(child.output);
        child.input = child.output = -1;
    }
    int64_t deadline = nowMs() + graceMs;
    for (;;) {
        int running = 0;
        for (int n = 0; n < count; n++) {
            ChildProcess& child = *children[n];
            if (child.pid > 0 && reap(child.pid, 0)) child.pid = -1;
            running += child.pid > 0;
        }
        if (running == 0 || nowMs() >= deadline) break;
        usleep(PollStepMs * 1000);
    }
    for (int n = 0; n < count; n++) {
        ChildProcess& child = *children[n];
        if (child.pid <= 0) continue;
        kill(-child.pid, SIGKILL);
        kill(child.pid, SIGKILL);
        reap(child.pid, 1);
        child.pid = -1;
    }
}

void stopProcess(ChildProcess& child, int graceMs) {
    ChildProcess* one = &child;
    stopProcesses(&one, 1, graceMs);
}
