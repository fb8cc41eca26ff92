// The UCCI program's life: handshake, start-up, idle loop, its options and
// the go command.
#pragma once

#include <cstdint>
#include "search/driver.h"

struct UcciCommand;

// Runs the engine on standard input and output; returns the exit status (0).
int ucciMain(int argc, char** argv);

// The actions of the idle loop, one per command.
void applyOption(const UcciCommand& command);
void setupPosition(const UcciCommand& command);
void recordBanMoves(const UcciCommand& command);
// The limits of a go for the engine's position and settings.
SearchLimits searchLimitsOf(const UcciCommand& command);
// Answers a go: nobestmove for a position drawn by rule, a book move, or a search.
void runGo(const UcciCommand& command);

// Normal and maximum time in milliseconds of a timed go for the side to move.
void timeBudget(const UcciCommand& command, int sideToMove, int useMilliseconds, int ponderEnabled,
                int32_t& normalTime, int32_t& maxTime);
