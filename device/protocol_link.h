#pragma once
// What every device job works with: the HID manager, the profile database, the clock that paces the
// reports and the state kept between jobs. Not owned; CommandProtocol holds one for its jobs.

#include <chrono>

#include "device/hid_device_manager.h"
#include "device/protocol_state.h"
#include "platform/monotonic_clock.h"
#include "store/profile_database.h"

struct ProtocolLink {
    HidDeviceManager& manager;
    ProfileDatabase& database;
    MonotonicClock& clock;
    ProtocolState& state;

    // A job sends nothing unless the manager is opened and has an interface that carries commands.
    bool Ready() const { return manager.Opened() != 0 && manager.ActiveInterface() != nullptr; }
    void Pause(std::chrono::milliseconds duration) const { clock.SleepFor(duration); }
    // A pause that began at `since`: what the job did meanwhile counts towards it.
    void PauseSince(MonotonicClock::TimePoint since, std::chrono::milliseconds duration) const
    {
        clock.SleepFor(since + duration - clock.Now());
    }
};
