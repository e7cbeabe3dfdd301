#pragma once
// A control that records what reaches it and draws itself as a solid colour through its cached
// surface, and a dialog that holds controls and runs messages the way the modal loop does.

#include <string>
#include <vector>

#include "tests/ui/headless_fixture.h"
#include "ui/framework/m_control_font.h"
#include "ui/framework/m_dialog.h"

class ProbeControl : public MControlFont {
public:
    ProbeControl(MObject* parent, unsigned id, CRect rect, int visible = 1, int enabled = 1,
                 ARGB colour = 0xFF00FF00)
        : MControlFont(parent, id, rect, L"", visible, enabled, 1), colour(colour)
    {
    }

    void DrawControl(HDC& hdc, CRect clip) override
    {
        if (UpdateMemDC(hdc, m_rect.Width(), m_rect.Height())) {
            ++redraws;
            m_memDC.Fill(m_memDC.Bounds(), colour);
        }
        CopyMemDC(hdc, clip);
    }
    int OnControlMouseMove(unsigned, CPoint p) override { return Log("move", p); }
    int OnControlLButtonDown(unsigned, CPoint p) override { return Log("ldown", p); }
    int OnControlLButtonUp(unsigned, CPoint p) override { return Log("lup", p); }
    int OnControlLButtonDblClk(unsigned, CPoint p) override { return Log("ldbl", p); }
    int OnControlRButtonDown(unsigned, CPoint p) override { return Log("rdown", p); }
    int OnControlRButtonUp(unsigned, CPoint p) override { return Log("rup", p); }
    int OnControlScroll(int, unsigned down, CPoint) override
    {
        events.push_back(down ? "wheel down" : "wheel up");
        return takesWheel;
    }
    int OnControlKeyDown(unsigned key, unsigned, unsigned modifiers) override
    {
        events.push_back("key " + std::to_string(key) + " " + std::to_string(modifiers));
        return takesKeys;
    }
    int OnControlTimer(unsigned key) override
    {
        events.push_back("timer " + std::to_string(key));
        return 1;
    }
    void SetControlFocus(int focus) override
    {
        MControlFont::SetControlFocus(focus);
        events.push_back(focus ? "focus" : "blur");
    }

    // Events without the point of moves (moves are many).
    std::vector<std::string> Take()
    {
        std::vector<std::string> out;
        out.swap(events);
        return out;
    }
    int CountOf(const std::string& name) const
    {
        int n = 0;
        for (const std::string& e : events)
            n += e.rfind(name, 0) == 0 ? 1 : 0;
        return n;
    }

    ARGB colour;
    int redraws = 0;
    int takesWheel = 0;
    int takesKeys = 0;
    std::vector<std::string> events;

private:
    int Log(const char* what, CPoint p)
    {
        events.push_back(std::string(what) + " " + std::to_string(p.x) + "," + std::to_string(p.y));
        return 1;
    }
};

// A dialog whose controls report into a log of notifications.
class ControlDialog : public MDialog {
public:
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override
    {
        notifications.push_back(std::to_string(id) + ":" + std::to_string(code) + ":" +
                                std::to_string(wParam) + ":" + std::to_string(lParam));
        if (onMessage)
            onMessage(id, code);
        return 0;
    }

    template <class T, class... Args> T* Add(Args&&... args)
    {
        return static_cast<T*>(
            m_paintManager.AddControl(std::make_unique<T>(this, std::forward<Args>(args)...)));
    }
    template <class T, class... Args> T* AddArea(Args&&... args)
    {
        return static_cast<T*>(
            m_paintManager.AddArea(std::make_unique<T>(this, std::forward<Args>(args)...)));
    }

    std::vector<std::string> notifications;
    std::function<void(unsigned, unsigned)> onMessage;
};

// A shown dialog on a fresh headless window system, and a loop like the modal one.
class ControlFixture : public HeadlessFixture {
protected:
    ControlFixture()
    {
        hwnd = dialog.Create(nullptr, L"controls", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 500, 400));
        Run();
    }
    ~ControlFixture() override { dialog.DestroyWindow(); }

    // Dispatches what waits, giving the dialog its pre-translation first.
    void Run()
    {
        MSG msg;
        while (WindowSystem::PeekMessageW(&msg, PM_REMOVE)) {
            if (msg.message == WM_QUIT)
                break;
            if (!dialog.PreTranslateMessage(&msg)) {
                WindowSystem::TranslateMessage(&msg);
                WindowSystem::DispatchMessageW(&msg);
            }
        }
    }
    void Move(CPoint p)
    {
        Backend().MoveMouse(hwnd, p);
        Run();
    }
    void Click(CPoint p, int button = kButtonLeft)
    {
        Backend().MoveMouse(hwnd, p);
        Backend().Click(hwnd, p, button);
        Run();
    }
    void Key(unsigned evdev)
    {
        Backend().KeyDown(hwnd, evdev);
        Backend().KeyUp(hwnd, evdev);
        Run();
    }
    PaintManager& Manager() { return dialog.GetPaintManager(); }
    const HeadlessWindow& Shown() const { return *const_cast<ControlFixture*>(this)->Backend().Window(hwnd); }

    ControlDialog dialog;
    HWND hwnd = nullptr;
};
