#pragma once
// The device worker as the program runs it, without the window: a UI thread of closures, an in-memory
// main window that posts every call to it (and waits for the reloads), the shipped device description
// and layouts, a real profile database, and the keyboard simulator announcing its connections through
// the UI thread. Pauses run on a manual clock that a test can hook.

#include <functional>
#include <memory>
#include <mutex>
#include <vector>

#include "device/command_protocol.h"
#include "device/device_description.h"
#include "device/device_worker.h"
#include "device/keyboard_model_selection.h"
#include "device/memory_window_view.h"
#include "platform/fake/manual_monotonic_clock.h"
#include "sim/keyboard_simulator.h"
#include "store/profile_database.h"
#include "tests/support/scoped_folders.h"

class RecordingMacroPlayer : public MacroPlayer {
public:
    void PlayMacro(int macroId) override;
    std::vector<int> Played() const;
    std::function<void(int macroId)> whilePlaying;

private:
    mutable std::mutex m_lock;
    std::vector<int> m_played;
};

// Manual time; `afterPause` runs after every pause with the time slept so far.
class HookedClock : public ManualMonotonicClock {
public:
    void SleepFor(Duration duration) override;
    std::function<void(Duration elapsed)> afterPause;
};

// Everything the worker needs, the way the program wires it.
class WorkerRig {
public:
    explicit WorkerRig(int deviceType = 201);
    ~WorkerRig();

    // A simulated keyboard of a model of the shipped description, not connected.
    SimulatedKeyboard& AddKeyboard(int deviceType);
    // Connects without announcing it, as a keyboard plugged in before the program started.
    void ConnectUnannounced(SimulatedKeyboard& keyboard, int mode);
    // Lets the UI thread's posted work land, then takes steps until the queue is empty.
    void RunUntilIdle(int maxSteps = 50);
    void Settle() { ui.Drain(); }

    ScopedFolders folders;
    DeviceDescription description;
    ProfileDatabase database;
    HookedClock clock;
    KeyboardSimulator sim{clock};
    HidDeviceManager manager{sim, clock};
    CommandProtocol protocol{manager, database, clock};
    ClosureLoop ui;
    MemoryWindowView view{ui};
    RecordingMacroPlayer player;
    std::unique_ptr<KeyboardModelSelection> selection;
    std::unique_ptr<DeviceWorker> worker;

private:
    void Announce();
};
