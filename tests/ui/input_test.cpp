// Native input turned into window messages on the headless backend: mouse buttons and points, double
// clicks, wheel, hover and leave, capture, disabled windows, caption drags, keys and characters, and the
// Alt+F4 rules.

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>

#include "tests/ui/headless_fixture.h"
#include "ui/framework/manager.h"

namespace {

class InputTest : public HeadlessFixture {
protected:
    InputTest()
    {
        window = log.Create({100, 50, 400, 250});
        WindowSystem::ShowWindow(window, SW_SHOW);
        Pump();
        log.Clear();
    }

    // Dispatches the queue as the library's loops do, translating key messages into characters.
    void Run() { Pump(); }

    std::vector<UINT> MouseMessages(HWND only = nullptr) const
    {
        std::vector<UINT> out;
        for (const LoggedMessage& m : log.All()) {
            if (m.msg >= WM_MOUSEMOVE && m.msg <= WM_MOUSEHWHEEL && (!only || m.hwnd == only))
                out.push_back(m.msg);
        }
        return out;
    }

    MessageLog log;
    HWND window = nullptr;
};

TEST_F(InputTest, ButtonsArriveAtTheirClientPointWithKeyFlags)
{
    Backend().Press(window, kButtonLeft, {37, 21});
    Backend().Release(window, kButtonLeft, {38, 22});
    Backend().Click(window, {5, 6}, kButtonRight);
    Backend().Click(window, {-3, 7}, kButtonMiddle);
    Run();
    const std::vector<UINT> expected = {WM_LBUTTONDOWN, WM_LBUTTONUP,   WM_RBUTTONDOWN,
                                        WM_RBUTTONUP,   WM_MBUTTONDOWN, WM_MBUTTONUP};
    EXPECT_EQ(MouseMessages(), expected);
    const LoggedMessage down = log.Of(WM_LBUTTONDOWN)[0];
    EXPECT_EQ(GET_X_LPARAM(down.lParam), 37);
    EXPECT_EQ(GET_Y_LPARAM(down.lParam), 21);
    EXPECT_EQ(down.wParam, MK_LBUTTON);
    EXPECT_EQ(log.Of(WM_LBUTTONUP)[0].wParam, 0u);
    EXPECT_EQ(log.Of(WM_MBUTTONDOWN)[0].lParam, MAKELPARAM(-3, 7));

    Backend().KeyDown(window, KEY_LEFTCTRL);
    Backend().Press(window, kButtonRight, {1, 1});
    Run();
    EXPECT_EQ(log.Of(WM_RBUTTONDOWN).back().wParam, MK_RBUTTON | MK_CONTROL);
}

TEST_F(InputTest, DoubleClicksNeedTheSameButtonSoonAndNearby)
{
    struct Case {
        const char* name;
        int64_t delayMs;
        CPoint second;
        int secondButton;
        bool isDouble;
    };
    const Case cases[] = {
        {"quick, same spot", 100, {50, 50}, kButtonLeft, true},
        {"at the time limit", 500, {50, 50}, kButtonLeft, true},
        {"too late", 501, {50, 50}, kButtonLeft, false},
        {"within the box", 100, {52, 48}, kButtonLeft, true},
        {"outside the box", 100, {53, 50}, kButtonLeft, false},
        {"other button", 100, {50, 50}, kButtonRight, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Backend().GetVirtualClock().Advance(5000); // forget the previous case
        Backend().Click(window, {50, 50});
        Backend().GetVirtualClock().Advance(c.delayMs);
        Backend().Click(window, c.second, c.secondButton);
        log.Clear();
        Run();
        const UINT expected =
            c.secondButton == kButtonLeft ? (c.isDouble ? WM_LBUTTONDBLCLK : WM_LBUTTONDOWN) : WM_RBUTTONDOWN;
        EXPECT_EQ(MouseMessages().at(2), expected);
    }

    // A third quick click starts afresh.
    Backend().GetVirtualClock().Advance(5000);
    log.Clear();
    for (int i = 0; i < 3; ++i)
        Backend().Click(window, {10, 10});
    Run();
    EXPECT_EQ(MouseMessages(), (std::vector<UINT>{WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK,
                                                  WM_LBUTTONUP, WM_LBUTTONDOWN, WM_LBUTTONUP}));
}

TEST_F(InputTest, WheelStepsCarry120AndTheScreenPoint)
{
    Backend().Wheel(window, kButtonWheelDown, {10, 20});
    Backend().Wheel(window, kButtonWheelUp, {10, 20});
    Backend().Wheel(window, kButtonWheelRight, {10, 20});
    Run();
    const auto wheel = log.Of(WM_MOUSEWHEEL);
    ASSERT_EQ(wheel.size(), 2u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), -WHEEL_DELTA);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[1].wParam), WHEEL_DELTA);
    EXPECT_EQ(wheel[0].lParam, MAKELPARAM(110, 70));
    ASSERT_EQ(log.Of(WM_MOUSEHWHEEL).size(), 1u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(log.Of(WM_MOUSEHWHEEL)[0].wParam), WHEEL_DELTA);
}

