#pragma once
// A shown dialog for the standard controls: controls made by class name, a skin folder of the test's
// own, notifications read back, and pointer and key input that does not turn into double clicks.

#include <linux/input-event-codes.h>
#include <string>
#include <vector>

#include "tests/support/scoped_folders.h"
#include "tests/ui/control_probe.h"
#include "tests/ui/skin_files.h"

class ControlsFixture : public ControlFixture {
protected:
    template <class T> T* Make(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title = L"")
    {
        auto* control = dynamic_cast<T*>(dialog.CreateControl(className, id, rect, title, 1, 1));
        EXPECT_NE(control, nullptr) << WideToUtf8(className);
        return control;
    }
    // The notifications heard since the last call, as "id:code:wParam:lParam".
    std::vector<std::string> Heard()
    {
        std::vector<std::string> out;
        out.swap(dialog.notifications);
        return out;
    }
    // A press and a release, far enough apart in time from the last ones not to be a double click.
    void Press(CPoint p)
    {
        Backend().GetVirtualClock().Advance(1000);
        Move(p);
        Backend().Press(hwnd, kButtonLeft, p);
        Run();
    }
    void Release(CPoint p)
    {
        Backend().Release(hwnd, kButtonLeft, p);
        Run();
    }
    void ClickAt(CPoint p)
    {
        Press(p);
        Release(p);
    }
    // A key with modifiers held (evdev codes).
    void KeyWith(unsigned evdev, std::initializer_list<unsigned> held = {})
    {
        WindowSystem::SetFocus(hwnd);
        for (unsigned k : held)
            Backend().KeyDown(hwnd, k);
        Key(evdev);
        for (unsigned k : held)
            Backend().KeyUp(hwnd, k);
        Run();
    }
    ARGB PixelAt(CPoint p) { return Shown().image.Pixel(p.x, p.y); }

    ScopedFolders folders;
};
