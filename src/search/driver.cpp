// The search driver: what go runs. Draw and book answers, root preparation,
// iterative deepening under the limits of go, the poll of input and limits,
// and the info and bestmove lines.
#include "search/driver.h"

#include <chrono>
#include <cinttypes>
#include <cstdio>

#include "book/book.h"
#include "protocol/commands.h"
#include "protocol/settings.h"
#include "search/hash.h"
#include "search/ordering.h"
#include "search/rules.h"
#include "search/search.h"

MoveList RootMoves;
Move PrincipalVariation[MaxHistory];
int32_t DeferredDepth = 0;
int32_t DeferredScore = 0;
int32_t StableIterations = 0;
int32_t TimeUpWhilePondering = 0;

namespace {

// A monotonic clock, so that a change of the system time cannot stretch or cut a search.
std::chrono::steady_clock::time_point SearchStart = std::chrono::steady_clock::now();

// go without a limit (depth 32): like a ponder search it runs until a command
// ends it, so when input ends it has to stop by itself.
int SearchWithoutLimit = 0;

// Over-repeated root moves beyond the room of BanMoves: kept out of this
// search's root list, but not remembered.
Move ExtraBans[MoveListCapacity];

// Room for "info depth .. score .. pv" and five characters per move of a full line.
char LineBuffer[64 + 5 * MaxHistory];

void printLine(const char* text) {
    std::fputs(text, stdout);
    std::fflush(stdout);
}

// Appends " xxxx" for every move of the principal variation up to its 0.
int appendPrincipalVariation(char* text, int length) {
    for (int i = 0; i < MaxHistory && PrincipalVariation[i] != 0; i++) {
        text[length++] = ' ';
        moveToText(PrincipalVariation[i], text + length);
        length += 4;
    }
    return length;
}

void printDepthLine(int depth, int score) {
    int length = std::snprintf(LineBuffer, sizeof(LineBuffer), "info depth %d score %d pv", depth, score);
    length = appendPrincipalVariation(LineBuffer, length);
    LineBuffer[length++] = '\n';
    LineBuffer[length] = '\0';
    printLine(LineBuffer);
}

void printBookMove(int move) {
    char text[5] = {};
    moveToText(move, text);
    std::printf("bestmove %.4s\n", text);
    std::fflush(stdout);
}

void banMove(int move, int& extraCount) {
    if (BanMoveCount < MaxBanMoves) {
        BanMoves[BanMoveCount++] = static_cast<Move>(move);
    } else if (extraCount < MoveListCapacity) {
        ExtraBans[extraCount++] = static_cast<Move>(move);
    }
}

// Root moves of the engine's position: captures, then quiet moves, without the
// banned ones and without those that would bring a position back a fifth time.
void prepareRootMoves(Position& pos) {
    RootMoves.phase = 6;
    RootMoves.nextIndex = 0;
    RootMoves.hashMove = 0;
    RootMoves.killer1 = 0;
    RootMoves.killer2 = 0;
    int total = pos.generateCaptures(RootMoves.entries);
    total += pos.generateQuietMoves(RootMoves.entries + total);
    RootMoves.moveTotal = total;

    int extraCount = 0;
    for (int i = 0; i < total; i++) {
        int move = RootMoves.entries[i].move;
        if (!pos.makeMove(move)) continue;
        if (pos.repetitionStatus(4) != 0) banMove(move, extraCount);
        pos.unmakeMove();
    }
    filterBannedMoves(RootMoves, BanMoveCount, BanMoves);
    if (extraCount > 0) filterBannedMoves(RootMoves, extraCount, ExtraBans);
}

void resetForSearch(const Position& pos) {
    SearchStart = std::chrono::steady_clock::now();
    resetSearchState();  // killers, history, cutoff statistics, counters, StopSearch
    TimeUpWhilePondering = 0;
    StableIterations = 0;
    Context.pollEnabled = 1;
    Context.stopRequested = 0;
    Context.position = pos;
    PrincipalVariation[0] = 0;
}

int searchAborted() { return StopSearch != 0 || Context.stopRequested != 0; }

// Child depth of a root move just made: a check is searched without depth loss.
int rootChildDepth(const Position& pos, int depth) { return (pos.lastRecord().flags & 3) ? depth : depth - 1; }

// Iterates to maxDepth under the limits; returns the last value of searchRoot
// and sets lastScore (the value of the last completed iteration) and forced.
int deepen(int maxDepth, int& lastScore, int& forced) {
    int value = 0;
    lastScore = 0;
    forced = 0;
    for (int depth = 1; depth <= maxDepth; depth++) {
        value = searchRoot(depth);
        if (StopSearch) break;
        if (LimitMode == 2) {
            // A falling score earns the full normal time; a stable best move half of what is left.
            int64_t limit = (value + 20 < lastScore) ? NormalTime : NormalTime / 2;
            if (StableIterations >= 4) limit /= 2;
            if (elapsedMilliseconds() > limit) {
                if (Pondering) {
                    TimeUpWhilePondering = 1;
                } else {
                    lastScore = value;
                    break;
                }
            }
        }
        lastScore = value;
        if (value > 900 || value < -900) break;
        if (onlyMoveCheck(-899, depth)) {
            forced = 1;
            break;
        }
    }
    return value;
}

void printStatistics() {
    int64_t elapsed = elapsedMilliseconds();
    int64_t nodesPerSecond = elapsed > 0 ? NodeCount * 1000 / elapsed : 0;
    int64_t firstShare = FailHighCount > 0 ? FailHighFirstCount * 100 / FailHighCount : 0;
    std::printf("info time %" PRId64 " nodes %" PRId64 " nps %" PRId64 " hcut %" PRId64 " adptR %" PRId64
                " fh %" PRId64 "\n",
                elapsed, NodeCount, nodesPerSecond, HistoryReductionCount, NullReductionCount, firstShare);
    std::fflush(stdout);
}

void printResult(const Position& pos, int value, int lastScore, int forced) {
    printStatistics();
    if (DeferredDepth != 0) printDepthLine(DeferredDepth, DeferredScore);

    char text[64];
    int length = std::snprintf(text, sizeof(text), "bestmove ");
    moveToText(PrincipalVariation[0], text + length);
    length += 4;
    if (PrincipalVariation[1] != 0) {
        length += std::snprintf(text + length, sizeof(text) - length, " ponder ");
        moveToText(PrincipalVariation[1], text + length);
        length += 4;
    }
    if (!forced) {
        int ownValue = pos.sideToMove == 0 ? pos.redValue : pos.blackValue;
        if (lastScore < -300) {
            length += std::snprintf(text + length, sizeof(text) - length, " resign");
        } else if (DrawOffered && ownValue <= 300 && value < 20) {
            length += std::snprintf(text + length, sizeof(text) - length, " draw");
        }
    }
    std::snprintf(text + length, sizeof(text) - length, "\n");
    printLine(text);
}

}  // namespace

