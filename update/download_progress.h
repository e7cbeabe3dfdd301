#pragma once
// The download state the main window owns: the last progress value posted, and how a value reaches the
// window (the main window turns it into its progress message).

#include <atomic>
#include <functional>

class DownloadProgress {
public:
    explicit DownloadProgress(std::function<void(int)> post) : m_post(std::move(post)) {}

    // Posts the value unless it repeats the last one posted.
    void Post(int value)
    {
        if (m_last.exchange(value) != value && m_post)
            m_post(value);
    }

    // 0 until something was posted.
    int LastValue() const { return m_last.load(); }

private:
    std::function<void(int)> m_post;
    std::atomic<int> m_last{0};
};
