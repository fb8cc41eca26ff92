// PGN and WXF game files: what players' files hold reads, every notation
// round-trips with tags, comments and a FEN start, and a bad file says which
// game, which line and why, leaving the caller's games as they were.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/positions.h"
#include "game/game_file.h"

namespace {

std::vector<SavedGame> readAll(const std::string& text) {
    std::vector<SavedGame> games;
    GameFileError error;
    EXPECT_EQ(readGameFile(text.data(), text.size(), games, error), 1) << gameFileErrorText(error);
    return games;
}

std::string coordinates(const SavedGame& game) {
    std::string moves;
    for (Move move : game.moves) moves += (moves.empty() ? "" : " ") + text(move);
    return moves;
}

SavedGame makeGame(const char* fen, const char* moves, std::vector<std::string> comments, const char* result) {
    SavedGame game;
    game.tags = {{"Event", "Club \"open\""}, {"White", "Lü"}, {"Black", "Xu"}, {"Result", "?"}, {"Variant", "xiangqi"},
                 {"Annotator", "Quorvel"}};
    game.startFen = fen;
    std::string word;
    for (const char* c = moves;; c++) {
        if (*c == ' ' || *c == '\0') {
            if (!word.empty()) game.moves.push_back(static_cast<Move>(mv(word.c_str())));
            word.clear();
            if (*c == '\0') break;
        } else {
            word += *c;
        }
    }
    game.comments = comments;
    game.result = result;
    return game;
}

// Two games: one from the start with a comment before the first move and
// long ones that wrap, one from a FEN with black to move first.
std::vector<SavedGame> sampleGames() {
    return {makeGame("", "h2e2 h9g7 h0g2 i9h9 i0h0 b9c7 c3c4 g6g5",
                     {"the game's own comment", "", "+0.35/9 {1.234s}", "", "", "",
                      "a comment long enough to be laid out over two lines of the movetext, word by word as it goes",
                      "", "last"},
                     "1/2-1/2"),
            makeGame("5k3/9/9/9/9/2p6/2p6/9/9/3K5 b - - 0 1", "c3c2 d0e0 c4d4", {"", "front pawn", "", ""}, "0-1")};
}

void expectSameGames(const std::vector<SavedGame>& read, const std::vector<SavedGame>& written) {
    ASSERT_EQ(read.size(), written.size());
    for (size_t g = 0; g < read.size(); g++) {
        SCOPED_TRACE("game " + std::to_string(g + 1));
        EXPECT_EQ(coordinates(read[g]), coordinates(written[g]));
        EXPECT_EQ(read[g].startFen, written[g].startFen);
        EXPECT_EQ(read[g].result, written[g].result);
        std::vector<std::string> comments = written[g].comments;
        if (g == 0) comments[2] = "+0.35/9 {1.234s)";  // a brace inside a comment is written as ')'
        EXPECT_EQ(read[g].comments, comments);
        EXPECT_EQ(tagValue(read[g], "Event"), "Club \"open\"");
        EXPECT_EQ(tagValue(read[g], "White"), "Lü");
        EXPECT_EQ(tagValue(read[g], "Annotator"), "Quorvel");
    }
}

TEST(GameFile, PgnRoundTripsInEveryNotation) {
    const std::vector<SavedGame> games = sampleGames();
    const MoveNotation notations[] = {NotationCoord, NotationIccs, NotationWxf, NotationChinese};
    for (MoveNotation notation : notations) {
        for (int flags = 0; flags <= (notation == NotationChinese ? NotationSimplified : 0); flags++) {
            SCOPED_TRACE("notation " + std::to_string(notation) + " flags " + std::to_string(flags));
            std::string text;
            for (const SavedGame& game : games) ASSERT_TRUE(writePgnGame(game, notation, flags, text));
            for (size_t at = 0, end; at < text.size(); at = end + 1) {
                end = text.find('\n', at);
                EXPECT_LT(end - at, 80u) << text.substr(at, end - at);
            }
            const std::vector<SavedGame> read = readAll(text);
            expectSameGames(read, games);
            std::string again;
            for (const SavedGame& game : read) ASSERT_TRUE(writePgnGame(game, notation, flags, again));
            EXPECT_EQ(again, text);
        }
    }
}

TEST(GameFile, PgnTagsAndLayout) {
    std::string text;
    ASSERT_TRUE(writePgnGame(sampleGames()[1], NotationWxf, 0, text));
    EXPECT_EQ(text,
              "[Event \"Club \\\"open\\\"\"]\n[White \"Lü\"]\n[Black \"Xu\"]\n[Result \"0-1\"]\n[Variant \"xiangqi\"]\n"
              "[SetUp \"1\"]\n[FEN \"5k3/9/9/9/9/2p6/2p6/9/9/3K5 b - - 0 1\"]\n[Format \"WXF\"]\n"
              "[Annotator \"Quorvel\"]\n\n1... P++1 {front pawn} 2. K6=5 P-=4 0-1\n\n");
}

TEST(GameFile, WxfRoundTripsAndLaysOutItsMoveLines) {
    const std::vector<SavedGame> games = sampleGames();
    std::string text;
    for (const SavedGame& game : games) ASSERT_TRUE(writeWxfGame(game, text));
    EXPECT_NE(text.find("FORMAT\tWXF\nGAME\tClub \"open\"\nRED\tLü\nBLACK\tXu\nRESULT\t1/2-1/2\nAnnotator\tQuorvel\n"
                        "START{\n{the game's own comment}\n  1. C2=5      H8+7 {+0.35/9 {1.234s)}\n"),
              std::string::npos)
        << text;
    EXPECT_NE(text.find("FEN\t5k3/9/9/9/9/2p6/2p6/9/9/3K5 b - - 0 1\nSTART{\n  1. ...       P++1 {front pawn}\n"
                        "  2. K6=5      P-=4\n}END\n"),
              std::string::npos)
        << text;
    const std::vector<SavedGame> read = readAll(text);
    expectSameGames(read, games);
    std::string again;
    for (const SavedGame& game : read) ASSERT_TRUE(writeWxfGame(game, again));
    EXPECT_EQ(again, text);
}

// Files as other programs write them: cchess's Chinese PGN (a Format tag,
// numbers glued to moves, a comment after the result), a bare list of moves
// per game, and PGN's numbering, comments, variations and NAGs.
TEST(GameFile, ReadsWhatPlayersFilesHold) {
    const std::string cchess =
        "[Game \"Chinese Chess\"]\n[Round: \"5\"]\n[Red \"Lü\"]\n[Format \"Chinese\"]\n[Result \"\"]\n"
        "[FEN \"rnbakabnr/9/1c5c1/p1p1p1p1p/9/9/P1P1P1P1P/1C5C1/9/RNBAKABNR w - - 0 1\"]\n"
        "1.炮二平五 馬8进7\n2.傌二进三 車9平8\n1-0 {红胜}\n";
    std::vector<SavedGame> games = readAll(cchess);
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(coordinates(games[0]), "h2e2 h9g7 h0g2 i9h9");
    EXPECT_EQ(games[0].startFen, "");
    EXPECT_EQ(games[0].result, "1-0");
    EXPECT_EQ(games[0].comments.back(), "红胜");
    EXPECT_EQ(tagValue(games[0], "Round:"), "5");

    games = readAll("h2e2 h9g7 *\nb0c2 b7e7 *\n");
    ASSERT_EQ(games.size(), 2u);
    EXPECT_EQ(coordinates(games[1]), "b0c2 b7e7");

    games = readAll("[Event \"x\"]\n[Format \"WXF\"]\n{before} 1. C2.5 $1 {after red}\n(1. P7+1 {a ')' here} (1. H2+3))"
                    " 1... H8+7 ; to the end of the line\n2. H0-G2 r9=8 3.R1=2 *");
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(coordinates(games[0]), "h2e2 h9g7 h0g2 i9h9 i0h0");
    EXPECT_EQ(games[0].comments, (std::vector<std::string>{"before", "after red", "to the end of the line", "", "", ""}));
    EXPECT_EQ(games[0].result, "*");

    games = readAll("FORMAT\tWXF\nRED\tLü\nRESULT\t1-0\nSTART{\n  1. C2.5      H8+7\n  2. H2+3\n}END\n");
    ASSERT_EQ(games.size(), 1u);
    EXPECT_EQ(coordinates(games[0]), "h2e2 h9g7 h0g2");
    EXPECT_EQ(tagValue(games[0], "White"), "Lü");
    EXPECT_EQ(games[0].result, "1-0");
}

TEST(GameFile, BadFilesSayWhichGameLineAndWhy) {
    struct Bad {
        std::string text;
        const char* error;
    };
    const std::string illegalAt = "[Event \"one\"]\n\n1. h2e2 h9g7 *\n\n[Event \"two\"]\n\n1. C2=5 H8+7\n2. H5+3 *\n";
    const Bad cases[] = {
        {illegalAt, "game 2, line 8: H5+3: no horse on file 5"},
        {"1. h2e2 {never closed\n h9g7 *", "game 1, line 1: a comment that never ends ('{' without '}')"},
        {"1. h2e2 (h9g7 *\n", "game 1, line 1: a variation that never ends ('(' without ')')"},
        {"[FEN \"rnbakabnr/9 w\"]\n1. h2e2 *", "game 1, line 1: the FEN sets up no legal position: rnbakabnr/9 w"},
        {"[Event \"x\"\n1. h2e2 *", "game 1, line 1: a tag that does not read: [Event \"x\""},
        {std::string("1. h2e2 *\n1. h2e2\0 *", 20), "line 2: a NUL byte: not a text file"},
        {"1. h2e2 *\n\n1. \xE7\x82 h2e2 *", "line 3: not UTF-8 text"},
        {"FORMAT\tWXF\nSTART{\n  1. C2=5\n", "game 1, line 2: START{ without its }END"},
        {"FORMAT\tWXF\nRED\tx\n", "game 1, line 3: a header without its moves (no START{)"},
        {"1. h2e2 ) *", "game 1, line 1: a stray ')'"},
        {std::string(MaxGameFileBytes + 1, ' '), "larger than 32 MB"},
    };
    for (const Bad& c : cases) {
        std::vector<SavedGame> games(1);
        games[0].result = "kept";
        GameFileError error{};
        EXPECT_EQ(readGameFile(c.text.data(), c.text.size(), games, error), 0);
        EXPECT_EQ(gameFileErrorText(error), c.error);
        ASSERT_EQ(games.size(), 1u);
        EXPECT_EQ(games[0].result, "kept");
    }
    // A game longer than a record holds.
    std::string walk;
    for (int i = 0; i <= MaxGamePlies / 4; i++) walk += "i0i1 i9i8 i1i0 i8i9 ";
    std::vector<SavedGame> games;
    GameFileError error{};
    EXPECT_EQ(readGameFile(walk.data(), walk.size(), games, error), 0);
    EXPECT_EQ(error.reason, "more than 2048 plies in one game");
}

}  // namespace
