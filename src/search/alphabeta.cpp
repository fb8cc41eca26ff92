// The main search: fail-soft principal-variation alpha-beta with null move,
// internal iterative deepening, extensions and a history-driven reduction.
#include "eval/evaluation.h"
#include "search/engine.h"
#include "search/hash.h"
#include "search/ordering.h"
#include "search/rules.h"
#include "search/search.h"

namespace {

constexpr int StatLimit = 16384;
// Quiet moves that cut off in fewer than 60% of their tries are searched one ply shallower.
constexpr int ReductionRatio = 9830;
constexpr uint32_t NullPieceMask = 0xFFE0;  // knights, rooks, cannons, pawns of red
// A null-move value of depth - NullThreatOffset marks a mate threat against
// the side that passed: its moves are then searched without depth loss.
constexpr int NullThreatOffset = 993;

int aborted(const SearchEngine& engine) { return engine.stopped; }

// A tried quiet move of a node that ended in a quiet cutoff.
void countTry(SearchEngine& engine, int move) {
    if (++engine.tryCount[move] >= StatLimit) {
        engine.tryCount[move] = (engine.tryCount[move] + 1) / 2;
        engine.cutCount[move] = (engine.cutCount[move] + 1) / 2;
    }
}

void countCutoff(SearchEngine& engine, const Move* searched, int searchedCount, int move, int quiet) {
    engine.failHighCount++;
    if (searchedCount == 1) engine.failHighFirstCount++;
    if (engine.failHighCount > StatLimit) {
        engine.failHighCount = engine.failHighCount / 2 + 1;
        engine.failHighFirstCount = engine.failHighFirstCount / 2 + 1;
    }
    if (!quiet) return;
    const Position& pos = engine.position;
    for (int i = 0; i < searchedCount - 1; i++) {
        if (pos.board[moveDestination(searched[i])] == 0) countTry(engine, searched[i]);
    }
    engine.cutCount[move]++;
    countTry(engine, move);
}

int isReducible(const SearchEngine& engine, int move) {
    int tries = engine.tryCount[move] > 0 ? engine.tryCount[move] : 1;
    return engine.cutCount[move] * StatLimit / tries < ReductionRatio;
}

// Result of the null-move step: a value that ends the node, or NoValue to go on.
struct NullResult {
    int value;
    int threat;
};

NullResult tryNullMove(SearchEngine& engine, int alpha, int beta, int depth) {
    Position& pos = engine.position;
    NullResult result{NoValue, 0};
    int e = evaluate(pos, engine.evaluation, alpha, beta);
    int r = 2;
    if (e >= beta + 40 && depth >= 5 && hasNullMaterial(pos)) {
        r = 3;
        engine.nullReductionCount++;
    }
    if (depth - r - 1 > 0 && e < beta) return result;

    // Checks just before weaken the null move's evidence, so reduce less.
    const int c = pos.moveCount;
    const int ownCheck = c >= 2 && pos.history[c - 2].givesCheck();
    if (c >= 3 && pos.history[c - 3].givesCheck()) r--;
    if (ownCheck) r--;
    const int lastCheck = pos.history[c - 1].givesCheck();

    if (!pos.makeNullMove()) return result;
    int dn = depth - r - 1;
    if (dn <= 0 && (ownCheck || lastCheck)) dn = 1;
    if (dn > 0) prefetchHash(engine.table, pos.key);
    int child = alphaBeta(engine, -beta, 1 - beta, dn, NonPvNode, AfterNull);
    pos.unmakeNullMove();
    if (child == NoValue || aborted(engine)) {
        result.value = NoValue;
        result.threat = -1;
        return result;
    }
    int v = -child;
    if (v >= beta) {
        if (!hasNullMaterial(pos)) {
            int check = alphaBeta(engine, beta - 1, beta, depth - r, NonPvNode, AfterNull);
            if (check == NoValue || aborted(engine)) {
                result.threat = -1;
                return result;
            }
            if (check < beta) return result;
        }
        storeHash(engine.table, pos, HashLower, v, depth, 0);
        result.value = v;
        return result;
    }
    if (v == depth - NullThreatOffset) result.threat = 1;
    return result;
}

}  // namespace

int hasNullMaterial(const Position& pos) {
    return pos.sideToMoveValue() > NullMoveMaterial;
}

