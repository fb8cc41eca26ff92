// The fuzz targets as plain functions, so that libFuzzer drives them in
// fuzz/fuzz_*.cpp and an ordinary test replays every input in
// fuzz/regressions/. Each returns nullptr, or what went wrong.
#pragma once

#include <cstddef>
#include <cstdint>

// Arbitrary bytes as a conversation with one of the programs (the first byte
// chooses which), after its handshake line: the line reader and the parsers.
const char* fuzzLines(const uint8_t* data, size_t size);
// A conversation built from a command grammar, checked against the
// protocol's invariants: every go answered exactly once, legal moves only.
const char* fuzzConversation(const uint8_t* data, size_t size);
// A FEN in either letter set and a walk of moves: the incremental keys, locks
// and sums against a recomputation, unmake against the record before the
// move, every generated move against a slow legality test, FEN round trips.
const char* fuzzPosition(const uint8_t* data, size_t size);
// Arbitrary book file contents probed for known positions.
const char* fuzzBook(const uint8_t* data, size_t size);

// A byte choosing the kind, a byte choosing a position or a notation, then
// text: a move in any notation read in the position (a move read is legal and
// reads back from every notation it is written in), or a PGN or WXF game file
// (a refused one leaves the games alone; one read holds legal moves and reads
// back the same when written as PGN and as WXF).
const char* fuzzNotation(const uint8_t* data, size_t size);

struct FuzzTarget {
    const char* name;
    const char* (*run)(const uint8_t* data, size_t size);
};
extern const FuzzTarget FuzzTargets[];
extern const int FuzzTargetCount;
