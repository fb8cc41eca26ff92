// Making book files: a repertoire of move lines becomes sorted 12-byte
// records that probeBook reads unchanged; and the stored moves of a position
// read back for inspection. Tools and tests only; the engine never writes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "board/position.h"
#include "book/book.h"

constexpr int MaxBookWeight = 65535;

// Why a line file was refused: the 1-based line number and the offending
// token (cut to fit), with a short reason.
struct BookLineError {
    int lineNumber;
    char token[16];
    const char* reason;
};

// Splits one line of a line file into its move tokens: everything after '#'
// is a comment, tokens are separated by blanks. An empty result means a line
// without moves.
std::vector<std::string> splitBookLine(const std::string& line);

// Plays every line of text from the start position and gathers one entry per
// position and move, weighted by the number of lines that play that move
// there (capped at MaxBookWeight). Returns 1, or 0 with error filled when a
// token is not a move text or the move is illegal; entries then hold the lines
// before the faulty one. Needs the static tables.
int collectBookLines(const std::string& text, std::vector<BookRecord>& entries, BookLineError& error);

// The file order: lock2, then lock1 (unsigned), then the heaviest move first.
void sortBookEntries(std::vector<BookRecord>& entries);

// Writes the entries as little-endian records, in the order given; 1 on success.
int writeBookFile(const char* path, const std::vector<BookRecord>& entries);

// The moves the book stores for pos as probeBook would consider them: the
// position's own records, or failing those its mirror image's, mapped back;
// only moves valid in the position. mirrored tells which. Returns 0 when the
// file cannot be read.
int listBookMoves(const char* path, const Position& pos, std::vector<BookRecord>& moves, int& mirrored);
