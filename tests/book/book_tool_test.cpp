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
