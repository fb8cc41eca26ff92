// The judge: after each move, whether the game is over. No legal move loses;
// then a repetition is judged under the game's rule set; then the 120 quiet
// plies and the lack of pieces that can cross the river draw.
#include "game/game.h"

#include "game/chase.h"
#include "movegen/generate.h"

namespace {

// The occurrence of a position, counting the current one, that a repetition needs.
constexpr int RepetitionCount = 3;

// What a side did throughout a cycle, the worse ranking higher.
enum Violation { NoViolation, PerpetualChase, PerpetualCheck };

int samePosition(const Position& a, const Position& b) {
    return a.key == b.key && a.lock1 == b.lock1 && a.lock2 == b.lock2;
}

// Plies since the last capture, or since the position's history begins: at
// the game's start, right after a capture, or far more than 120 plies back.
int quietPlies(const Position& pos) {
    int plies = 0;
    for (int i = pos.moveCount - 1; i > 0 && pos.history[i].capturedCode() == 0; i--) plies++;
    return plies;
}

// Plies back to the previous occurrence of the current position when it now
// stands for the third time or more since the last capture; 0 otherwise.
int repetitionCycle(const Position& pos) {
    if (pos.repTable[pos.key & 0xFFF] == 0) return 0;
    Position walk = pos;
    int occurrences = 1, cycle = 0;
    for (int plies = 1; walk.moveCount > 1 && walk.lastRecord().capturedCode() == 0; plies++) {
        walk.unmakeMove();
        if (!samePosition(walk, pos)) continue;
        if (cycle == 0) cycle = plies;
        if (++occurrences == RepetitionCount) return cycle;
    }
    return 0;
}

// Each side's moves over the last cycle plies: all checks, or all chasing
// one enemy piece (checks among them allowed), or neither.
void classifyCycle(const Position& pos, int cycle, int* violation) {
    int allChecks[2] = {1, 1};
    uint32_t chasedThroughout[2] = {~0u, ~0u};
    Position walk = pos;
    for (int i = 0; i < cycle; i++) {
        const int mover = 1 - walk.sideToMove;
        const int check = walk.lastRecord().givesCheck() != 0;
        uint32_t chasedNow = 0;
        if (!check) attackedPieces(walk, mover, &chasedNow);
        walk.unmakeMove();
        if (check) continue;
        allChecks[mover] = 0;
        chasedThroughout[mover] &= chasedNow & ~attackedPieces(walk, mover, nullptr);
    }
    for (int side = 0; side < 2; side++)
        violation[side] = allChecks[side]                ? PerpetualCheck
                          : chasedThroughout[side] != 0 ? PerpetualChase
                                                        : NoViolation;
}

GameVerdict judgeRepetition(const GameRecord& game, int cycle) {
    const GameVerdict draw = {GameDrawn, EndRepetition};
    if (game.rules == RulesSimple) return draw;
    int violation[2];
    classifyCycle(game.position, cycle, violation);
    if (game.rules == RulesCheck)
        for (int side = 0; side < 2; side++)
            if (violation[side] == PerpetualChase) violation[side] = NoViolation;
    if (violation[0] == violation[1]) return draw;
    const int loser = violation[0] > violation[1] ? 0 : 1;
    return {loser == 0 ? BlackWins : RedWins,
            violation[loser] == PerpetualCheck ? EndPerpetualCheck : EndPerpetualChase};
}

}  // namespace

GameVerdict judgeGame(const GameRecord& game) {
    const Position& pos = game.position;
    Move moves[MoveListCapacity];
    if (legalMoves(pos, moves) == 0)
        return {pos.sideToMove == 0 ? BlackWins : RedWins, pos.inCheck(pos.sideToMove) ? EndCheckmate : EndStalemate};
    const int cycle = repetitionCycle(pos);
    if (cycle != 0) return judgeRepetition(game, cycle);
    if (quietPlies(pos) >= GameQuietPlyLimit) return {GameDrawn, EndQuietMoves};
    if ((pos.pieceBits & CrossingPieceBits) == 0) return {GameDrawn, EndInsufficientMaterial};
    return {GameOngoing, EndNone};
}