int64_t elapsedMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - SearchStart)
        .count();
}

void runSearch(int maxDepth) {
    PollHook = pollInput;
    Position& pos = GlobalPosition;
    if (isDrawByRule(pos)) {
        printLine("nobestmove\n");
        return;
    }
    if (UseBook) {
        int move = probeBook();
        if (move != 0) {
            printBookMove(move);
            return;
        }
    }

    pos.rootCount = pos.moveCount;
    pos.preEvaluate();
    prepareRootMoves(pos);
    resetForSearch(pos);
    SearchWithoutLimit = LimitMode == 0 && maxDepth >= 32;
    int quietCount = pos.lastRecord().quietCount;
    if (quietCount == 20 || quietCount == 21) DrawOffered = 1;

    int lastScore = 0;
    int forced = 0;
    int value = deepen(maxDepth, lastScore, forced);

    if (PrincipalVariation[0] == 0) {
        printLine("nobestmove\n");
    } else {
        printResult(pos, value, lastScore, forced);
    }
    ageHashTable();
}

int searchRoot(int depth) {
    SearchContext& context = Context;
    Position& pos = context.position;
    int best = -MateValue;
    RootMoves.nextIndex = 0;
    sortMoves(RootMoves);
    RootMoves.nextIndex = 0;

    for (int i = 0; i < RootMoves.moveTotal; i++) {
        int move = RootMoves.entries[i].move;
        if (move == 0) break;
        if (!pos.makeMove(move)) continue;
        int childDepth = rootChildDepth(pos, depth);
        int value;
        if (best == -MateValue) {
            value = -alphaBeta(context, -MateValue, MateValue, childDepth, 0, 0);
        } else {
            value = -alphaBeta(context, -best - 1, -best, childDepth, 1, 0);
            if (value > best) value = -alphaBeta(context, -MateValue, -best, childDepth, 0, 0);
        }
        pos.unmakeMove();
        if (searchAborted()) return NoValue;
        if (value <= best) continue;

        if (best == -MateValue) {
            StableIterations++;
        } else {
            StableIterations = 0;
        }
        storeHash(pos, HashExact, value, depth, move);
        followHashMoves(pos, PrincipalVariation, 0);
        reportPv(depth, value);
        best = value;
        if (value > -900 && value < 900) {
            // Noise of the selectivity option: later moves must beat a slightly shifted best.
            int up = static_cast<int>(nextRandom() & static_cast<uint32_t>(RandomMask));
            int down = static_cast<int>(nextRandom() & static_cast<uint32_t>(RandomMask));
            best = value + up - down;
        }
        promoteRootMove(RootMoves, move);
    }
    return best;
}

