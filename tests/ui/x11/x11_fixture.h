#pragma once
// A test on the real X11 backend (Xvfb in the test script) with a second connection to look at what the
// server holds. Include it after every other header of the library: Xlib's macros (None, FocusIn, …)
// would break them.

#include <chrono>
#include <cstdlib>
#include <functional>
#include <gtest/gtest.h>
#include <thread>

#include "ui/framework/backend/headless/headless_backend.h"
#include "ui/framework/backend/x11/x11_backend.h"
#include "ui/framework/window_system.h"

#include <X11/Xlib.h>

class X11Test : public ::testing::Test {
protected:
    using SteadyTime = std::chrono::steady_clock;

    void SetUp() override
    {
        WindowSystem::Install(CreateX11Backend());
        // tools/test.sh provides a display: not reaching it is a failure, never a skip.
        const char* display = std::getenv("DISPLAY");
        ASSERT_TRUE(WindowSystem::Backend().IsAvailable())
            << "cannot open the X display \"" << (display ? display : "") << "\"";
        m_probe = XOpenDisplay(nullptr);
        ASSERT_NE(m_probe, nullptr);
    }

    void TearDown() override
    {
        if (m_probe)
            XCloseDisplay(m_probe);
        // Closes this test's X connection and windows.
        WindowSystem::Install(std::make_unique<HeadlessBackend>());
    }

    static Window Xid(HWND hwnd) { return static_cast<Window>(WindowSystem::Instance().ToNative(hwnd)); }

    // Runs the message loop until done() holds or the time-out passes.
    static bool PumpUntil(const std::function<bool()>& done, int timeoutMs = 5000)
    {
        const auto deadline = SteadyTime::now() + std::chrono::milliseconds(timeoutMs);
        while (SteadyTime::now() < deadline) {
            MSG msg;
            while (WindowSystem::PeekMessageW(&msg, PM_REMOVE)) {
                WindowSystem::TranslateMessage(&msg);
                WindowSystem::DispatchMessageW(&msg);
            }
            if (done())
                return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        return false;
    }

    static bool Viewable(Display* display, Window window)
    {
        XWindowAttributes attributes;
        return XGetWindowAttributes(display, window, &attributes) && attributes.map_state == IsViewable;
    }

    bool Viewable(HWND hwnd) const { return Viewable(m_probe, Xid(hwnd)); }

    Display* m_probe = nullptr;
};
