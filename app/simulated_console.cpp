#include "app/simulated_console.h"

#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>

#include "core/folders.h"
#include "device/command_protocol.h"
#include "device/device_worker.h"
#include "device/keyboard_model_selection.h"
#include "device/memory_window_view.h"
#include "platform/linux/steady_monotonic_clock.h"
#include "sim/keyboard_simulator.h"
#include "store/profile_database.h"

namespace {

constexpr int kStartUpDeviceType = 201;

const char* ModeName(int mode)
{
    switch (mode) {
    case 0:
        return "cable";
    case 1:
        return "2.4 GHz receiver";
    case 2:
        return "Bluetooth";
    default:
        return "no connection";
    }
}

class PrintingPlayer : public MacroPlayer {
public:
    explicit PrintingPlayer(std::ostream& output, std::mutex& lock) : m_output(output), m_lock(lock) {}
    void PlayMacro(int macroId) override
    {
        std::lock_guard lock(m_lock);
        m_output << "play macro " << macroId << std::endl;
    }

private:
    std::ostream& m_output;
    std::mutex& m_lock;
};

// A folder removed with everything in it at the end of the run.
class TemporaryFolder {
public:
    TemporaryFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvik-simulate-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TemporaryFolder()
    {
        std::error_code error;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, error);
    }
    const std::filesystem::path& Path() const { return m_path; }

private:
    std::filesystem::path m_path;
};

// The new connection comes before the old ones go, so that the scan their removal causes finds it
// (a Bluetooth keyboard's own arrival is announced to no one).
void SwitchConnection(SimulatedKeyboard& keyboard, int mode)
{
    keyboard.Connect(mode);
    for (const SimulatedMode& other : keyboard.Model().modes) {
        if (other.connectionMode != mode)
            keyboard.Disconnect(other.connectionMode);
    }
}

} // namespace

int RunSimulatedConsole(std::istream& input, std::ostream& output)
{
    std::mutex outputLock;
    const TemporaryFolder data;
    if (data.Path().empty()) {
        output << "Torvik: cannot make a temporary folder for the simulated run" << std::endl;
        return 1;
    }
    const CString dataFolder = Utf8ToWide(data.Path().string()) + L"/";
    CreateFolderTree(dataFolder + L"db");
    const CString appFolder = ApplicationFolderWithSeparator();
    const DeviceDescription description = LoadDeviceDescription(appFolder + L"config.xml");
    if (!description.FindModel(kStartUpDeviceType)) {
        output << "Torvik: config.xml describes no keyboard of type " << kStartUpDeviceType << std::endl;
        return 1;
    }

    SteadyMonotonicClock& clock = SteadyMonotonicClock::Shared();
    KeyboardSimulator sim(clock);
    HidDeviceManager manager(sim, clock);
    for (const KnownDeviceRow& row : description.KnownDeviceRows())
        manager.AddKnownDevice(row.vendorId, row.productId, row.productName, row.deviceType, row.modeValue,
                               row.interfacePattern);
    ProfileDatabase database;
    CommandProtocol protocol(manager, database, clock);
    ClosureLoop ui;
    MemoryWindowView view(ui);
    PrintingPlayer player(output, outputLock);
    KeyboardModelSelection selection(description, database, view, appFolder, dataFolder);
    selection.SelectDeviceType(kStartUpDeviceType);
    DeviceWorker worker(manager, protocol, selection, description.modes, view, player, clock);
    SimulatedKeyboard& keyboard =
        sim.AddKeyboard(SimulatedModel::FromKnownDevices(description.KnownDeviceRows(), kStartUpDeviceType));

    // Printed on the UI thread whenever the shown connection state changes (from start-up on).
    ui.Drain();
    const auto started = std::chrono::steady_clock::now();
    int shown = -1; // -1 absent (as the window starts), otherwise the connection mode shown
    view.onChange = [&](const WindowState& state) {
        const int now = state.Present() ? worker.ConnectionMode() : state.Absent() ? -1 : shown;
        if (now == shown)
            return;
        shown = now;
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        std::lock_guard lock(outputLock);
        output << "[" << seconds << " s] ";
        if (now < 0)
            output << "no keyboard: the pages are hidden" << std::endl;
        else
            output << WideToUtf8(description.FindModel(kStartUpDeviceType)->name) << " connected by "
                   << ModeName(now) << std::endl;
    };

    {
        std::lock_guard lock(outputLock);
        output << "Torvik, simulated keyboard. Type 0 (cable), 1 (2.4 GHz), 2 (Bluetooth), u (unplug) or q "
                  "(quit), then Enter. A Bluetooth keyboard is announced to no one: the next scan that "
                  "something else causes finds it."
               << std::endl;
    }
    // Each command waits until what it set off is shown, so that the output follows the input.
    const auto settle = [&] {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        do {
            ui.Drain();
            if (worker.QueuedTasks().empty())
                break;
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        } while (std::chrono::steady_clock::now() < deadline);
        ui.Drain();
    };
    keyboard.Connect(0);
    sim.Start(
        [&](const HidDeviceEvent& event) { ui.Post([&worker, event] { worker.OnDeviceEvent(event); }); });
    worker.StartUp();
    settle();

    std::string line;
    while (std::getline(input, line)) {
        if (line == "q")
            break;
        if (line == "u")
            keyboard.DisconnectAll();
        else if (line == "0" || line == "1" || line == "2")
            SwitchConnection(keyboard, line[0] - '0');
        settle();
    }

    sim.Stop();
    worker.Stop();
    worker.Join();
    ui.Drain();
    return 0;
}
