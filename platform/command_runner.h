#pragma once
// Runs a program and waits for it to end.

#include <chrono>
#include <string>
#include <vector>

class CancelToken;

class CommandRunner {
public:
    static constexpr int kNotStarted = -1;
    static constexpr int kTimedOut = -2;
    static constexpr int kCancelled = -3;
    // The most of a program's standard output that is kept; a program writing more is ended.
    static constexpr size_t kMaxOutputBytes = 1024 * 1024;

    virtual ~CommandRunner() = default;

    // args[0] is the program (looked up on PATH when it has no slash). The program's exit code;
    // kNotStarted when it could not be started or ended by a signal; kTimedOut when it was still running
    // after `timeout` (it is then killed).
    virtual int Run(const std::vector<std::string>& args, std::chrono::milliseconds timeout) = 0;
    // The same, keeping what the program writes to its standard output in `output`, and ending it early
    // (kCancelled) when `cancel` is raised. A program writing more than kMaxOutputBytes is ended
    // (kNotStarted). This default runs without keeping the output.
    virtual int RunForOutput(const std::vector<std::string>& args, std::chrono::milliseconds timeout,
                             std::string& output, const CancelToken* cancel = nullptr);
};
