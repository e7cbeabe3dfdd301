// The X11 backend against a real X server (Xvfb in the test script): windows map, XTest input arrives
// as the library's messages, a modal dialog returns its result, two processes find each other's window
// by property, and what a window shows on the screen is what its paint manager drew.

// Xlib comes last: its macros (None, FocusIn, …) would break the headers before it.
#include <gtest/gtest.h>

#include "tests/ui/test_dialogs.h"
#include "ui/framework/window_system.h"

#include "tests/ui/x11/x11_fixture.h"

#include <X11/Xutil.h>
#include <X11/extensions/XTest.h>
#include <X11/keysym.h>
#include <chrono>
#include <cstdlib>
#include <functional>
#include <poll.h>
#include <set>
#include <signal.h>
#include <spawn.h>
#include <string>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace {

class KeyRecordingDialog : public RecordingDialog {
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == WM_KEYDOWN)
            calls.push_back("WM_KEYDOWN " + std::to_string(wParam));
        if (msg == WM_CHAR)
            calls.push_back("WM_CHAR " + std::to_string(wParam));
        return RecordingDialog::OnWindowMessage(msg, wParam, lParam);
    }
    bool Saw(const std::string& call) const
    {
        return std::find(calls.begin(), calls.end(), call) != calls.end();
    }
};

TEST_F(X11Test, AWindowMapsWithItsTitleAndGeometry)
{
    RecordingDialog dialog;
    const HWND hwnd = dialog.Create(nullptr, L"Torvik", WS_POPUP, 0, CRect(40, 40, 240, 190));
    ASSERT_TRUE(hwnd);
    EXPECT_FALSE(Viewable(hwnd));
    dialog.ShowWindow(SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(hwnd); }));
    XWindowAttributes attributes;
    XGetWindowAttributes(m_probe, Xid(hwnd), &attributes);
    EXPECT_EQ(attributes.width, 200);
    EXPECT_EQ(attributes.height, 150);
    char* name = nullptr;
    ASSERT_TRUE(XFetchName(m_probe, Xid(hwnd), &name));
    EXPECT_STREQ(name, "Torvik");
    XFree(name);

    dialog.ShowWindow(SW_HIDE);
    EXPECT_TRUE(PumpUntil([&] { return !Viewable(hwnd); }));
}

TEST_F(X11Test, XTestInputArrivesAsMessagesAtTheClientPoint)
{
    KeyRecordingDialog dialog;
    dialog.EnableWndDrag(0);
    const HWND hwnd = dialog.Create(nullptr, L"input", WS_POPUP, 0, CRect(100, 120, 420, 360));
    dialog.ShowWindow(SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(hwnd); }));
    XSync(m_probe, False);

    XTestFakeMotionEvent(m_probe, DefaultScreen(m_probe), 137, 141, CurrentTime);
    XTestFakeButtonEvent(m_probe, 1, True, CurrentTime);
    XTestFakeButtonEvent(m_probe, 1, False, CurrentTime);
    XFlush(m_probe);
    EXPECT_TRUE(PumpUntil([&] { return dialog.Saw("OnLButtonUp 0 37,21"); }));
    EXPECT_TRUE(dialog.Saw("OnLButtonDown 1 37,21"));

    const KeyCode a = XKeysymToKeycode(m_probe, XK_a);
    XTestFakeKeyEvent(m_probe, a, True, CurrentTime);
    XTestFakeKeyEvent(m_probe, a, False, CurrentTime);
    XFlush(m_probe);
    EXPECT_TRUE(PumpUntil([&] { return dialog.Saw("WM_CHAR 97"); }));
    EXPECT_TRUE(dialog.Saw("WM_KEYDOWN 65"));
}

TEST_F(X11Test, PressOnEmptyAreaDragsTheWindow)
{
    RecordingDialog dialog;
    const HWND hwnd = dialog.Create(nullptr, L"drag", WS_POPUP | WS_VISIBLE, 0, CRect(300, 600, 500, 700));
    ASSERT_TRUE(PumpUntil([&] { return Viewable(hwnd); }));
    XSync(m_probe, False);
    // One burst, as a quick flick delivers it: everything is queued before the press is handled.
    XTestFakeMotionEvent(m_probe, DefaultScreen(m_probe), 310, 610, CurrentTime);
    XTestFakeButtonEvent(m_probe, 1, True, CurrentTime);
    XTestFakeMotionEvent(m_probe, DefaultScreen(m_probe), 340, 620, CurrentTime);
    XTestFakeMotionEvent(m_probe, DefaultScreen(m_probe), 360, 630, CurrentTime);
    XTestFakeButtonEvent(m_probe, 1, False, CurrentTime);
    XFlush(m_probe);
    auto at = [&](int x, int y) {
        XWindowAttributes attributes;
        return XGetWindowAttributes(m_probe, Xid(hwnd), &attributes) && attributes.x == x &&
               attributes.y == y;
    };
    EXPECT_TRUE(PumpUntil([&] { return at(350, 620); }));
    CRect rect;
    dialog.GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(350, 620));
}

