// quorvel-book grow: a book grown from the engine's own analysis. Breadth
// first from the start position and from every position of a repertoire,
// each position is searched with several lines; the moves close to the best
// are kept, weighted by their scores, and their positions are searched next.
#pragma once

#include <cstdio>
#include <string>

struct SearchEngine;

struct GrowSettings {
    int depth;      // of each position's search
    int lines;      // root moves scored in each position: the most it can keep
    int margin;     // evaluation units below the best move within which a move is kept
    int halving;    // evaluation units below the best per halving of a move's weight
    int positions;  // positions analysed in all, over every shard
    int plies;      // positions fewer than this many plies from the start are analysed
    int shard;      // this process's shard, 0 .. shards - 1
    int shards;
};

// Analyses on engine, whose table is allocated, and writes header (a comment
// line) and then one weighted line per position to out as it goes, a
// progress line now and then to progress. The same repertoire and settings
// give the same lines. Returns the number of positions analysed, or -1 when
// the repertoire does not read (the reason on progress, with repertoireName).
int growBook(SearchEngine& engine, const std::string& repertoire, const char* repertoireName,
             const GrowSettings& settings, const std::string& header, std::FILE* out, std::FILE* progress);