TEST_F(InputTest, HoverAfterRestingAndLeaveOnce)
{
    Backend().MoveMouse(window, {30, 30});
    Run();
    TRACKMOUSEEVENT tme;
    tme.dwFlags = TME_HOVER | TME_LEAVE;
    tme.hwndTrack = window;
    tme.dwHoverTime = HOVER_DEFAULT;
    ASSERT_TRUE(WindowSystem::TrackMouseEvent(&tme));

    Backend().RunFor(300);
    Backend().MoveMouse(window, {31, 29}); // small moves keep the timer running
    Backend().RunFor(99);
    EXPECT_TRUE(log.Of(WM_MOUSEHOVER).empty());
    Backend().RunFor(1);
    ASSERT_EQ(log.Of(WM_MOUSEHOVER).size(), 1u);
    EXPECT_EQ(log.Of(WM_MOUSEHOVER)[0].lParam, MAKELPARAM(31, 29));
    Backend().RunFor(1000);
    EXPECT_EQ(log.Of(WM_MOUSEHOVER).size(), 1u) << "hover tracking ends with its message";

    // A larger move restarts the wait.
    WindowSystem::TrackMouseEvent(&tme);
    Backend().RunFor(300);
    Backend().MoveMouse(window, {40, 30});
    Backend().RunFor(300);
    EXPECT_EQ(log.Of(WM_MOUSEHOVER).size(), 1u);
    Backend().RunFor(100);
    EXPECT_EQ(log.Of(WM_MOUSEHOVER).size(), 2u);

    Backend().LeaveWindow(window);
    Backend().LeaveWindow(window);
    Run();
    EXPECT_EQ(log.Of(WM_MOUSELEAVE).size(), 1u);

    // Asking while the pointer is elsewhere answers at once.
    log.Clear();
    tme.dwFlags = TME_LEAVE;
    WindowSystem::TrackMouseEvent(&tme);
    Run();
    EXPECT_EQ(log.Of(WM_MOUSELEAVE).size(), 1u);
}

TEST_F(InputTest, CaptureTakesThePointerFromOtherWindows)
{
    const HWND other = log.Create({600, 50, 700, 150}, WS_POPUP | WS_VISIBLE);
    Run();
    WindowSystem::SetCapture(window);
    EXPECT_EQ(Backend().GrabNative(), WindowSystem::Instance().ToNative(window));
    log.Clear();
    Backend().MoveMouse(other, {10, 10});
    Backend().Click(other, {10, 10});
    Run();
    EXPECT_TRUE(MouseMessages(other).empty());
    const auto moves = log.Of(WM_MOUSEMOVE, window);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].lParam, MAKELPARAM(510, 10)); // relative to the capturing window
    EXPECT_EQ(log.Of(WM_LBUTTONDOWN, window).size(), 1u);

    EXPECT_TRUE(WindowSystem::ReleaseCapture());
    EXPECT_EQ(log.Of(WM_CAPTURECHANGED, window).size(), 1u);
    EXPECT_EQ(WindowSystem::GetCapture(), nullptr);
    Backend().Click(other, {10, 10});
    Run();
    EXPECT_EQ(log.Of(WM_LBUTTONDOWN, other).size(), 1u);
}

TEST_F(InputTest, DisabledWindowsGetNoInput)
{
    WindowSystem::EnableWindow(window, FALSE);
    EXPECT_FALSE(WindowSystem::IsWindowEnabled(window));
    log.Clear();
    Backend().MoveMouse(window, {5, 5});
    Backend().Click(window, {5, 5});
    Backend().KeyDown(window, KEY_A, "a");
    Run();
    EXPECT_TRUE(log.Messages(window).empty());
    WindowSystem::EnableWindow(window, TRUE);
    Backend().Click(window, {5, 5});
    Run();
    EXPECT_EQ(log.Of(WM_LBUTTONDOWN).size(), 1u);
}

