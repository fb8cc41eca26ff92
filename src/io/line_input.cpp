#include "io/line_input.h"

#include <cstring>

LineInput Input;

namespace {

const char* PendingMemory = nullptr;
size_t PendingMemorySize = 0;

}  // namespace

void useMemoryInput(const char* bytes, size_t size) {
    PendingMemory = bytes;
    PendingMemorySize = size;
}

void openInput() {
    Input.memory = PendingMemory;
    Input.memoryLeft = PendingMemorySize;
    PendingMemory = nullptr;
    if (Input.memory != nullptr) {
        Input.isConsole = 0;
    } else {
        Input.readHandle = platformStandardInput(Input.isConsole);
    }
    Input.pipeAvailable = 0;
    Input.bufferedBytes = 0;
    Input.ended = 0;
}

int inputReady() {
    // Bytes in memory are always there, or their end is.
    if (Input.memory != nullptr) return 1;
    if (Input.isConsole != 0)
        return platformConsoleEvents(Input.readHandle) > 1 ? 1 : 0;
    if (Input.pipeAvailable > 0) return 1;
    int32_t available = 0;
    if (platformPeekInput(Input.readHandle, available) == 0) return 1;
    Input.pipeAvailable = available;
    return available > 0 ? 1 : 0;
}

void fillBuffer() {
    const int room = LineBufferSize - Input.bufferedBytes;
    if (room <= 0) return;
    int got;
    if (Input.memory != nullptr) {
        got = Input.memoryLeft < static_cast<size_t>(room) ? static_cast<int>(Input.memoryLeft) : room;
        std::memcpy(Input.buffer + Input.bufferedBytes, Input.memory, static_cast<size_t>(got));
        Input.memory += got;
        Input.memoryLeft -= static_cast<size_t>(got);
    } else {
        got = platformReadInput(Input.readHandle, Input.buffer + Input.bufferedBytes, room);
    }
    if (got == 0) Input.ended = 1;
    if (got <= 0) return;
    Input.bufferedBytes += got;
    if (Input.pipeAvailable > 0) Input.pipeAvailable -= got;
}

int takeLine(char* destination) {
    const void* found = std::memchr(Input.buffer, '\n', static_cast<size_t>(Input.bufferedBytes));
    if (found == nullptr) return 0;
    const int length = static_cast<int>(static_cast<const char*>(found) - Input.buffer);
    std::memcpy(destination, Input.buffer, static_cast<size_t>(length));
    destination[length] = '\0';
    Input.bufferedBytes -= length + 1;
    std::memmove(Input.buffer, Input.buffer + length + 1, static_cast<size_t>(Input.bufferedBytes));
    char* carriageReturn = std::strchr(destination, '\r');
    if (carriageReturn != nullptr) *carriageReturn = '\0';
    return 1;
}

int readLine(char* destination) {
    if (takeLine(destination)) return 1;
    if (!inputReady()) return 0;
    fillBuffer();
    if (takeLine(destination)) return 1;
    if (Input.bufferedBytes == LineBufferSize) {
        // An over-long line comes out in slices rather than being lost.
        std::memcpy(destination, Input.buffer, LineBufferSize - 1);
        destination[LineBufferSize - 1] = '\0';
        Input.buffer[0] = Input.buffer[LineBufferSize - 1];
        Input.bufferedBytes = 1;
        return 1;
    }
    return 0;
}

int inputEnded() {
    return Input.ended != 0 && std::memchr(Input.buffer, '\n', static_cast<size_t>(Input.bufferedBytes)) == nullptr;
}

int waitForLine(char* destination) {
    for (;;) {
        if (readLine(destination)) return 1;
        if (inputEnded()) return 0;
        if (Input.memory == nullptr) platformWaitForInput(Input.readHandle, Input.isConsole);
    }
}
