// The engine as a front end sees it: the real program over pipes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "play/play_util.h"

namespace {

using namespace play;

const std::vector<std::string> Identity = {
    "id name Quorvel 1.1",
    "id author Delvane",
    "option usemillisec type check default false",
    "ucciok",
};

TEST(PipeTest, HandshakeInAnyCaseGivesTheIdentityLinesInOrder) {
    for (const char* first : {"ucci", "UCCI", "Ucci trailing words"}) {
        EngineProcess engine;
        ASSERT_TRUE(engine.start());
        engine.send(first);
        std::vector<std::string> lines;
        ASSERT_TRUE(engine.waitFor("ucciok", &lines));
        EXPECT_EQ(lines, Identity);
        engine.send("quit");
        EXPECT_EQ(nextLine(engine), "bye");
        EXPECT_EQ(engine.wait(), 0);
    }
}

TEST(PipeTest, FirstLineThatIsNotUcciEndsSilently) {
    for (const char* first : {"", "uci", "isready", " ucci"}) {
        EngineProcess engine;
        ASSERT_TRUE(engine.start());
        engine.send(first);
        engine.send("isready");
        EXPECT_TRUE(engine.readAll().empty()) << "first line [" << first << "]";
        EXPECT_EQ(engine.wait(), 0);
    }
}

TEST(PipeTest, EndOfInputBeforeTheHandshakeEndsSilently) {
    EngineProcess engine;
    ASSERT_TRUE(engine.start());
    engine.sendRaw("ucci");  // no line feed: never a complete line
    engine.closeInput();
    EXPECT_TRUE(engine.readAll().empty());
    EXPECT_EQ(engine.wait(), 0);
}

TEST(PipeTest, IdleRepliesAndQuiet) {
    EngineProcess engine;
    ASSERT_TRUE(startEngine(engine));
    engine.send("isready");
    EXPECT_EQ(nextLine(engine), "readyok");
    engine.send("stop");
    EXPECT_EQ(nextLine(engine), "nobestmove");
    // Commands without an answer print nothing: the next line is readyok.
    for (const char* silent : {"setoption hashsize 32", "setoption usebook off", "setoption newgame",
                               "setoption bookfiles x.obk", "setoption colour red",
                               "position startpos moves h2e2 h9g7", "position fen 4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1",
                               "position nowhere", "banmoves h2e2 j0j1", "go", "ucci", "hello", ""})
        engine.send(silent);
    engine.send("ISREADY");
    EXPECT_EQ(nextLine(engine), "readyok");
    engine.send("quit");
    EXPECT_EQ(nextLine(engine), "bye");
    EXPECT_EQ(nextLine(engine, 1000), "<no line>");
    EXPECT_EQ(engine.wait(), 0);
}

TEST(PipeTest, DebugEchoesEveryLineIdleOrBusy) {
    EngineProcess engine;
    ASSERT_TRUE(startEngine(engine));
    engine.send("setoption debug on");
    engine.send("nonsense here");
    engine.send("isready");
    EXPECT_EQ(nextLine(engine), "info idleline [nonsense here]");
    EXPECT_EQ(nextLine(engine), "info idleline [isready]");
    EXPECT_EQ(nextLine(engine), "readyok");
    engine.send("go ponder depth 3");
    EXPECT_EQ(nextLine(engine), "info idleline [go ponder depth 3]");
    engine.send("isready");
    EXPECT_EQ(nextLine(engine), "info busyline [isready]");
    EXPECT_EQ(nextLine(engine), "readyok");
    engine.send("stop");
    EXPECT_EQ(nextLine(engine), "info busyline [stop]");
    EXPECT_TRUE(engine.waitFor("bestmove"));
    engine.send("setoption debug off");
    EXPECT_EQ(nextLine(engine), "info idleline [setoption debug off]");
    engine.send("isready");
    EXPECT_EQ(nextLine(engine), "readyok");
}

TEST(PipeTest, OverLongLineDoesNotDerailTheConversation) {
    EngineProcess engine;
    ASSERT_TRUE(startEngine(engine));
    engine.sendRaw(std::string(10000, 'x') + "\r\n");
    engine.send("position startpos moves" + std::string(800, ' ') + "\nisready");
    EXPECT_EQ(nextLine(engine), "readyok");
}

TEST(PipeTest, EndOfInputWhileIdleActsAsQuit) {
    EngineProcess engine;
    ASSERT_TRUE(startEngine(engine));
    engine.send("isready");
    engine.closeInput();
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(engine.readAll(), (std::vector<std::string>{"readyok", "bye"}));
    EXPECT_EQ(engine.wait(2000), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(2));
}

}  // namespace