TEST_F(InputTest, CaptionDragMovesTheWindowWithThePointer)
{
    log.Answer = [](const LoggedMessage& m) -> std::optional<LRESULT> {
        if (m.msg == WM_LBUTTONDOWN)
            WindowSystem::SendMessageW(m.hwnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTCAPTION), m.lParam);
        return std::nullopt;
    };
    Backend().Press(window, kButtonLeft, {10, 10});
    log.Clear();
    // Press, motion and release are all queued before the drag sees any of them, as with a fast flick.
    Backend().MoveMouse(window, {40, 30}); // screen (140, 80): 30 right and 20 down of the press
    Backend().Release(window, kButtonLeft, {40, 30});
    Run();
    CRect rect;
    WindowSystem::GetWindowRect(window, &rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(130, 70));
    EXPECT_EQ(Backend().Window(window)->rect.TopLeft(), CPoint(130, 70));
    EXPECT_EQ(MouseMessages(), std::vector<UINT>{WM_LBUTTONDOWN}) << "the drag consumes the pointer";
    EXPECT_EQ(Backend().GrabNative(), 0u);

    // After the drag the pointer reaches the window again.
    Backend().MoveMouse(window, {5, 5});
    Run();
    EXPECT_EQ(log.Of(WM_MOUSEMOVE).size(), 1u);
}

struct KeyCase {
    const char* name;
    std::vector<unsigned> held; // keys pressed first (evdev)
    unsigned evdev;
    std::string text;
    UINT message;
    WPARAM vk;
    unsigned scan;
    bool extended;
    bool altBit;
    std::u32string chars;
};

TEST_F(InputTest, KeysBecomeVirtualKeyMessagesAndCharacters)
{
    const KeyCase cases[] = {
        {"letter", {}, KEY_A, "a", WM_KEYDOWN, 'A', 0x1E, false, false, U"a"},
        {"shifted letter", {KEY_LEFTSHIFT}, KEY_A, "A", WM_KEYDOWN, 'A', 0x1E, false, false, U"A"},
        {"non-Latin text", {}, KEY_Q, "\xD0\xB9", WM_KEYDOWN, 'Q', 0x10, false, false, U"\u0439"},
        {"keypad Enter", {}, KEY_KPENTER, "\r", WM_KEYDOWN, VK_RETURN, 0x1C, true, false, U"\r"},
        {"right Ctrl", {}, KEY_RIGHTCTRL, "", WM_KEYDOWN, VK_CONTROL, 0x1D, true, false, U""},
        {"left Shift", {}, KEY_LEFTSHIFT, "", WM_KEYDOWN, VK_SHIFT, 0x2A, false, false, U""},
        {"Alt alone", {}, KEY_LEFTALT, "", WM_SYSKEYDOWN, VK_MENU, 0x38, false, true, U""},
        {"Alt+F", {KEY_LEFTALT}, KEY_F, "f", WM_SYSKEYDOWN, 'F', 0x21, false, true, U"f"},
        {"AltGr is Ctrl+Alt",
         {KEY_LEFTCTRL, KEY_RIGHTALT},
         KEY_E,
         "\xE2\x82\xAC",
         WM_KEYDOWN,
         'E',
         0x12,
         false,
         true,
         U"\u20AC"},
        {"F10", {}, KEY_F10, "", WM_SYSKEYDOWN, VK_F10, 0x44, false, false, U""},
        {"Delete types nothing", {}, KEY_DELETE, "\x7F", WM_KEYDOWN, VK_DELETE, 0x53, true, false, U""},
        {"media key", {}, KEY_VOLUMEUP, "", WM_KEYDOWN, VK_VOLUME_UP, 0x30, true, false, U""},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(c.name);
        for (unsigned k : c.held)
            Backend().KeyDown(window, k);
        Run();
        log.Clear();
        Backend().KeyDown(window, c.evdev, c.text);
        Run();
        std::vector<LoggedMessage> keys;
        std::u32string chars;
        for (const LoggedMessage& m : log.All()) {
            if (m.msg == WM_KEYDOWN || m.msg == WM_SYSKEYDOWN)
                keys.push_back(m);
            if (m.msg == WM_CHAR || m.msg == WM_SYSCHAR) {
                chars += static_cast<char32_t>(m.wParam);
                EXPECT_EQ(m.msg, c.message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR);
            }
        }
        ASSERT_EQ(keys.size(), 1u);
        EXPECT_EQ(keys[0].msg, c.message);
        EXPECT_EQ(keys[0].wParam, c.vk);
        EXPECT_EQ((keys[0].lParam >> 16) & 0xFF, static_cast<LPARAM>(c.scan));
        EXPECT_EQ((keys[0].lParam & KF_EXTENDED_BIT) != 0, c.extended);
        EXPECT_EQ((keys[0].lParam & KF_ALTDOWN_BIT) != 0, c.altBit);
        EXPECT_EQ(keys[0].lParam & (KF_REPEAT_BIT | KF_UP_BIT), 0);
        EXPECT_EQ(keys[0].lParam & 0xFFFF, 1);
        EXPECT_EQ(chars, c.chars);
        Backend().KeyUp(window, c.evdev);
        for (unsigned k : c.held)
            Backend().KeyUp(window, k);
        Run();
    }
}

