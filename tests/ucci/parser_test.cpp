// The idle command parser, line by line, and the moves of position and banmoves.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include "common/stdin_pipe.h"
#include "ucci/commands.h"

namespace {

struct Parsed {
    int code;
    UcciCommand command;
    char line[4096];
};

// Parses text in its own buffer, as the idle side does (the parser may cut it).
Parsed parse(const std::string& text) {
    Parsed parsed = {};
    std::strncpy(parsed.line, text.c_str(), sizeof parsed.line - 1);
    parsed.code = parseCommandLine(parsed.line, parsed.command);
    return parsed;
}

std::string moveText(const UcciCommand& command, int index) {
    const uint32_t text = command.moveTexts[index];
    char chars[5] = {char(text), char(text >> 8), char(text >> 16), char(text >> 24), 0};
    return chars;
}

TEST(ParserTest, CommandKeywordsInAnyCase) {
    EXPECT_EQ(parse("ISREADY").code, CmdIsReady);
    EXPECT_EQ(parse("stop").code, CmdStop);
    EXPECT_EQ(parse("stopping").code, CmdStop);  // keywords are prefixes
    EXPECT_EQ(parse("Quit").code, CmdQuit);
    EXPECT_EQ(parse("go").code, CmdNone);         // needs "go "
    EXPECT_EQ(parse("ucci").code, CmdNone);
    EXPECT_EQ(parse("").code, CmdNone);
    EXPECT_EQ(parse("ponderhit").code, CmdNone);  // busy time only
}

TEST(ParserTest, ReadIntClampsAndDefaults) {
    EXPECT_EQ(readInt("  42", 0, 100), 42);
    EXPECT_EQ(readInt("+7x", 0, 100), 7);
    EXPECT_EQ(readInt("-5", 0, 100), 0);
    EXPECT_EQ(readInt("abc", 3, 100), 3);
    EXPECT_EQ(readInt("-", 3, 100), 3);
    EXPECT_EQ(readInt("", -4, 100), -4);
    // Far beyond 32 bits, both ways: clamps without overflowing.
    EXPECT_EQ(readInt("99999999999999999999999999999999", 0, 1024), 1024);
    EXPECT_EQ(readInt("-99999999999999999999999999999999", 0, 1024), 0);
    EXPECT_EQ(readInt("2147483648", 0, 2147483647), 2147483647);
}

TEST(ParserTest, BooleanOptionFamiliesDifferOnUnknownValues) {
    Parsed p = parse("setoption ponder maybe");
    EXPECT_EQ(p.code, CmdSetOption);
    EXPECT_EQ(p.command.optionId, OptPonder);
    EXPECT_EQ(p.command.optionValue, 0);
    EXPECT_EQ(parse("setoption batch on").command.optionValue, 1);
    EXPECT_EQ(parse("setoption debug TRUE").command.optionValue, 1);
    EXPECT_EQ(parse("setoption usemillisec true").command.optionId, OptUseMillisec);
    p = parse("setoption usebook maybe");
    EXPECT_EQ(p.command.optionId, OptUseBook);
    EXPECT_EQ(p.command.optionValue, 1);
    EXPECT_EQ(parse("setoption usebook false").command.optionValue, 0);
    EXPECT_EQ(parse("setoption useegtb off").command.optionValue, 0);
}

TEST(ParserTest, NumericAndWordOptions) {
    struct Case { const char* line; int id; int value; };
    const Case cases[] = {
        {"setoption hashsize abc", OptHashSize, 0},
        {"setoption hashsize 4096", OptHashSize, 1024},
        {"setoption threads 64", OptThreads, 32},
        {"setoption drawmoves 20", OptDrawMoves, 100},
        {"setoption repetition checkban", OptRepetition, 1},
        {"setoption repetition chineserule", OptRepetition, 3},
        {"setoption pruning huge", OptPruning, 3},
        {"setoption knowledge none", OptKnowledge, 0},
        {"setoption selectivity huge", OptSelectivity, 0},
        {"setoption selectivity medium", OptSelectivity, 2},
        {"setoption style wild", OptStyle, 1},
        {"setoption style risky", OptStyle, 2},
    };
    for (const Case& c : cases) {
        Parsed p = parse(c.line);
        EXPECT_EQ(p.command.optionId, c.id) << c.line;
        EXPECT_EQ(p.command.optionValue, c.value) << c.line;
    }
    EXPECT_EQ(parse("setoption newgame").command.optionId, OptNewGame);
    EXPECT_EQ(parse("setoption colour red").command.optionId, OptNone);
    Parsed p = parse("setoption bookfiles a.obk; b.obk");
    EXPECT_EQ(p.command.optionId, OptBookFiles);
    EXPECT_STREQ(p.command.optionText, "a.obk; b.obk");
}

TEST(ParserTest, NamedPositionsAndMoveLists) {
    Parsed p = parse("position StartPos");
    EXPECT_EQ(p.code, CmdPosition);
    EXPECT_STREQ(p.command.fen, "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1");
    EXPECT_EQ(p.command.moveTextCount, 0);

    p = parse("position endgamepos moves h2e2 h9g7 ");  // a trailing space adds no move
    EXPECT_STREQ(p.command.fen, "4k4/4a4/4P4/9/9/9/9/4B4/9/4K4 w - - 0 1");
    ASSERT_EQ(p.command.moveTextCount, 2);
    EXPECT_EQ(moveText(p.command, 0), "h2e2");
    EXPECT_EQ(moveText(p.command, 1), "h9g7");

    EXPECT_EQ(parse("position nowhere moves h2e2").code, CmdNone);
}

TEST(ParserTest, FenTextEndsWhereTheMovesBegin) {
    Parsed p = parse("position fen 4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1 moves e0e1");
    EXPECT_STREQ(p.command.fen, "4k4/9/9/9/9/9/9/9/9/4K4 w - - 0 1");
    ASSERT_EQ(p.command.moveTextCount, 1);
    EXPECT_EQ(moveText(p.command, 0), "e0e1");
}

TEST(ParserTest, LongestMoveListFitsInOneLine) {
    std::string line = "position startpos moves";
    while (line.size() + 5 <= 4095) line += " h2e2";
    Parsed p = parse(line);
    EXPECT_EQ(p.command.moveTextCount, (static_cast<int>(line.size()) - 24 + 1) / 5);
    EXPECT_LE(p.command.moveTextCount, MaxMoveTexts);
    EXPECT_EQ(moveText(p.command, p.command.moveTextCount - 1), "h2e2");

    std::string bans = "banmoves ";
    while (bans.size() + 5 <= 4095) bans += "a0a1 ";
    p = parse(bans);
    EXPECT_EQ(p.code, CmdBanMoves);
    EXPECT_EQ(p.command.moveTextCount, (static_cast<int>(bans.size()) - 9 + 1) / 5);
    EXPECT_EQ(moveText(p.command, p.command.moveTextCount - 1), "a0a1");
}

TEST(ParserTest, GoDepthNodesAndNoLimit) {
    Parsed p = parse("go depth 99");
    EXPECT_EQ(p.code, CmdGo);
    EXPECT_EQ(p.command.goMode, GoDepth);
    EXPECT_EQ(p.command.depth, 32);
    p = parse("go nodes -5");
    EXPECT_EQ(p.command.goMode, GoNodes);
    EXPECT_EQ(p.command.nodes, 0);
    p = parse("go draw depth 5");
    EXPECT_EQ(p.command.draw, 1);
    EXPECT_EQ(p.command.depth, 5);
    p = parse("go ponder draw depth 5");  // after ponder, draw is not a keyword
    EXPECT_EQ(p.command.ponder, 1);
    EXPECT_EQ(p.command.draw, 0);
    EXPECT_EQ(p.command.goMode, GoDepth);
    EXPECT_EQ(p.command.depth, 32);
    p = parse("go infinite");
    EXPECT_EQ(p.command.goMode, GoDepth);
    EXPECT_EQ(p.command.depth, 32);
}

TEST(ParserTest, GoClockForms) {
    Parsed p = parse("go ponder time 60 increment 2");
    EXPECT_EQ(p.command.ponder, 1);
    EXPECT_EQ(p.command.goMode, GoTimeIncrement);
    EXPECT_EQ(p.command.redTime, 60);
    EXPECT_EQ(p.command.blackTime, 60);
    EXPECT_EQ(p.command.increment, 2);

    p = parse("go wtime 100 btime 200 movestogo 10");
    EXPECT_EQ(p.command.goMode, GoTimeMovesToGo);
    EXPECT_EQ(p.command.redTime, 100);
    EXPECT_EQ(p.command.blackTime, 200);
    EXPECT_EQ(p.command.movesToGo, 10);

    // The searches go forward: movestogo before btime is not seen.
    p = parse("go wtime 100 movestogo 10 btime 200");
    EXPECT_EQ(p.command.blackTime, 200);
    EXPECT_EQ(p.command.movesToGo, 1);

    p = parse("go time 999999999999 movestogo 0");
    EXPECT_EQ(p.command.redTime, 100000000);
    EXPECT_EQ(p.command.movesToGo, 1);
    p = parse("go time 60 increment 9999999");
    EXPECT_EQ(p.command.increment, 600000);
}

TEST(ParserTest, BusyCodes) {
    EXPECT_EQ(busyCommandCode("ponderhit DRAW"), CmdPonderHitDraw);
    EXPECT_EQ(busyCommandCode("ponderhit"), CmdPonderHit);
    EXPECT_EQ(busyCommandCode("isready"), CmdIsReady);
    EXPECT_EQ(busyCommandCode("go depth 3"), CmdNone);
}

TEST_F(StdinPipe, IdleParserTurnsEndOfInputIntoQuit) {
    feed("isready\n");
    closeWriter();
    UcciCommand command = {};
    EXPECT_EQ(parseIdleCommand(command, 0), CmdIsReady);
    EXPECT_EQ(parseIdleCommand(command, 0), CmdQuit);
}

}  // namespace
