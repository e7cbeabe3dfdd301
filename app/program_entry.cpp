#include "app/program_entry.h"

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <unistd.h>

#include "app/command_line.h"
#include "app/keyboard_dlg.h"
#include "app/language_text.h"
#include "app/program_services.h"
#include "app/simulated_console.h"
#include "app/simulated_keyboard_run.h"
#include "app/software_data.h"
#include "app/startup_device_name.h"
#include "core/folders.h"
#include "core/native_path.h"
#include "device/device_description.h"
#include "platform/linux/flock_instance_lock.h"
#include "sim/keyboard_simulator.h"
#include "ui/framework/backend/headless/headless_backend.h"
#include "ui/framework/manager.h"
#include "ui/framework/resource_module.h"
#include "ui/framework/skin_folder.h"
#include "ui/framework/window_system.h"

namespace {

constexpr unsigned kProgramIconResource = 107;

std::string ReadWholeFile(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

int PrintVersion(const std::string& command)
{
    const CString configPath = ApplicationFolderWithSeparator() + L"config.xml";
    const CString version = LoadSoftwareData(configPath).version;
    if (version.empty()) {
        std::cerr << command << ": no software version in " << NativePath(configPath) << "\n";
        return 1;
    }
    std::cout << WideToUtf8(version) << "\n";
    return 0;
}

// The program's own resources: the window icon is the installation's program icon.
HINSTANCE ProgramResources()
{
    static const std::string icon = ReadWholeFile(NativePath(SkinFilePath(L"Torvik.ico")));
    static const ResourceModule module(
        {{kProgramIconResource, L"ICO", {reinterpret_cast<const uint8_t*>(icon.data()), icon.size()}}});
    return module.Instance();
}

} // namespace

int RunProgram(const std::string& command, const std::vector<std::string>& arguments)
{
    // Typed text reaches the input method in the user's encoding.
    std::setlocale(LC_ALL, "");
    ApplyStartupDeviceName();
    const CommandLine commandLine = ParseCommandLine(arguments);
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        std::cout << UsageText(command);
        return 0;
    case CommandLine::Action::Version:
        return PrintVersion(command);
    case CommandLine::Action::Error:
        std::cerr << command << ": " << commandLine.error << "\nTry '" << command
                  << " --help' for more information.\n";
        return 2;
    case CommandLine::Action::Run:
        break;
    }

    // A screenshot needs no screen: without a display the window is drawn off-screen.
    const char* display = std::getenv("DISPLAY");
    if (!commandLine.screenshot.empty() && (!display || !*display))
        WindowSystem::Install(std::make_unique<HeadlessBackend>());

    const CString deviceName = Manager::GetDeviceName();
    const CString appFolder = ApplicationFolderWithSeparator();
    const CString dataFolder = DataFolder(deviceName);

    FlockInstanceLock instance(FlockInstanceLock::DefaultFolder(dataFolder));
    if (instance.Acquire(deviceName) == InstanceLockResult::HeldByAnother) {
        // The running copy may still be starting and have no window yet; this start ends either way.
        if (WindowSystem::Backend().IsAvailable())
            WindowSystem::RestoreWindowWithProperty(deviceName);
        std::cerr << command << ": already running; its window was brought to the front.\n";
        return 0;
    }

    SetLanguageId(kLanguageEnglish);
    Manager::SetInstance(ProgramResources());
    CreateFolderTree(dataFolder + L"db");

    KeyboardSimulator* simulator = nullptr;
    if (commandLine.simulate) {
        const DeviceDescription description = LoadDeviceDescription(appFolder + L"config.xml");
        const std::optional<int> deviceType = SimulatedDeviceType(description, commandLine.simulateModel);
        if (!deviceType) {
            std::cerr << command << ": no keyboard model '" << commandLine.simulateModel << "' in "
                      << NativePath(appFolder + L"config.xml") << "\n";
            return 2;
        }
        std::string error;
        simulator = StartSimulatedKeyboard(description, *deviceType, commandLine.simulateLog, error);
        if (!simulator) {
            std::cerr << command << ": " << error << "\n";
            return 1;
        }
    }

    if (!WindowSystem::Backend().IsAvailable()) {
        std::cerr << command << ": no display to open the window on (is DISPLAY set?)\n";
        return 1;
    }

    ProgramPlatform platform(appFolder, dataFolder, simulator);
    // A screenshot run asks nothing of anybody, and puts nothing in the desktop's tray.
    platform.Services().mayAskToInstall = commandLine.screenshot.empty();
    if (!commandLine.screenshot.empty())
        platform.Services().tray = nullptr;
    KeyboardDlg window(platform.Services());
    if (!window.CreateMainWindow()) {
        std::cerr << command << ": the main window could not be created\n";
        return 1;
    }
    // A simulated run's terminal switches the keyboard and prints what the window shows.
    std::unique_ptr<SimulatedConsole> console;
    if (simulator && simulator->KeyboardCount() > 0 && commandLine.screenshot.empty())
        console = std::make_unique<SimulatedConsole>(window, simulator->Keyboard(0), STDIN_FILENO, std::cout);
    int status = 0;
    if (!commandLine.screenshot.empty()) {
        const std::string path = commandLine.screenshot;
        window.RequestScreenshot(path, [&status, &command, path](bool written) {
            if (written) {
                std::cout << path << "\n";
            } else {
                std::cerr << command << ": the screenshot could not be written to " << path << "\n";
                status = 1;
            }
        });
    }
    window.ShowModal(SW_SHOW);
    return status;
}
