// quorvel-match as a user runs it: short real matches of quorvel (UCCI)
// against quorvel-uci (pondering) and MaxQi (CECP), and one match split into
// shards whose merged results give the statistics of one run.
#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "common/engine_process.h"
#include "match/match.h"

namespace {

const std::string Runner = QUORVEL_MATCH_BINARY;
const std::string Script = std::string(QUORVEL_MATCH_TEST_DIR) + "/scripted_engine.py";
constexpr int MatchTimeoutMs = 120000;

std::string readFile(const std::string& path) {
    std::stringstream text;
    text << std::ifstream(path).rdbuf();
    return text.str();
}

int count(const std::string& text, const std::string& part) {
    int found = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) found++;
    return found;
}

// Runs the program with words split at blanks; every line it printed.
std::vector<std::string> run(const std::string& command) {
    EngineProcess program;
    EXPECT_TRUE(program.start(command));
    std::vector<std::string> lines = program.readAll(MatchTimeoutMs);
    EXPECT_EQ(program.wait(2000), 0) << command;
    return lines;
}

std::string lineStartingWith(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const std::string& line : lines)
        if (line.compare(0, prefix.size(), prefix) == 0) return line;
    return "";
}

}  // namespace

TEST(MatchRealEnginesTest, QuorvelPlaysQuorvelUciAndMaxQi) {
    std::vector<std::string> opponents = {"cmd=" + EngineProcess::uciCommand() + " proto=uci name=QuorvelUci ponder"};
    if (access("/usr/games/maxqi", X_OK) == 0) opponents.push_back("cmd=/usr/games/maxqi proto=xboard name=MaxQi");
    for (const std::string& opponent : opponents) {
        std::string pgn = testing::TempDir() + "real.pgn";
        std::remove(pgn.c_str());
        std::vector<std::string> lines =
            run(Runner + " -engine cmd=" + EngineProcess::engineCommand() + " proto=ucci name=Quorvel -engine " + opponent +
                " -each tc=2+0.1 option.Hash=16 -games 2 -repeat -concurrency 2 -maxplies 60 -pgnout " + pgn);
        EXPECT_NE(lineStartingWith(lines, "Score of Quorvel vs "), "") << opponent;
        std::string games = readFile(pgn);
        EXPECT_EQ(count(games, "[Variant \"xiangqi\"]"), 2) << opponent;
        EXPECT_EQ(count(games, "[TimeControl \"2+0.1\"]"), 2) << opponent;
        EXPECT_EQ(count(games, "[Termination \"illegal move\"]") + count(games, "[Termination \"crash\"]") +
                      count(games, "[Termination \"time forfeit\"]"),
                  0)
            << games;
    }
}

// Two openings from PGN (a FEN with no moves, and two moves from the start),
// shuffled with the seed. The first engine mates in the FEN and plays an
// illegal move as red from the start; the second always plays an illegal move.
TEST(MatchShardTest, ShardsMergeToTheStatisticsOfOneRun) {
    std::string dir = testing::TempDir();
    std::string openings = dir + "shard-openings.pgn";
    std::ofstream(openings) << "[Event \"mate\"]\n[FEN \"3k5/R8/9/9/9/9/9/9/9/1R3K3 w - - 0 1\"]\n\n*\n\n"
                               "[Event \"start\"]\n\n1. h2e2 {centre} h9g7 *\n";
    std::string match = Runner + " -engine cmd=" + Script + " proto=uci args=uci,line,b0b9,b0b9,b0b9 name=A -engine cmd=" + Script +
                        " proto=ucci args=ucci,illegal name=B -each tc=2+0 -games 8 -repeat -openings file=" + openings +
                        " order=random -seed 7 -sprt elo0=0 elo1=5";
    std::remove((dir + "whole.pgn").c_str());  // a PGN file is appended to, as by the chess runners
    std::vector<std::string> whole = run(match + " -results " + dir + "whole.json -pgnout " + dir + "whole.pgn");
    run(match + " -shard 1/2 -results " + dir + "one.json");
    run(match + " -shard 2/2 -results " + dir + "two.json");
    std::vector<std::string> merged = run(Runner + " merge " + dir + "one.json " + dir + "two.json");

    std::string score = lineStartingWith(whole, "Score of A vs B: ");
    ASSERT_NE(score, "");
    EXPECT_NE(score.find("Games 8: +6 -2 =0"), std::string::npos) << score;
    EXPECT_NE(score.find("pairs [0 0 2 0 2]"), std::string::npos) << score;
    EXPECT_EQ(lineStartingWith(merged, "A vs B: "), "A vs B: " + score.substr(std::string("Score of A vs B: ").size()));
    std::string games = readFile(dir + "whole.pgn");
    EXPECT_EQ(count(games, "[SetUp \"1\"]\n[FEN \"3k5/R8/9/9/9/9/9/9/9/1R3K3 w - - 0 1\"]"), 4);
    EXPECT_EQ(count(games, "[Termination \"checkmate\"]"), 2);
    EXPECT_EQ(count(games, "1. h2e2 {book} h9g7 {book}"), 4);
}
