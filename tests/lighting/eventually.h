#pragma once
// Waiting in tests for what another thread makes true, with a time-out.

#include <chrono>
#include <functional>
#include <thread>

// Polls `condition` every millisecond; false when it still does not hold after `timeout`.
inline bool Eventually(const std::function<bool()>& condition,
                       std::chrono::milliseconds timeout = std::chrono::seconds(5))
{
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
