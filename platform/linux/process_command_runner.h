#pragma once
// Runs a program as a child process and waits for it, killing it when it overruns.

#include "platform/command_runner.h"

class ProcessCommandRunner : public CommandRunner {
public:
    int Run(const std::vector<std::string>& args, std::chrono::milliseconds timeout) override;
    int RunForOutput(const std::vector<std::string>& args, std::chrono::milliseconds timeout,
                     std::string& output, const CancelToken* cancel = nullptr) override;
};
