// One go, whatever protocol asked for it: a request in milliseconds and plies,
// the book, the clock budget and the limits, the search, and the answer held
// until the front end releases it. What arrives meanwhile and what is printed
// belong to the protocol's Conversation.
#pragma once

#include <cstdint>

#include "search/driver.h"
#include "session/session.h"

// Every field a protocol's go can name. A limit named at all counts, whatever
// its value: at worst it ends the search at once.
struct GoRequest {
    int64_t clock[2] = {0, 0};        // milliseconds left, red and black; below 0 has run out
    bool clockGiven[2] = {false, false};
    int64_t increment[2] = {0, 0};    // milliseconds
    int64_t movesToGo = 0;            // moves up to the next time control; 0: the whole game
    bool moveTimeGiven = false;
    int64_t moveTime = 0;             // milliseconds: used in full, never exceeded
    bool depthGiven = false;
    int64_t depth = 0;
    bool nodesGiven = false;
    int64_t nodes = 0;
    bool mateGiven = false;
    int64_t mate = 0;                 // moves
    bool infinite = false;            // ends only when stopped
    bool ponder = false;              // on the opponent's time until ponderhit
    bool drawOffered = false;         // the opponent offers a draw
    bool analysis = false;            // runs to its limits even when one move is all there is
    bool mayUseBook = false;
    const Move* searchMoves = nullptr;  // when searchMoveCount > 0, the only root moves to search
    int32_t searchMoveCount = 0;
};

// How a protocol answers beyond what a request says.
struct AnswerRules {
    bool noMoveWhenDrawn = false;  // a position drawn by rule is answered without a move or a search
    bool holdInfinite = false;     // a search without a limit of its own answers only once stopped
};

enum AnswerSource {
    AnswerDrawn,   // drawn by rule: no move
    AnswerBook,
    AnswerSearch,  // move 0 when the search found none (no legal move, or stopped first)
};

struct GoAnswer {
    AnswerSource source;
    Move move;
    Move ponderMove;
    ResultOffer offer;
    bool drawAcceptable;
    SearchStatistics statistics;   // for AnswerSearch
    const Move* pv;                // for AnswerSearch: 0-terminated, valid until the next search
    bool held;                     // the search had ended before the front end released it
    bool ponderHit;                // a ponderhit came during the search or the hold
    bool stopped;                  // stop or quit came, or the output was lost
};

// A protocol's side of a go.
class Conversation {
public:
    virtual ~Conversation() = default;
    AnswerRules rules;
    // A new best root move (or, with several lines, each line) at a depth.
    virtual void newBestMove(const SearchReport& report) = 0;
    // A line that arrives while the search runs or its answer is held.
    virtual PollEvent busyLine(const char* line) = 0;
    // Standard input has ended, or the front end closed our output.
    virtual PollEvent inputEnded() { return PollInputEnded; }
    virtual PollEvent outputLost() { return PollQuit; }
    // 0 while the search must not read input (UCCI's batch mode).
    virtual bool readsInput() { return true; }
    // A book move is about to answer the request.
    virtual void bookMove(int) {}
    // The answer, as soon as it may go out: when the search ends, or once a
    // held answer is released.
    virtual void answer(const GoAnswer& answer) = 0;
};

// The limits of the request for a search of root with the session's options;
// the game's banned moves apply when root is the game's position.
SearchLimits searchLimitsOf(EngineSession& session, const Position& root, const GoRequest& request);

// Answers the request for root: drawn by rule, from the book, or by a search.
// A ponder search not yet hit, and with holdInfinite a search that only stop
// ends, keep their answer until the front end releases it.
GoAnswer runGo(EngineSession& session, const Position& root, const GoRequest& request, Conversation& conversation);
