// A fixture that puts a pipe on the process's standard input and opens the
// line input on it, so that what a test writes arrives as a front end's lines.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <unistd.h>

#include "io/line_input.h"

class StdinPipe : public ::testing::Test {
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
