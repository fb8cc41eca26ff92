// The book beside the program: a copy of the engine in a scratch folder next
// to a small qvr.bin made from the engine's own locks.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

#include "book/book_writer.h"
#include "play/play_util.h"

namespace {

using namespace play;

TEST(BookPlay, BookMoveIsPlayedAtOnceAndUsebookFalseSearches) {
    const char* wrapped = std::getenv("QUORVEL_ENGINE");
    if (wrapped != nullptr && wrapped[0] != '\0') GTEST_SKIP() << "the engine runs through " << wrapped;

    const std::string program = programCopy("quorvel_book_play", QUORVEL_BINARY);
    const Position start = fromFen(StartFen);
    Position afterCannon;
    ASSERT_TRUE(playMoves(afterCannon, StartFen, {"h2e2"}));
    std::vector<BookRecord> records = {
        {start.lock1, start.lock2, static_cast<uint16_t>(mv("h2e2")), 1},
        {afterCannon.lock1, afterCannon.lock2, static_cast<uint16_t>(mv("h9g7")), 1},
    };
    sortBookEntries(records);
    ASSERT_EQ(writeBookFile(bookBeside(program).c_str(), records), 1);

    EngineProcess engine;
    ASSERT_TRUE(startEngine(engine, Protocol::Ucci, nullptr, program, BookOn));
    engine.send("position startpos");
    GoResult fromBook = go(engine, "go depth 8");
    EXPECT_EQ(fromBook.answer, "bestmove h2e2");
    EXPECT_EQ(fromBook.lines.size(), 1u) << "no search, no info line";

    // After b2e2 only the mirror image (after h2e2) is stored: h9g7 comes back as b9c7.
    engine.send("position startpos moves b2e2");
    EXPECT_EQ(go(engine, "go depth 8").answer, "bestmove b9c7");

    engine.send("setoption usebook false");
    engine.send("position startpos");
    EXPECT_TRUE(statisticsOf(go(engine, "go depth 3").lines).found);

    engine.send("quit");
    EXPECT_EQ(engine.wait(5000), 0);
}

// A program on the PATH or behind a link still finds the book beside its
// real file; where only the link's folder holds one, as older versions looked,
// that one is read.
TEST(BookPlay, BookBesideTheProgramFileElseBesideTheLinkItWasStartedBy) {
    const char* wrapped = std::getenv("QUORVEL_ENGINE");
    if (wrapped != nullptr && wrapped[0] != '\0') GTEST_SKIP() << "the engine runs through " << wrapped;
    namespace fs = std::filesystem;

    const std::string program = programCopy("quorvel_book_real", QUORVEL_BINARY);
    const fs::path linkFolder = fs::path(::testing::TempDir()) / "quorvel_book_link";
    const fs::path elsewhere = fs::path(::testing::TempDir()) / "quorvel_book_elsewhere";
    fs::remove_all(linkFolder);
    fs::create_directories(linkFolder);
    fs::create_directories(elsewhere);
    const fs::path link = linkFolder / "quorvel";
    fs::create_symlink(program, link);
    const Position start = fromFen(StartFen);
    auto bookOf = [&](const char* move) {
        return std::vector<BookRecord>{{start.lock1, start.lock2, static_cast<uint16_t>(mv(move)), 1}};
    };
    auto bookMove = [&]() {
        const fs::path before = fs::current_path();
        fs::current_path(elsewhere);
        EngineProcess engine;
        const bool started = startEngine(engine, Protocol::Ucci, nullptr, link.string(), BookOn);
        fs::current_path(before);
        if (!started) return std::string("not started");
        engine.send("position startpos");
        return go(engine, "go depth 3").answer;
    };

    ASSERT_EQ(writeBookFile(bookBeside(program).c_str(), bookOf("h2e2")), 1);
    ASSERT_EQ(writeBookFile((linkFolder / "qvr.bin").string().c_str(), bookOf("b0c2")), 1);
    EXPECT_EQ(bookMove(), "bestmove h2e2");
    fs::remove(bookBeside(program));
    EXPECT_EQ(bookMove(), "bestmove b0c2");
}

}  // namespace
