// The quorvel-perft program, run as a user would.
#include <gtest/gtest.h>

#include <unistd.h>

#include "common/engine_process.h"

namespace {

// "<move text>: <count>", as --divide prints one root move.
bool isDivideLine(const std::string& line)
{
    if (line.size() < 7 || line.compare(4, 2, ": ") != 0) return false;
    for (int i = 0; i < 4; i += 2)
        if (line[i] < 'a' || line[i] > 'i' || line[i + 1] < '0' || line[i + 1] > '9') return false;
    for (size_t i = 6; i < line.size(); ++i)
        if (line[i] < '0' || line[i] > '9') return false;
    return true;
}

const std::string PerftToolPath = std::string(QUORVEL_BUILD_DIR) + "/quorvel-perft";

std::vector<std::string> runTool(const std::string& arguments, int& status)
{
    EngineProcess tool;
    EXPECT_TRUE(tool.start(PerftToolPath + " " + arguments));
    std::vector<std::string> lines = tool.readAll(20000);
    status = tool.wait(5000);
    return lines;
}

class PerftTool : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (access(PerftToolPath.c_str(), X_OK) != 0)
            GTEST_SKIP() << PerftToolPath << " is not built";
    }
};

TEST_F(PerftTool, DivideWithAFenGivenAsSeveralWords)
{
    int status = 0;
    const auto lines = runTool("--divide 2 4k4/4a4/4P4/9/9/9/9/4B4/9/4K4 w - - 0 1", status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(lines.size(), 12u);  // ten root moves, the timing line, the total
    for (int i = 0; i < 10; ++i)
        EXPECT_TRUE(isDivideLine(lines[i])) << lines[i];
    EXPECT_EQ(lines[0], "e7e8: 3");
    EXPECT_NE(lines[10].find("leaves/s"), std::string::npos) << lines[10];
    EXPECT_EQ(lines[11], "nodes 55");
}

TEST_F(PerftTool, StartPositionByDefault)
{
    int status = 0;
    const auto lines = runTool("3", status);
    EXPECT_EQ(status, 0);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines.back(), "nodes 79666");
}

TEST_F(PerftTool, BadArgumentsGiveStatusTwo)
{
    for (const char* arguments : {"", "x", "0", "-3", "99", "--divide"}) {
        int status = 0;
        const auto lines = runTool(arguments, status);
        EXPECT_EQ(status, 2) << "'" << arguments << "'";
        EXPECT_TRUE(lines.empty()) << "'" << arguments << "'";
    }
}

}  // namespace
