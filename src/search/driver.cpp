// The search driver: root preparation, iterative deepening under the limits
// of one search, the poll of limits and commands, and the result with the
// engine's resignation or draw offer.
#include "search/driver.h"

#include <chrono>

#include "board/random.h"
#include "eval/evaluation.h"
#include "movegen/generate.h"
#include "search/hash.h"
#include "search/search.h"

namespace {

// A score that falls by more than this earns the full normal time.
constexpr int ScoreDropMargin = 20;
// After this many iterations with the same best move the time budget halves.
constexpr int StableIterationLimit = 4;
// Below this, after a search that was not forced, the engine resigns.
constexpr int ResignScore = -300;
// With the opponent's offer (or after 20 quiet moves), the engine offers or
// accepts a draw when its own material is at most this and its score below DrawOfferScore.
constexpr int DrawOfferMaterial = 300;
constexpr int DrawOfferScore = 20;
// Every root move but the best one loses to a mate: the best one is forced.
constexpr int OnlyMoveThreshold = 1 - MateBound;
// A position that stood before this many times is never brought back once more.
constexpr int RepetitionLimit = 4;

MoveList RootMoves;
Move PrincipalVariation[MaxHistory];
int32_t StableIterations = 0;
// The iteration under way and the root moves it has searched: progress only.
int32_t CurrentDepth = 0;
int32_t RootMovesSearched = 0;
int32_t TimeUpWhilePondering = 0;
// The running search's limits; a ponderhit changes pondering and drawOffered.
SearchLimits Limits;
SearchReporter* Reporter = nullptr;

// A monotonic clock, so that a change of the system time cannot stretch or cut a search.
std::chrono::steady_clock::time_point SearchStart = std::chrono::steady_clock::now();

// The front end's banned moves, the root moves that would repeat too often
// and those outside the moves to search.
Move RootBans[MaxBannedMoves + 2 * MoveListCapacity];

int isListed(int move, const Move* moves, int count) {
    for (int i = 0; i < count; i++)
        if (moves[i] == move) return 1;
    return 0;
}

// Root moves of the position: captures, then quiet moves, without the banned
// ones and without those that would bring a position back a fifth time.
void prepareRootMoves(Position& pos) {
    RootMoves.phase = PhaseRest;
    RootMoves.nextIndex = 0;
    RootMoves.hashMove = 0;
    RootMoves.killer1 = 0;
    RootMoves.killer2 = 0;
    int total = generateCaptures(pos, RootMoves.entries);
    total += generateQuietMoves(pos, RootMoves.entries + total);
    RootMoves.moveTotal = total;

    int banCount = 0;
    for (int i = 0; i < Limits.bannedCount && i < MaxBannedMoves; i++) RootBans[banCount++] = Limits.bannedMoves[i];
    for (int i = 0; i < total; i++) {
        int move = RootMoves.entries[i].move;
        if (!pos.makeMove(move)) continue;
        if (pos.repetitionStatus(RepetitionLimit) != 0) RootBans[banCount++] = static_cast<Move>(move);
        pos.unmakeMove();
    }
    if (Limits.searchMoveCount > 0) {
        for (int i = 0; i < total; i++) {
            int move = RootMoves.entries[i].move;
            if (!isListed(move, Limits.searchMoves, Limits.searchMoveCount)) RootBans[banCount++] = static_cast<Move>(move);
        }
    }
    filterBannedMoves(RootMoves, banCount, RootBans);
}

void resetForSearch(const Position& pos) {
    SearchStart = std::chrono::steady_clock::now();
    resetSearchState();  // killers, history, cutoff statistics, counters, StopSearch
    TimeUpWhilePondering = 0;
    StableIterations = 0;
    Context.pollEnabled = true;
    Context.usePruning = Limits.usePruning;
    Context.useKnowledge = Limits.useKnowledge;
    Context.position = pos;
    PrincipalVariation[0] = 0;
}

int searchAborted() { return StopSearch != 0; }

// Child depth of a root move just made: a check is searched without depth loss.
int rootChildDepth(const Position& pos, int depth) { return pos.lastRecord().givesCheck() ? depth : depth - 1; }

// Later root moves must beat the best shifted by the selectivity noise. The
// generator advances even without noise, as the book's later choices expect.
int addNoise(int value) {
    if (Limits.randomSeed == nullptr) return value;
    const uint32_t mask = static_cast<uint32_t>(Limits.randomMask);
    int up = static_cast<int>(nextRandom(*Limits.randomSeed) & mask);
    int down = static_cast<int>(nextRandom(*Limits.randomSeed) & mask);
    return value + up - down;
}

// The value of the best root move at this depth (with the noise), or NoValue when stopped.
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
        RootMovesSearched = i;
        if (!pos.makeMove(move)) continue;
        int childDepth = rootChildDepth(pos, depth);
        int value;
        if (best == -MateValue) {
            value = -alphaBeta(context, -MateValue, MateValue, childDepth, PvNode, AfterMove);
        } else {
            value = -alphaBeta(context, -best - 1, -best, childDepth, NonPvNode, AfterMove);
            if (value > best) value = -alphaBeta(context, -MateValue, -best, childDepth, PvNode, AfterMove);
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
        Reporter->newBestMove(SearchReport{depth, 1, value, NodeCount, elapsedMilliseconds(), PrincipalVariation});
        best = (value > -MateBound && value < MateBound) ? addNoise(value) : value;
        promoteRootMove(RootMoves, move);
    }
    return best;
}

