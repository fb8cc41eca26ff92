// The UCCI readers over a real pipe: what a search sees of busy-time lines,
// and the idle parser at the end of input.
#include <gtest/gtest.h>

#include "common/stdin_pipe.h"
#include "ucci/commands.h"

namespace {

TEST_F(StdinPipe, BusyReaderRecognisesItsCommandsAndDropsTheRest) {
    feed("PonderHit Draw\nponderhit\nposition startpos\nISREADY\nstop\nquit\n");
    EXPECT_EQ(readBusyCommand(0), CmdPonderHitDraw);
    EXPECT_EQ(readBusyCommand(0), CmdPonderHit);
    EXPECT_EQ(readBusyCommand(0), CmdNone);
    EXPECT_EQ(readBusyCommand(0), CmdIsReady);
    EXPECT_EQ(readBusyCommand(0), CmdStop);
    EXPECT_EQ(readBusyCommand(0), CmdQuit);
    EXPECT_EQ(readBusyCommand(0), CmdNone);  // nothing pending
}

TEST_F(StdinPipe, BusyReaderEchoesOnlyInDebugMode) {
    feed("isready\nisready\n");
    testing::internal::CaptureStdout();
    EXPECT_EQ(readBusyCommand(0), CmdIsReady);
    EXPECT_EQ(readBusyCommand(1), CmdIsReady);
    EXPECT_EQ(testing::internal::GetCapturedStdout(), "info busyline [isready]\n");
}

TEST_F(StdinPipe, IdleParserTurnsEndOfInputIntoQuit) {
    feed("isready\n");
    closeWriter();
    UcciCommand command = {};
    EXPECT_EQ(parseIdleCommand(command, 0), CmdIsReady);
    EXPECT_EQ(parseIdleCommand(command, 0), CmdQuit);
}

}  // namespace
