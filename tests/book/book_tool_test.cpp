// quorvel-book as a user runs it: its messages, exit statuses and verdicts.
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

#include "common/engine_process.h"

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
