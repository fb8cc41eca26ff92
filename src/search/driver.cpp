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

int isListed(int move, const Move* moves, int count) {
    for (int i = 0; i < count; i++)
        if (moves[i] == move) return 1;
    return 0;
}

// Root moves of the position: captures, then quiet moves, without the banned
// ones and without those that would bring a position back a fifth time.
void prepareRootMoves(SearchEngine& engine, Position& pos) {
    MoveList& roots = engine.rootMoves;
    const SearchLimits& limits = engine.limits;
    Move* bans = engine.rootBans;
    roots.phase = PhaseRest;
    roots.nextIndex = 0;
    roots.hashMove = 0;
    roots.killer1 = 0;
    roots.killer2 = 0;
    int total = generateCaptures(pos, roots.entries);
    total += generateQuietMoves(pos, roots.entries + total);
    roots.moveTotal = total;

    int banCount = 0;
    for (int i = 0; i < limits.bannedCount && i < MaxBannedMoves; i++) bans[banCount++] = limits.bannedMoves[i];
    for (int i = 0; i < total; i++) {
        int move = roots.entries[i].move;
        if (!pos.makeMove(move)) continue;
        if (pos.repetitionStatus(RepetitionLimit) != 0) bans[banCount++] = static_cast<Move>(move);
        pos.unmakeMove();
    }
    if (limits.searchMoveCount > 0) {
        for (int i = 0; i < total; i++) {
            int move = roots.entries[i].move;
            if (!isListed(move, limits.searchMoves, limits.searchMoveCount)) bans[banCount++] = static_cast<Move>(move);
        }
    }
    filterBannedMoves(roots, banCount, bans);
}

void resetForSearch(SearchEngine& engine, const Position& pos) {
    engine.start = std::chrono::steady_clock::now();
    resetSearchState(engine);  // killers, history, cutoff statistics, counters, stopped
    engine.timeUpWhilePondering = false;
    engine.stableIterations = 0;
    engine.pollEnabled = true;
    engine.usePruning = engine.limits.usePruning;
    engine.useKnowledge = engine.limits.useKnowledge;
    engine.position = pos;
    engine.principalVariation[0] = 0;
}

// Child depth of a root move just made: a check is searched without depth loss.
int rootChildDepth(const Position& pos, int depth) { return pos.lastRecord().givesCheck() ? depth : depth - 1; }

// Later root moves must beat the best shifted by the selectivity noise. The
// generator advances even without noise, as the book's later choices expect.
int addNoise(SearchEngine& engine, int value) {
    if (engine.limits.randomSeed == nullptr) return value;
    const uint32_t mask = static_cast<uint32_t>(engine.limits.randomMask);
    int up = static_cast<int>(nextRandom(*engine.limits.randomSeed) & mask);
    int down = static_cast<int>(nextRandom(*engine.limits.randomSeed) & mask);
    return value + up - down;
}

// The value of the best root move at this depth (with the noise), or NoValue when stopped.
int searchRoot(SearchEngine& engine, int depth) {
    MoveList& roots = engine.rootMoves;
    Position& pos = engine.position;
    int best = -MateValue;
    roots.nextIndex = 0;
    sortMoves(roots);
    roots.nextIndex = 0;

    for (int i = 0; i < roots.moveTotal; i++) {
        int move = roots.entries[i].move;
        if (move == 0) break;
        engine.rootMovesSearched = i;
        if (!pos.makeMove(move)) continue;
        int childDepth = rootChildDepth(pos, depth);
        int value;
        if (best == -MateValue) {
            value = -alphaBeta(engine, -MateValue, MateValue, childDepth, PvNode, AfterMove);
        } else {
            value = -alphaBeta(engine, -best - 1, -best, childDepth, NonPvNode, AfterMove);
            if (value > best) value = -alphaBeta(engine, -MateValue, -best, childDepth, PvNode, AfterMove);
        }
        pos.unmakeMove();
        if (engine.stopped) return NoValue;
        if (value <= best) continue;

        if (best == -MateValue) {
            engine.stableIterations++;
        } else {
            engine.stableIterations = 0;
        }
        storeHash(engine.table, pos, HashExact, value, depth, move);
        followHashMoves(engine.table, pos, engine.principalVariation, 0);
        engine.reporter->newBestMove(
            SearchReport{depth, 1, value, engine.nodeCount, elapsedMilliseconds(engine), engine.principalVariation});
        best = (value > -MateBound && value < MateBound) ? addNoise(engine, value) : value;
        promoteRootMove(roots, move);
    }
    return best;
}

