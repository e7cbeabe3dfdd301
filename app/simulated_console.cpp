#include "app/simulated_console.h"

#include <chrono>
#include <fcntl.h>
#include <poll.h>
#include <string>
#include <unistd.h>

#include "app/keyboard_dlg.h"
#include "device/device_worker.h"
#include "device/ui_thread_call.h"
#include "sim/simulated_keyboard.h"
#include "ui/framework/manager.h"
#include "ui/framework/window_system.h"

namespace {

constexpr auto kSettleLimit = std::chrono::seconds(5);

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
        return "an unknown connection";
    }
}

// The new connection comes before the old ones go, so that the scan their removal causes finds it (a
// Bluetooth keyboard's own arrival is announced to no one).
void SwitchConnection(SimulatedKeyboard& keyboard, int mode)
{
    keyboard.Connect(mode);
    for (const SimulatedMode& other : keyboard.Model().modes) {
        if (other.connectionMode != mode)
            keyboard.Disconnect(other.connectionMode);
    }
}

void OnUiThread(std::function<void()> call)
{
    CallOnUiThread([](std::function<void()> closure) { WindowSystem::PostClosure(std::move(closure)); },
                   std::move(call), std::chrono::seconds(5), WindowSystem::IsUiThread());
}

} // namespace

std::string SimulatedConsole::Describe(const std::wstring& model, int mode)
{
    if (mode < 0)
        return "no keyboard: the pages are hidden";
    return WideToUtf8(model) + " connected by " + ModeName(mode);
}

SimulatedConsole::SimulatedConsole(KeyboardDlg& window, SimulatedKeyboard& keyboard, int input,
                                   std::ostream& output)
    : m_window(window), m_keyboard(keyboard), m_input(input), m_output(output)
{
    const auto started = std::chrono::steady_clock::now();
    window.onShownConnection = [this, started](int mode) {
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
        // The connection shown is the model in use's.
        const CString model = m_window.ModelSelection().Layout()->modelName;
        m_output << "[" << seconds << " s] " << Describe(model.empty() ? L"The keyboard" : model, mode)
                 << std::endl;
    };
    m_output << "Torvik, simulated keyboard. Type 0 (cable), 1 (2.4 GHz), 2 (Bluetooth), u (unplug) or q "
                "(quit), then Enter."
             << std::endl;
    if (::pipe2(m_stop, O_CLOEXEC) == 0)
        m_reader = std::thread([this] { Read(); });
}

SimulatedConsole::~SimulatedConsole()
{
    if (m_stop[1] >= 0)
        (void)!::write(m_stop[1], "x", 1);
    if (m_reader.joinable())
        m_reader.join();
    for (int fd : m_stop) {
        if (fd >= 0)
            ::close(fd);
    }
    m_window.onShownConnection = nullptr;
}

void SimulatedConsole::Read()
{
    // What the start showed comes first.
    Settle();
    std::string pending;
    while (true) {
        pollfd waits[2] = {{m_input, POLLIN, 0}, {m_stop[0], POLLIN, 0}};
        if (::poll(waits, 2, -1) < 0)
            continue;
        if (waits[1].revents)
            return;
        char buffer[256];
        const ssize_t got = ::read(m_input, buffer, sizeof buffer);
        if (got <= 0)
            return; // the end of the input: the window stays
        pending.append(buffer, static_cast<size_t>(got));
        for (size_t end; (end = pending.find('\n')) != std::string::npos;) {
            std::string line = pending.substr(0, end);
            pending.erase(0, end + 1);
            if (!line.empty() && line.back() == '\r')
                line.pop_back();
            Run(line);
            if (line == "q")
                return;
        }
    }
}

void SimulatedConsole::Run(const std::string& command)
{
    if (command == "q") {
        KeyboardDlg* window = &m_window;
        OnUiThread([window] { window->DestroyWindow(); });
        return;
    }
    if (command == "u")
        m_keyboard.DisconnectAll();
    else if (command == "0" || command == "1" || command == "2")
        SwitchConnection(m_keyboard, command[0] - '0');
    else
        return;
    Settle();
}

void SimulatedConsole::Settle()
{
    // The announcements reach the worker through the UI thread; the worker's view calls come back the
    // same way.
    const auto deadline = std::chrono::steady_clock::now() + kSettleLimit;
    OnUiThread([] {});
    DeviceWorker* worker = m_window.Worker();
    while (worker && !worker->QueuedTasks().empty() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    OnUiThread([] {});
}
