// Line input in a Web Worker (and in Node's worker_threads): the worker script
// queues each message it receives as a line (web/quorvel-worker.js), and the
// engine reads that queue as it reads a pipe elsewhere. A single-threaded
// worker hears its messages only between tasks, so the engine gives the event
// loop its turn: while idle, until a message comes; while searching, at the
// poll, once every YieldInterval milliseconds.
#include "io/platform.h"

#include <emscripten.h>

// Bytes queued by the worker script, not yet read.
EM_JS(int, webQueuedBytes, (), { return Module.quorvelHost.queuedBytes(); });

// Copies at most size queued bytes to destination; returns their number.
EM_JS(int, webTakeBytes, (char* destination, int size), {
    const bytes = Module.quorvelHost.take(size);
    HEAPU8.set(bytes, destination);
    return bytes.length;
});

// Resumes when a message has arrived, or after milliseconds.
EM_ASYNC_JS(void, webWaitForMessage, (int milliseconds), { await Module.quorvelHost.waitForMessage(milliseconds); });

// Resumes as soon as the messages already posted to the worker have been queued.
EM_ASYNC_JS(void, webYield, (), { await Module.quorvelHost.yieldTurn(); });

namespace {

// Short enough that a stop is answered well within 100 ms, long enough that
// the turns cost little of the search (each is a task of the event loop).
constexpr double YieldInterval = 20.0;
constexpr int IdleWaitMilliseconds = 1000;

double LastYield = 0.0;

}  // namespace

InputHandle platformStandardInput(int32_t& isConsole) {
    isConsole = 0;
    LastYield = emscripten_get_now();
    return 0;
}

int platformConsoleEvents(InputHandle) { return 0; }

int platformPeekInput(InputHandle, int32_t& available) {
    const double now = emscripten_get_now();
    if (now - LastYield >= YieldInterval) {
        webYield();
        LastYield = emscripten_get_now();
    }
    available = webQueuedBytes();
    return 1;
}

// The worker's input never ends: the page ends it by terminating the worker.
int platformReadInput(InputHandle, char* destination, int size) {
    const int got = webTakeBytes(destination, size);
    return got > 0 ? got : -1;
}

void platformWaitForInput(InputHandle, int) {
    webWaitForMessage(IdleWaitMilliseconds);
    LastYield = emscripten_get_now();
}

// The worker runs the engine as /quorvel beside the book it wrote to /qvr.bin:
// argv[0] says it all.
int platformProgramFile(char*, int) { return 0; }
