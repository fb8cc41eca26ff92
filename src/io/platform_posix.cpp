#include "io/platform.h"

#include <cerrno>
#include <csignal>
#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

// POSIX has no console distinct from a byte stream: a terminal in line mode
// reports a line as pending bytes like a pipe does.
InputHandle platformStandardInput(int32_t& isConsole) {
    // A front end that closes our output must not kill us with a signal: the
    // failed write says so, and the engine ends by itself.
    std::signal(SIGPIPE, SIG_IGN);
    isConsole = 0;
    return STDIN_FILENO;
}

int platformConsoleEvents(InputHandle) { return 0; }

int platformPeekInput(InputHandle handle, int32_t& available) {
    const int fd = static_cast<int>(handle);
    pollfd query = {fd, POLLIN, 0};
    int polled;
    do {
        polled = poll(&query, 1, 0);
    } while (polled < 0 && errno == EINTR);
    if (polled < 0) return 0;
    if (polled == 0) {
        available = 0;
        return 1;
    }
    // Readable (or hung up, or closed): count the bytes. Readable with nothing
    // to count is the end of input, which the read must be allowed to report.
    int count = 0;
    if ((query.revents & POLLIN) == 0 || ioctl(fd, FIONREAD, &count) != 0 || count <= 0) return 0;
    available = count;
    return 1;
}

int platformReadInput(InputHandle handle, char* destination, int size) {
    for (;;) {
        ssize_t got = read(static_cast<int>(handle), destination, static_cast<size_t>(size));
        if (got >= 0) return static_cast<int>(got);
        if (errno == EINTR) continue;
        return (errno == EAGAIN || errno == EWOULDBLOCK) ? -1 : 0;
    }
}

void platformWaitForInput(InputHandle handle, int) {
    pollfd query = {static_cast<int>(handle), POLLIN, 0};
    poll(&query, 1, 1000);
}

int platformProgramFile(char* destination, int size) {
    // Linux names the file itself here, whatever link or PATH search started it.
    if (size <= 1) return 0;
    const ssize_t length = readlink("/proc/self/exe", destination, static_cast<size_t>(size) - 1);
    if (length <= 0 || length >= size - 1) return 0;
    destination[length] = '\0';
    return 1;
}
