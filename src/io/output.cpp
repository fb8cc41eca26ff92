#include "io/output.h"

#include <cstdio>

namespace {

void (*Sink)(const char* line, void* state) = nullptr;
void* SinkState = nullptr;
int Closed = 0;

}  // namespace

void printLine(const char* text) {
    if (Sink != nullptr) {
        Sink(text, SinkState);
        return;
    }
    if (std::printf("%s\n", text) < 0 || std::fflush(stdout) != 0) Closed = 1;
}

int outputClosed() { return Closed; }

void setOutputSink(void (*sink)(const char* line, void* state), void* state) {
    Sink = sink;
    SinkState = state;
}
