// The book beside the program: a copy of the engine in a scratch folder next
// to a small qvr.bin made from the engine's own locks.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

#include "play/play_util.h"

namespace {

using namespace play;
namespace fs = std::filesystem;

void writeRecord(std::FILE* file, const Position& pos, const char* move, uint16_t weight) {
    unsigned char bytes[12];
    for (int i = 0; i < 4; i++) {
        bytes[i] = static_cast<unsigned char>(pos.lock1 >> (8 * i));
        bytes[4 + i] = static_cast<unsigned char>(pos.lock2 >> (8 * i));
    }
    int value = textToMove(move);
    bytes[8] = static_cast<unsigned char>(value);
    bytes[9] = static_cast<unsigned char>(value >> 8);
    bytes[10] = static_cast<unsigned char>(weight);
    bytes[11] = static_cast<unsigned char>(weight >> 8);
    std::fwrite(bytes, 1, 12, file);
}

TEST(BookPlay, BookMoveIsPlayedAtOnceAndUsebookFalseSearches) {
    const char* wrapped = std::getenv("QUORVEL_ENGINE");
    if (wrapped != nullptr && wrapped[0] != '\0') GTEST_SKIP() << "the engine runs through " << wrapped;

    fs::path folder = fs::path(::testing::TempDir()) / "quorvel_book_play";
    fs::remove_all(folder);
    fs::create_directories(folder);
    fs::path program = folder / "quorvel";
    fs::copy_file(QUORVEL_BINARY, program, fs::copy_options::overwrite_existing);

    static Position start, afterCannon;
    start.setFromFen(StartFen);
    ASSERT_TRUE(playMoves(afterCannon, StartFen, {"h2e2"}));
    const Position* first = &start;
    const Position* second = &afterCannon;
    auto key = [](const Position* pos) { return (uint64_t{pos->lock2} << 32) | pos->lock1; };
    if (key(second) < key(first)) std::swap(first, second);
    std::FILE* file = std::fopen((folder / "qvr.bin").string().c_str(), "wb");
    ASSERT_NE(file, nullptr);
    writeRecord(file, *first, first == &start ? "h2e2" : "h9g7", 1);
    writeRecord(file, *second, second == &start ? "h2e2" : "h9g7", 1);
    std::fclose(file);

    EngineProcess engine;
    ASSERT_TRUE(engine.start(program.string()));
    engine.send("ucci");
    ASSERT_TRUE(engine.waitFor("ucciok"));
    engine.send("position startpos");
    GoResult fromBook = go(engine, "go depth 8");
    ASSERT_TRUE(fromBook.answered);
    EXPECT_EQ(fromBook.answer, "bestmove h2e2");
    EXPECT_EQ(fromBook.lines.size(), 1u) << "no search, no info line";

    // After b2e2 only the mirror image (after h2e2) is stored: h9g7 comes back as b9c7.
    engine.send("position startpos moves b2e2");
    GoResult mirrored = go(engine, "go depth 8");
    ASSERT_TRUE(mirrored.answered);
    EXPECT_EQ(mirrored.answer, "bestmove b9c7");

    engine.send("setoption usebook false");
    engine.send("position startpos");
    GoResult withoutBook = go(engine, "go depth 3");
    ASSERT_TRUE(withoutBook.answered);
    EXPECT_TRUE(statisticsOf(withoutBook.lines).found);

    engine.send("quit");
    EXPECT_EQ(engine.wait(5000), 0);
    fs::remove_all(folder);
}

}  // namespace
