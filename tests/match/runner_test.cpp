// The runner against scripted engines (scripted_engine.py beside this file):
// a fixed line to its end under each protocol, and every way an engine can
// fail, each ending in the right result and termination within bounded time.
#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

#include "game/game_file.h"
#include "match/match.h"

namespace {

const std::string Script = std::string(QUORVEL_MATCH_TEST_DIR) + "/scripted_engine.py";
// Red mates at once with b0b9.
const char* const MateFen = "3k5/R8/9/9/9/9/9/9/9/1R3K3 w - - 0 1";

std::string engineArguments(const std::string& protocol, const std::string& behaviour, const std::string& line) {
    return "args=" + protocol + " " + behaviour + " " + line;
}

// Plays a match of two scripted engines; extra words follow the engines.
MatchReport play(const std::string& firstProtocol, const std::string& first, const std::string& secondProtocol,
                 const std::string& second, const std::string& line, std::vector<std::string> extra) {
    std::vector<std::string> words = {"-engine", "cmd=" + Script, "proto=" + firstProtocol, engineArguments(firstProtocol, first, line),
                                      "name=First", "-engine", "cmd=" + Script, "proto=" + secondProtocol,
                                      engineArguments(secondProtocol, second, line), "name=Second", "-quiet"};
    words.insert(words.end(), extra.begin(), extra.end());
    std::vector<const char*> argv;
    for (const std::string& word : words) argv.push_back(word.c_str());
    MatchConfig config;
    std::string error;
    MatchReport report;
    EXPECT_TRUE(parseMatchArguments(static_cast<int>(argv.size()), argv.data(), config, error)) << error;
    EXPECT_EQ(runMatch(config, report), 0);
    return report;
}

std::string writeFile(const std::string& name, const std::string& text) {
    std::string path = testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

}  // namespace

// Both colours of one opening: the first engine mates as red in game 1 and is
// mated in game 2. UCI is also played with ranks written 1..10.
TEST(MatchRunnerTest, EveryProtocolPlaysAFixedLineToMate) {
    std::string openings = writeFile("mate.epd", std::string(MateFen) + "\n");
    for (const char* protocol : {"uci", "ucci", "xboard", "uci+ranks1"}) {
        std::string name = protocol;
        std::string proto = name.substr(0, name.find('+'));
        std::string behaviour = name == proto ? "line" : "line+ranks1";
        std::vector<std::string> extra = {"-each", "tc=2+0", "-games", "2", "-repeat", "-openings", "file=" + openings};
        if (behaviour != "line") extra.insert(extra.begin() + 2, "ranks=1");
        MatchReport report = play(proto, behaviour, proto, behaviour, "b0b9", extra);
        ASSERT_EQ(report.games.size(), 2u) << protocol;
        for (const GameResult& game : report.games) {
            EXPECT_EQ(game.outcome, RedWins) << protocol;
            EXPECT_EQ(game.termination, "checkmate") << protocol;
            EXPECT_EQ(game.firstIsRed, game.index == 0) << protocol;
        }
    }
}

TEST(MatchRunnerTest, ARepeatedPositionIsJudgedByTheRules) {
    std::string shuffle = "h0g2 h9g7 g2h0 g7h9 h0g2 h9g7 g2h0 g7h9 h0g2 h9g7 g2h0 g7h9";
    MatchReport report = play("uci", "line", "ucci", "line", shuffle, {"-each", "tc=2+0", "-rules", "asian"});
    ASSERT_EQ(report.games.size(), 1u);
    EXPECT_EQ(report.games[0].outcome, GameDrawn);
    EXPECT_EQ(report.games[0].termination, "repetition");
}

// The second engine misbehaves at its first move, as black in game 1 and as
// red in game 2, so it must also have been restarted or resynchronised.
TEST(MatchRunnerTest, AnEngineThatFailsLosesAndTheRunnerGoesOn) {
    struct Case {
        const char* behaviour;
        const char* termination;
    };
    const Case cases[] = {{"crash", "crash"},           {"hang", "time forfeit"},    {"illegal", "illegal move"},
                          {"malformed", "illegal move"}, {"flood", "time forfeit"}, {"late", "time forfeit"}};
    for (const Case& c : cases) {
        // CECP's own paths (a move out of turn, result and force) with the first three.
        for (const char* protocol : {"uci", "xboard"}) {
            if (std::string(protocol) == "xboard" && &c - cases >= 3) continue;
            auto start = std::chrono::steady_clock::now();
            MatchReport report =
                play(protocol, "line", protocol, c.behaviour, "h2e2 h9g7 h0g2 b9c7", {"-each", "tc=1+0", "-games", "2", "-repeat"});
            double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
            ASSERT_EQ(report.games.size(), 2u) << c.behaviour << " " << protocol;
            for (const GameResult& game : report.games) {
                EXPECT_EQ(game.outcome, game.firstIsRed ? RedWins : BlackWins) << c.behaviour << " " << protocol;
                EXPECT_EQ(game.termination, c.termination) << c.behaviour << " " << protocol;
            }
            // Two clocks of a second, and one restart of a flooding engine that stops reading.
            EXPECT_LT(seconds, 12.0) << c.behaviour << " " << protocol;
        }
    }
}

// Openings in WXF, from a PGN and from a WXF game file; the games written in
// WXF and Chinese read back as the moves played, the opening's marked as book.
TEST(MatchRunnerTest, OpeningsAndGamesInThePlayersNotation) {
    const std::string line = "h2e2 h9g7 h0g2 i9h9 i0h0 b9c7";
    const std::string openings[] = {writeFile("wxf-openings.pgn", "[Format \"WXF\"]\n1. C2=5 H8+7 2. H2+3 *\n"),
                                    writeFile("openings.wxf", "FORMAT\tWXF\nSTART{\n  1. C2.5      H8+7\n}END\n")};
    const char* const notations[] = {"wxf", "chinese"};
    for (int n = 0; n < 2; n++) {
        const std::string pgn = testing::TempDir() + "notation.pgn";
        std::remove(pgn.c_str());
        play("uci", "line", "uci", "line", line,
             {"-each", "tc=2+0", "-maxplies", "6", "-openings", "file=" + openings[n], "-pgnout", pgn,
              std::string("notation=") + notations[n]});
        const std::string text = readFile(pgn);
        EXPECT_NE(text.find(n == 0 ? "1. C2=5 {book} H8+7 {book} 2. H2+3 {book}" : "1. 炮二平五 {book} 馬８進７ {book}"),
                  std::string::npos)
            << text;
        std::vector<SavedGame> games;
        GameFileError error;
        ASSERT_TRUE(readGameFile(text.data(), text.size(), games, error)) << gameFileErrorText(error);
        ASSERT_EQ(games.size(), 1u);
        std::string played;
        for (Move move : games[0].moves) {
            char square[5] = "";
            moveToText(move, square);
            played += (played.empty() ? "" : " ") + std::string(square);
        }
        EXPECT_EQ(played, line);
        const size_t bookPlies = n == 0 ? 3 : 2;
        EXPECT_EQ(games[0].comments[bookPlies], "book");
        EXPECT_NE(games[0].comments[bookPlies + 1], "book");
    }
}