// Several lines: every root move that may be among the best lines gets a
// full-window score; the others are proven below the last of them with a null
// window. The lines are reported once the depth is complete, best first, and
// the root is ordered by their scores for the next depth.
Move LineMoves[MaxHistory];
int RootValues[MoveListCapacity];

int searchRootLines(int depth) {
    SearchContext& context = Context;
    Position& pos = context.position;
    RootMoves.nextIndex = 0;
    sortMoves(RootMoves);
    const int total = RootMoves.moveTotal;
    const int wanted = Limits.lines < total ? Limits.lines : total;
    int top[MoveListCapacity];  // the best values so far, descending
    int scored = 0;
    for (int i = 0; i < total; i++) {
        RootMovesSearched = i;
        RootValues[i] = -NoValue;
        int move = RootMoves.entries[i].move;
        if (!pos.makeMove(move)) continue;
        int childDepth = rootChildDepth(pos, depth);
        int value;
        if (scored < wanted) {
            value = -alphaBeta(context, -MateValue, MateValue, childDepth, PvNode, AfterMove);
        } else {
            int last = top[wanted - 1];
            value = -alphaBeta(context, -last - 1, -last, childDepth, NonPvNode, AfterMove);
            if (value > last) value = -alphaBeta(context, -MateValue, -last, childDepth, PvNode, AfterMove);
        }
        pos.unmakeMove();
        if (searchAborted()) return NoValue;
        RootValues[i] = value;
        int at = scored < wanted ? scored++ : wanted;
        while (at > 0 && top[at - 1] < value) {
            if (at < wanted) top[at] = top[at - 1];
            at--;
        }
        if (at < wanted) top[at] = value;
    }
    if (scored == 0) return -MateValue;

    // Root order for the next depth: by value, ties in the order searched.
    int order[MoveListCapacity];
    for (int i = 0; i < total; i++) order[i] = i;
    for (int i = 1; i < total; i++) {
        int j = i;
        while (j > 0 && RootValues[order[j - 1]] < RootValues[order[j]]) {
            int swap = order[j];
            order[j] = order[j - 1];
            order[j - 1] = swap;
            j--;
        }
    }
    const int bestMove = RootMoves.entries[order[0]].move;
    const int bestValue = RootValues[order[0]];
    StableIterations = PrincipalVariation[0] == bestMove ? StableIterations + 1 : 0;
    storeHash(pos, HashExact, bestValue, depth, bestMove);
    followHashMoves(pos, PrincipalVariation, 0);
    for (int rank = 0; rank < wanted; rank++) {
        const Move* line = PrincipalVariation;
        if (rank > 0) {
            followHashMoves(pos, LineMoves, RootMoves.entries[order[rank]].move);
            line = LineMoves;
        }
        Reporter->newBestMove(SearchReport{depth, rank + 1, RootValues[order[rank]], NodeCount,
                                           elapsedMilliseconds(), line});
    }
    MoveEntry sorted[MoveListCapacity];
    for (int rank = 0; rank < total; rank++) {
        sorted[rank] = RootMoves.entries[order[rank]];
        sorted[rank].score = static_cast<uint16_t>(RootValues[order[rank]] == -NoValue ? 0 : 0xFFFF - rank);
    }
    for (int i = 0; i < total; i++) RootMoves.entries[i] = sorted[i];
    return bestValue;
}

// 1 when every root move but the first is refused or loses to a mate.
int onlyMoveCheck(int threshold, int depth) {
    SearchContext& context = Context;
    Position& pos = context.position;
    RootMoves.nextIndex = 0;
    sortMoves(RootMoves);
    for (int i = 1; i < RootMoves.moveTotal; i++) {
        int move = RootMoves.entries[i].move;
        if (move == 0) break;
        if (!pos.makeMove(move)) continue;
        int value = -alphaBeta(context, -threshold, 1 - threshold, rootChildDepth(pos, depth), PvNode, AfterMove);
        pos.unmakeMove();
        if (searchAborted()) return 0;
        if (value >= threshold) return 0;
    }
    return 1;
}

