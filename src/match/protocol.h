// What an engine says, per protocol: the lines the runner acts on, read into
// one event record, and the move text of engines that count ranks from 1.
#pragma once

#include <cstdint>
#include <string>

#include "board/position.h"
#include "match/match.h"

enum EngineEventKind {
    EventNone,       // a line the runner does not act on
    EventHandshake,  // uciok, ucciok, feature ... done=1
    EventReady,      // readyok, pong N (number in value)
    EventMove,       // bestmove / move, with the ponder move when given
    EventNoMove,     // nobestmove, bestmove (none)
    EventResign,     // CECP resign
    EventScore,      // a thinking line with a score
    EventRefusal,    // CECP "Illegal move": the engine refused a move of ours
};

struct EngineEvent {
    EngineEventKind kind;
    std::string move, ponder;  // as the engine wrote them
    int32_t resigns;           // UCCI: bestmove ... resign
    int32_t depth;
    int32_t scoreCp;
    int32_t mateIn;  // moves to mate, negative when mated; 0 for none
    int64_t value;
};

// What an engine has told about itself in its handshake.
struct EngineTraits {
    std::string name;
    int32_t variantOption;  // UCI: announces UCI_Variant
    int32_t millisec;       // UCCI: announces usemillisec
    int32_t usermove;       // CECP features
    int32_t setboard;
    int32_t ping;
    int32_t san;
};

void readEngineLine(Protocol protocol, const char* line, EngineEvent& event, EngineTraits& traits);

// The move a text names (ranks 0..9, or 1..10 when ranksFromOne); 0 when unreadable.
Move moveOfEngineText(const std::string& text, int ranksFromOne);
// The text of move for an engine.
std::string engineTextOfMove(Move move, int ranksFromOne);
