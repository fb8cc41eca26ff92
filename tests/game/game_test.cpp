// The game record and its judge: each case plays moves from a FEN and checks
// the verdict after the last one (and that no earlier move ended the game).
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/positions.h"
#include "game/game.h"

namespace {

struct JudgedCase {
    const char* name;
    const char* fen;
    const char* moves;
    RuleSet rules;
    GameOutcome outcome;
    GameEnd reason;
};

// Plays the moves; false (with a failure) when one is refused.
bool playAll(GameRecord& game, const std::string& moves, bool ongoingOnTheWay) {
    std::istringstream words(moves);
    std::string word;
    bool first = true;
    while (words >> word) {
        if (!first && ongoingOnTheWay) {
            const GameVerdict early = judgeGame(game);
            EXPECT_EQ(early.outcome, GameOngoing) << "ended by " << gameEndName(early.reason) << " before " << word;
        }
        first = false;
        if (!playGameMove(game, static_cast<Move>(mv(word.c_str())))) {
            ADD_FAILURE() << "refused " << word;
            return false;
        }
    }
    return true;
}

// Red rook on a-b files after an unprotected black cannon that flees between a5 and b5.
constexpr const char* RookChasesCannon = "4k4/9/9/9/1c7/9/9/9/R8/3K5 w";
constexpr const char* RookChasesCannonMoves = "a1b1 b5a5 b1a1 a5b5 a1b1 b5a5 b1a1 a5b5";

const JudgedCase Cases[] = {
    {"PerpetualCheckLoses", "4k4/9/9/9/9/9/9/9/R8/5K3 w", "a1e1 e9d9 e1d1 d9e9 d1e1 e9d9 e1d1 d9e9 d1e1",
     RulesAsian, BlackWins, EndPerpetualCheck},
    {"ChaseOfUnprotectedPieceLoses", RookChasesCannon, RookChasesCannonMoves, RulesAsian, BlackWins, EndPerpetualChase},
    {"OnlyPerpetualCheckLosesUnderCheckRules", RookChasesCannon, RookChasesCannonMoves, RulesCheck, GameDrawn, EndRepetition},
    {"EveryRepetitionDrawsUnderSimpleRules", "4k4/9/9/9/9/9/9/9/R8/5K3 w",
     "a1e1 e9d9 e1d1 d9e9 d1e1 e9d9 e1d1 d9e9 d1e1", RulesSimple, GameDrawn, EndRepetition},
    {"ChaseOfProtectedPieceDraws", "4k4/9/9/pp7/1c7/9/9/9/R8/3K5 w", RookChasesCannonMoves, RulesAsian, GameDrawn,
     EndRepetition},
    // The knight chases the black rook, which the other rook protects.
    {"RookChasedByKnightLosesThoughProtected", "r1r1k4/3N5/9/9/9/9/9/9/9/5K3 w",
     "d8b7 a9b9 b7d8 b9a9 d8b7 a9b9 b7d8 b9a9", RulesAsian, BlackWins, EndPerpetualChase},
    // A knight goes in and out of the cannon's line while a black knight does the
    // opposite, so each red move attacks the pawn anew: across the river it is chased.
    {"CrossedPawnCanBeChased", "4k4/9/9/1N2n4/9/C3p4/9/9/9/5K3 w",
     "b6c4 e6d4 c4b6 d4e6 b6c4 e6d4 c4b6 d4e6", RulesAsian, BlackWins, EndPerpetualChase},
    {"PawnOnItsOwnHalfCannotBeChased", "4k4/1N2n4/9/C3p4/9/9/9/9/9/5K3 w",
     "b8c6 e8d6 c6b8 d6e8 b8c6 e8d6 c6b8 d6e8", RulesAsian, GameDrawn, EndRepetition},
    {"EveryRepetitionDrawsUnderSimpleRulesToo", RookChasesCannon, RookChasesCannonMoves, RulesSimple, GameDrawn,
     EndRepetition},
    // Each side blocks the other's check with a move that checks in turn.
    {"BothSidesCheckingDraw", "9/9/3k5/4c4/4r4/9/3C5/9/4K4/3R5 w", "d3e3 e5d5 e3d3 d5e5 d3e3 e5d5 e3d3 d5e5",
     RulesAsian, GameDrawn, EndRepetition},
    // Red checks with every move; black's rook, going to block and back, each
    // time leaves the cannon on h8 exactly one screen from the unprotected
    // knight on h0: a chase, but the check loses first.
    {"CheckBeatsChase", "9/3k3c1/7r1/9/3C5/8n/9/9/3R5/3K3N1 w", "d5h5 h7d7 h5d5 d7h7 d5h5 h7d7 h5d5 d7h7",
     RulesAsian, BlackWins, EndPerpetualCheck},
    // Red checks, then attacks the unprotected knight on i5, and again.
    {"OneCheckOneChaseIsAChase", "8R/9/4k4/r8/8n/9/9/8C/9/3K5 w", "i9e9 e7f7 e9i9 f7e7 i9e9 e7f7 e9i9 f7e7",
     RulesAsian, BlackWins, EndPerpetualChase},
    // The advisor that would take back on d7 or f7 is pinned by the rook on e2.
    {"PinnedDefenderDoesNotProtect", "4k4/4a4/3c5/9/9/9/5R3/4R4/4A4/4K4 w", "f3d3 d7f7 d3f3 f7d7 f3d3 d7f7 d3f3 f7d7",
     RulesAsian, BlackWins, EndPerpetualChase},
    // Pinned by the black rook, the red rook cannot take the cannon it lines up with.
    {"PinnedAttackerDoesNotChase", "4k4/4r4/9/9/9/4R4/c8/9/9/4K4 w", "e4e3 a3a4 e3e4 a4a3 e4e3 a3a4 e3e4 a4a3",
     RulesAsian, GameDrawn, EndRepetition},
    {"ExchangeOfferIsNoChase", "r3k4/9/9/9/9/9/9/9/1R7/3K5 w", "b1a1 a9b9 a1b1 b9a9 b1a1 a9b9 a1b1 b9a9",
     RulesAsian, GameDrawn, EndRepetition},
    {"IdleRepetitionDraws", "4k4/4a4/8r/9/9/9/9/R8/4A4/4K4 w", "a2b2 i7h7 b2a2 h7i7 a2b2 i7h7 b2a2 h7i7",
     RulesAsian, GameDrawn, EndRepetition},
    {"Checkmate", "4k4/R8/9/9/9/9/9/9/9/1R1K5 w", "b0b9", RulesAsian, RedWins, EndCheckmate},
    {"StalemateLoses", "4k4/9/R8/9/9/9/9/9/9/3K1R3 w", "a7a8", RulesAsian, RedWins, EndStalemate},
    {"InsufficientMaterial", "4k4/9/9/9/9/9/9/9/4p4/3K1A3 w", "f0e1", RulesAsian, GameDrawn,
     EndInsufficientMaterial},
};

void PrintTo(const JudgedCase& c, std::ostream* out) { *out << c.name; }

class JudgedGames : public ::testing::TestWithParam<JudgedCase> {};

TEST_P(JudgedGames, VerdictAfterTheLastMove) {
    const JudgedCase& c = GetParam();
    GameRecord game;
    ASSERT_TRUE(startGame(game, c.fen, c.rules));
    ASSERT_TRUE(playAll(game, c.moves, true));
    const GameVerdict verdict = judgeGame(game);
    EXPECT_EQ(verdict.outcome, c.outcome);
    EXPECT_STREQ(gameEndName(verdict.reason), gameEndName(c.reason));
}

INSTANTIATE_TEST_SUITE_P(Rules, JudgedGames, ::testing::ValuesIn(Cases),
                         [](const ::testing::TestParamInfo<JudgedCase>& info) { return std::string(info.param.name); });

}  // namespace

