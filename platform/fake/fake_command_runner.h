#pragma once
// Records the commands it is asked to run and answers with a chosen exit code.

#include <mutex>
#include <vector>

#include "platform/command_runner.h"

class FakeCommandRunner : public CommandRunner {
public:
    void SetResult(int result)
    {
        std::lock_guard lock(m_lock);
        m_result = result;
    }
    std::vector<std::vector<std::string>> Commands() const
    {
        std::lock_guard lock(m_lock);
        return m_commands;
    }

    int Run(const std::vector<std::string>& args, std::chrono::milliseconds /*timeout*/) override
    {
        std::lock_guard lock(m_lock);
        m_commands.push_back(args);
        return m_result;
    }

private:
    mutable std::mutex m_lock;
    int m_result = 0;
    std::vector<std::vector<std::string>> m_commands;
};
