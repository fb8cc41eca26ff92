// The line buffer over a real pipe placed on standard input.
#include <gtest/gtest.h>

#include <string>

#include "common/stdin_pipe.h"

namespace {

TEST_F(StdinPipe, NothingPendingReturnsAtOnce) {
    EXPECT_EQ(next(), "<none>");
    EXPECT_EQ(inputEnded(), 0);
}

TEST_F(StdinPipe, TwoLinesInOneReadComeOutOneByOne) {
    feed("isready\nquit\n");
    EXPECT_EQ(next(), "isready");
    // The second line is already buffered: no read is needed for it.
    EXPECT_EQ(Input.bufferedBytes, 5);
    EXPECT_EQ(next(), "quit");
    EXPECT_EQ(next(), "<none>");
}

TEST_F(StdinPipe, CarriageReturnEndsTheLine) {
    feed("isready\r\nposition fen\rjunk\n\n");
    EXPECT_EQ(next(), "isready");
    EXPECT_EQ(next(), "position fen");
    EXPECT_EQ(next(), "");  // an empty line is still a line
    EXPECT_EQ(next(), "<none>");
}

TEST_F(StdinPipe, PartialLineWaitsForItsLineFeed) {
    feed("isre");
    EXPECT_EQ(next(), "<none>");
    feed("ady\n");
    EXPECT_EQ(next(), "isready");
}

TEST_F(StdinPipe, OverLongRunComesOutInSlices) {
    feed(std::string(5000, 'x'));
    EXPECT_EQ(next(), std::string(4095, 'x'));
    EXPECT_EQ(Input.bufferedBytes, 1);
    EXPECT_EQ(next(), "<none>");
    feed("y\n");
    EXPECT_EQ(next(), std::string(905, 'x') + "y");
}

TEST_F(StdinPipe, LineFillingTheWholeBufferIsNotSliced) {
    feed(std::string(4095, 'z') + "\nquit\n");
    EXPECT_EQ(next(), std::string(4095, 'z'));
    EXPECT_EQ(next(), "quit");
}

TEST_F(StdinPipe, EndOfInputIsReportedAfterTheLastLine) {
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

TEST_F(StdinPipe, WaitForLineBlocksUntilALineArrives) {
    feed("go depth 5\n");
    char line[LineBufferSize];
    ASSERT_EQ(waitForLine(line), 1);
    EXPECT_STREQ(line, "go depth 5");
}

}  // namespace