namespace {

// Red's rook walks a2..h2 and back to a2, black's a7..i7 and back: no position
// stands three times within 120 plies, and nothing is captured.
std::string rookWalk(int plies) {
    std::string moves;
    int red = 0, black = 0;
    for (int ply = 0; ply < plies; ply++) {
        const bool redMoves = ply % 2 == 0;
        int& file = redMoves ? red : black;
        const int files = redMoves ? 8 : 9;
        const char rank = redMoves ? '2' : '7';
        const int next = (file + 1) % files;
        moves += {static_cast<char>('a' + file), rank, static_cast<char>('a' + next), rank, ' '};
        file = next;
    }
    return moves;
}

constexpr const char* RookWalkFen = "4k4/4a4/r8/9/9/9/9/R8/4A4/4K4 w";

TEST(GameRules, SixtyMovesEachWithoutCaptureDraw) {
    GameRecord game;
    ASSERT_TRUE(startGame(game, RookWalkFen, RulesAsian));
    ASSERT_TRUE(playAll(game, rookWalk(GameQuietPlyLimit), true));
    const GameVerdict verdict = judgeGame(game);
    EXPECT_EQ(verdict.outcome, GameDrawn);
    EXPECT_EQ(verdict.reason, EndQuietMoves);
}

TEST(GameRecord, RefusesIllegalMovesAndTakesBack) {
    GameRecord game;
    ASSERT_TRUE(startGame(game, nullptr, RulesAsian));
    EXPECT_FALSE(playGameMove(game, static_cast<Move>(mv("h7e7"))));  // black's cannon, red to move
    EXPECT_FALSE(playGameMove(game, 0));
    ASSERT_TRUE(playGameMove(game, static_cast<Move>(mv("h2e2"))));
    ASSERT_TRUE(playGameMove(game, static_cast<Move>(mv("h9g7"))));
    EXPECT_EQ(game.plyCount, 2);
    ASSERT_TRUE(takeBackGameMove(game));
    ASSERT_TRUE(takeBackGameMove(game));
    EXPECT_FALSE(takeBackGameMove(game));
    char fen[FenSize];
    game.position.writeFen(fen);
    EXPECT_STREQ(fen, StartPositionFen);
    EXPECT_EQ(startGame(game, "rnbakabnr/9/1c5c1 w", RulesAsian), 0);
}

TEST(GameRecord, LegalMovesLeaveNoKingAttacked) {
    Move moves[MoveListCapacity];
    EXPECT_EQ(legalMoves(fromFen(StartFen), moves), 44);
    // Pinned by the red rook, the black cannon may only slide along the file;
    // the king may not face the red one.
    EXPECT_EQ(legalMoves(fromFen("4k4/9/9/4c4/9/9/9/9/9/3KR4 b"), moves), 7 + 2);
}

// Far more plies than a position's history holds: the record plays on, takes
// back across a new start, and still judges repetition after it.
TEST(GameRecord, LongGameOutgrowsThePositionHistory) {
    GameRecord game;
    ASSERT_TRUE(startGame(game, RookWalkFen, RulesSimple));
    const int plies = MaxHistory + 200;
    std::string moves = rookWalk(plies);
    std::istringstream words(moves);
    std::string word;
    while (words >> word) ASSERT_TRUE(playGameMove(game, static_cast<Move>(mv(word.c_str()))));
    EXPECT_EQ(game.plyCount, plies);
    for (int i = 0; i < 300; i++) ASSERT_TRUE(takeBackGameMove(game));
    EXPECT_EQ(game.plyCount, plies - 300);
    GameRecord replayed;
    ASSERT_TRUE(startGame(replayed, RookWalkFen, RulesSimple));
    ASSERT_TRUE(playAll(replayed, rookWalk(plies - 300), false));
    EXPECT_EQ(game.position.key, replayed.position.key);
    EXPECT_EQ(judgeGame(game).reason, EndRepetition);
}

TEST(GameRecord, EndNames) {
    EXPECT_STREQ(gameEndName(EndNone), "");
    EXPECT_STREQ(gameEndName(EndQuietMoves), "60-move rule");
    EXPECT_STREQ(gameEndName(EndPerpetualChase), "perpetual chase");
}

}  // namespace
