#include "protocol/settings.h"

int32_t QuitRequested = 0;
int32_t Pondering = 0;
int32_t DrawOffered = 0;
int32_t BatchMode = 0;
int32_t DebugMode = 0;
int32_t UseBook = 1;
int32_t UsePruning = 1;
int32_t UseKnowledge = 1;
uint32_t RandomSeed = 1;
int32_t LimitMode = 0;
int32_t NodeLimit = 0;
int32_t NormalTime = 0;
int32_t MaxTime = 0;
int32_t RandomMask = 0;
int32_t BanMoveCount = 0;
Move BanMoves[MaxBanMoves];
char BookPath[BookPathSize] = "qvr.bin";

uint32_t nextRandom() {
    RandomSeed = static_cast<uint32_t>(static_cast<uint64_t>(RandomSeed) * 16807 % 0x7FFFFFFF);
    return RandomSeed;
}
