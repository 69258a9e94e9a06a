#pragma once
// A pipe for tests of event loops: a byte written makes its reading end readable until drained.

#include <gtest/gtest.h>

#include <unistd.h>

#include <array>

class TestPipe {
public:
    TestPipe() { EXPECT_EQ(pipe(ends_.data()), 0); }
    ~TestPipe() {
        close(ends_[0]);
        close(ends_[1]);
    }
    TestPipe(const TestPipe&) = delete;
    TestPipe& operator=(const TestPipe&) = delete;
    int Read() const { return ends_[0]; }
    // The writing end, writable while the pipe has room.
    int WriteEnd() const { return ends_[1]; }
    void Write() const { EXPECT_EQ(write(ends_[1], "x", 1), 1); }
    void Drain() const {
        char byte = 0;
        EXPECT_EQ(read(ends_[0], &byte, 1), 1);
    }

private:
    std::array<int, 2> ends_{};
};
