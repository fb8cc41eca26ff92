#include "ucci/settings.h"

Position EnginePosition;

int32_t QuitRequested = 0;
int32_t BatchMode = 0;
int32_t DebugMode = 0;
int32_t UseBook = 1;
int32_t UsePruning = 1;
int32_t UseKnowledge = 1;
int32_t RandomMask = 0;
int32_t UseMilliseconds = 0;
int32_t PonderEnabled = 0;
uint32_t RandomSeed = 1;
int32_t BanMoveCount = 0;
Move BanMoves[MaxBanMoves];
char BookPath[BookPathSize] = "qvr.bin";

void resetSettings() {
    DebugMode = 0;
    BatchMode = 0;
    QuitRequested = 0;
    UseKnowledge = 1;
    UsePruning = 1;
    UseBook = 1;
    UseMilliseconds = 0;
    PonderEnabled = 0;
    RandomMask = 0;
    BanMoveCount = 0;
}
