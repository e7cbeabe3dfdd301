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

    // A job sends nothing unless the manager is opened and has an interface that carries commands, and
    // ends once that interface is gone or stalled: then no report can get through.
    bool Ready() const { return manager.CanTransfer(); }
    // Pauses pace a keyboard that is there; one that is gone or stalled is not waited for.
    void Pause(std::chrono::milliseconds duration) const
    {
        if (Ready())
            clock.SleepFor(duration);
    }
    // A pause that began at `since`: what the job did meanwhile counts towards it.
    void PauseSince(MonotonicClock::TimePoint since, std::chrono::milliseconds duration) const
    {
        if (Ready())
            clock.SleepFor(since + duration - clock.Now());
    }
};
