// Move ordering: hash move, good captures, killers, then history order.
#include "search/ordering.h"

#include <cstdint>

const int ShellGaps[8] = {0, 1, 4, 13, 40, 121, 364, 1093};

namespace {

// Captures scored this high win material or take an undefended piece.
constexpr int GoodCaptureScore = 2;
constexpr int HashMoveScore = 0xFFFF;
constexpr int Killer1Score = 0xFFFE;
constexpr int Killer2Score = 0xFFFD;
constexpr int EvasionScoreCap = 0xFFFC;

int highestBit(uint32_t v) {
    int bit = -1;
    while (v != 0) {
        v >>= 1;
        bit++;
    }
    return bit;
}

}  // namespace

void sortMoves(MoveList& list) {
    if (list.moveTotal <= 1) return;
    int k = 1;
    while (k < 7 && ShellGaps[k + 1] < list.moveTotal) k++;
    MoveEntry* e = list.entries;
    for (; k >= 1; k--) {
        int h = ShellGaps[k];
        for (int i = list.nextIndex + h; i < list.moveTotal; i++) {
            MoveEntry x = e[i];
            int j = i - h;
            while (j >= list.nextIndex && e[j].score < x.score) {
                e[j + h] = e[j];
                j -= h;
            }
            e[j + h] = x;
        }
    }
}

void scoreByHistory(MoveList& list, const HistoryTable& history) {
    int shift = 0;
    for (int i = list.nextIndex; i < list.moveTotal; i++) {
        uint32_t v = uint32_t(history.score[list.entries[i].move]) >> shift;
        if (v > 65535) {
            // Rescale the whole pass so that the largest score still fits 16 bits.
            int b = highestBit(v) - 15;
            for (int j = list.nextIndex; j < i; j++) list.entries[j].score = uint16_t(list.entries[j].score >> b);
            shift += b;
            v >>= b;
        }
        list.entries[i].score = uint16_t(v);
    }
}

int nextMove(MoveList& list, Position& pos, const HistoryTable& history) {
    switch (list.phase) {
    case PhaseHash:
        list.phase = PhaseCaptures;
        if (list.hashMove != 0) return list.hashMove;
        [[fallthrough]];
    case PhaseCaptures:
        list.phase = PhaseGoodCaptures;
        list.nextIndex = 0;
        list.moveTotal = generateCaptures(pos, list.entries);
        sortMoves(list);
        [[fallthrough]];
    case PhaseGoodCaptures:
        if (list.nextIndex < list.moveTotal && list.entries[list.nextIndex].score >= GoodCaptureScore) {
            return list.entries[list.nextIndex++].move;
        }
        list.phase = PhaseKiller1;
        [[fallthrough]];
    case PhaseKiller1:
        list.phase = PhaseKiller2;
        if (list.killer1 != 0 && pos.isValidMove(list.killer1)) return list.killer1;
        [[fallthrough]];
    case PhaseKiller2:
        list.phase = PhaseQuiet;
        if (list.killer2 != 0 && pos.isValidMove(list.killer2)) return list.killer2;
        [[fallthrough]];
    case PhaseQuiet:
        list.phase = PhaseRest;
        list.moveTotal += generateQuietMoves(pos, list.entries + list.moveTotal);
        scoreByHistory(list, history);
        sortMoves(list);
        [[fallthrough]];
    case PhaseRest:
        if (list.nextIndex < list.moveTotal) return list.entries[list.nextIndex++].move;
        return 0;
    default:
        return 0;
    }
}

int prepareEvasions(MoveList& list, Position& pos, int hashMove, const Move killers[2], const HistoryTable& history) {
    list.phase = PhaseRest;
    list.nextIndex = 0;
    list.hashMove = hashMove;
    list.killer1 = killers[0];
    list.killer2 = killers[1];
    int total = generateCaptures(pos, list.entries);
    total += generateQuietMoves(pos, list.entries + total);
    list.moveTotal = total;
    scoreByHistory(list, history);

    // makeMove's own refusal test, without the record, the repetition mark and
    // the test of check that a made move needs.
    const int side = pos.sideToMove;
    const bool roomLeft = pos.moveCount < MaxHistory;
    int legal = 0;
    for (int i = 0; i < total; i++) {
        MoveEntry& e = list.entries[i];
        if (e.move == hashMove) {
            e.score = HashMoveScore;
            legal++;
            continue;
        }
        const int captured = pos.movePiece(e.move);
        const bool refused = !roomLeft || pos.inCheck(side);
        pos.undoMovePiece(e.move, captured);
        if (refused) {
            e.score = 0;
            continue;
        }
        legal++;
        if (e.move == killers[0]) {
            e.score = Killer1Score;
        } else if (e.move == killers[1]) {
            e.score = Killer2Score;
        } else {
            e.score = uint16_t(e.score + 1 < EvasionScoreCap ? e.score + 1 : EvasionScoreCap);
        }
    }
    // Refused moves sort last with score 0 and are cut off here.
    sortMoves(list);
    list.moveTotal = list.nextIndex + legal;
    return legal == 1 ? list.entries[0].move : 0;
}

void prepareAllMoves(MoveList& list, const Position& pos, const HistoryTable& history) {
    list.phase = PhaseRest;
    list.nextIndex = 0;
    list.hashMove = list.killer1 = list.killer2 = 0;
    int total = generateCaptures(pos, list.entries);
    total += generateQuietMoves(pos, list.entries + total);
    list.moveTotal = total;
    scoreByHistory(list, history);
    sortMoves(list);
}

void prepareCaptures(MoveList& list, const Position& pos) {
    list.phase = PhaseRest;
    list.nextIndex = 0;
    list.hashMove = list.killer1 = list.killer2 = 0;
    list.moveTotal = generateCaptures(pos, list.entries);
    sortMoves(list);
}

int isGoodCapturePick(const MoveList& list, const Position& pos, int move) {
    if (move == 0 || list.phase == PhaseGoodCaptures) return 1;
    if (list.phase > PhaseGoodCaptures) return 0;
    return isGoodCapture(pos, move);
}

void recordGoodMove(HistoryTable& history, int move, int depth, Move killers[2]) {
    // Saturate rather than wrap: a long search must not turn a strong move weak.
    int64_t sum = int64_t(history.score[move]) + int64_t(depth) * depth;
    history.score[move] = sum > INT32_MAX ? INT32_MAX : int32_t(sum);
    if (killers[0] != move) {
        killers[1] = killers[0];
        killers[0] = Move(move);
    }
}

void filterBannedMoves(MoveList& list, int count, const Move* banned) {
    int matched = 0;
    for (int i = 0; i < list.moveTotal; i++) {
        MoveEntry& e = list.entries[i];
        e.score = 1;
        for (int j = 0; j < count; j++) {
            if (e.move == banned[j]) {
                e.score = 0;
                matched++;
                break;
            }
        }
    }
    list.nextIndex = 0;
    sortMoves(list);
    list.moveTotal -= matched;
}

void promoteRootMove(MoveList& list, int move) {
    for (int i = 0; i < list.moveTotal; i++) {
        MoveEntry& e = list.entries[i];
        if (e.move == move) {
            e.score = HashMoveScore;
        } else if (e.score > 0) {
            e.score--;
        }
    }
}
