// A second process for the X11 tests: opens a hidden window carrying a property, reports its X window,
// and waits until another process asks it to come back. Exit codes: 0 restored, 2 bad arguments,
// 3 nobody asked in time, 4 asked but not restored, 77 no display.

#include <cstdio>
#include <string>

#include "core/wide_text.h"
#include "tests/support/leak_suppressions.h"
#include "ui/framework/m_dialog.h"
#include "ui/framework/manager.h"
#include "ui/framework/window_system.h"

namespace {

class PeerDialog : public MDialog {
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_SHOWWINDOW && wParam && waiting)
            WindowSystem::PostQuitMessage(0);
        return MDialog::OnWindowMessage(msg, wParam, lParam);
    }
    int OnTimer(unsigned) override
    {
        WindowSystem::PostQuitMessage(3);
        return 0;
    }
    bool waiting = false;
};

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
        return 2;
    if (!WindowSystem::Backend().IsAvailable())
        return 77;
    PeerDialog dialog;
    const HWND hwnd = dialog.Create(nullptr, L"peer", WS_POPUP, 0, CRect(300, 300, 400, 380));
    if (!hwnd)
        return 77;
    const CString property = Utf8ToWide(argv[1]);
    WindowSystem::SetPropW(hwnd, property.c_str(), 1);
    dialog.ShowWindow(SW_MINIMIZE);
    dialog.ShowWindow(SW_HIDE);
    dialog.SetTimer(1, 10000);
    dialog.waiting = true;
    std::printf("ready %llu\n", static_cast<unsigned long long>(WindowSystem::Instance().ToNative(hwnd)));
    std::fflush(stdout);
    const int code = Manager::MessageLoop();
    if (code != 0)
        return code;
    return dialog.IsWindowVisible() && !dialog.IsIconic() ? 0 : 4;
}
