// Move text in the four notations: a table written from the WXF and Chinese
// rules by hand, the forms and refusals of reading, and write-then-read of
// every legal move in positions from real play.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <fstream>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "common/positions.h"
#include "game/notation.h"
#include "movegen/generate.h"

namespace {

constexpr const char* AfterCentralCannon = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b";
// Red: rooks h1 h3, horses d2 d4, cannons g2 g4.
constexpr const char* RedTandems = "3k5/9/9/9/9/3N2C2/7R1/3N2C2/7R1/4K4 w";
// Black rooks b7 and b1: b1 is black's front one.
constexpr const char* BlackTandemRooks = "4k4/9/1r7/9/9/9/9/9/1r7/3K5 b";
constexpr const char* TwoPawnsOnFile5 = "3k5/9/9/4P4/4P4/9/9/9/9/4K4 w";
constexpr const char* ThreePawnsOnFile5 = "3k5/9/4P4/4P4/4P4/9/9/9/9/4K4 w";
constexpr const char* FourPawnsOnFile5 = "3k5/4P4/4P4/4P4/4P4/9/9/9/9/4K4 w";
constexpr const char* FivePawnsOnFile6 = "5k3/3P5/3P5/3P5/3P5/3P5/9/9/9/4K4 w";
// Red pawns three on file 7 (c5 c6 c7) and two on file 5 (e5 e6).
constexpr const char* PawnsOnTwoFiles = "3k5/9/2P6/2P1P4/2P1P4/9/9/9/9/4K4 w";
// Black pawns two on file 3 (c3 c4) and two on file 7 (g3 g4).
constexpr const char* BlackPawnsOnTwoFiles = "4k4/9/9/9/9/2p3p2/2p3p2/9/9/3K5 b";
constexpr const char* BlackTwoPawns = "4k4/9/9/9/9/2p6/2p6/9/9/3K5 b";
constexpr const char* BlackFourPawns = "5k3/9/9/9/9/4p4/4p4/4p4/4p4/3K5 b";
constexpr const char* AdvisorsOnFile6 = "3k5/9/9/9/9/9/9/3A5/9/3AK4 w";
// Set up off their points, both advisors on file 5 can go forward to file 6.
constexpr const char* AdvisorsOffTheirPoints = "3k5/9/9/9/9/9/9/9/4A4/4AK3 w";

struct Written {
    const char* fen;
    const char* move;
    const char* wxf;
    const char* chinese;
    const char* simplified;  // nullptr: the same as the traditional form
};

const Written WrittenCases[] = {
    {StartFen, "h2e2", "C2=5", "炮二平五", nullptr},
    {StartFen, "h0g2", "H2+3", "傌二進三", "马二进三"},
    {StartFen, "i0i1", "R1+1", "俥一進一", "车一进一"},
    {StartFen, "g0e2", "E3+5", "相三進五", "相三进五"},
    {StartFen, "f0e1", "A4+5", "仕四進五", "仕四进五"},
    {StartFen, "e0e1", "K5+1", "帥五進一", "帅五进一"},
    {StartFen, "e3e4", "P5+1", "兵五進一", "兵五进一"},
    {StartFen, "b2b9", "C8+7", "炮八進七", "炮八进七"},
    // Black counts files from its own right, in full-width digits.
    {AfterCentralCannon, "h9g7", "H8+7", "馬８進７", "马８进７"},
    {AfterCentralCannon, "h7e7", "C8=5", "砲８平５", "炮８平５"},
    {AfterCentralCannon, "b9c7", "H2+3", "馬２進３", "马２进３"},
    {AfterCentralCannon, "i9i8", "R9+1", "車９進１", "车９进１"},
    {AfterCentralCannon, "c9e7", "E3+5", "象３進５", "象３进５"},
    {AfterCentralCannon, "d9e8", "A4+5", "士４進５", "士４进５"},
    {AfterCentralCannon, "e6e5", "P5+1", "卒５進１", "卒５进１"},
    {AfterCentralCannon, "e9e8", "K5+1", "將５進１", "将５进１"},
    // Tandem rooks, horses and cannons: front and rear replace the file.
    {RedTandems, "h3h5", "R++2", "前俥進二", "前车进二"},
    {RedTandems, "h1h2", "R-+1", "後俥進一", "后车进一"},
    {RedTandems, "h1a1", "R-=9", "後俥平九", "后车平九"},
    {RedTandems, "d2c4", "H-+7", "後傌進七", "后马进七"},
    {RedTandems, "d4c6", "H++7", "前傌進七", "前马进七"},
    {RedTandems, "d4e2", "H+-5", "前傌退五", "前马退五"},
    {RedTandems, "g2e2", "C-=5", "後炮平五", "后炮平五"},
    {RedTandems, "g4g9", "C++5", "前炮進五", "前炮进五"},
    {BlackTandemRooks, "b1b0", "R++1", "前車進１", "前车进１"},
    {BlackTandemRooks, "b7b8", "R--1", "後車退１", "后车退１"},
    {BlackTandemRooks, "b7b5", "R-+2", "後車進２", "后车进２"},
    // Pawns: two alone on a file are a tandem; three or more, or two on each
    // of two files, go by place from the front and file in WXF.
    {TwoPawnsOnFile5, "e6e7", "P++1", "前兵進一", "前兵进一"},
    {TwoPawnsOnFile5, "e5f5", "P-=4", "後兵平四", "后兵平四"},
    {ThreePawnsOnFile5, "e7e8", "15+1", "前兵進一", "前兵进一"},
    {ThreePawnsOnFile5, "e6f6", "25=4", "中兵平四", nullptr},
    {ThreePawnsOnFile5, "e5d5", "35=6", "後兵平六", "后兵平六"},
    {FourPawnsOnFile5, "e8e9", "15+1", "一兵進一", "一兵进一"},
    {FourPawnsOnFile5, "e7d7", "25=6", "二兵平六", nullptr},
    {FourPawnsOnFile5, "e6f6", "35=4", "三兵平四", nullptr},
    {FourPawnsOnFile5, "e5d5", "45=6", "四兵平六", nullptr},
    {FivePawnsOnFile6, "d8d9", "16+1", "一兵進一", "一兵进一"},
    {FivePawnsOnFile6, "d5c5", "46=7", "四兵平七", nullptr},
    {PawnsOnTwoFiles, "c7c8", "17+1", "前七進一", "前七进一"},
    {PawnsOnTwoFiles, "c6d6", "27=6", "中七平六", nullptr},
    {PawnsOnTwoFiles, "c5b5", "37=8", "後七平八", "后七平八"},
    {PawnsOnTwoFiles, "e6e7", "15+1", "前五進一", "前五进一"},
    {PawnsOnTwoFiles, "e5f5", "25=4", "後五平四", "后五平四"},
    {BlackPawnsOnTwoFiles, "c3c2", "13+1", "前３進１", "前３进１"},
    {BlackPawnsOnTwoFiles, "c4d4", "23=4", "後３平４", "后３平４"},
    {BlackPawnsOnTwoFiles, "g3g2", "17+1", "前７進１", "前７进１"},
    {BlackTwoPawns, "c3c2", "P++1", "前卒進１", "前卒进１"},
    {BlackTwoPawns, "c4b4", "P-=2", "後卒平２", "后卒平２"},
    {BlackFourPawns, "e1e0", "15+1", "一卒進１", "一卒进１"},
    {BlackFourPawns, "e2d2", "25=4", "二卒平４", nullptr},
    // Two advisors on a file go different ways: the file names them.
    {AdvisorsOnFile6, "d0e1", "A6+5", "仕六進五", "仕六进五"},
    {AdvisorsOnFile6, "d2e1", "A6-5", "仕六退五", nullptr},
    {AdvisorsOffTheirPoints, "e0d1", "A-+6", "後仕進六", "后仕进六"},
    {AdvisorsOffTheirPoints, "e1d2", "A++6", "前仕進六", "前仕进六"},
};

std::string written(const Position& pos, Move move, MoveNotation notation, int flags = 0) {
    char out[MoveTextSize];
    const int length = writeMoveText(pos, move, notation, flags, out, sizeof out);
    EXPECT_EQ(length, static_cast<int>(std::strlen(out)));
    return out;
}

TEST(Notation, WritesEveryRuleAsPlayersDo) {
    for (const Written& c : WrittenCases) {
        SCOPED_TRACE(std::string(c.fen) + " " + c.move);
        const Position pos = fromFen(c.fen);
        const Move move = static_cast<Move>(mv(c.move));
        EXPECT_EQ(written(pos, move, NotationCoord), c.move);
        std::string iccs = c.move;
        for (char& ch : iccs) ch = static_cast<char>(std::toupper(ch));
        EXPECT_EQ(written(pos, move, NotationIccs), iccs.substr(0, 2) + "-" + iccs.substr(2));
        EXPECT_EQ(written(pos, move, NotationWxf), c.wxf);
        EXPECT_EQ(written(pos, move, NotationChinese), c.chinese);
        EXPECT_EQ(written(pos, move, NotationChinese, NotationSimplified), c.simplified ? c.simplified : c.chinese);
    }
}

TEST(Notation, WritesNothingForAnIllegalMoveOrASmallBuffer) {
    const Position pos = fromFen(StartFen);
    char out[MoveTextSize] = "x";
    EXPECT_EQ(writeMoveText(pos, static_cast<Move>(mv("h7e7")), NotationWxf, 0, out, sizeof out), 0);
    EXPECT_STREQ(out, "");
    EXPECT_EQ(writeMoveText(pos, static_cast<Move>(mv("h2e2")), NotationChinese, 0, out, 12), 0);
    EXPECT_EQ(writeMoveText(pos, static_cast<Move>(mv("h2e2")), NotationChinese, 0, out, 13), 12);
}

struct Read {
    const char* fen;
    const char* text;
    const char* move;  // nullptr when refused
    int code;
    const char* reason;
};

const Read ReadCases[] = {
    {StartFen, "c2.5", "h2e2", MoveTextOk, ""},
    {StartFen, "  C2=5!? ", "h2e2", MoveTextOk, ""},
    {StartFen, "C2=5+", "h2e2", MoveTextOk, ""},
    {StartFen, "R1+1#", "i0i1", MoveTextOk, ""},
    {StartFen, "h2+3", "h0g2", MoveTextOk, ""},
    {StartFen, "N2+3", "h0g2", MoveTextOk, ""},
    {StartFen, "b3+5", "g0e2", MoveTextOk, ""},
    {StartFen, "H2-E2", "h2e2", MoveTextOk, ""},
    {StartFen, "h2-e2", "h2e2", MoveTextOk, ""},
    {StartFen, "H2E2", "h2e2", MoveTextOk, ""},
    {StartFen, "h2e2+", "h2e2", MoveTextOk, ""},
    {StartFen, "炮2平5", "h2e2", MoveTextOk, ""},
    {StartFen, "砲二平五", "h2e2", MoveTextOk, ""},
    {StartFen, "炮２平５", "h2e2", MoveTextOk, ""},
    {StartFen, "仕4进5", "f0e1", MoveTextOk, ""},
    {AfterCentralCannon, "馬8進7", "h9g7", MoveTextOk, ""},
    {AfterCentralCannon, "马八进七", "h9g7", MoveTextOk, ""},
    {AfterCentralCannon, "h8+7", "h9g7", MoveTextOk, ""},
    {RedTandems, "r++2", "h3h5", MoveTextOk, ""},
    {RedTandems, "+R+2", "h3h5", MoveTextOk, ""},
    {RedTandems, "-r.9", "h1a1", MoveTextOk, ""},
    {RedTandems, "前车进2", "h3h5", MoveTextOk, ""},
    {ThreePawnsOnFile5, "P++1", "e7e8", MoveTextOk, ""},
    {TwoPawnsOnFile5, "15+1", "e6e7", MoveTextOk, ""},
    {AdvisorsOnFile6, "A+-5", "d2e1", MoveTextOk, ""},
    {AdvisorsOnFile6, "A-+5", "d0e1", MoveTextOk, ""},
    {FourPawnsOnFile5, "前兵進一", "e8e9", MoveTextOk, ""},
    {StartFen, "H5+3", nullptr, MoveTextNoPiece, "no horse on file 5"},
    {StartFen, "h7e7", nullptr, MoveTextNoPiece, "no red piece on h7"},
    {TwoPawnsOnFile5, "中兵進一", nullptr, MoveTextNoPiece, "no middle pawn on file 5: it holds two"},
    {StartFen, "前俥進一", nullptr, MoveTextNoPiece, "no two rooks on one file"},
    {RedTandems, "R2+1", nullptr, MoveTextWhichPiece, "two rooks on file 2: say which (R+ or R-)"},
    {RedTandems, "H6+7", nullptr, MoveTextWhichPiece, "two horses on file 6: say which (H+ or H-)"},
    {TwoPawnsOnFile5, "P5+1", nullptr, MoveTextWhichPiece, "two pawns on file 5: say which (P+ or P-)"},
    {ThreePawnsOnFile5, "P5+1", nullptr, MoveTextWhichPiece, "three pawns on file 5: say which (15, 25 or 35)"},
    {PawnsOnTwoFiles, "兵五進一", nullptr, MoveTextWhichPiece, "two pawns on file 5: say which (15 or 25)"},
    {PawnsOnTwoFiles, "前兵進一", nullptr, MoveTextWhichPiece, "pawns stand two or more on two files: name the file"},
    {StartFen, "R1+3", nullptr, MoveTextCannotMove, "the rook cannot move so"},
    {StartFen, "H2=3", nullptr, MoveTextCannotMove, "the horse cannot move so"},
    {StartFen, "h2e3", nullptr, MoveTextCannotMove, "the cannon cannot move so"},
    {"3k5/9/9/9/4r4/9/9/4R4/9/4K4 w", "R5=6", nullptr, MoveTextLeavesCheck,
     "the rook's move would leave the king in check"},
    {AdvisorsOffTheirPoints, "A5+6", nullptr, MoveTextAmbiguous, "two advisors on file 5 move so: say which (A+ or A-)"},
    {StartFen, "", nullptr, MoveTextUnreadable, "not a move in any notation"},
    {StartFen, "C2=5=", nullptr, MoveTextUnreadable, "not a move in any notation"},
    {StartFen, "C0=5", nullptr, MoveTextUnreadable, "not a move in any notation"},
    {StartFen, "炮二平", nullptr, MoveTextUnreadable, "not a move in any notation"},
    {StartFen, "j2e2", nullptr, MoveTextUnreadable, "not a move in any notation"},
};

TEST(Notation, ReadsThePlayersFormsAndRefusesWithTheReason) {
    for (const Read& c : ReadCases) {
        SCOPED_TRACE(std::string(c.fen) + " \"" + c.text + "\"");
        const Position pos = fromFen(c.fen);
        Move move = 0;
        char reason[MoveTextReasonSize];
        const int code = readMoveText(pos, c.text, static_cast<int>(std::strlen(c.text)), &move, reason, sizeof reason);
        EXPECT_EQ(code, c.code) << moveTextError(code);
        EXPECT_STREQ(reason, c.reason);
        if (c.move != nullptr) {
            EXPECT_EQ(text(move), c.move);
        }
    }
}

// Reading stops at the length given: the bytes after it are never looked at.
TEST(Notation, ReadsOnlyTheBytesGiven) {
    const Position pos = fromFen(StartFen);
    Move move = 0;
    EXPECT_EQ(readMoveText(pos, "C2=5=", 4, &move, nullptr, 0), MoveTextOk);
    EXPECT_EQ(text(move), "h2e2");
    const char chinese[] = "炮二平五";
    EXPECT_EQ(readMoveText(pos, chinese, 11, &move, nullptr, 0), MoveTextUnreadable);  // half a character
}

// Positions along the repertoire's lines and along random games from a few
// middlegames (where pawns gather on files): every legal move, written in
// each notation, reads back as itself.
std::vector<Position> positionsFromPlay() {
    std::vector<Position> positions;
    std::set<uint32_t> seen;
    auto keep = [&](const Position& pos) {
        if (seen.insert(pos.key).second) positions.push_back(pos);
    };
    std::ifstream lines(std::string(QUORVEL_SOURCE_DIR) + "/book/openings.txt");
    std::string line;
    for (int number = 0; std::getline(lines, line); number++) {
        if (line.empty() || line[0] == '#' || number % 3 != 0) continue;
        Position pos = fromFen(StartFen);
        std::istringstream words(line);
        std::string word;
        while (words >> word && pos.makeMove(mv(word.c_str()))) keep(pos);
    }
    EXPECT_GT(positions.size(), 200u);
    const char* const middlegames[] = {
        MidgameFen,
        "2bak4/4a4/4b1n2/p1P1P1p1p/2p1c4/6P2/P3p3P/4B4/4A4/2BAK4 w",
        "3ak4/4a4/4b4/P1P1PPP2/9/9/p1pp1p3/4B4/4A4/3AK4 b",
    };
    std::mt19937 random(7);
    for (const char* fen : middlegames) {
        for (int game = 0; game < 4; game++) {
            Position pos = fromFen(fen);
            for (int ply = 0; ply < 40; ply++) {
                Move moves[MoveListCapacity];
                const int count = legalMoves(pos, moves);
                if (count == 0 || !pos.makeMove(moves[random() % count])) break;
                keep(pos);
            }
        }
    }
    return positions;
}

TEST(Notation, EveryLegalMoveReadsBackInEveryNotation) {
    const MoveNotation notations[] = {NotationCoord, NotationIccs, NotationWxf, NotationChinese};
    int checked = 0;
    for (const Position& pos : positionsFromPlay()) {
        Move moves[MoveListCapacity];
        const int count = legalMoves(pos, moves);
        for (int i = 0; i < count; i++) {
            for (MoveNotation notation : notations) {
                for (int flags = 0; flags <= (notation == NotationChinese ? NotationSimplified : 0); flags++) {
                    char out[MoveTextSize];
                    const int length = writeMoveText(pos, moves[i], notation, flags, out, sizeof out);
                    Move back = 0;
                    char reason[MoveTextReasonSize];
                    ASSERT_EQ(readMoveText(pos, out, length, &back, reason, sizeof reason), MoveTextOk)
                        << out << ": " << reason;
                    ASSERT_EQ(back, moves[i]) << out;
                    checked++;
                }
            }
        }
    }
    EXPECT_GT(checked, 50000);
}

TEST(Notation, NamesOfNotations) {
    EXPECT_EQ(notationFromName("WXF"), NotationWxf);
    EXPECT_EQ(notationFromName("chinese"), NotationChinese);
    EXPECT_EQ(notationFromName("coord"), NotationCoord);
    EXPECT_EQ(notationFromName("iccs"), NotationIccs);
    EXPECT_EQ(notationFromName("wxf2"), -1);
}

}  // namespace
