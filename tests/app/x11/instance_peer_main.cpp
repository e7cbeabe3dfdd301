// The program's entry with two test-only additions around it, for the tests that run several copies:
// with TORVIK_PEER_HIDDEN=1 the main window hides itself once shown (as it sits in the tray), and
// TORVIK_PEER_READY names a file written once the window is shown (or hidden).

#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/program_entry.h"
#include "tests/support/leak_suppressions.h"
#include "ui/framework/manager.h"
#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

int main(int argc, char** argv)
{
    const char* ready = std::getenv("TORVIK_PEER_READY");
    const char* hidden = std::getenv("TORVIK_PEER_HIDDEN");
    const std::string readyFile = ready ? ready : "";
    const bool hide = hidden && std::string(hidden) == "1";
    // Runs from inside the main window's loop, once it has been shown.
    WindowSystem::Instance();
    WindowSystem::PostClosure([readyFile, hide] {
        for (const HWND hwnd : WindowSystem::Windows()) {
            if (hide && WindowSystem::GetPropW(hwnd, Manager::GetDeviceName().c_str()) == 1)
                WindowSystem::ShowWindow(hwnd, SW_HIDE);
        }
        if (!readyFile.empty())
            std::ofstream(readyFile) << "ready\n";
    });
    return RunProgram(CommandName(argc > 0 ? argv[0] : nullptr),
                      std::vector<std::string>(argv + 1, argv + argc));
}