TEST_F(InputTest, RepeatAndReleaseBitsAndKeyState)
{
    Backend().KeyDown(window, KEY_B, "b");
    EXPECT_TRUE(WindowSystem::GetKeyState('B') & 0x8000);
    Backend().KeyDown(window, KEY_B, "b");
    Backend().KeyUp(window, KEY_B);
    Run();
    const auto downs = log.Of(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].lParam & KF_REPEAT_BIT, 0);
    EXPECT_NE(downs[1].lParam & KF_REPEAT_BIT, 0);
    ASSERT_EQ(log.Of(WM_KEYUP).size(), 1u);
    EXPECT_EQ(log.Of(WM_KEYUP)[0].lParam & (KF_REPEAT_BIT | KF_UP_BIT), KF_REPEAT_BIT | KF_UP_BIT);
    EXPECT_EQ(WindowSystem::GetKeyState('B') & 0x8000, 0);

    // Shift stays down while either side is held.
    Backend().KeyDown(window, KEY_LEFTSHIFT);
    Backend().KeyDown(window, KEY_RIGHTSHIFT);
    Backend().KeyUp(window, KEY_LEFTSHIFT);
    EXPECT_TRUE(WindowSystem::GetKeyState(VK_SHIFT) & 0x8000);
    EXPECT_TRUE(WindowSystem::GetKeyState(VK_RSHIFT) & 0x8000);
    EXPECT_FALSE(WindowSystem::GetKeyState(VK_LSHIFT) & 0x8000);
    Backend().KeyUp(window, KEY_RIGHTSHIFT);
    EXPECT_FALSE(WindowSystem::GetKeyState(VK_SHIFT) & 0x8000);

    // Keys released while another window had the focus are not left down.
    Backend().KeyDown(window, KEY_C);
    Backend().FocusOut(window);
    EXPECT_FALSE(WindowSystem::GetKeyState('C') & 0x8000);
    EXPECT_EQ(WindowSystem::GetActiveWindow(), nullptr);
    Backend().FocusIn(window);
    EXPECT_EQ(WindowSystem::GetActiveWindow(), window);
}

TEST_F(InputTest, KeypadDigitsNavigateWithNumLockOff)
{
    Backend().SetNumLock(false);
    Backend().KeyDown(window, KEY_KP7);
    Backend().SetNumLock(true);
    Backend().KeyDown(window, KEY_KP8, "8");
    Run();
    const auto downs = log.Of(WM_KEYDOWN);
    ASSERT_EQ(downs.size(), 2u);
    EXPECT_EQ(downs[0].wParam, VK_HOME);
    EXPECT_EQ(downs[0].lParam & KF_EXTENDED_BIT, 0);
    EXPECT_EQ(downs[1].wParam, VK_NUMPAD0 + 8u);
}

TEST_F(InputTest, AltF4ClosesAWindowUnlessTheLibraryLoopDropsIt)
{
    // The library's loop drops everything while Alt and F4 are held, so the window survives.
    Backend().KeyDown(window, KEY_LEFTALT);
    Backend().KeyDown(window, KEY_F4);
    WindowSystem::PostMessageW(window, WM_USER + 1, 0, 0);
    WindowSystem::PostQuitMessage(0);
    EXPECT_EQ(Manager::PreTranslateMessage(nullptr), 1);
    EXPECT_EQ(Manager::MessageLoop(), 0);
    EXPECT_TRUE(WindowSystem::IsWindow(window));
    EXPECT_TRUE(log.Of(WM_USER + 1).empty());
    EXPECT_TRUE(log.Of(WM_SYSKEYDOWN).empty());

    Backend().KeyUp(window, KEY_F4);
    Backend().KeyUp(window, KEY_LEFTALT);
    EXPECT_EQ(Manager::PreTranslateMessage(nullptr), 0);
    WindowSystem::PostMessageW(window, WM_USER + 2, 0, 0);
    WindowSystem::PostQuitMessage(3);
    EXPECT_EQ(Manager::MessageLoop(), 3);
    EXPECT_EQ(log.Of(WM_USER + 2).size(), 1u);

    // Any other loop lets the default procedure close the window.
    Backend().KeyDown(window, KEY_LEFTALT);
    Backend().KeyDown(window, KEY_F4);
    Run();
    EXPECT_FALSE(WindowSystem::IsWindow(window));
}

TEST_F(InputTest, WindowManagerCloseRequestPostsClose)
{
    Backend().CloseRequest(window);
    Run();
    EXPECT_EQ(log.Of(WM_CLOSE).size(), 1u);
    EXPECT_FALSE(WindowSystem::IsWindow(window));
}

} // namespace
