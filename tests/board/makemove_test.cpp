#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "board/tables.h"
#include "common/positions.h"

namespace {

// Every legal move of the side to move, found without the move generator:
// each own piece against every board square, validated and tried. makeMove
// must refuse exactly the moves that leave the mover's king attacked.
std::vector<int> legalMoves(Position& pos) {
    std::vector<int> moves;
    int first = 16 + 16 * pos.sideToMove;
    for (int code = first; code < first + 16; code++) {
        int from = pos.pieceSquares[code];
        if (from == 0) continue;
        for (int to = 51; to <= 203; to++) {
            if (!InBoard[to]) continue;
            int move = makeMoveValue(from, to);
            if (!pos.isValidMove(move)) continue;
            Position tried = pos;
            tried.movePiece(move);
            const int exposed = tried.inCheck(pos.sideToMove);
            EXPECT_EQ(pos.makeMove(move), 1 - exposed) << text(move);
            if (exposed) continue;
            pos.unmakeMove();
            moves.push_back(move);
        }
    }
    return moves;
}

// Recomputes every incremental field from the board alone.
void expectConsistent(const Position& pos) {
    uint32_t key = 0, lock1 = 0, lock2 = 0, bits = 0;
    uint16_t rows[16] = {}, cols[16] = {};
    int red = 0, black = 0;
    for (int s = 0; s < 256; s++) {
        int code = pos.board[s];
        if (code == 0) continue;
        ASSERT_TRUE(InBoard[s]);
        ASSERT_EQ(pos.pieceSquares[code], s);
        int kt = keyType(code);
        key ^= PieceKeys[kt][s];
        lock1 ^= PieceLocks[kt][s][0];
        lock2 ^= PieceLocks[kt][s][1];
        bits |= 1u << (code - 16);
        rows[s >> 4] |= ColumnBit[s];
        cols[s & 15] |= RowBit[s];
        (code < 32 ? red : black) += pos.pieceValues[kt][s];
    }
    if (pos.sideToMove) {
        key ^= SideKey;
        lock1 ^= SideLock1;
        lock2 ^= SideLock2;
    }
    ASSERT_EQ(pos.key, key);
    ASSERT_EQ(pos.lock1, lock1);
    ASSERT_EQ(pos.lock2, lock2);
    ASSERT_EQ(pos.pieceBits, bits);
    ASSERT_EQ(0, std::memcmp(pos.rowMask, rows, sizeof rows));
    ASSERT_EQ(0, std::memcmp(pos.colMask, cols, sizeof cols));
    ASSERT_EQ(pos.redValue, red);
    ASSERT_EQ(pos.blackValue, black);
}

// Gives pos other piece-square values and rebases its sums on them.
void useValues(Position& pos, const uint8_t (&values)[14][256]) {
    std::memcpy(pos.pieceValues, values, sizeof pos.pieceValues);
    pos.redValue = pos.blackValue = 0;
    for (int code = 16; code < 48; code++) {
        const int s = pos.pieceSquares[code];
        if (s != 0) (code < 32 ? pos.redValue : pos.blackValue) += values[keyType(code)][s];
    }
}

void playMoves(Position& pos, std::initializer_list<const char*> moves) {
    for (const char* m : moves) ASSERT_EQ(pos.makeMove(mv(m)), 1) << m;
}

TEST(MakeMove, PinnedPieceIsRefusedAndNothingChanges) {
    // The red rook on e3 shields its king from the black rook on e9.
    Position pos = fromFen("3kr4/9/9/9/9/9/4R4/9/9/4K4 w");
    Position before = pos;
    EXPECT_EQ(pos.makeMove(mv("e3d3")), 0);
    EXPECT_EQ(0, std::memcmp(&pos, &before, sizeof pos));
    EXPECT_EQ(pos.makeMove(mv("e3e9")), 1);
}

TEST(MakeMove, FacingKingsAreRefused) {
    Position pos = fromFen("4k4/9/9/9/9/9/9/9/9/3K5 w");
    EXPECT_EQ(pos.makeMove(mv("d0e0")), 0);
    EXPECT_EQ(pos.makeMove(mv("d0d1")), 1);
}

TEST(MakeMove, CaptureRecordsTheVictimAndResetsTheQuietCount) {
    Position pos = fromFen("3k5/9/9/9/9/9/2r6/9/9/R3K4 w");
    ASSERT_EQ(pos.makeMove(mv("a0a1")), 1);
    EXPECT_EQ(pos.lastRecord().quietCount, 1);
    ASSERT_EQ(pos.makeMove(mv("c3a3")), 1);
    EXPECT_EQ(pos.lastRecord().quietCount, 2);
    ASSERT_EQ(pos.makeMove(mv("a1a3")), 1);
    EXPECT_EQ(pos.lastRecord().flags >> 2, 39);
    EXPECT_EQ(pos.lastRecord().flags & 3, 0);
    EXPECT_EQ(pos.lastRecord().quietCount, 0);
    EXPECT_EQ(pos.pieceBits & (1u << (39 - 16)), 0u);
}

TEST(MakeMove, ChecksAndEvasionsKeepTheQuietCount) {
    Position pos = fromFen("3k5/9/9/9/9/9/9/9/9/R4K3 w");
    ASSERT_EQ(pos.makeMove(mv("a0a1")), 1);
    ASSERT_EQ(pos.makeMove(mv("d9e9")), 1);
    EXPECT_EQ(pos.lastRecord().quietCount, 2);
    ASSERT_EQ(pos.makeMove(mv("a1e1")), 1);  // check along the e-file
    EXPECT_EQ(pos.lastRecord().flags & 3, 1);
    EXPECT_EQ(pos.lastRecord().quietCount, 2);
    ASSERT_EQ(pos.makeMove(mv("e9d9")), 1);  // the evasion
    EXPECT_EQ(pos.lastRecord().quietCount, 2);
    ASSERT_EQ(pos.makeMove(mv("e1e2")), 1);
    EXPECT_EQ(pos.lastRecord().quietCount, 3);
}

TEST(MakeMove, HistoryFullIsRefused) {
    Position pos = fromFen("3k5/9/9/9/9/9/9/9/9/R3K4 w");
    pos.moveCount = MaxHistory;
    EXPECT_EQ(pos.makeMove(mv("a0a1")), 0);
    EXPECT_EQ(pos.makeNullMove(), 0);
    EXPECT_EQ(pos.moveCount, MaxHistory);
}

TEST(Repetition, PlainCycleCountsEachOccurrence) {
    Position pos = fromFen("r2k5/9/9/9/9/9/9/9/9/R3K4 w");
    playMoves(pos, {"a0a1", "a9a8", "a1a0", "a8a9"});
    EXPECT_EQ(pos.repetitionStatus(1), 1);
    EXPECT_EQ(pos.repetitionStatus(2), 0);
    playMoves(pos, {"a0a1", "a9a8", "a1a0", "a8a9"});
    EXPECT_EQ(pos.repetitionStatus(2), 1);
    pos.unmakeMove();
    EXPECT_EQ(pos.repetitionStatus(1), 1);  // the position after a1a0 occurred before too
}

TEST(Repetition, PerpetualCheckerIsFlagged) {
    // Red checks with every move and is to move again: 1 + 2.
    Position red = fromFen("3k5/9/9/9/9/9/9/9/4R4/5K3 w");
    playMoves(red, {"e1d1", "d9e9", "d1e1", "e9d9"});
    EXPECT_EQ(red.repetitionStatus(1), 3);
    // Black checks with every move and red is to move: 1 + 4.
    Position black = fromFen("5k3/3r5/9/9/9/9/9/9/9/3K5 w");
    playMoves(black, {"d0e0", "d8e8", "e0d0", "e8d8"});
    EXPECT_EQ(black.repetitionStatus(1), 5);
}

TEST(Repetition, NullMoveEndsTheWalk) {
    Position pos = fromFen("r2k5/9/9/9/9/9/9/9/9/R3K4 w");
    playMoves(pos, {"a0a1"});
    ASSERT_EQ(pos.makeNullMove(), 1);
    playMoves(pos, {"a1a0"});
    ASSERT_EQ(pos.makeNullMove(), 1);
    EXPECT_EQ(pos.repetitionStatus(1), 0);
}

TEST(MakeMove, RandomGamesKeepIncrementalStateCheckFlagsAndUnmakeRestoresIt) {
    std::mt19937 rng(12345);
    uint8_t values[14][256];
    for (auto& row : values)
        for (auto& value : row) value = static_cast<uint8_t>(rng() & 0xFF);
    const char* fens[] = {
        StartFen,
        "2bakab1r/6r2/1cn4c1/p1p1p3p/9/2P3p2/PC2P1n1P/2N1B1NC1/R4R3/3AKAB2 w - - 0 1",
        "4kar2/4a2rn/4bc3/RN1c5/2bC5/9/4p4/9/4p4/3p1K3 w - - 0 1",
        "3k5/4PP3/4r4/3P5/9/9/9/9/9/5K3 w - - 0 1",
        "r1bakabr1/9/1cn3nc1/p1p1p1p1p/9/9/P1P1P1P1P/1CN3NC1/9/R1BAKABR1 b - - 0 1",
    };
    int made = 0;
    for (int game = 0; made < 20000; game++) {
        Position pos = fromFen(fens[game % 5]);
        useValues(pos, values);
        expectConsistent(pos);
        for (int ply = 0; ply < 150; ply++) {
            std::vector<int> moves = legalMoves(pos);
            if (moves.empty()) break;
            int move = moves[rng() % moves.size()];
            Position before = pos;
            ASSERT_EQ(pos.makeMove(move), 1);
            made++;
            ASSERT_EQ(pos.lastRecord().flags & 3, pos.inCheck(pos.sideToMove)) << "check flag of " << text(move);
            expectConsistent(pos);
            if (::testing::Test::HasFatalFailure()) return;
            Position after = pos;
            pos.unmakeMove();
            before.history[before.moveCount] = pos.history[pos.moveCount];
            ASSERT_EQ(0, std::memcmp(&pos, &before, sizeof pos)) << "unmake of " << text(move);
            pos = after;
        }
    }
}

}  // namespace
