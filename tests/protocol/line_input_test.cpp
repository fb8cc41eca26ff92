// The line buffer over a real pipe placed on standard input.
#include <gtest/gtest.h>

#include <string>
#include <unistd.h>
#include "protocol/commands.h"
#include "protocol/line_input.h"

namespace {

class LineInputTest : public ::testing::Test {
protected:
    void SetUp() override {
        savedInput_ = dup(0);
        int ends[2];
        ASSERT_EQ(pipe(ends), 0);
        dup2(ends[0], 0);
        close(ends[0]);
        writer_ = ends[1];
        openInput();
    }
    void TearDown() override {
        closeWriter();
        dup2(savedInput_, 0);
        close(savedInput_);
    }
    void feed(const std::string& bytes) {
        ASSERT_EQ(write(writer_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    }
    void closeWriter() {
        if (writer_ >= 0) close(writer_);
        writer_ = -1;
    }
    std::string next() {
        char line[LineBufferSize];
        return readLine(line) ? std::string(line) : std::string("<none>");
    }

    int savedInput_ = -1;
    int writer_ = -1;
};

TEST_F(LineInputTest, NothingPendingReturnsAtOnce) {
    EXPECT_EQ(next(), "<none>");
    EXPECT_EQ(inputEnded(), 0);
}

TEST_F(LineInputTest, TwoLinesInOneReadComeOutOneByOne) {
    feed("isready\nquit\n");
    EXPECT_EQ(next(), "isready");
    // The second line is already buffered: no read is needed for it.
    EXPECT_EQ(Input.bufferedBytes, 5);
    EXPECT_EQ(next(), "quit");
    EXPECT_EQ(next(), "<none>");
}

TEST_F(LineInputTest, CarriageReturnEndsTheLine) {
    feed("isready\r\nposition fen\rjunk\n\n");
    EXPECT_EQ(next(), "isready");
    EXPECT_EQ(next(), "position fen");
    EXPECT_EQ(next(), "");  // an empty line is still a line
    EXPECT_EQ(next(), "<none>");
}

TEST_F(LineInputTest, PartialLineWaitsForItsLineFeed) {
    feed("isre");
    EXPECT_EQ(next(), "<none>");
    feed("ady\n");
    EXPECT_EQ(next(), "isready");
}

TEST_F(LineInputTest, OverLongRunComesOutInSlices) {
    feed(std::string(5000, 'x'));
    EXPECT_EQ(next(), std::string(4095, 'x'));
    EXPECT_EQ(Input.bufferedBytes, 1);
    EXPECT_EQ(next(), "<none>");
    feed("y\n");
    EXPECT_EQ(next(), std::string(905, 'x') + "y");
}

TEST_F(LineInputTest, LineFillingTheWholeBufferIsNotSliced) {
    feed(std::string(4095, 'z') + "\nquit\n");
    EXPECT_EQ(next(), std::string(4095, 'z'));
    EXPECT_EQ(next(), "quit");
}

TEST_F(LineInputTest, EndOfInputIsReportedAfterTheLastLine) {
    feed("a\nb\nunfinished");
    closeWriter();
    EXPECT_EQ(next(), "a");
    EXPECT_EQ(inputEnded(), 0);  // b is still to come
    EXPECT_EQ(next(), "b");
    EXPECT_EQ(next(), "<none>");
    EXPECT_EQ(inputEnded(), 1);
    char line[LineBufferSize];
    EXPECT_EQ(waitForLine(line), 0);  // returns instead of waiting forever
}

TEST_F(LineInputTest, WaitForLineBlocksUntilALineArrives) {
    feed("go depth 5\n");
    char line[LineBufferSize];
    ASSERT_EQ(waitForLine(line), 1);
    EXPECT_STREQ(line, "go depth 5");
}

TEST_F(LineInputTest, BusyReaderRecognisesItsCommandsAndDropsTheRest) {
    feed("PonderHit Draw\nponderhit\nposition startpos\nISREADY\nstop\nquit\n");
    EXPECT_EQ(readBusyCommand(0), CmdPonderHitDraw);
    EXPECT_EQ(readBusyCommand(0), CmdPonderHit);
    EXPECT_EQ(readBusyCommand(0), CmdNone);
    EXPECT_EQ(readBusyCommand(0), CmdIsReady);
    EXPECT_EQ(readBusyCommand(0), CmdStop);
    EXPECT_EQ(readBusyCommand(0), CmdQuit);
    EXPECT_EQ(readBusyCommand(0), CmdNone);  // nothing pending
}

TEST_F(LineInputTest, BusyReaderEchoesOnlyInDebugMode) {
    feed("isready\nisready\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(readBusyCommand(0), CmdIsReady);
    EXPECT_EQ(readBusyCommand(1), CmdIsReady);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "info busyline [isready]\n");
}

TEST_F(LineInputTest, IdleParserTurnsEndOfInputIntoQuit) {
    feed("isready\n");
    closeWriter();
    UcciCommand command = {};
    EXPECT_EQ(parseIdleCommand(command, 0), CmdIsReady);
    EXPECT_EQ(parseIdleCommand(command, 0), CmdQuit);
}

}  // namespace
