// Faults a front end or the machine can cause, each met by a sound answer:
// a closed output, a damaged book, too little memory for the table, clocks
// that have run out, the longest inputs, and commands in awkward places.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

#include "play/play_util.h"

namespace {

using namespace play;

TEST(Faults, AClosedOutputEndsTheProgram) {
    for (Protocol protocol : {Protocol::Ucci, Protocol::Uci}) {
        EngineProcess engine;
        ASSERT_TRUE(startEngine(engine, protocol));
        engine.send("go depth 30");
        engine.closeOutput();
        engine.send("isready");
        // The first line the search writes fails; the program then ends by itself.
        EXPECT_EQ(engine.wait(5000), 0) << static_cast<int>(protocol);
    }
}

TEST(Faults, ADamagedBookIsSearchedPast) {
    std::ifstream shipped(std::string(QUORVEL_BUILD_DIR) + "/qvr.bin", std::ios::binary);
    const std::string whole((std::istreambuf_iterator<char>(shipped)), std::istreambuf_iterator<char>());
    if (whole.size() < 24) GTEST_SKIP() << "no qvr.bin was built";
    // The shipped book cut in the middle of a record, and with its records in reverse order.
    std::string reversed;
    for (size_t at = whole.size() / 12 * 12; at >= 12; at -= 12) reversed += whole.substr(at - 12, 12);
    const std::string copy = programCopy("quorvel_faulty_book", QUORVEL_BINARY);
    const std::string book = bookBeside(copy);
    const std::string cases[] = {"missing", "", whole.substr(0, whole.size() / 2 + 5), reversed, "directory"};
    for (const std::string& contents : cases) {
        std::remove(book.c_str());
        rmdir(book.c_str());
        if (contents == "directory") {
            mkdir(book.c_str(), 0755);
        } else if (contents != "missing") {
            std::ofstream(book, std::ios::binary) << contents;
        }
        EngineProcess engine;
        ASSERT_TRUE(startEngine(engine, Protocol::Ucci, nullptr, copy, BookOn));
        GoResult result = go(engine, "go depth 3");
        Position start = fromFen(StartFen);
        EXPECT_NE(legalAnswer(start, result), 0) << contents.size() << ": " << result.answer;
    }
    rmdir(book.c_str());
}

TEST(Faults, TooLittleMemoryGivesASmallerTable) {
#ifdef QUORVEL_SANITIZED
    GTEST_SKIP() << "the sanitizers need more address space than the limit leaves";
#endif
    if (EngineProcess::engineCommand() != QUORVEL_BINARY) GTEST_SKIP() << "the engine runs through another command";
    // 300 MB of address space: a 1 GB table cannot be had, a smaller one can.
    std::ofstream("/tmp/quorvel_small_memory.sh") << "ulimit -v 300000\nexec " << QUORVEL_BINARY << "\n";
    EngineProcess engine;
    ASSERT_TRUE(startEngine(engine, Protocol::Ucci, nullptr, "sh /tmp/quorvel_small_memory.sh"));
    engine.send("setoption hashsize 1024");
    linesBefore(engine, "isready", "readyok", 20000);
    EXPECT_NE(bestMoveOf(go(engine, "go depth 5").answer), "");
}

TEST(Faults, AClockThatHasRunOutStillGetsALegalMoveAtOnce) {
    EngineProcess ucci, uci;
    ASSERT_TRUE(startEngine(ucci));
    ASSERT_TRUE(startEngine(uci, Protocol::Uci));
    ucci.send("setoption usemillisec on");
    Position start = fromFen(StartFen);
    struct Case { EngineProcess& engine; const char* go; };
    const Case cases[] = {
        {ucci, "go time 0"}, {ucci, "go time 1"}, {ucci, "go time -50"}, {ucci, "go time 1 increment 5000"},
        {ucci, "go wtime 0 btime 0 movestogo 1"}, {uci, "go wtime 0 btime 0"}, {uci, "go wtime 1 btime 1"},
        {uci, "go wtime -50 btime -50"}, {uci, "go wtime 1 btime 1 winc 5000 binc 5000"}, {uci, "go movetime 0"},
    };
    for (const Case& c : cases) {
        GoResult result = go(c.engine, c.go, 5000);
        EXPECT_LT(result.milliseconds, 1000) << c.go;
        EXPECT_NE(legalAnswer(start, result), 0) << c.go << ": " << result.answer;
    }
}

TEST(Faults, TheLongestMoveListsAndBanLists) {
    EngineProcess engine;
    ASSERT_TRUE(startEngine(engine));
    // As many moves as a line holds: knights going back and forth.
    std::string moves;
    const char* cycle[4] = {"h0g2", "h9g7", "g2h0", "g7h9"};
    for (int i = 0; (i + 1) * 5 + 24 < 4095; i++) moves += std::string(" ") + cycle[i % 4];
    engine.send("position startpos moves" + moves);
    go(engine, "go depth 4");
    // Hundreds of banned moves: every legal move but one, many times over.
    engine.send("position startpos");
    std::string banned;
    Position start = fromFen(StartFen);
    for (int lap = 0; lap < 40; lap++)
        for (const char* move : {"h2e2", "b2e2", "h0g2", "b0c2", "a0a1", "i0i1", "c3c4", "g3g4", "e3e4"})
            banned += std::string(" ") + move;
    engine.send("banmoves" + banned);
    GoResult result = go(engine, "go depth 3");
    EXPECT_NE(legalAnswer(start, result), 0) << result.answer;
    EXPECT_EQ(banned.find(bestMoveOf(result.answer)), std::string::npos) << result.answer;
}

TEST(Faults, AWholeConversationInOneWrite) {
    EngineProcess ucci, uci;
    ASSERT_TRUE(startEngine(ucci));
    ASSERT_TRUE(startEngine(uci, Protocol::Uci));
    // 64 KB at once: positions and short searches, every go answered in order.
    std::string forUci;
    int searches = 0;
    for (; forUci.size() < 65536; searches++) forUci += "position startpos moves h2e2 h9g7\ngo depth 2\nisready\n";
    const std::string forUcci = "setoption batch on\n" + forUci;
    for (EngineProcess* engine : {&ucci, &uci}) {
        // Written from a thread of its own: the answers fill the other pipe meanwhile.
        std::thread writer([&] { engine->sendRaw(engine == &ucci ? forUcci : forUci); });
        int answers = 0, ready = 0;
        std::string line;
        while (ready < searches && engine->readLine(line, 30000) == EngineProcess::LineRead) {
            answers += isAnswer(line);
            ready += line == "readyok";
        }
        writer.join();
        EXPECT_EQ(answers, searches);
        EXPECT_EQ(ready, searches);
    }
}

TEST(Faults, ASecondGoWhileSearching) {
    // UCCI drops a go that arrives during a search; UCI carries it out afterwards.
    EngineProcess ucci, uci;
    ASSERT_TRUE(startEngine(ucci));
    ASSERT_TRUE(startEngine(uci, Protocol::Uci));
    for (EngineProcess* engine : {&ucci, &uci}) {
        engine->send("go depth 30");
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        engine->send("go depth 2");
        engine->send("stop");
        engine->send("isready");
        std::vector<std::string> seen;
        ASSERT_TRUE(engine->waitFor("readyok", &seen, 10000));
        const int expected = engine == &ucci ? 1 : 2;
        std::vector<std::string> rest = engine->readAll(300);
        seen.insert(seen.end(), rest.begin(), rest.end());
        EXPECT_EQ(countLines(seen, "bestmove"), expected);
    }
}

}  // namespace
