#include "io/platform.h"

#include <cstdio>
#include <fcntl.h>
#include <io.h>
#include <windows.h>

namespace {

// Window and mouse events would count as pending console input without ever
// completing a line.
constexpr DWORD WindowAndMouseInput = ENABLE_WINDOW_INPUT | ENABLE_MOUSE_INPUT;

HANDLE asHandle(InputHandle handle) { return reinterpret_cast<HANDLE>(handle); }

// Source and sink of the input relay, written once before its thread starts.
HANDLE RelaySource = INVALID_HANDLE_VALUE;
HANDLE RelaySink = INVALID_HANDLE_VALUE;

// Copies the original standard input into the relay pipe until it ends, then
// closes the pipe so that the engine sees the end of input.
DWORD WINAPI relayInput(LPVOID) {
    char chunk[4096];
    DWORD got = 0;
    while (ReadFile(RelaySource, chunk, sizeof chunk, &got, nullptr) && got > 0) {
        DWORD done = 0;
        while (done < got) {
            DWORD put = 0;
            if (!WriteFile(RelaySink, chunk + done, got - done, &put, nullptr)) {
                CloseHandle(RelaySink);
                return 0;
            }
            done += put;
        }
    }
    CloseHandle(RelaySink);
    return 0;
}

// A pipe that cannot be peeked (Wine hands a Unix pipe to the program this
// way) would make every poll during a search wait inside ReadFile for the next
// command. Such input is relayed through a pipe of our own, which can be.
HANDLE peekableInput(HANDLE input) {
    if (GetFileType(input) != FILE_TYPE_PIPE) return input;
    DWORD available = 0;
    if (PeekNamedPipe(input, nullptr, 0, nullptr, &available, nullptr)) return input;
    if (GetLastError() == ERROR_BROKEN_PIPE) return input;
    HANDLE readEnd = INVALID_HANDLE_VALUE;
    HANDLE writeEnd = INVALID_HANDLE_VALUE;
    if (!CreatePipe(&readEnd, &writeEnd, nullptr, 0)) return input;
    RelaySource = input;
    RelaySink = writeEnd;
    HANDLE thread = CreateThread(nullptr, 0, relayInput, nullptr, 0, nullptr);
    if (thread == nullptr) {
        CloseHandle(readEnd);
        CloseHandle(writeEnd);
        return input;
    }
    CloseHandle(thread);
    return readEnd;
}

}  // namespace

InputHandle platformStandardInput(int32_t& isConsole) {
    // Protocol lines end in a bare line feed, as on every other system; the C
    // runtime would otherwise write each one as CR LF.
    _setmode(_fileno(stdout), _O_BINARY);
    HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD mode = 0;
    isConsole = GetConsoleMode(input, &mode) ? 1 : 0;
    if (isConsole) {
        SetConsoleMode(input, mode & ~WindowAndMouseInput);
        FlushConsoleInputBuffer(input);
        return reinterpret_cast<InputHandle>(input);
    }
    return reinterpret_cast<InputHandle>(peekableInput(input));
}

int platformConsoleEvents(InputHandle handle) {
    DWORD events = 0;
    if (!GetNumberOfConsoleInputEvents(asHandle(handle), &events)) return 0;
    return events > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(events);
}

int platformPeekInput(InputHandle handle, int32_t& available) {
    DWORD total = 0;
    if (!PeekNamedPipe(asHandle(handle), nullptr, 0, nullptr, &total, nullptr)) return 0;
    available = total > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int32_t>(total);
    return 1;
}

int platformReadInput(InputHandle handle, char* destination, int size) {
    if (size <= 0) return -1;
    DWORD got = 0;
    if (!ReadFile(asHandle(handle), destination, static_cast<DWORD>(size), &got, nullptr))
        return GetLastError() == ERROR_NO_DATA ? -1 : 0;
    return static_cast<int>(got);
}

void platformWaitForInput(InputHandle, int) { Sleep(1); }

int platformProgramFile(char* destination, int size) {
    if (size <= 1) return 0;
    const DWORD length = GetModuleFileNameA(nullptr, destination, static_cast<DWORD>(size));
    return length > 0 && length < static_cast<DWORD>(size) ? 1 : 0;
}
