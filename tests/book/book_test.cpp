// The opening book against small book files written from the engine's own locks.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "board/random.h"
#include "board/tables.h"
#include "book/book.h"
#include "book/book_writer.h"
#include "book_test_util.h"
#include "common/positions.h"

namespace {

// The generator the probes draw from.
uint32_t RandomSeed = 1;

Position positionAfter(const char* fen, const std::vector<const char*>& moves = {}) {
    Position pos = fromFen(fen);
    for (const char* move : moves) EXPECT_EQ(pos.makeMove(mv(move)), 1) << move;
    return pos;
}

BookRecord recordFor(const Position& pos, const char* moveText, uint16_t weight) {
    return BookRecord{pos.lock1, pos.lock2, static_cast<uint16_t>(textToMove(moveText)), weight};
}

class BookFile : public ::testing::Test {
protected:
    std::string path = ::testing::TempDir() + "quorvel_book_" +
                       ::testing::UnitTest::GetInstance()->current_test_info()->name() + ".bin";

    void TearDown() override { std::remove(path.c_str()); }

    // Writes the records sorted as a book is (lock2, then lock1), keeping the
    // given order among the records of one position, with some unrelated
    // positions around them so that the binary search has work to do.
    void write(std::vector<BookRecord> records, int fillers = 200) {
        uint32_t seed = 12345;
        for (int i = 0; i < fillers; i++) {
            uint32_t lock1 = nextRandom(seed);
            records.push_back(BookRecord{lock1, nextRandom(seed) << 1, 0xFFFF, 7});
        }
        std::stable_sort(records.begin(), records.end(), [](const BookRecord& a, const BookRecord& b) {
            return a.lock2 != b.lock2 ? a.lock2 < b.lock2 : a.lock1 < b.lock1;
        });
        ASSERT_EQ(writeBookFile(path.c_str(), records), 1);
    }

