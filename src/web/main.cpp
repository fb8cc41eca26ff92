// The engine of the browser build: quorvel-uci's conversation, each line out
// posted by the worker script as one message (web/quorvel-worker.js).
#include <emscripten.h>

#include "io/output.h"
#include "uci/uci.h"

EM_JS(void, webPostLine, (const char* line), { Module.quorvelHost.post(UTF8ToString(line)); });
// After quit: the worker ends.
EM_JS(void, webFinished, (), { Module.quorvelHost.finished(); });

namespace {

void postLine(const char* line, void*) { webPostLine(line); }

}  // namespace

int main(int argc, char** argv) {
    setOutputSink(postLine, nullptr);
    const int status = uciMain(argc, argv);
    webFinished();
    return status;
}
