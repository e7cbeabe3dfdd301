#pragma once
// The keyboard simulator as a HID backend: the interfaces of every connected simulated keyboard, opened
// by path, with transfers that reach the keyboards' firmware. It raises an arrival or removal event per
// interface name when a keyboard connection comes or goes. Used by the tests and by the simulated run.

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "platform/hid_backend.h"
#include "platform/monotonic_clock.h"
#include "sim/simulated_keyboard.h"

class KeyboardSimulator : public HidBackend, public HidDeviceNotifier {
public:
    // Timestamps come from `clock`, and time-outs are waited on it; it must outlive the simulator.
    explicit KeyboardSimulator(MonotonicClock& clock);
    ~KeyboardSimulator() override;

    // A keyboard, not connected yet. Its paths and (unless the model names one) its interface instance
    // are numbered by the order keyboards were added.
    SimulatedKeyboard& AddKeyboard(const SimulatedModel& model);
    SimulatedKeyboard& Keyboard(size_t index = 0);
    size_t KeyboardCount() const;

    // Called on the thread that connects or disconnects, with no lock of the keyboards held.
    void SetDeviceEventListener(std::function<void(const SimDeviceEvent&)> listener);

    // The system's announcements of a simulated run: the listener above.
    bool Start(Sink sink) override;
    void Stop() override;

    // While unavailable, Init fails, as when the HID library cannot start.
    void SetLibraryAvailable(bool available);
    int InitCalls() const;

    bool Init() override;
    void Exit() override;
    std::vector<HidInterfaceInfo> Enumerate() override;
    std::unique_ptr<HidDevice> Open(const std::string& path) override;

private:
    void Deliver(const std::vector<SimDeviceEvent>& events);

    MonotonicClock& m_clock;
    mutable std::mutex m_lock;
    std::vector<std::shared_ptr<SimulatedKeyboard>> m_keyboards;
    std::recursive_mutex m_deliveryLock; // held while an event is delivered, so Stop waits for it
    std::function<void(const SimDeviceEvent&)> m_listener;
    bool m_libraryAvailable = true;
    int m_initCalls = 0;
};
