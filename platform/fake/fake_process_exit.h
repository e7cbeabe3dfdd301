#pragma once
// Records exit requests and returns, so the caller's next steps can be checked.

#include <mutex>
#include <vector>

#include "platform/process_exit.h"

class FakeProcessExit final : public ProcessExit {
public:
    void ExitNow(int exitCode) override
    {
        const std::lock_guard lock(m_lock);
        m_codes.push_back(exitCode);
    }

    std::vector<int> ExitCodes() const
    {
        const std::lock_guard lock(m_lock);
        return m_codes;
    }

private:
    mutable std::mutex m_lock;
    std::vector<int> m_codes;
};
