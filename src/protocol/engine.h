// The program's life: handshake, start-up, idle loop and its options.
#pragma once

#include <cstdint>

struct UcciCommand;

// Runs the engine on standard input and output; returns the exit status (0).
int engineMain(int argc, char** argv);

// Directory of programName (up to its last '/' or '\\') followed by fileName,
// truncated to fit destination.
void locatePath(char* destination, int destinationSize, const char* programName, const char* fileName);

// Settings that only the idle loop reads: go times in milliseconds rather
// than seconds, and a quarter more normal time when pondering is enabled.
extern int32_t UseMilliseconds;
extern int32_t PonderEnabled;

// Start-up values of every setting.
void resetSettings();

// The actions of the idle loop, one per command.
void applyOption(const UcciCommand& command);
void setupPosition(const UcciCommand& command);
void recordBanMoves(const UcciCommand& command);
// Sets Pondering, DrawOffered and the limits of a go; returns the maximum depth.
int setSearchLimits(const UcciCommand& command);

// Normal and maximum time in milliseconds of a timed go for the side to move.
void timeBudget(const UcciCommand& command, int sideToMove, int useMilliseconds, int ponderEnabled,
                int32_t& normalTime, int32_t& maxTime);
// Size exponent (bytes) of the table for a hashsize of megabytes: the largest
// power of two not above it, never below 2^24.
int hashExponent(int megabytes);
// The square a file letter and rank digit name, or -1 when it is off the board.
int textSquare(int file, int rank);