int alphaBeta(SearchEngine& engine, int alpha, int beta, int depth, NodeKind kind, NullState previous) {
    if (depth <= 0) return quiesce(engine, alpha, beta);
    Position& pos = engine.position;
    engine.nodeCount++;
    const int ply = pos.ply();
    if (ply - MateValue >= beta) return ply - MateValue;
    int rule = ruleScore(pos);
    if (rule != NoValue) return rule;

    int hashMove = 0;
    int hashValue = probeHash(engine.table, pos, alpha, beta, depth, previous, hashMove);
    if (kind == NonPvNode && hashValue != NoValue) return hashValue;
    if (ply >= MaxSearchPly) return staticValue(engine, alpha, beta);

    // Every node counts towards the next poll, quiescence nodes too, so that a
    // search looks at its limits and its input every PollInterval nodes.
    if (engine.pollEnabled && engine.nodeCount >= engine.nextPoll) {
        engine.nextPoll = engine.nodeCount + PollInterval;
        if (engine.pollHook != nullptr && engine.pollHook(engine)) {
            engine.stopped = true;
            return NoValue;
        }
    }

    const MoveRecord prev = pos.lastRecord();
    const int inCheck = prev.givesCheck();
    const int side = pos.sideToMove;

    int threat = 0;
    if (kind == NonPvNode && engine.usePruning && depth >= 2 && previous == AfterMove && !inCheck &&
        (pos.pieceBits & (NullPieceMask << (16 * side))) != 0) {
        NullResult null = tryNullMove(engine, alpha, beta, depth);
        if (null.threat < 0) return NoValue;
        if (null.value != NoValue) return null.value;
        threat = null.threat;
    }

    if (kind == PvNode && hashMove == 0 && depth >= 3) {
        int di = depth / 2 < depth - 2 ? depth / 2 : depth - 2;
        int v = alphaBeta(engine, alpha, beta, di, PvNode, AfterMove);
        if (v != NoValue && v <= alpha) v = alphaBeta(engine, -MateValue, beta, di, PvNode, AfterMove);
        if (v == NoValue || aborted(engine)) return NoValue;
        hashMove = probeHashMove(engine.table, pos);
    }

    Move* killers = engine.killers[ply];
    MoveList list;
    int singleReply = 0;
    if (inCheck) {
        singleReply = prepareEvasions(list, pos, hashMove, killers, engine.history);
    } else {
        list.phase = 0;
        list.hashMove = hashMove;
        list.killer1 = killers[0];
        list.killer2 = killers[1];
    }

    int best = -MateValue;
    int bestMove = 0;
    int bounds = HashUpper;
    int searchedCount = 0;
    Move searched[MoveListCapacity];
    const int prevDestination = moveDestination(prev.move);
    const int prevValue = CaptureValue[prev.capturedCode()];

    for (int m = nextMove(list, pos, engine.history); m != 0; m = nextMove(list, pos, engine.history)) {
        if (depth >= 2) {
            prefetchHash(engine.table, keyAfter(pos, m));
            // The next sorted move's window too: it is probed after this move's subtree.
            if (list.phase >= PhaseGoodCaptures && list.nextIndex < list.moveTotal)
                prefetchHash(engine.table, keyAfter(pos, list.entries[list.nextIndex].move));
        }
        if (!pos.makeMove(m)) continue;
        const MoveRecord rec = pos.lastRecord();
        const int quiet = rec.capturedCode() == 0;
        const int recapture = moveDestination(m) == prevDestination;
        const int value = CaptureValue[rec.capturedCode()];

        int d = depth - 1;
        if (rec.givesCheck() || singleReply != 0 || (recapture && prevValue == value) ||
            (kind == PvNode && recapture && prevValue <= value) || threat) {
            d = depth;
        }

        int reduced = 0;
        if (kind == NonPvNode && quiet && d < depth && !inCheck && depth >= 3 && searchedCount >= 3 &&
            list.phase == PhaseRest && isReducible(engine, m)) {
            d--;
            reduced = 1;
            engine.historyReductionCount++;
        }

        int v;
        if (kind == NonPvNode) {
            v = -alphaBeta(engine, -beta, -alpha, d, NonPvNode, AfterMove);
            if (reduced && v > alpha) v = -alphaBeta(engine, -beta, -alpha, d + 1, NonPvNode, AfterMove);
        } else if (best == -MateValue) {
            v = -alphaBeta(engine, -beta, -alpha, d, PvNode, AfterMove);
        } else {
            v = -alphaBeta(engine, -alpha - 1, -alpha, d, NonPvNode, AfterMove);
            if (v > alpha) v = -alphaBeta(engine, -beta, -alpha, d, PvNode, AfterMove);
        }
        pos.unmakeMove();
        if (aborted(engine)) return NoValue;

        if (searchedCount < MoveListCapacity) searched[searchedCount] = Move(m);
        searchedCount++;

        if (v > best) {
            best = v;
            if (v >= beta) {
                int recorded = searchedCount < MoveListCapacity ? searchedCount : MoveListCapacity;
                countCutoff(engine, searched, recorded, m, quiet);
                bestMove = m;
                bounds = HashLower;
                break;
            }
            if (v > alpha) {
                alpha = v;
                bestMove = m;
                bounds = HashExact;
            }
        }
    }

    if (best == -MateValue) return ply - MateValue;
    storeHash(engine.table, pos, bounds, best, depth, bestMove != 0 ? bestMove : singleReply);
    if (!isGoodCapturePick(list, pos, bestMove)) recordGoodMove(engine.history, bestMove, depth, killers);
    return best;
}