int onlyMoveCheck(int threshold, int depth) {
    SearchContext& context = Context;
    Position& pos = context.position;
    RootMoves.nextIndex = 0;
    sortMoves(RootMoves);
    for (int i = 1; i < RootMoves.moveTotal; i++) {
        int move = RootMoves.entries[i].move;
        if (move == 0) break;
        if (!pos.makeMove(move)) continue;
        int value = -alphaBeta(context, -threshold, 1 - threshold, rootChildDepth(pos, depth), 0, 0);
        pos.unmakeMove();
        if (searchAborted()) return 0;
        if (value >= threshold) return 0;
    }
    return 1;
}

int pollInput() {
    if (LimitMode == 1 && NodeCount > NodeLimit) {
        StopSearch = 1;
        return 1;
    }
    if (LimitMode == 2 && !Pondering && elapsedMilliseconds() > MaxTime) {
        StopSearch = 1;
        return 1;
    }
    if (BatchMode) return 0;

    switch (readBusyCommand(DebugMode)) {
    case CmdIsReady:
        printLine("readyok\n");
        return 0;
    case CmdPonderHitDraw:
        DrawOffered = 1;
        [[fallthrough]];
    case CmdPonderHit:
        if (TimeUpWhilePondering) {
            StopSearch = 1;
            return 1;
        }
        Pondering = 0;
        return 0;
    case CmdStop:
        StopSearch = 1;
        return 1;
    case CmdQuit:
        StopSearch = 1;
        QuitRequested = 1;
        return 1;
    default:
        break;
    }

    if (inputEnded()) {
        // Nothing more can arrive: a search with a limit of its own finishes and
        // the engine then quits; a search that only a command could end stops now.
        QuitRequested = 1;
        if (SearchWithoutLimit || Pondering) {
            StopSearch = 1;
            return 1;
        }
    }
    return 0;
}

void reportPv(int depth, int score) {
    // Shallow results come and go too fast to be worth a line; the last one is
    // printed once before bestmove if nothing deeper replaced it.
    if (depth >= 1 && depth <= 5) {
        DeferredDepth = depth;
        DeferredScore = score;
        return;
    }
    DeferredDepth = 0;
    DeferredScore = 0;
    printDepthLine(depth, score);
}
