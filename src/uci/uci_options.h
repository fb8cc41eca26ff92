// The options as UCI shows them: the lines of the handshake and setoption.
#pragma once

#include "session/session.h"

// The option lines of the handshake.
void printOptions();
// Applies a whole "setoption name N [value V]" line, saying in an info
// string what it could not take as given.
void setUciOption(EngineSession& session, const char* line);
