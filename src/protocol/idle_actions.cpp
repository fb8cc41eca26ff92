#include <algorithm>
#include <cstdint>
#include "board/position.h"
#include "board/tables.h"
#include "protocol/commands.h"
#include "protocol/engine.h"
#include "protocol/settings.h"
#include "search/hash.h"

int32_t UseMilliseconds = 0;
int32_t PonderEnabled = 0;

namespace {

// Characters count as signed bytes, as the texts stood in the line.
int textChar(uint32_t text, int index) { return static_cast<int8_t>((text >> (8 * index)) & 0xFF); }

}  // namespace

void resetSettings() {
    DebugMode = 0;
    BatchMode = 0;
    QuitRequested = 0;
    UseKnowledge = 1;
    UsePruning = 1;
    UseBook = 1;
    UseMilliseconds = 0;
    PonderEnabled = 0;
}

int textSquare(int file, int rank) {
    const int column = file - 'a' + 3;
    const int row = 12 - (rank - '0');
    const int square = 16 * row + column;
    if (square < 0 || square > 255 || !InBoard[square]) return -1;
    return square;
}

int hashExponent(int megabytes) {
    int bits = 0;
    for (int n = megabytes; n > 0; n >>= 1) bits++;
    if (megabytes <= 0) return 24;
    return std::max(19 + bits, 24);
}

void applyOption(const UcciCommand& command) {
    static const int32_t SelectivityMasks[4] = {0, 1, 3, 7};
    const int value = command.optionValue;
    switch (command.optionId) {
    case OptBatch: BatchMode = value; break;
    case OptDebug: DebugMode = value; break;
    case OptPonder: PonderEnabled = value; break;
    case OptUseBook: UseBook = value; break;
    case OptUseMillisec: UseMilliseconds = value; break;
    case OptHashSize:
        releaseHashTable();
        allocateHashTable(hashExponent(value));
        break;
    case OptPruning: UsePruning = value != 0; break;
    case OptKnowledge: UseKnowledge = value != 0; break;
    case OptSelectivity: RandomMask = SelectivityMasks[value & 3]; break;
    case OptNewGame: clearHashTable(); break;
    default: break;  // accepted and ignored
    }
}

void setupPosition(const UcciCommand& command) {
    GlobalPosition.setFromFen(command.fen);
    for (int i = 0; i < command.moveTextCount; i++) {
        const uint32_t text = command.moveTexts[i];
        const int source = textSquare(textChar(text, 0), textChar(text, 1));
        const int destination = textSquare(textChar(text, 2), textChar(text, 3));
        if (source < 0 || destination < 0 || GlobalPosition.board[source] == 0) break;
        // A refused move (self-check, history full) is skipped, not fatal.
        GlobalPosition.makeMove(makeMoveValue(source, destination));
    }
    BanMoveCount = 0;
}

void recordBanMoves(const UcciCommand& command) {
    BanMoveCount = std::min(command.moveTextCount, MaxBanMoves);
    for (int i = 0; i < BanMoveCount; i++) {
        const uint32_t text = command.moveTexts[i];
        const int source = textSquare(textChar(text, 0), textChar(text, 1));
        const int destination = textSquare(textChar(text, 2), textChar(text, 3));
        BanMoves[i] = (source < 0 || destination < 0) ? 0 : static_cast<Move>(makeMoveValue(source, destination));
    }
}

void timeBudget(const UcciCommand& command, int sideToMove, int useMilliseconds, int ponderEnabled,
                int32_t& normalTime, int32_t& maxTime) {
    // 64-bit throughout: the ten-times cap overflows 32 bits for large increments.
    int64_t clock = sideToMove == 0 ? command.redTime : command.blackTime;
    if (!useMilliseconds) clock = std::min<int64_t>(clock, 100000) * 1000;
    int64_t normal, maximum;
    if (command.goMode == GoTimeMovesToGo) {
        const int64_t movesToGo = std::max(command.movesToGo, 1);
        normal = clock / movesToGo;
        maximum = clock * std::max<int64_t>(11 - movesToGo, 5) / 10;
    } else {
        const int64_t increment = useMilliseconds ? command.increment : int64_t(command.increment) * 1000;
        normal = clock / 20 + increment;
        maximum = clock / 2;
    }
    if (ponderEnabled) normal += normal / 4;
    if (maximum >= 10 * normal) maximum = 10 * normal;
    normalTime = static_cast<int32_t>(normal);
    maxTime = static_cast<int32_t>(maximum);
}

int setSearchLimits(const UcciCommand& command) {
    Pondering = command.ponder;
    DrawOffered = command.draw;
    switch (command.goMode) {
    case GoDepth:
        LimitMode = 0;
        NodeLimit = 0;
        return command.depth;
    case GoNodes:
        LimitMode = 1;
        NodeLimit = command.nodes;
        return 32;
    default:
        timeBudget(command, GlobalPosition.sideToMove, UseMilliseconds, PonderEnabled, NormalTime, MaxTime);
        LimitMode = 2;
        return 32;
    }
}
