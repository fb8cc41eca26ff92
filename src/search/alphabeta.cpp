// The main search: fail-soft principal-variation alpha-beta with null move,
// internal iterative deepening, extensions and a history-driven reduction.
#include "eval/evaluation.h"
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

int aborted() { return StopSearch != 0; }


// A tried quiet move of a node that ended in a quiet cutoff.
void countTry(int move) {
    if (++TryCount[move] >= StatLimit) {
        TryCount[move] = (TryCount[move] + 1) / 2;
        CutCount[move] = (CutCount[move] + 1) / 2;
    }
}

void countCutoff(const Position& pos, const Move* searched, int searchedCount, int move, int quiet) {
    FailHighCount++;
    if (searchedCount == 1) FailHighFirstCount++;
    if (FailHighCount > StatLimit) {
        FailHighCount = FailHighCount / 2 + 1;
        FailHighFirstCount = FailHighFirstCount / 2 + 1;
    }
    if (!quiet) return;
    for (int i = 0; i < searchedCount - 1; i++) {
        if (pos.board[moveDestination(searched[i])] == 0) countTry(searched[i]);
    }
    CutCount[move]++;
    countTry(move);
}

int isReducible(int move) {
    int tries = TryCount[move] > 0 ? TryCount[move] : 1;
    return CutCount[move] * StatLimit / tries < ReductionRatio;
}

// Result of the null-move step: a value that ends the node, or NoValue to go on.
struct NullResult {
    int value;
    int threat;
};

NullResult tryNullMove(SearchContext& context, int alpha, int beta, int depth) {
    Position& pos = context.position;
    NullResult result{NoValue, 0};
    int e = evaluate(pos, alpha, beta);
    int r = 2;
    if (e >= beta + 40 && depth >= 5 && hasNullMaterial(pos)) {
        r = 3;
        NullReductionCount++;
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
    if (dn > 0) prefetchHash(pos.key);
    int child = alphaBeta(context, -beta, 1 - beta, dn, NonPvNode, AfterNull);
    pos.unmakeNullMove();
    if (child == NoValue || aborted()) {
        result.value = NoValue;
        result.threat = -1;
        return result;
    }
    int v = -child;
    if (v >= beta) {
        if (!hasNullMaterial(pos)) {
            int check = alphaBeta(context, beta - 1, beta, depth - r, NonPvNode, AfterNull);
            if (check == NoValue || aborted()) {
                result.threat = -1;
                return result;
            }
            if (check < beta) return result;
        }
        storeHash(pos, HashLower, v, depth, 0);
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

int alphaBeta(SearchContext& context, int alpha, int beta, int depth, NodeKind kind, NullState previous) {
    if (depth <= 0) return quiesce(context, alpha, beta);
    Position& pos = context.position;
    NodeCount++;
    const int ply = pos.ply();
    if (ply - MateValue >= beta) return ply - MateValue;
    int rule = ruleScore(pos);
    if (rule != NoValue) return rule;

    int hashMove = 0;
    int hashValue = probeHash(pos, alpha, beta, depth, previous, hashMove);
    if (kind == NonPvNode && hashValue != NoValue) return hashValue;
    if (ply >= MaxSearchPly) return staticValue(context, alpha, beta);

    // Every node counts towards the next poll, quiescence nodes too, so that a
    // search looks at its limits and its input every PollInterval nodes.
    if (context.pollEnabled && NodeCount >= NextPoll) {
        NextPoll = NodeCount + PollInterval;
        if (PollHook != nullptr && PollHook()) {
            StopSearch = 1;
            return NoValue;
        }
    }

    const MoveRecord prev = pos.lastRecord();
    const int inCheck = prev.givesCheck();
    const int side = pos.sideToMove;

    int threat = 0;
    if (kind == NonPvNode && context.usePruning && depth >= 2 && previous == AfterMove && !inCheck &&
        (pos.pieceBits & (NullPieceMask << (16 * side))) != 0) {
        NullResult null = tryNullMove(context, alpha, beta, depth);
        if (null.threat < 0) return NoValue;
        if (null.value != NoValue) return null.value;
        threat = null.threat;
    }

    if (kind == PvNode && hashMove == 0 && depth >= 3) {
        int di = depth / 2 < depth - 2 ? depth / 2 : depth - 2;
        int v = alphaBeta(context, alpha, beta, di, PvNode, AfterMove);
        if (v != NoValue && v <= alpha) v = alphaBeta(context, -MateValue, beta, di, PvNode, AfterMove);
        if (v == NoValue || aborted()) return NoValue;
        hashMove = probeHashMove(pos);
    }

    Move* killers = context.Killers[ply];
    MoveList list;
    int singleReply = 0;
    if (inCheck) {
        singleReply = prepareEvasions(list, pos, hashMove, killers);
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

    for (int m = nextMove(list, pos); m != 0; m = nextMove(list, pos)) {
        if (depth >= 2) {
            prefetchHash(keyAfter(pos, m));
            // The next sorted move's window too: it is probed after this move's subtree.
            if (list.phase >= PhaseGoodCaptures && list.nextIndex < list.moveTotal)
                prefetchHash(keyAfter(pos, list.entries[list.nextIndex].move));
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
        if (kind == NonPvNode && quiet && d < depth && !inCheck && depth >= 3 && searchedCount >= 3 && list.phase == PhaseRest &&
            isReducible(m)) {
            d--;
            reduced = 1;
            HistoryReductionCount++;
        }

        int v;
        if (kind == NonPvNode) {
            v = -alphaBeta(context, -beta, -alpha, d, NonPvNode, AfterMove);
            if (reduced && v > alpha) v = -alphaBeta(context, -beta, -alpha, d + 1, NonPvNode, AfterMove);
        } else if (best == -MateValue) {
            v = -alphaBeta(context, -beta, -alpha, d, PvNode, AfterMove);
        } else {
            v = -alphaBeta(context, -alpha - 1, -alpha, d, NonPvNode, AfterMove);
            if (v > alpha) v = -alphaBeta(context, -beta, -alpha, d, PvNode, AfterMove);
        }
        pos.unmakeMove();
        if (aborted()) return NoValue;

        if (searchedCount < MoveListCapacity) searched[searchedCount] = Move(m);
        searchedCount++;

        if (v > best) {
            best = v;
            if (v >= beta) {
                int recorded = searchedCount < MoveListCapacity ? searchedCount : MoveListCapacity;
                countCutoff(pos, searched, recorded, m, quiet);
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
    storeHash(pos, bounds, best, depth, bestMove != 0 ? bestMove : singleReply);
    if (!isGoodCapturePick(list, pos, bestMove)) recordGoodMove(bestMove, depth, killers);
    return best;
}
