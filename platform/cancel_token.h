#pragma once
// A flag another thread raises to end a blocking operation early: the worker raises it when the program
// exits, a cancel button for the transfer in progress. Whatever waits registers a wake-up, so it ends at
// once rather than at its next time-out. A token is raised once and stays raised; a new operation that
// may be cancelled gets a new token.

#include <atomic>
#include <functional>
#include <map>
#include <mutex>

class CancelToken {
public:
    CancelToken() = default;
    CancelToken(const CancelToken&) = delete;
    CancelToken& operator=(const CancelToken&) = delete;

    // Raises the flag and runs every registered wake-up, on the calling thread.
    void Cancel();
    bool IsCancelled() const { return m_cancelled.load(); }

    // Keeps a wake-up registered while it lives. Once its destructor has returned, the wake-up is
    // not running and never runs again.
    class Registration {
    public:
        Registration() = default;
        Registration(Registration&& other) noexcept;
        Registration& operator=(Registration&& other) noexcept;
        ~Registration();

    private:
        friend class CancelToken;
        Registration(const CancelToken* token, int id) : m_token(token), m_id(id) {}
        void Release();

        const CancelToken* m_token = nullptr;
        int m_id = 0;
    };

    // `wake` runs when the flag is raised while the registration lives; at once when it is raised
    // already. It must be quick and must not touch the token.
    [[nodiscard]] Registration OnCancel(std::function<void()> wake) const;

private:
    std::atomic<bool> m_cancelled{false};
    // Wake-ups run under the lock, so that a registration never ends while its wake-up runs.
    mutable std::mutex m_lock;
    mutable std::map<int, std::function<void()>> m_wakeUps;
    mutable int m_nextId = 1;
};
