#pragma once
// The key filter in memory: it keeps every control request with its data, and hands out the key events
// that a test (or a simulated run) injects. Thread-safe; waits block as the real filter's do.

#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

#include "platform/key_filter_device.h"

class MemoryKeyFilterDevice : public KeyFilterDevice {
public:
    struct Request {
        uint32_t code = 0;
        std::vector<uint8_t> input;
        bool operator==(const Request&) const = default;
    };

    void SetOpenFails(bool fails);
    void SetAccessDenied(bool denied);
    // A key event as the filter reports it.
    void InjectKey(unsigned keyCode, bool pressed, uint8_t passedOn = 0);

    std::vector<Request> Requests() const;
    void ClearRequests();
    // The watched key codes of the last list set (empty after a clear).
    std::vector<unsigned> WatchedKeys() const;
    // Threads waiting for an event right now.
    int Waiting() const;
    size_t Pending() const;

    bool Open() override;
    void Close() override;
    bool IsOpen() const override;
    bool Control(uint32_t code, std::span<const uint8_t> input) override;
    WaitResult WaitForKeyEvent(KeyEventRecord& record) override;
    void CancelWaits() override;
    void ResumeWaits() override;
    bool KeyboardAccessDenied() const override;

private:
    mutable std::mutex m_lock;
    std::condition_variable m_changed;
    bool m_open = false;
    bool m_openFails = false;
    bool m_accessDenied = false;
    bool m_cancelled = false;
    int m_waiting = 0;
    std::deque<KeyEventRecord> m_events;
    std::vector<Request> m_requests;
};
