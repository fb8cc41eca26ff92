// Quiescence search: captures (or every evasion when in check) below the horizon.
#include "search/ordering.h"
#include "search/rules.h"
#include "search/search.h"

int quiesce(SearchContext& context, int alpha, int beta) {
    Position& pos = context.position;
    NodeCount++;
    int ply = pos.ply();
    if (ply - MateValue >= beta) return ply - MateValue;
    int rule = ruleScore(pos);
    if (rule != NoValue) return rule;
    if (ply >= MaxSearchPly) return staticValue(context, alpha, beta);

    int inCheck = pos.lastRecord().givesCheck();
    int best = -MateValue;
    MoveList list;
    if (inCheck) {
        prepareAllMoves(list, pos);
    } else {
        int standPat = staticValue(context, alpha, beta);
        if (standPat > -MateValue) {
            if (standPat >= beta) return standPat;
            best = standPat;
            if (standPat > alpha) alpha = standPat;
        }
        prepareCaptures(list, pos);
    }

    for (int i = 0; i < list.moveTotal; i++) {
        const MoveEntry& entry = list.entries[i];
        // Captures are sorted by score; the ones scored 0 lose material on their face.
        if (!inCheck && entry.score == 0) break;
        if (!pos.makeMove(entry.move)) continue;
        int v = -quiesce(context, -beta, -alpha);
        pos.unmakeMove();
        if (v > best) {
            if (v >= beta) return v;
            best = v;
            if (v > alpha) alpha = v;
        }
    }
    return best == -MateValue ? ply - MateValue : best;
}