// Several lines: every root move that may be among the best lines gets a
// full-window score; the others are proven below the last of them with a null
// window. The lines are reported once the depth is complete, best first, and
// the root is ordered by their scores for the next depth.
int searchRootLines(SearchEngine& engine, int depth) {
    MoveList& roots = engine.rootMoves;
    Position& pos = engine.position;
    roots.nextIndex = 0;
    sortMoves(roots);
    const int total = roots.moveTotal;
    const int wanted = engine.limits.lines < total ? engine.limits.lines : total;
    int top[MoveListCapacity];  // the best values so far, descending
    int scored = 0;
    for (int i = 0; i < total; i++) {
        engine.rootMovesSearched = i;
        engine.rootValues[i] = -NoValue;
        int move = roots.entries[i].move;
        if (!pos.makeMove(move)) continue;
        int childDepth = rootChildDepth(pos, depth);
        int value;
        if (scored < wanted) {
            value = -alphaBeta(engine, -MateValue, MateValue, childDepth, PvNode, AfterMove);
        } else {
            int last = top[wanted - 1];
            value = -alphaBeta(engine, -last - 1, -last, childDepth, NonPvNode, AfterMove);
            if (value > last) value = -alphaBeta(engine, -MateValue, -last, childDepth, PvNode, AfterMove);
        }
        pos.unmakeMove();
        if (engine.stopped) return NoValue;
        engine.rootValues[i] = value;
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
        while (j > 0 && engine.rootValues[order[j - 1]] < engine.rootValues[order[j]]) {
            int swap = order[j];
            order[j] = order[j - 1];
            order[j - 1] = swap;
            j--;
        }
    }
    const int bestMove = roots.entries[order[0]].move;
    const int bestValue = engine.rootValues[order[0]];
    engine.stableIterations = engine.principalVariation[0] == bestMove ? engine.stableIterations + 1 : 0;
    storeHash(engine.table, pos, HashExact, bestValue, depth, bestMove);
    followHashMoves(engine.table, pos, engine.principalVariation, 0);
    // Root moves the position refuses sort last, unscored: they are no lines.
    const int shown = scored < wanted ? scored : wanted;
    for (int rank = 0; rank < shown; rank++) {
        const Move* line = engine.principalVariation;
        if (rank > 0) {
            followHashMoves(engine.table, pos, engine.lineMoves, roots.entries[order[rank]].move);
            line = engine.lineMoves;
        }
        engine.reporter->newBestMove(SearchReport{depth, rank + 1, engine.rootValues[order[rank]], engine.nodeCount,
                                           elapsedMilliseconds(engine), line});
    }
    MoveEntry sorted[MoveListCapacity];
    for (int rank = 0; rank < total; rank++) {
        sorted[rank] = roots.entries[order[rank]];
        sorted[rank].score = static_cast<uint16_t>(engine.rootValues[order[rank]] == -NoValue ? 0 : 0xFFFF - rank);
    }
    for (int i = 0; i < total; i++) roots.entries[i] = sorted[i];
    return bestValue;
}

// 1 when every root move but the first is refused or loses to a mate.
int onlyMoveCheck(SearchEngine& engine, int threshold, int depth) {
    MoveList& roots = engine.rootMoves;
    Position& pos = engine.position;
    roots.nextIndex = 0;
    sortMoves(roots);
    for (int i = 1; i < roots.moveTotal; i++) {
        int move = roots.entries[i].move;
        if (move == 0) break;
        if (!pos.makeMove(move)) continue;
        int value = -alphaBeta(engine, -threshold, 1 - threshold, rootChildDepth(pos, depth), PvNode, AfterMove);
        pos.unmakeMove();
        if (engine.stopped) return 0;
        if (value >= threshold) return 0;
    }
    return 1;
}

// Iterates to the maximum depth under the limits; returns the last value of
// searchRoot and sets lastScore (the value of the last completed iteration) and forced.
int deepen(SearchEngine& engine, int& lastScore, int& forced) {
    const SearchLimits& limits = engine.limits;
    int value = 0;
    lastScore = 0;
    forced = 0;
    for (int depth = 1; depth <= limits.maxDepth; depth++) {
        engine.currentDepth = depth;
        engine.rootMovesSearched = 0;
        value = limits.lines > 1 ? searchRootLines(engine, depth) : searchRoot(engine, depth);
        if (engine.stopped) break;
        if (limits.kind == LimitTime) {
            // A falling score earns the full normal time; a stable best move half of what is left.
            int64_t limit = (value + ScoreDropMargin < lastScore) ? limits.normalTime : limits.normalTime / 2;
            if (engine.stableIterations >= StableIterationLimit) limit /= 2;
            if (elapsedMilliseconds(engine) > limit) {
                if (limits.pondering) {
                    engine.timeUpWhilePondering = true;
                } else {
                    lastScore = value;
                    break;
                }
            }
        }
        lastScore = value;
        if (isMateScore(value)) break;
        if (limits.stopWhenForced && onlyMoveCheck(engine, OnlyMoveThreshold, depth)) {
            forced = 1;
            break;
        }
    }
    return value;
}

