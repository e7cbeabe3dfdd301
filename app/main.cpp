#include <iostream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/simulated_console.h"
#include "app/software_data.h"
#include "app/startup_device_name.h"
#include "core/folders.h"
#include "core/native_path.h"

namespace {

int PrintVersion()
{
    const CString configPath = ApplicationFolderWithSeparator() + L"config.xml";
    const CString version = LoadSoftwareData(configPath).version;
    if (version.empty()) {
        std::cerr << "Torvik: no software version in " << NativePath(configPath) << "\n";
        return 1;
    }
    std::cout << WideToUtf8(version) << "\n";
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    ApplyStartupDeviceName();
    const CommandLine commandLine = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    switch (commandLine.action) {
    case CommandLine::Action::Help:
        std::cout << UsageText();
        return 0;
    case CommandLine::Action::Version:
        return PrintVersion();
    case CommandLine::Action::Simulate:
        return RunSimulatedConsole(std::cin, std::cout);
    case CommandLine::Action::Error:
        std::cerr << "Torvik: " << commandLine.error << "\nTry 'Torvik --help' for more information.\n";
        return 2;
    case CommandLine::Action::Run:
        break;
    }
    // FIXME: the main window does not exist yet; until it does, a plain start prints the version.
    std::cerr << "Torvik: the main window is not built yet; printing the version instead.\n";
    return PrintVersion();
}
