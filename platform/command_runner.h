#pragma once
// Runs a program and waits for it to end.

#include <chrono>
#include <string>
#include <vector>

class CommandRunner {
public:
    static constexpr int kNotStarted = -1;
    static constexpr int kTimedOut = -2;

    virtual ~CommandRunner() = default;

    // args[0] is the program (looked up on PATH when it has no slash). The program's exit code;
    // kNotStarted when it could not be started or ended by a signal; kTimedOut when it was still running
    // after `timeout` (it is then killed).
    virtual int Run(const std::vector<std::string>& args, std::chrono::milliseconds timeout) = 0;
};
