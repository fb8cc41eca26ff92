// When the answer offers a draw: go draw, ponderhit draw and a long quiet run,
// each only with little material and a score below 20, and never after stop.
#include <gtest/gtest.h>

#include <thread>

#include "play/play_util.h"

namespace {

using namespace play;

// Kings, advisors, bishops and five pawns a side: a level game with small value sums.
const std::string LevelEnding = "position fen 2bakab2/9/9/p1p1p1p1p/9/9/P1P1P1P1P/9/9/2BAKAB2 w - - 0 1";

bool offersDraw(const GoResult& result) { return result.answer.find(" draw") != std::string::npos; }

class DrawOffer : public ::testing::Test {
protected:
    EngineProcess engine;
    void SetUp() override { ASSERT_TRUE(startEngine(engine)); }
};

TEST_F(DrawOffer, GoDrawInALevelEndingIsAccepted) {
    engine.send(LevelEnding);
    GoResult plain = go(engine, "go depth 5");
    ASSERT_TRUE(plain.answered);
    EXPECT_FALSE(offersDraw(plain)) << plain.answer;

    GoResult offered = go(engine, "go draw depth 5");
    ASSERT_TRUE(offered.answered);
    EXPECT_TRUE(offersDraw(offered)) << offered.answer;
    EXPECT_EQ(offered.answer.find(" resign"), std::string::npos);
}

TEST_F(DrawOffer, NoDrawWithMuchMaterial) {
    engine.send("position startpos");
    GoResult result = go(engine, "go draw depth 4");
    ASSERT_TRUE(result.answered);
    EXPECT_FALSE(offersDraw(result)) << result.answer;
}

TEST_F(DrawOffer, NoDrawAfterStop) {
    engine.send(LevelEnding);
    engine.send("go draw depth 32");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    auto start = Clock::now();
    engine.send("stop");
    GoResult stopped = readAnswer(engine, start, 5000);
    ASSERT_TRUE(stopped.answered);
    EXPECT_NE(bestMoveOf(stopped.answer), "");
    EXPECT_FALSE(offersDraw(stopped)) << stopped.answer;
}

TEST_F(DrawOffer, PonderhitDrawOffersTheDraw) {
    engine.send(LevelEnding);
    // The depth limit ends the search by itself after the ponderhit.
    engine.send("go ponder depth 11");
    GoResult accepted = go(engine, "ponderhit draw", 60000);
    ASSERT_TRUE(accepted.answered);
    EXPECT_TRUE(offersDraw(accepted)) << accepted.answer;

    engine.send("go ponder depth 11");
    GoResult plain = go(engine, "ponderhit", 60000);
    ASSERT_TRUE(plain.answered);
    EXPECT_FALSE(offersDraw(plain)) << plain.answer;
}

TEST_F(DrawOffer, TwentyQuietMovesOfferTheDrawUnasked) {
    // Both kings walk round their palaces; pawns on the d, e and f files keep them apart.
    const char* fen = "5k3/9/9/3ppp3/9/9/3PPP3/9/9/3K5 w - - 0 1";
    std::vector<std::string> walk = {"d0d1", "f9f8", "d1d2", "f8f7", "d2e2", "f7e7", "e2f2", "e7d7", "f2f1", "d7d8",
                                     "f1f0", "d8d9", "f0e0", "d9e9", "e0e1", "e9e8", "e1d1", "e8f8", "d1d0", "f8f9"};
    Position pos;
    ASSERT_TRUE(playMoves(pos, fen, walk));
    ASSERT_EQ(pos.lastRecord().quietCount, 20);

    std::vector<std::string> shorter(walk.begin(), walk.end() - 2);
    engine.send(std::string("position fen ") + fen + " moves" + joinMoves(shorter));
    GoResult eighteen = go(engine, "go depth 5");
    ASSERT_TRUE(eighteen.answered);
    EXPECT_FALSE(offersDraw(eighteen)) << eighteen.answer;

    engine.send(std::string("position fen ") + fen + " moves" + joinMoves(walk));
    GoResult twenty = go(engine, "go depth 5");
    ASSERT_TRUE(twenty.answered);
    EXPECT_TRUE(offersDraw(twenty)) << twenty.answer;
}

}  // namespace