    int probe(const Position& pos) { return probeBook(path.c_str(), pos, RandomSeed); }
};

TEST(MirrorPosition, GivesTheLocksOfTheMirroredBoardAndMirrorsTheHistory) {
    Position played = positionAfter(StartFen, {"h2e2", "h9g7"});
    Position expected = positionAfter(StartFen, {"b2e2", "b9c7"});
    mirrorPosition(played);
    EXPECT_EQ(played.key, expected.key);
    EXPECT_EQ(played.lock1, expected.lock1);
    EXPECT_EQ(played.lock2, expected.lock2);
    EXPECT_EQ(played.sideToMove, 0);
    EXPECT_EQ(text(played.history[1].move), "b2e2");
    EXPECT_EQ(text(played.history[2].move), "b9c7");
    // Codes of twin pieces may trade places in a mirror image; kind and side may not.
    for (int square = 0; square < 256; square++) {
        int got = played.board[square];
        int want = expected.board[square];
        EXPECT_EQ(got == 0 ? -1 : keyType(got), want == 0 ? -1 : keyType(want)) << square;
    }

    Position start = positionAfter(StartFen);
    Position mirrored = start;
    mirrorPosition(mirrored);
    EXPECT_EQ(mirrored.lock1, start.lock1);
    EXPECT_EQ(mirrored.lock2, start.lock2);
    EXPECT_EQ(MirrorSquare[textToSquare("a0")], textToSquare("i0"));
    EXPECT_EQ(MirrorSquare[textToSquare("e5")], textToSquare("e5"));
    EXPECT_EQ(MirrorSquare[0], 0);
    EXPECT_EQ(MirrorSquare[textToSquare("i9") + 1], 0);
}

TEST_F(BookFile, ExactHitReturnsTheStoredMove) {
    Position start = positionAfter(StartFen);
    Position other = positionAfter(StartFen, {"h2e2"});
    write({recordFor(start, "h2e2", 5), recordFor(other, "h9g7", 5)});
    EXPECT_EQ(text(probe(start)), "h2e2");
    EXPECT_EQ(text(probe(other)), "h9g7");
}

TEST_F(BookFile, MirrorOnlyHitIsMappedBack) {
    // Only the mirror image (cannon b2e2 instead of h2e2) is stored, with the
    // black cannon move b7d7 (column 4 to 6); it comes back as h7f7.
    Position played = positionAfter(StartFen, {"h2e2"});
    Position mirrored = positionAfter(StartFen, {"b2e2"});
    write({recordFor(mirrored, "b7d7", 3)});
    EXPECT_EQ(text(probe(played)), "h7f7");
}

TEST_F(BookFile, DirectHitIsNeverLookedUpMirrored) {
    Position played = positionAfter(StartFen, {"h2e2"});
    Position mirrored = positionAfter(StartFen, {"b2e2"});
    write({recordFor(played, "h9g7", 1), recordFor(mirrored, "b7d7", 100)});
    for (int i = 0; i < 5; i++) EXPECT_EQ(text(probe(played)), "h9g7");
}

TEST_F(BookFile, WeightsChooseInFileOrderAndZeroIsNeverChosen) {
    Position start = positionAfter(StartFen);
    write({recordFor(start, "h2e2", 1), recordFor(start, "b2e2", 0), recordFor(start, "h0g2", 3)});
    const char* expected[4] = {"h2e2", "h0g2", "h0g2", "h0g2"};
    for (uint32_t r = 0; r < 4; r++) {
        RandomSeed = seedGiving(r, 4);
        uint32_t before = RandomSeed;
        EXPECT_EQ(text(probe(start)), expected[r]) << "r = " << r;
        EXPECT_EQ(RandomSeed, nextRandom(before)) << "one step per successful probe";
    }
}

TEST_F(BookFile, OnlyTheFirst128UsableRecordsTakePart) {
    Position start = positionAfter(StartFen);
    std::vector<BookRecord> records(128, recordFor(start, "h2e2", 0));
    records.push_back(recordFor(start, "b2e2", 9));
    write(records);
    EXPECT_EQ(probe(start), 0);

    records.erase(records.begin());
    write(records);
    EXPECT_EQ(text(probe(start)), "b2e2");
}

TEST_F(BookFile, InvalidStoredMovesAreSkipped) {
    Position start = positionAfter(StartFen);
    BookRecord offBoard = recordFor(start, "h2e2", 500);
    offBoard.move = static_cast<uint16_t>(makeMoveValue(0x0F, 0xEE));
    BookRecord offBoardTarget = recordFor(start, "h2e2", 500);
    offBoardTarget.move = static_cast<uint16_t>(makeMoveValue(textToSquare("a0"), 0xC2));
    write({recordFor(start, "h7e7", 500), offBoard, offBoardTarget, recordFor(start, "b2b7", 500),
           recordFor(start, "c3c4", 1)});
    for (uint32_t seed = 1; seed < 20; seed++) {
        RandomSeed = seed;
        EXPECT_EQ(text(probe(start)), "c3c4");
    }

    write({recordFor(start, "h7e7", 500)});
    uint32_t before = RandomSeed;
    EXPECT_EQ(probe(start), 0);
    EXPECT_EQ(RandomSeed, before) << "nothing usable: the generator is not advanced";
}

TEST_F(BookFile, EmptyMissingAndShortFilesGiveNothing) {
    Position start = positionAfter(StartFen);
    RandomSeed = 77;
    write({}, 0);
    EXPECT_EQ(probe(start), 0);
    EXPECT_EQ(probeBook((path + ".missing").c_str(), start, RandomSeed), 0);

    // A trailing partial record is ignored, never read past.
    std::FILE* file = std::fopen(path.c_str(), "wb");
    ASSERT_NE(file, nullptr);
    std::fputs("short", file);
    std::fclose(file);
    EXPECT_EQ(probe(start), 0);
    EXPECT_EQ(RandomSeed, 77u);
}

TEST_F(BookFile, ProbeLeavesThePositionAlone) {
    // Found only as the mirror image, which the probe sets up on its own copy.
    const Position start = positionAfter(StartFen, {"h2e2"});
    write({recordFor(positionAfter(StartFen, {"b2e2"}), "h9g7", 1)});
    Position probed = start;
    EXPECT_EQ(text(probe(probed)), "b9c7");
    EXPECT_EQ(probed.lock1, start.lock1);
    EXPECT_EQ(probed.history[1].move, start.history[1].move);
}

}  // namespace
