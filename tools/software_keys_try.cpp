// Tries the software keys on a real keyboard without the program: the key filter grabs the keyboard
// whose vendor interface is the given hidraw node, the virtual keyboard answers the assignments given on
// the command line, and after the given time (30 s unless told) everything is given back.
//
//   software_keys_try --hidraw /dev/hidraw3 57=41 58=mouse:1 59=shortcut:2 60=macro:72,73 61=off
//
// Keys and usages are the keyboard's key codes (HID usages: 57 Caps Lock, 41 Escape, 58 F1, ...).
// mouse:N is a mouse button (1 left, 2 middle, 3 right, 7, 8), shortcut:N a built-in shortcut (1-15),
// macro:VK,... a macro that presses and releases each virtual key in turn (72 H, 73 I), 20 ms apart.
// --install-rule offers the udev rules (through pkexec) when access is missing, from the build's
// installation folder.

#include <condition_variable>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "core/folders.h"
#include "macros/software_keys.h"
#include "platform/linux/evdev_key_filter.h"
#include "platform/linux/pkexec_rule_installer.h"
#include "platform/linux/process_command_runner.h"
#include "platform/linux/steady_monotonic_clock.h"
#include "platform/linux/uinput_virtual_hid_device.h"

namespace {

volatile std::sig_atomic_t g_stop = 0;

const char* StatusText(SoftwareKeyStatus status)
{
    switch (status) {
    case SoftwareKeyStatus::Active:
        return "active";
    case SoftwareKeyStatus::NoVirtualDevice:
        return "no access to /dev/uinput (install the udev rule, or load uinput)";
    case SoftwareKeyStatus::NoKeyboardAccess:
        return "no access to the keyboard's input nodes (install the udev rule)";
    case SoftwareKeyStatus::NoFilter:
        return "the key filter could not be opened";
    default:
        return "not started";
    }
}

bool AddAssignment(ProfileDatabase& db, const std::string& text)
{
    const size_t equals = text.find('=');
    if (equals == std::string::npos)
        return false;
    KeyAssignmentRow row;
    row.profile = 1;
    row.key_code = std::atoi(text.substr(0, equals).c_str());
    const std::string what = text.substr(equals + 1);
    auto after = [&](const char* prefix) { return what.substr(std::string(prefix).size()); };
    if (what == "off") {
        row.macro_type = 1;
        row.macro_value = 1;
    } else if (what.rfind("mouse:", 0) == 0) {
        row.macro_type = 5;
        row.macro_value = std::atoi(after("mouse:").c_str());
    } else if (what.rfind("shortcut:", 0) == 0) {
        row.macro_type = 7;
        row.macro_value = std::atoi(after("shortcut:").c_str());
    } else if (what.rfind("macro:", 0) == 0) {
        MacroRow macro;
        macro.name = L"Try";
        macro.play_times = 1;
        const int id = db.InsertMacro(macro);
        std::string keys = after("macro:");
        int index = 0;
        for (size_t start = 0; start < keys.size();) {
            size_t comma = keys.find(',', start);
            if (comma == std::string::npos)
                comma = keys.size();
            const int vk = std::atoi(keys.substr(start, comma - start).c_str());
            for (int type : {2, 3}) {
                MacroRecordRow record;
                record.macro_id = id;
                record.type = type;
                record.record_index = index++;
                record.value = vk;
                record.delay_time = 20;
                db.AddMacroRecord(record);
            }
            start = comma + 1;
        }
        row.macro_type = 3;
        row.macro_value = id;
    } else {
        row.macro_type = 2;
        row.macro_value = std::atoi(what.c_str());
    }
    return db.SaveKeyAssignment(row) != 0;
}

} // namespace

int main(int argc, char** argv)
{
    std::vector<std::string> interfaces;
    std::vector<std::string> assignments;
    int seconds = 30;
    bool installRule = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--hidraw" && i + 1 < argc)
            interfaces.push_back(argv[++i]);
        else if (arg == "--seconds" && i + 1 < argc)
            seconds = std::max(1, std::min(600, std::atoi(argv[++i])));
        else if (arg == "--install-rule")
            installRule = true;
        else
            assignments.push_back(arg);
    }
    if (interfaces.empty() || assignments.empty()) {
        std::fprintf(stderr, "usage: %s --hidraw /dev/hidrawN [--seconds N] [--install-rule] KEY=WHAT...\n",
                     argv[0]);
        return 2;
    }

    std::string folder = (std::filesystem::temp_directory_path() / "torvik-try-XXXXXX").string();
    if (!::mkdtemp(folder.data()))
        return 1;
    ProfileDatabase db;
    CreateFolderTree(Utf8ToWide(folder) + L"/db");
    if (!db.OpenForDevice(Utf8ToWide(folder) + L"/", L"Try"))
        return 1;
    for (const std::string& assignment : assignments) {
        if (!AddAssignment(db, assignment)) {
            std::fprintf(stderr, "cannot use the assignment %s\n", assignment.c_str());
            return 2;
        }
    }

    UinputVirtualHidDevice device;
    EvdevKeyFilter filter("Torvik try", [&] { return interfaces; });
    ProcessCommandRunner runner;
    PkexecRuleInstaller installer(TORVIK_INSTALL_DIR, runner);
    SoftwareKeys keys(
        {device, filter, db, SteadyMonotonicClock::Shared(), installRule ? &installer : nullptr},
        "Torvik try");

    // The worker's macro-play queue, reduced to one thread.
    std::mutex lock;
    std::condition_variable ready;
    std::deque<int> queue;
    bool done = false;
    keys.SetMacroQueue([&](int id) {
        std::lock_guard guard(lock);
        if (!queue.empty())
            return false;
        queue.push_back(id);
        ready.notify_one();
        return true;
    });
    std::thread worker([&] {
        std::unique_lock guard(lock);
        while (true) {
            ready.wait(guard, [&] { return done || !queue.empty(); });
            if (done)
                return;
            const int id = queue.front();
            guard.unlock();
            keys.PlayMacro(id);
            guard.lock();
            queue.pop_front();
        }
    });

    std::signal(SIGINT, [](int) { g_stop = 1; });
    std::signal(SIGTERM, [](int) { g_stop = 1; });
    const SoftwareKeyStatus started = keys.StartVirtualDevice([] {
        std::printf("Install the udev rule for the software keys (administrator password)? [y/N] ");
        std::fflush(stdout);
        const int answer = std::getchar();
        return answer == 'y' || answer == 'Y';
    });
    std::printf("virtual keyboard: %s\n", StatusText(started));
    keys.RefreshSoftwareKeys(1, 0);
    std::printf("software keys: %s\n", StatusText(keys.Status()));
    if (keys.Status() == SoftwareKeyStatus::NoKeyboardAccess && installRule &&
        keys.OfferDriverInstall([] { return true; }))
        std::printf("after installing the rule: %s\n", StatusText(keys.Status()));
    std::printf("for %d s (Ctrl+C ends sooner)\n", seconds);
    for (int tenth = 0; tenth < seconds * 10 && !g_stop; ++tenth)
        std::this_thread::sleep_for(std::chrono::milliseconds(100));

    keys.Exit();
    {
        std::lock_guard guard(lock);
        done = true;
        ready.notify_one();
    }
    worker.join();
    db.Close();
    std::error_code error;
    std::filesystem::remove_all(folder, error);
    return 0;
}