// Iterates to the maximum depth under the limits; returns the last value of
// searchRoot and sets lastScore (the value of the last completed iteration) and forced.
int deepen(int& lastScore, int& forced) {
    int value = 0;
    lastScore = 0;
    forced = 0;
    for (int depth = 1; depth <= Limits.maxDepth; depth++) {
        CurrentDepth = depth;
        RootMovesSearched = 0;
        value = Limits.lines > 1 ? searchRootLines(depth) : searchRoot(depth);
        if (StopSearch) break;
        if (Limits.kind == LimitTime) {
            // A falling score earns the full normal time; a stable best move half of what is left.
            int64_t limit = (value + ScoreDropMargin < lastScore) ? Limits.normalTime : Limits.normalTime / 2;
            if (StableIterations >= StableIterationLimit) limit /= 2;
            if (elapsedMilliseconds() > limit) {
                if (Limits.pondering) {
                    TimeUpWhilePondering = 1;
                } else {
                    lastScore = value;
                    break;
                }
            }
        }
        lastScore = value;
        if (isMateScore(value)) break;
        if (Limits.stopWhenForced && onlyMoveCheck(OnlyMoveThreshold, depth)) {
            forced = 1;
            break;
        }
    }
    return value;
}

// Every 4096 nodes: the limits first, then what the front end has received.
int pollSearch() {
    if (SearchNodeCap > 0 && NodeCount > SearchNodeCap) {
        StopSearch = 1;
        return 1;
    }
    if ((Limits.kind == LimitNodes || (Limits.kind == LimitTime && Limits.nodeLimit > 0)) &&
        NodeCount > Limits.nodeLimit) {
        StopSearch = 1;
        return 1;
    }
    if (Limits.kind == LimitTime && !Limits.pondering && elapsedMilliseconds() > Limits.maxTime) {
        StopSearch = 1;
        return 1;
    }
    switch (Reporter->poll()) {
    case PollPonderHitDraw:
        Limits.drawOffered = true;
        [[fallthrough]];
    case PollPonderHit:
        if (TimeUpWhilePondering) {
            StopSearch = 1;
            return 1;
        }
        Limits.pondering = false;
        return 0;
    case PollStop:
    case PollQuit:
        StopSearch = 1;
        return 1;
    case PollInputEnded:
        // A search with a limit of its own finishes; one that only a command
        // could end stops now.
        if (Limits.untilStopped || Limits.pondering) {
            StopSearch = 1;
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

SearchStatistics statistics() {
    SearchStatistics s;
    s.elapsed = elapsedMilliseconds();
    s.nodes = NodeCount;
    s.nodesPerSecond = s.elapsed > 0 ? NodeCount * 1000 / s.elapsed : 0;
    s.historyReductions = HistoryReductionCount;
    s.nullReductions = NullReductionCount;
    s.failHighFirstShare = FailHighCount > 0 ? FailHighFirstCount * 100 / FailHighCount : 0;
    return s;
}

bool drawAcceptable(const Position& pos, int value, int lastScore, int forced) {
    return !forced && lastScore >= ResignScore && pos.sideToMoveValue() <= DrawOfferMaterial && value < DrawOfferScore;
}

ResultOffer resultOffer(const Position& pos, int value, int lastScore, int forced) {
    if (forced) return OfferNone;
    if (lastScore < ResignScore) return OfferResign;
    if (Limits.drawOffered && drawAcceptable(pos, value, lastScore, forced)) return OfferDraw;
    return OfferNone;
}

}  // namespace

int64_t SearchNodeCap = 0;
int32_t SearchDepthCap = 0;

int64_t elapsedMilliseconds() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - SearchStart)
        .count();
}

SearchProgress searchProgress() {
    const int32_t total = RootMoves.moveTotal;
    const int32_t left = total - RootMovesSearched;
    return SearchProgress{elapsedMilliseconds(), NodeCount, CurrentDepth, left > 0 ? left : 0, total};
}

SearchResult runSearch(const Position& root, const SearchLimits& limits, SearchReporter& reporter) {
    Limits = limits;
    if (SearchDepthCap > 0 && Limits.maxDepth > SearchDepthCap) Limits.maxDepth = SearchDepthCap;
    Reporter = &reporter;
    PollHook = pollSearch;
    Position pos = root;
    pos.rootCount = pos.moveCount;
    preEvaluate(pos);
    prepareRootMoves(pos);
    resetForSearch(pos);
    CurrentDepth = 0;
    RootMovesSearched = 0;
    // Twenty quiet moves make the engine ready to offer a draw itself.
    int quietCount = pos.lastRecord().quietCount;
    if (quietCount == 20 || quietCount == 21) Limits.drawOffered = true;

    int lastScore = 0;
    int forced = 0;
    int value = deepen(lastScore, forced);

    SearchResult result{};
    result.bestMove = PrincipalVariation[0];
    result.ponderMove = PrincipalVariation[0] != 0 ? PrincipalVariation[1] : 0;
    result.offer = result.bestMove != 0 ? resultOffer(pos, value, lastScore, forced) : OfferNone;
    result.drawAcceptable = result.bestMove != 0 && drawAcceptable(pos, value, lastScore, forced);
    result.lastScore = lastScore;
    result.statistics = statistics();
    result.pv = PrincipalVariation;
    reporter.searchDone(result);
    ageHashTable();
    return result;
}
