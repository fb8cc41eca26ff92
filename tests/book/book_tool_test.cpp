// quorvel-book as a user runs it: its messages, exit statuses and verdicts.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "book/book_writer.h"
#include "common/engine_process.h"
#include "common/positions.h"
#include "search/driver.h"
#include "search/hash.h"

namespace {

const std::string Tool = std::string(QUORVEL_BUILD_DIR) + "/quorvel-book";

struct ToolRun {
    std::vector<std::string> lines;
    int status;
};

// Runs the tool with words (no spaces inside a word); stderr is not captured.
ToolRun runTool(const std::string& words) {
    EngineProcess tool;
    ToolRun run{{}, -1};
    if (!tool.start(Tool + " " + words)) return run;
    tool.closeInput();
    run.lines = tool.readAll(60000);
    run.status = tool.wait(60000);
    return run;
}

std::string writeLines(const std::string& name, const std::string& text) {
    std::string path = ::testing::TempDir() + name;
    std::ofstream(path) << text;
    return path;
}

std::string readText(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream buffer;
    buffer << file.rdbuf();
    return buffer.str();
}

// A line of a grown file: the moves to its position, then moves and weights.
struct GrownLine {
    std::string path;
    std::vector<std::pair<std::string, int>> moves;
};

std::vector<GrownLine> grownLines(const std::string& text) {
    std::vector<GrownLine> lines;
    std::istringstream input(text);
    std::string line;
    while (std::getline(input, line)) {
        if (line.empty() || line[0] == '#') continue;
        GrownLine grown;
        grown.path = line.substr(0, line.find('|'));
        while (!grown.path.empty() && grown.path.back() == ' ') grown.path.pop_back();
        std::istringstream pairs(line.substr(line.find('|') + 1));
        std::string move;
        int weight = 0;
        while (pairs >> move >> weight) grown.moves.emplace_back(move, weight);
        lines.push_back(grown);
    }
    return lines;
}

// The engine's own scores of the start position's best moves, as grow searches them.
std::map<std::string, int> startScores(int depth, int lines) {
    struct Collector : SearchReporter {
        std::map<std::string, int> scores;
        void newBestMove(const SearchReport& report) override {
            if (report.line == 1) scores.clear();
            scores[text(report.pv[0])] = report.score;
        }
        PollEvent poll() override { return PollNothing; }
        void searchDone(const SearchResult&) override {}
    } collector;
    constexpr int GrowTableExponent = 24;  // grow's 16 MB
    static SearchEngine engine;
    allocateHashTable(engine.table, GrowTableExponent);
    SearchLimits limits;
    limits.maxDepth = depth;
    limits.lines = lines;
    limits.stopWhenForced = false;
    runSearch(engine, fromFen(StartFen), limits, collector);
    releaseHashTable(engine.table);
    return collector.scores;
}

TEST(BookTool, GrowWeighsMovesByScoreAnalysesAMirrorImageOnceAndShardsAddUp) {
    const std::string temp = ::testing::TempDir();
    const std::string repertoire = writeLines("quorvel_tool_repertoire.txt", "h2e2 h9g7\n");
    const std::string settings = " depth=2 plies=3 lines=12 margin=10 positions=100";
    ASSERT_EQ(runTool("grow " + repertoire + " " + temp + "quorvel_grown.txt" + settings).status, 0);
    const std::string grown = readText(temp + "quorvel_grown.txt");
    EXPECT_EQ(grown.rfind("# ", 0), 0u) << "a header records the command";
    EXPECT_NE(grown.find(settings), std::string::npos) << grown.substr(0, grown.find('\n'));
    const std::vector<GrownLine> lines = grownLines(grown);
    ASSERT_GT(lines.size(), 20u);

    // Weights fall with the score, from the top weight for the best move.
    const std::map<std::string, int> scores = startScores(2, 12);
    ASSERT_TRUE(lines[0].path.empty()) << "the start position first";
    const auto& start = lines[0].moves;
    for (size_t i = 1; i < start.size(); i++) {
        const int scoreBefore = scores.at(start[i - 1].first), score = scores.at(start[i].first);
        EXPECT_GE(scoreBefore, score) << start[i].first;
        EXPECT_EQ(start[i - 1].second > start[i].second, scoreBefore > score) << start[i].first;
    }
    for (const GrownLine& line : lines) {
        ASSERT_FALSE(line.moves.empty()) << line.path;
        EXPECT_EQ(line.moves[0].second, BookTopWeight) << line.path;
        for (size_t i = 1; i < line.moves.size(); i++) EXPECT_LE(line.moves[i].second, line.moves[i - 1].second);
    }

    // The start position keeps both central cannons, whose positions are one;
    // the repertoire's position is analysed too.
    std::set<std::string> paths;
    std::set<BookLocks> positions;
    for (const GrownLine& line : lines) {
        paths.insert(line.path);
        Position pos = fromFen(StartFen);
        std::istringstream moves(line.path);
        std::string move;
        while (moves >> move) ASSERT_TRUE(pos.makeMove(mv(move.c_str()))) << line.path;
        EXPECT_TRUE(positions.insert(std::min(positionLocks(pos), mirrorLocks(pos))).second) << line.path;
    }
    std::set<std::string> startMoves;
    for (const auto& [move, weight] : start) startMoves.insert(move);
    EXPECT_TRUE(startMoves.count("h2e2") == 1 && startMoves.count("b2e2") == 1);
    EXPECT_EQ(paths.count("h2e2") + paths.count("b2e2"), 1u);
    EXPECT_EQ(paths.count("h2e2 h9g7") + paths.count("b2e2 b9c7"), 1u);

    // Two shards side by side make the same book as one process.
    const std::string book = temp + "quorvel_grown.bin", shardBook = temp + "quorvel_grown_shards.bin";
    for (const char* shard : {"1/2", "2/2"}) {
        ASSERT_EQ(runTool("grow " + repertoire + " " + temp + "quorvel_shard" + shard[0] + ".txt" + settings +
                          " shard=" + shard).status, 0);
    }
    ASSERT_EQ(runTool("build " + temp + "quorvel_grown.txt -o " + book).status, 0);
    ASSERT_EQ(runTool("build " + temp + "quorvel_shard1.txt " + temp + "quorvel_shard2.txt -o " + shardBook).status, 0);
    const std::string whole = readText(book);
    EXPECT_FALSE(whole.empty());
    EXPECT_TRUE(whole == readText(shardBook));
    for (const char* name : {"quorvel_grown.txt", "quorvel_shard1.txt", "quorvel_shard2.txt", "quorvel_grown.bin",
                             "quorvel_grown_shards.bin"}) {
        std::remove((temp + name).c_str());
    }
}

TEST(BookTool, BuildCombinesPlainAndWeightedLinesOfSeveralFiles) {
    const std::string plain = writeLines("quorvel_tool_plain.txt", "h2e2 h9g7 h0g2\nh2e2 h9g7 b0c2\nh2e2 b9c7\n");
    // The second position as its mirror image; c3c4's position twice, as overlapping shards write it.
    const std::string grown = writeLines("quorvel_tool_grown.txt",
                                         "# grown\n| h2e2 4096 h0g2 1024\nb2e2 | b9c7 1000\nc3c4 | g6g5 3 c6c5 1\n");
    const std::string shard = writeLines("quorvel_tool_shard.txt", "c3c4 | g6g5 2\n");
    const std::string book = ::testing::TempDir() + "quorvel_tool_combined.bin";
    ASSERT_EQ(runTool("build " + plain + " " + grown + " " + shard + " -o " + book).status, 0);

    // Each kind scaled to 4096 for its favourite, then the mean of the two.
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {"startpos", {"h2e2 weight 4096", "h0g2 weight 512"}},
        {"startpos moves h2e2", {"h9g7 weight 4096", "b9c7 weight 1024"}},
        {"startpos moves c3c4", {"g6g5 weight 3", "c6c5 weight 1"}},  // weighted lines alone: the largest weight
    };
    for (const auto& [position, want] : cases) {
        ToolRun probed = runTool("probe " + book + " " + position);
        ASSERT_EQ(probed.lines.size(), want.size() + 1) << position;
        for (size_t i = 0; i < want.size(); i++) {
            EXPECT_EQ(probed.lines[i + 1].rfind(want[i], 0), 0u) << probed.lines[i + 1];
        }
    }