TEST_F(X11Test, ModalDialogReturnsItsResult)
{
    class YesOnClick : public RecordingDialog {
    public:
        int OnLButtonUp(unsigned, CPoint) override
        {
            DoYes();
            return 0;
        }
        int OnTimer(unsigned) override
        {
            DoCancel(); // the click never came
            return 0;
        }
    };
    YesOnClick dialog;
    dialog.EnableWndDrag(0);
    const HWND hwnd = dialog.Create(nullptr, L"modal", WS_POPUP, 0, CRect(600, 200, 800, 320));
    dialog.SetTimer(1, 8000);
    const Window xid = Xid(hwnd);
    std::thread clicker([xid] {
        Display* display = XOpenDisplay(nullptr);
        if (!display)
            return;
        const auto deadline = SteadyTime::now() + std::chrono::seconds(5);
        while (!Viewable(display, xid) && SteadyTime::now() < deadline)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        XTestFakeMotionEvent(display, DefaultScreen(display), 700, 260, CurrentTime);
        XTestFakeButtonEvent(display, 1, True, CurrentTime);
        XTestFakeButtonEvent(display, 1, False, CurrentTime);
        XCloseDisplay(display);
    });
    const unsigned result = dialog.ShowModal(SW_SHOW);
    clicker.join();
    EXPECT_EQ(result, 6u);
    EXPECT_FALSE(WindowSystem::IsWindow(hwnd));
}

TEST_F(X11Test, TwoProcessesFindEachOthersWindowByProperty)
{
    const std::string property = "KelvoPeer" + std::to_string(getpid());
    int out[2];
    ASSERT_EQ(pipe(out), 0);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, out[0]);
    std::string program = KELVO_X11_PEER;
    char* argv[] = {program.data(), const_cast<char*>(property.c_str()), nullptr};
    pid_t child = 0;
    ASSERT_EQ(posix_spawn(&child, program.c_str(), &actions, nullptr, argv, environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    close(out[1]);

    // "ready <window>" once the peer's window carries the property.
    std::string line;
    pollfd fd{out[0], POLLIN, 0};
    const auto deadline = SteadyTime::now() + std::chrono::seconds(5);
    while (line.find('\n') == std::string::npos && SteadyTime::now() < deadline) {
        char buffer[64];
        if (poll(&fd, 1, 100) > 0) {
            const ssize_t n = read(out[0], buffer, sizeof buffer);
            if (n <= 0)
                break;
            line.append(buffer, static_cast<size_t>(n));
        }
    }
    close(out[0]);
    ASSERT_EQ(line.rfind("ready ", 0), 0u) << line;
    const NativeWindow peerWindow = std::stoull(line.substr(6));

    EXPECT_EQ(WindowSystem::FindWindowWithProperty(Utf8ToWide(property)), peerWindow);
    EXPECT_EQ(WindowSystem::FindWindowWithProperty(Utf8ToWide(property + "-none")), 0u);
    EXPECT_TRUE(WindowSystem::RestoreWindowWithProperty(Utf8ToWide(property)));

    int status = 0;
    pid_t done = 0;
    while ((done = waitpid(child, &status, WNOHANG)) == 0 &&
           SteadyTime::now() < deadline + std::chrono::seconds(5))
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    if (done == 0) {
        kill(child, SIGKILL);
        waitpid(child, &status, 0);
        FAIL() << "the peer did not come back";
    }
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "0 restored, 3 never asked, 4 not restored";
}

TEST_F(X11Test, TheScreenShowsWhatThePaintManagerDrew)
{
    RecordingDialog dialog;
    const HWND hwnd = dialog.Create(nullptr, L"shot", WS_POPUP | WS_VISIBLE, 0, CRect(500, 500, 660, 620));
    const Window xid = Xid(hwnd);
    // Border 0x620044 and back 0x130D09 as COLORREF: red in the low byte.
    constexpr unsigned long kBorder = 0x440062;
    constexpr unsigned long kBack = 0x090D13;
    auto pixel = [&](int x, int y) -> unsigned long {
        XImage* image = XGetImage(m_probe, xid, x, y, 1, 1, AllPlanes, ZPixmap);
        if (!image)
            return ~0ul;
        const unsigned long value = XGetPixel(image, 0, 0) & 0xFFFFFF;
        XDestroyImage(image);
        return value;
    };
    ASSERT_TRUE(PumpUntil([&] { return Viewable(hwnd) && pixel(80, 60) == kBack; }));
    XImage* image = XGetImage(m_probe, xid, 0, 0, 160, 120, AllPlanes, ZPixmap);
    ASSERT_NE(image, nullptr);
    std::set<unsigned long> colours;
    for (int y = 0; y < 120; ++y) {
        for (int x = 0; x < 160; ++x)
            colours.insert(XGetPixel(image, x, y) & 0xFFFFFF);
    }
    EXPECT_EQ(XGetPixel(image, 0, 0) & 0xFFFFFF, kBorder);
    EXPECT_EQ(XGetPixel(image, 159, 119) & 0xFFFFFF, kBorder);
    EXPECT_EQ(XGetPixel(image, 1, 1) & 0xFFFFFF, kBack);
    EXPECT_EQ(colours, (std::set<unsigned long>{kBorder, kBack}));
    XDestroyImage(image);

    // Covered and uncovered again, the window still shows what it drew.
    XSetWindowAttributes attributes{};
    attributes.override_redirect = True;
    attributes.background_pixel = 0xFFFFFF;
    const Window cover =
        XCreateWindow(m_probe, DefaultRootWindow(m_probe), 520, 520, 100, 80, 0, CopyFromParent, InputOutput,
                      CopyFromParent, CWOverrideRedirect | CWBackPixel, &attributes);
    XMapRaised(m_probe, cover);
    XSync(m_probe, False);
    XDestroyWindow(m_probe, cover);
    XSync(m_probe, False);
    EXPECT_TRUE(PumpUntil([&] { return pixel(60, 50) == kBack; }));
}

} // namespace
