// Quiescence search: captures (or every evasion when in check) below the horizon.
#include "search/engine.h"
#include "search/ordering.h"
#include "search/rules.h"
#include "search/search.h"

int quiesce(SearchEngine& engine, int alpha, int beta) {
    Position& pos = engine.position;
    engine.nodeCount++;
    int ply = pos.ply();
    if (ply - MateValue >= beta) return ply - MateValue;
    int rule = ruleScore(pos);
    if (rule != NoValue) return rule;
    if (ply >= MaxSearchPly) return staticValue(engine, alpha, beta);

    int inCheck = pos.lastRecord().givesCheck();
    int best = -MateValue;
    MoveList list;
    if (inCheck) {
        prepareAllMoves(list, pos, engine.history);
    } else {
        int standPat = staticValue(engine, alpha, beta);
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
        int v = -quiesce(engine, -beta, -alpha);
        pos.unmakeMove();
        if (v > best) {
            if (v >= beta) return v;
            best = v;
            if (v > alpha) alpha = v;
        }
    }
    return best == -MateValue ? ply - MateValue : best;
}
