// Making book files: line files become sorted 12-byte records that probeBook
// reads unchanged; and the stored moves of a position read back for
// inspection. Tools and tests only; the engine never writes.
//
// A line file holds two kinds of lines, mixed freely, with '#' starting a
// comment:
//   plain     h2e2 h9g7 h0g2 ...            a variation from the start position
//   weighted  h2e2 h9g7 | h0g2 4096 b0c2 2048
//             the moves up to '|' lead from the start position to one
//             position; the pairs after it give moves there with their weights.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "board/position.h"
#include "book/book.h"

constexpr int MaxBookWeight = 65535;
// The weight of a position's favourite move where plain and weighted lines
// meet, and the weight grown books give their best move: halving it a dozen
// times still leaves a weight above 0.
constexpr int BookTopWeight = 4096;

// Why a line file was refused: the 1-based line number and the offending
// token (cut to fit), with a short reason.
struct BookLineError {
    int lineNumber;
    char token[16];
    const char* reason;
};

// What the lines read so far say of one move of one position.
struct BookMoveTally {
    uint16_t move;
    uint32_t lineCount;  // plain lines that play it here
    int32_t lastLine;    // the last plain line counted: a line passing twice counts once
    int32_t weight;      // the largest weight a weighted line gives it; -1 when none does
};

using BookLocks = std::pair<uint32_t, uint32_t>;  // lock2, lock1: the file's order

struct BookPositionTally {
    uint32_t lock1;
    uint32_t lock2;
    BookLocks image;  // of the mirror image, for a position of weighted lines
    std::vector<BookMoveTally> moves;
};

// A book being built from any number of line files. Plain lines keep every
// orientation they reach as a position of its own. Weighted lines take a
// position and its mirror image as one, kept in the orientation with the
// smaller locks, and join the plain lines' orientations when the book is made.
struct BookBuilder {
    std::map<BookLocks, BookPositionTally> plain;
    std::map<BookLocks, BookPositionTally> weighted;
    int32_t linesRead = 0;  // over every text added, so that lines of two files stay apart
};

// The locks (lock2, lock1) of pos and of its left-right mirror image, the
// image made on a copy.
BookLocks positionLocks(const Position& pos);
BookLocks mirrorLocks(const Position& pos);

// Splits one line of a line file into its tokens: everything after '#' is a
// comment, tokens are separated by blanks, and '|' is a token of its own. An
// empty result means a line without moves.
std::vector<std::string> splitBookLine(const std::string& line);

// Plays every line of text from the start position into builder. Returns 1,
// or 0 with error filled at the first token that is not a move text, an
// illegal move, a weight that is not 0 to MaxBookWeight, a move without its
// weight or a second '|'; the lines before it stay added. Needs the static tables.
int addBookLines(BookBuilder& builder, const std::string& text, BookLineError& error);

// One entry per position and move, unsorted. A position only plain lines
// reach weighs each move by its number of lines (capped at MaxBookWeight),
// one only weighted lines reach by its largest given weight (so that the
// shards of one grown book may overlap). Where both reach it, in either
// orientation, each kind is first scaled so that its own favourite move there
// weighs BookTopWeight, and a move gets the mean of the two: the repertoire's
// preference and the analysis count alike, and a move only one of them plays
// keeps half of that one's weight.
std::vector<BookRecord> bookEntries(const BookBuilder& builder);

// addBookLines and bookEntries for one text.
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