// Every 4096 nodes: the limits first, then what the front end has received.
int pollSearch(SearchEngine& engine) {
    SearchLimits& limits = engine.limits;
    if ((limits.kind == LimitNodes || (limits.kind == LimitTime && limits.nodeLimit > 0)) &&
        engine.nodeCount > limits.nodeLimit) {
        engine.stopped = true;
        return 1;
    }
    if (limits.kind == LimitTime && !limits.pondering && elapsedMilliseconds(engine) > limits.maxTime) {
        engine.stopped = true;
        return 1;
    }
    switch (engine.reporter->poll()) {
    case PollPonderHitDraw:
        limits.drawOffered = true;
        [[fallthrough]];
    case PollPonderHit:
        if (engine.timeUpWhilePondering) {
            engine.stopped = true;
            return 1;
        }
        limits.pondering = false;
        return 0;
    case PollStop:
    case PollQuit:
        engine.stopped = true;
        return 1;
    case PollInputEnded:
        // A search with a limit of its own finishes; one that only a command
        // could end stops now.
        if (limits.untilStopped || limits.pondering) {
            engine.stopped = true;
            return 1;
        }
        return 0;
    default:
        return 0;
    }
}

SearchStatistics statistics(const SearchEngine& engine) {
    SearchStatistics s;
    s.elapsed = elapsedMilliseconds(engine);
    s.nodes = engine.nodeCount;
    s.nodesPerSecond = s.elapsed > 0 ? engine.nodeCount * 1000 / s.elapsed : 0;
    s.historyReductions = engine.historyReductionCount;
    s.nullReductions = engine.nullReductionCount;
    s.failHighFirstShare = engine.failHighCount > 0 ? engine.failHighFirstCount * 100 / engine.failHighCount : 0;
    return s;
}

bool drawAcceptable(const Position& pos, int value, int lastScore, int forced) {
    return !forced && lastScore >= ResignScore && pos.sideToMoveValue() <= DrawOfferMaterial && value < DrawOfferScore;
}

ResultOffer resultOffer(const SearchEngine& engine, const Position& pos, int value, int lastScore, int forced) {
    if (forced) return OfferNone;
    if (lastScore < ResignScore) return OfferResign;
    if (engine.limits.drawOffered && drawAcceptable(pos, value, lastScore, forced)) return OfferDraw;
    return OfferNone;
}

}  // namespace

int64_t elapsedMilliseconds(const SearchEngine& engine) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - engine.start)
        .count();
}

SearchProgress searchProgress(const SearchEngine& engine) {
    const int32_t total = engine.rootMoves.moveTotal;
    const int32_t left = total - engine.rootMovesSearched;
    return SearchProgress{elapsedMilliseconds(engine), engine.nodeCount, engine.currentDepth, left > 0 ? left : 0,
                          total};
}

SearchResult runSearch(SearchEngine& engine, const Position& root, const SearchLimits& limits,
                       SearchReporter& reporter) {
    engine.limits = limits;
    engine.reporter = &reporter;
    engine.pollHook = pollSearch;
    Position pos = root;
    pos.rootCount = pos.moveCount;
    preEvaluate(pos, engine.evaluation);
    prepareRootMoves(engine, pos);
    resetForSearch(engine, pos);
    engine.currentDepth = 0;
    engine.rootMovesSearched = 0;
    // Twenty quiet moves make the engine ready to offer a draw itself.
    int quietCount = pos.lastRecord().quietCount;
    if (quietCount == 20 || quietCount == 21) engine.limits.drawOffered = true;

    int lastScore = 0;
    int forced = 0;
    int value = deepen(engine, lastScore, forced);

    SearchResult result{};
    result.bestMove = engine.principalVariation[0];
    result.ponderMove = engine.principalVariation[0] != 0 ? engine.principalVariation[1] : 0;
    result.offer = result.bestMove != 0 ? resultOffer(engine, pos, value, lastScore, forced) : OfferNone;
    result.drawAcceptable = result.bestMove != 0 && drawAcceptable(pos, value, lastScore, forced);
    result.lastScore = lastScore;
    result.statistics = statistics(engine);
    result.pv = engine.principalVariation;
    reporter.searchDone(result);
    ageHashTable(engine.table);
    return result;
}
