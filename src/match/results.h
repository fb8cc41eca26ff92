// The results file of a match (JSON): every game with its colours, result and
// termination, the tally, and the SPRT's parameters, so that the files of the
// shards of one match add up to what one run would have given.
#pragma once

#include <string>
#include <vector>

#include "match/match.h"

struct ResultsFile {
    std::string names[2];
    SprtSettings sprt;
    std::vector<GameResult> games;
};

// Writes the file whole under a temporary name and renames it, so that a
// reader never sees half a file; 0 when it cannot be written.
int writeResults(const std::string& path, const MatchConfig& config, const MatchReport& report);
// 0 with a message in error when the file cannot be read or is not a results file.
int readResults(const std::string& path, ResultsFile& out, std::string& error);

// quorvel-match merge: reads every file, refuses a game counted twice, and
// prints the statistics of them all; returns the program's exit status.
int mergeResultFiles(const std::vector<std::string>& paths);

// "1-0", "0-1", "1/2-1/2", and back (GameOngoing for any other text).
const char* outcomeText(GameOutcome outcome);
GameOutcome outcomeOfText(const std::string& text);
