#include <algorithm>
#include <cstdint>

#include "board/position.h"
#include "io/clock.h"
#include "io/session.h"
#include "search/hash.h"
#include "ucci/commands.h"
#include "ucci/engine.h"
#include "ucci/settings.h"

namespace {

// A move text of the parser's list, four characters with the first in the lowest byte.
void unpackText(uint32_t text, char* characters) {
    for (int i = 0; i < 4; i++) characters[i] = static_cast<char>((text >> (8 * i)) & 0xFF);
}

// The move a text names, or 0 when either square is off the board.
int moveOfText(uint32_t text) {
    char characters[4];
    unpackText(text, characters);
    return textToMove(characters);
}

}  // namespace

void applyOption(const UcciCommand& command) {
    const int value = command.optionValue;
    switch (command.optionId) {
    case OptBatch: BatchMode = value; break;
    case OptDebug: DebugMode = value; break;
    case OptPonder: PonderEnabled = value; break;
    case OptUseBook: UseBook = value; break;
    case OptUseMillisec: UseMilliseconds = value; break;
    case OptHashSize:
        releaseHashTable(ProgramEngine.table);
        allocateHashTable(ProgramEngine.table, hashExponent(value));
        break;
    case OptPruning: UsePruning = value != 0; break;
    case OptKnowledge: UseKnowledge = value != 0; break;
    case OptSelectivity: RandomMask = SelectivityMasks[value & 3]; break;
    case OptNewGame: clearHashTable(ProgramEngine.table); break;
    default: break;  // accepted and ignored
    }
}

void setupPosition(const UcciCommand& command) {
    EnginePosition.setFromFen(command.fen);
    for (int i = 0; i < command.moveTextCount; i++) {
        const int move = moveOfText(command.moveTexts[i]);
        if (move == 0 || EnginePosition.board[moveSource(move)] == 0) break;
        // A refused move (self-check, history full) is skipped, not fatal.
        EnginePosition.makeMove(move);
    }
    BanMoveCount = 0;
}

void recordBanMoves(const UcciCommand& command) {
    BanMoveCount = std::min(command.moveTextCount, MaxBanMoves);
    for (int i = 0; i < BanMoveCount; i++) BanMoves[i] = static_cast<Move>(moveOfText(command.moveTexts[i]));
}

void timeBudget(const UcciCommand& command, int sideToMove, int useMilliseconds, int ponderEnabled,
                int32_t& normalTime, int32_t& maxTime) {
    int64_t clock = sideToMove == 0 ? command.redTime : command.blackTime;
    if (!useMilliseconds) clock = std::min<int64_t>(clock, 100000) * 1000;
    TimeBudget budget;
    if (command.goMode == GoTimeMovesToGo) {
        budget = clockBudget(clock, std::max(command.movesToGo, 1), 0, ponderEnabled);
    } else {
        const int64_t increment = useMilliseconds ? command.increment : int64_t(command.increment) * 1000;
        budget = clockBudget(clock, 0, increment, ponderEnabled);
    }
    normalTime = static_cast<int32_t>(budget.normalTime);
    maxTime = static_cast<int32_t>(budget.maxTime);
}

SearchLimits searchLimitsOf(const UcciCommand& command) {
    SearchLimits limits;
    limits.pondering = command.ponder;
    limits.drawOffered = command.draw;
    limits.bannedMoves = BanMoves;
    limits.bannedCount = BanMoveCount;
    limits.usePruning = UsePruning;
    limits.useKnowledge = UseKnowledge;
    limits.randomMask = RandomMask;
    limits.randomSeed = &RandomSeed;
    switch (command.goMode) {
    case GoDepth:
        limits.kind = LimitDepth;
        limits.maxDepth = command.depth;
        // Only a command can end the deepest search, so the end of input must.
        limits.untilStopped = command.depth >= MaxSearchDepth;
        break;
    case GoNodes:
        limits.kind = LimitNodes;
        limits.nodeLimit = command.nodes;
        break;
    default: {
        int32_t normalTime = 0, maxTime = 0;
        timeBudget(command, EnginePosition.sideToMove, UseMilliseconds, PonderEnabled, normalTime, maxTime);
        limits.kind = LimitTime;
        limits.normalTime = normalTime;
        limits.maxTime = maxTime;
        break;
    }
    }
    return limits;
}