    const std::string bad = writeLines("quorvel_tool_badweight.txt", "h2e2 | h9g7 heavy\n");
    EXPECT_EQ(runTool("build " + plain + " " + bad + " -o " + book).status, 1);
    std::remove(book.c_str());
}

TEST(BookTool, BuildRefusesAnIllegalMoveAndProbeReportsTheMirror) {
    std::string bad = writeLines("quorvel_tool_bad.txt", "h2e2 h9g7\nh2e2 h9g7 h0g2 h9g7\n");
    std::string book = ::testing::TempDir() + "quorvel_tool.bin";
    EXPECT_EQ(runTool("build " + bad + " -o " + book).status, 1);

    std::string good = writeLines("quorvel_tool_good.txt", "h2e2 h9g7 h0g2\nh2e2 h9g7 i0i1\nh2e2 b9c7\n");
    ToolRun built = runTool("build " + good + " -o " + book);
    EXPECT_EQ(built.status, 0);
    ToolRun probed = runTool("probe " + book + " startpos moves b2e2");
    ASSERT_EQ(probed.status, 0);
    ASSERT_EQ(probed.lines.size(), 3u);
    EXPECT_NE(probed.lines[0].find("mirror"), std::string::npos) << probed.lines[0];
    EXPECT_EQ(probed.lines[1].rfind("b9c7 weight 2", 0), 0u) << probed.lines[1];
    EXPECT_EQ(probed.lines[2].rfind("h9g7 weight 1", 0), 0u) << probed.lines[2];
    std::remove(book.c_str());
}

TEST(BookTool, CheckFlagsARookLeftToTheCannon) {
    // Black's rook steps behind its own cannon on the file of red's cannon.
    std::string lines = writeLines("quorvel_tool_check.txt", "h2e2 b9c7 h0g2 a9b9 b2b9 c7b9\n");
    ToolRun checked = runTool("check " + lines + " 3");
    EXPECT_EQ(checked.status, 1);
    ASSERT_FALSE(checked.lines.empty());
    EXPECT_EQ(checked.lines[0].rfind("line 1 ply 4: a9b9", 0), 0u) << checked.lines[0];
    EXPECT_NE(checked.lines.back().find("1 weak book moves"), std::string::npos) << checked.lines.back();
}

}  // namespace
