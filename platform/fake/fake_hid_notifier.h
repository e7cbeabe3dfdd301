#pragma once
// Announces what a test tells it to, on the test's thread.

#include <mutex>

#include "platform/hid_device_events.h"

class FakeHidNotifier : public HidDeviceNotifier {
public:
    bool Start(Sink sink) override;
    void Stop() override;

    // Hands the event to the sink, if started.
    void Raise(HidDeviceEventKind kind, const std::string& name);

private:
    std::mutex m_lock;
    Sink m_sink;
};
