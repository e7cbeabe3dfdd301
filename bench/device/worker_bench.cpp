// The device worker on the real clock, with the keyboard simulator and an in-memory main window on a UI
// thread of its own, wired as the program wires them. Prints:
//
//   idle wake-ups       with a keyboard connected and no reactive mode, after start-up has settled: the
//                       worker thread's context switches per second (from /proc) and its steps per
//                       second over 5 s. Target 0.
//   streaming           the same while a reactive mode of the output-report family streams, for
//                       comparison (the 16 ms cadence: about 60 steps per second).
//   arrival to present  from a simulated keyboard's connection to the main window showing the present
//                       state (the announcement through the UI thread, the worker's scan and page
//                       update, the window's posted calls), over 40 plug-ins. Target <= 50 ms; the scan
//                       takes no protocol pauses.
//
// Run: cmake --preset release && cmake --build --preset release --target worker_bench &&
//      build-release/bench/worker_bench

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <vector>

#include "core/folders.h"
#include "device/command_protocol.h"
#include "device/device_worker.h"
#include "device/keyboard_model_selection.h"
#include "device/memory_window_view.h"
#include "platform/linux/steady_monotonic_clock.h"
#include "sim/keyboard_simulator.h"
#include "store/profile_database.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace std::chrono_literals;

class NoMacros : public MacroPlayer {
public:
    void PlayMacro(int) override {}
};

bool WaitFor(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10s)
{
    const auto deadline = Clock::now() + timeout;
    while (!condition()) {
        if (Clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(200us);
    }
    return true;
}

// Voluntary plus involuntary context switches of one thread of this process.
long ContextSwitches(pid_t thread)
{
    std::ifstream status("/proc/self/task/" + std::to_string(thread) + "/status");
    long total = 0;
    std::string line;
    while (std::getline(status, line)) {
        if (line.starts_with("voluntary_ctxt_switches:") || line.starts_with("nonvoluntary_ctxt_switches:"))
            total += std::stol(line.substr(line.find(':') + 1));
    }
    return total;
}

class Rig {
public:
    explicit Rig(int deviceType)
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvik-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        const CString dataFolder = Utf8ToWide(pattern) + L"/";
        CreateFolderTree(dataFolder + L"db");
        const std::string install = TORVIK_INSTALL_DIR;
        description = LoadDeviceDescription(Utf8ToWide(install + "/config.xml"));
        if (description.modes.empty()) {
            std::fprintf(stderr, "no device description in %s\n", install.c_str());
            std::exit(1);
        }
        for (const KnownDeviceRow& row : description.KnownDeviceRows())
            manager.AddKnownDevice(row.vendorId, row.productId, row.productName, row.deviceType,
                                   row.modeValue, row.interfacePattern);
        selection = std::make_unique<KeyboardModelSelection>(description, database, view,
                                                             Utf8ToWide(install) + L"/", dataFolder);
        selection->SelectDeviceType(deviceType);
        view.selection = selection.get();
        worker = std::make_unique<DeviceWorker>(manager, protocol, *selection, description.modes, view,
                                                player, clock);
        keyboard =
            &sim.AddKeyboard(SimulatedModel::FromKnownDevices(description.KnownDeviceRows(), deviceType));
        view.onChange = [this](const WindowState& state) {
            if (state.Present() && presentAt.load() == 0)
                presentAt = Clock::now().time_since_epoch().count();
        };
    }
    ~Rig()
    {
        sim.Stop();
        worker->Stop();
        worker->Join();
        ui.Drain();
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }

    // Plugged in before start: no announcement, the first connect finds it.
    void StartWithKeyboard()
    {
        keyboard->Connect(0);
        sim.Start([this](const HidDeviceEvent& event) {
            ui.Post([this, event] { worker->OnDeviceEvent(event); });
        });
        worker->StartUp();
        if (!WaitFor([&] { return view.State().Present() && Idle(); }))
            std::abort();
    }
    bool Idle() const { return worker->QueuedTasks().empty() && worker->Steps() > 0; }

    DeviceDescription description;
    ProfileDatabase database;
    SteadyMonotonicClock clock;
    KeyboardSimulator sim{clock};
    HidDeviceManager manager{sim, clock};
    CommandProtocol protocol{manager, database, clock};
    ClosureLoop ui;
    MemoryWindowView view{ui};
    NoMacros player;
    std::unique_ptr<KeyboardModelSelection> selection;
    std::unique_ptr<DeviceWorker> worker;
    SimulatedKeyboard* keyboard = nullptr;
    std::atomic<Clock::rep> presentAt{0};

private:
    std::filesystem::path m_folder;
};

void MeasureWakeUps(Rig& rig, const char* label, std::chrono::seconds length)
{
    std::this_thread::sleep_for(200ms);
    const pid_t thread = rig.worker->NativeThreadId();
    const long switches = ContextSwitches(thread);
    const uint64_t steps = rig.worker->Steps();
    std::this_thread::sleep_for(length);
    const double seconds = std::chrono::duration<double>(length).count();
    std::printf("%-20s %8.1f wake-ups/s  %8.1f steps/s  (worker thread %d, %.0f s)\n", label,
                static_cast<double>(ContextSwitches(thread) - switches) / seconds,
                static_cast<double>(rig.worker->Steps() - steps) / seconds, static_cast<int>(thread),
                seconds);
}

} // namespace

int main()
{
    {
        Rig rig(201);
        rig.StartWithKeyboard();
        MeasureWakeUps(rig, "idle", 5s);

        std::vector<double> delays;
        for (int i = 0; i < 40; ++i) {
            rig.keyboard->DisconnectAll();
            if (!WaitFor([&] { return rig.view.State().Absent() && rig.Idle(); }))
                std::abort();
            rig.presentAt = 0;
            const Clock::time_point plugged = Clock::now();
            rig.keyboard->Connect(0);
            if (!WaitFor([&] { return rig.presentAt.load() != 0; }))
                std::abort();
            delays.push_back(std::chrono::duration<double, std::milli>(
                                 Clock::time_point(Clock::duration(rig.presentAt.load())) - plugged)
                                 .count());
            if (!WaitFor([&] { return rig.Idle(); }))
                std::abort();
        }
        std::sort(delays.begin(), delays.end());
        std::printf("%-20s median %.2f ms  p90 %.2f ms  max %.2f ms  (%zu plug-ins)\n", "arrival to present",
                    delays[delays.size() / 2], delays[delays.size() * 9 / 10], delays.back(), delays.size());
    }
    {
        Rig rig(101);
        rig.view.reactiveColours = {{0x04, 0x00FF00}};
        rig.StartWithKeyboard();
        rig.worker->SetReactiveShowing(true);
        MeasureWakeUps(rig, "streaming", 2s);
        rig.worker->SetReactiveShowing(false);
        MeasureWakeUps(rig, "idle after streaming", 3s);
    }
    return 0;
}
