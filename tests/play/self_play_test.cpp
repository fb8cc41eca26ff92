// Two engine processes play short games against each other as an arbiter would
// run them; every move must be legal by the engine's own rules.
#include <gtest/gtest.h>

#include "play/play_util.h"

namespace {

using namespace play;

struct Player {
    EngineProcess engine;
    std::string goLine;
};

// Plays up to maxPlies from the start position; returns the moves played.
std::vector<std::string> playGame(Player& red, Player& black, int maxPlies) {
    std::vector<std::string> moves;
    Position pos;
    pos.setFromFen(StartFen);
    for (int ply = 0; ply < maxPlies; ply++) {
        Player& mover = (ply % 2 == 0) ? red : black;
        mover.engine.send("position startpos" + (moves.empty() ? std::string() : " moves" + joinMoves(moves)));
        GoResult result = go(mover.engine, mover.goLine, 30000);
        const std::string move = bestMoveOf(result.answer);
        if (move.empty() || result.answer.find(" resign") != std::string::npos) break;
        const int legal = legalAnswer(pos, result);
        EXPECT_NE(legal, 0) << "illegal " << move << " at ply " << ply << " after" << joinMoves(moves);
        if (legal == 0) break;
        pos.makeMove(legal);
        moves.push_back(move);
    }
    return moves;
}

void finish(Player& player) {
    player.engine.send("quit");
    EXPECT_TRUE(player.engine.waitFor("bye", nullptr, 5000));
    EXPECT_EQ(player.engine.wait(5000), 0);
}

TEST(SelfPlay, ShortGamesStayLegalAndEndCleanly) {
    Player red, black;
    ASSERT_TRUE(startEngine(red.engine));
    ASSERT_TRUE(startEngine(black.engine));

    red.goLine = "go depth 3";
    black.goLine = "go nodes 4000";
    std::vector<std::string> first = playGame(red, black, 40);
    EXPECT_GE(first.size(), 10u);

    // Noise at the root and a fresh table: a different game from the same opening.
    for (Player* player : {&red, &black}) {
        player->engine.send("setoption newgame");
        player->engine.send("setoption selectivity large");
        player->goLine = "go depth 2";
    }
    std::vector<std::string> second = playGame(red, black, 40);
    EXPECT_GE(second.size(), 10u);

    finish(red);
    finish(black);
}

}  // namespace
