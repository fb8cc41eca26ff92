// The game as XBoard drives it: features, new/force/go/playother, moves,
// setboard, undo and remove, and lines the engine does not take.
#include <algorithm>

#include "xboard/xboard_util.h"

namespace {

using namespace xboard;

bool has(const std::vector<std::string>& lines, const std::string& text) {
    return std::find(lines.begin(), lines.end(), text) != lines.end();
}

std::string joined(const std::vector<std::string>& lines) {
    std::string all;
    for (const auto& line : lines) all += line + "\n";
    return all;
}

TEST_F(Xboard, FeaturesOpenWithDoneZeroAndCloseWithDoneOne) {
    ASSERT_GE(features.size(), 3u);
    EXPECT_EQ(features.front(), "feature done=0");
    EXPECT_EQ(features.back(), "feature done=1");
    const std::string all = joined(features);
    for (const char* feature : {"myname=\"Quorvel 1.1\"", "variants=\"xiangqi\"", "setboard=1", "usermove=1", "ping=1",
                                "sigint=0", "sigterm=0", "colors=0", "analyze=1", "memory=1", "san=0", "time=1",
                                "draw=1", "exclude=1", "option=\"OwnBook -check 1\"", "option=\"Clear Hash -button\"",
                                "option=\"Resign -check 1\"", "option=\"Offer Draw -check 1\"",
                                "option=\"Skill Level -spin 20 0 20\"", "option=\"UCI_LimitStrength -check 0\"",
                                "option=\"UCI_Elo -spin 1761 705 2500\"", "option=\"Seed -spin 0 0 2147483646\""})
        EXPECT_NE(all.find(feature), std::string::npos) << feature;
}

TEST_F(Xboard, AfterNewTheEngineAnswersRedAsBlack) {
    engine.send("sd 3");
    userMove("h2e2");
    EXPECT_NE(nextMove(), "");
    EXPECT_EQ(board.sideToMove, 0);
}

TEST_F(Xboard, ForceOnlyRecordsMovesAndGoPlaysTheSideToMoveFromThenOn) {
    engine.send("sd 3");
    engine.send("force");
    userMove("h2e2");
    userMove("h9g7");
    EXPECT_TRUE(untilPong().empty());
    engine.send("go");
    ASSERT_NE(nextMove(), "");  // red
    userMove(anyMoveBut());
    ASSERT_NE(nextMove(), "");  // red again
    EXPECT_EQ(board.sideToMove, 1);
}

TEST_F(Xboard, PlayotherTakesTheSideNotOnMove) {
    engine.send("sd 3");
    engine.send("force");
    userMove("h2e2");
    engine.send("playother");  // black to move: the engine plays red
    EXPECT_TRUE(untilPong().empty());
    userMove("h9g7");
    EXPECT_NE(nextMove(), "");
    EXPECT_EQ(board.sideToMove, 1);
}

TEST_F(Xboard, IllegalMovesAreRefusedAndChangeNothing) {
    engine.send("force");
    for (const char* line : {"usermove a0a5", "usermove h2", "usermove e9e8", "usermove", "usermove h2e2x"})
        engine.send(line);
    const std::vector<std::string> said = untilPong();
    EXPECT_EQ(said, (std::vector<std::string>{"Illegal move: a0a5", "Illegal move: h2", "Illegal move: e9e8",
                                              "Error (no move given): usermove", "Illegal move: h2e2x"}));
    // Red is still to move in the start position.
    userMove("h2e2");
    EXPECT_TRUE(untilPong().empty());
}

TEST_F(Xboard, SetboardTakesBothLetterSetsAndKeepsThePositionOnABadFen) {
    engine.send("force");
    engine.send(std::string("setboard ") + XboardStartFen);
    const std::string blackToMove = "rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C2C4/9/RNBAKABNR b - - 0 1";
    engine.send("setboard " + blackToMove);
    EXPECT_TRUE(untilPong().empty());

    engine.send("setboard rheakaehr/9/9 w 0 1");
    engine.send("setboard 4k4/4K4/9/9/9/9/9/9/9/9 w 0 1");  // the kings may not stand on one file unopposed
    EXPECT_EQ(untilPong(), (std::vector<std::string>{"tellusererror Illegal position", "tellusererror Illegal position"}));
    board.setFromFen(blackToMove.c_str());
    engine.send("sd 2");
    engine.send("go");
    EXPECT_NE(nextMove(), "");
}

TEST_F(Xboard, UndoAndRemoveTakeMovesBack) {
    engine.send("force");
    userMove("h2e2");
    userMove("h9g7");
    engine.send("undo");
    engine.send("usermove h9g7");  // black is to move again
    engine.send("remove");
    engine.send("usermove h9g7");  // red is to move in the start position
    engine.send("usermove h2e2");
    engine.send("undo");
    engine.send("undo");
    EXPECT_EQ(untilPong(), (std::vector<std::string>{"Illegal move: h9g7", "Error (command not legal now): undo"}));
}

TEST_F(Xboard, AGameLongerThanThePositionHistoryGoesOn) {
    engine.send("force");
    const char* const cycle[] = {"h0g2", "h9g7", "g2h0", "g7h9"};
    for (int ply = 0; ply < 1200; ply++) engine.send(std::string("usermove ") + cycle[ply % 4]);
    EXPECT_TRUE(untilPong().empty());
    engine.send("sd 2");
    engine.send("go");  // the start position again, red to move
    EXPECT_NE(nextMove(), "");
}

TEST_F(Xboard, UnknownAndMalformedLinesAreAnsweredInOrder) {
    for (const char* line : {"frobnicate 3", "level 40", "st soon", "memory lots", "variant normal", "option Frob=1",
                             "computer", "name Someone", "rating 2000 1900", "random", "accepted usermove",
                             "cores 2", "memory 32", "otim 500", "easy", "nopost"})
        engine.send(line);
    EXPECT_EQ(untilPong(), (std::vector<std::string>{
                               "Error (unknown command): frobnicate", "Error (bad parameters): level 40",
                               "Error (bad parameters): st soon", "Error (bad parameters): memory lots",
                               "Error (unsupported variant): normal", "Error (unknown option): option Frob=1"}));

    // While the engine thinks, such a line waits for the move and is answered after it.
    engine.send("st 0.3");
    engine.send("go");
    engine.send("frobnicate");
    std::vector<std::string> seen;
    ASSERT_NE(nextMove(&seen), "");
    EXPECT_FALSE(has(seen, "Error (unknown command): frobnicate"));
    EXPECT_EQ(untilPong(), (std::vector<std::string>{"Error (unknown command): frobnicate"}));
}

TEST_F(Xboard, BookListIsIndentedAndEndsWithAnEmptyLine) {
    engine.send("bk");
    const std::vector<std::string> said = untilPong();
    ASSERT_GE(said.size(), 2u);
    EXPECT_EQ(said.back(), "");
    for (size_t i = 0; i + 1 < said.size(); i++) EXPECT_EQ(said[i].substr(0, 1), " ") << said[i];
}

}  // namespace
