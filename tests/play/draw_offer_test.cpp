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

TEST_F(DrawOffer, OfferedOrAfterTwentyQuietMovesOnlyWithLittleMaterial) {
    // Both kings walk round their palaces; pawns on the d, e and f files keep them apart.
    const char* fen = "5k3/9/9/3ppp3/9/9/3PPP3/9/9/3K5 w - - 0 1";
    std::vector<std::string> walk = {"d0d1", "f9f8", "d1d2", "f8f7", "d2e2", "f7e7", "e2f2", "e7d7", "f2f1", "d7d8",
                                     "f1f0", "d8d9", "f0e0", "d9e9", "e0e1", "e9e8", "e1d1", "e8f8", "d1d0", "f8f9"};
    Position pos;
    ASSERT_TRUE(playMoves(pos, fen, walk));
    ASSERT_EQ(pos.lastRecord().quietCount, 20);
    const std::string walked = std::string("position fen ") + fen + " moves";
    const std::vector<std::string> shorter(walk.begin(), walk.end() - 2);

    struct Case { std::string position; const char* go; bool offers; };
    const Case cases[] = {
        {LevelEnding, "go depth 5", false},
        {LevelEnding, "go draw depth 5", true},
        {"position startpos", "go draw depth 4", false},
        {walked + joinMoves(shorter), "go depth 5", false},
        {walked + joinMoves(walk), "go depth 5", true},
    };
    for (const Case& c : cases) {
        engine.send(c.position);
        GoResult result = go(engine, c.go);
        EXPECT_EQ(offersDraw(result), c.offers) << c.position << " " << c.go << ": " << result.answer;
        EXPECT_EQ(result.answer.find(" resign"), std::string::npos) << result.answer;
    }
}

TEST_F(DrawOffer, NoDrawAfterStop) {
    engine.send(LevelEnding);
    engine.send("go draw depth 32");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    GoResult stopped = go(engine, "stop", 5000);
    EXPECT_NE(bestMoveOf(stopped.answer), "");
    EXPECT_FALSE(offersDraw(stopped)) << stopped.answer;
}

TEST_F(DrawOffer, PonderhitDrawOffersTheDraw) {
    engine.send(LevelEnding);
    // The depth limit ends the search by itself after the ponderhit.
    for (const char* hit : {"ponderhit draw", "ponderhit"}) {
        engine.send("go ponder depth 11");
        GoResult result = go(engine, hit, 60000);
        EXPECT_EQ(offersDraw(result), hit == std::string("ponderhit draw")) << hit << ": " << result.answer;
    }
}

}  // namespace
