// The window system on the headless backend: window life cycle, style words, show states, painting and
// presentation, properties, window timers, and the queue across threads.

#include <cairo.h>
#include <gtest/gtest.h>
#include <thread>

#include "tests/support/scoped_folders.h"
#include "tests/ui/headless_fixture.h"
#include "ui/framework/surface.h"

namespace {

class WindowSystemTest : public HeadlessFixture {
protected:
    MessageLog log;
};

TEST_F(WindowSystemTest, CreationSendsCreateThenSizeAndMove)
{
    const HWND hwnd = log.Create({10, 20, 110, 70});
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(log.Messages(hwnd), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_SIZE, WM_MOVE}));
    const LoggedMessage size = log.Of(WM_SIZE)[0];
    EXPECT_EQ(size.wParam, SIZE_RESTORED);
    EXPECT_EQ(GET_X_LPARAM(size.lParam), 100);
    EXPECT_EQ(GET_Y_LPARAM(size.lParam), 50);
    EXPECT_FALSE(WindowSystem::IsWindowVisible(hwnd));

    // A visible style shows (and activates) the new window.
    const HWND shown = log.Create({0, 0, 50, 50}, WS_POPUP | WS_VISIBLE);
    EXPECT_TRUE(WindowSystem::IsWindowVisible(shown));
    EXPECT_EQ(WindowSystem::GetActiveWindow(), shown);
    EXPECT_EQ(WindowSystem::GetFocus(), shown);
    EXPECT_EQ(Backend().ActiveNative(), WindowSystem::Instance().ToNative(shown));
}

TEST_F(WindowSystemTest, CreationFailures)
{
    EXPECT_EQ(WindowSystem::CreateWindowExW(0, L"NoSuchClass", L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                            nullptr, nullptr),
              nullptr);
    // A child needs a live parent.
    EXPECT_EQ(log.Create({0, 0, 10, 10}, WS_CHILD, nullptr), nullptr);

    // WM_CREATE answering -1 destroys the window again.
    log.Answer = [](const LoggedMessage& m) -> std::optional<LRESULT> {
        if (m.msg == WM_CREATE)
            return -1;
        return std::nullopt;
    };
    EXPECT_EQ(log.Create(), nullptr);
    EXPECT_EQ(log.Of(WM_NCDESTROY).size(), 1u);
    EXPECT_TRUE(WindowSystem::Windows().empty());
}

TEST_F(WindowSystemTest, DestructionOrderCoversChildrenAndOwnedWindows)
{
    const HWND owner = log.Create();
    const HWND child = log.Create({0, 0, 20, 20}, WS_CHILD, owner);
    const HWND owned = log.Create({0, 0, 20, 20}, WS_POPUP, owner);
    EXPECT_EQ(WindowSystem::GetParent(child), owner);
    EXPECT_EQ(WindowSystem::GetWindow(owned, GW_OWNER), owner);
    log.Clear();

    ASSERT_TRUE(WindowSystem::DestroyWindow(owner));
    std::vector<std::pair<HWND, UINT>> order;
    for (const LoggedMessage& m : log.All()) {
        if (m.msg == WM_DESTROY || m.msg == WM_NCDESTROY)
            order.emplace_back(m.hwnd, m.msg);
    }
    const std::vector<std::pair<HWND, UINT>> expected = {{owned, WM_DESTROY},   {owned, WM_NCDESTROY},
                                                         {owner, WM_DESTROY},   {child, WM_DESTROY},
                                                         {child, WM_NCDESTROY}, {owner, WM_NCDESTROY}};
    EXPECT_EQ(order, expected);
    for (HWND h : {owner, child, owned})
        EXPECT_FALSE(WindowSystem::IsWindow(h));
    // Handles are not reused.
    const HWND next = log.Create();
    EXPECT_TRUE(next != owner && next != child && next != owned);
    EXPECT_FALSE(WindowSystem::DestroyWindow(owner));
}

TEST_F(WindowSystemTest, StyleWordsBecomeWindowManagerTraits)
{
    struct Case {
        DWORD style;
        DWORD exStyle;
        bool owned;
        NativeTraits traits;
    };
    const Case cases[] = {
        // The main window: popup, visible, clipping; framed by itself and listed in the task bar.
        {0x96000000, 0, false, {NativeKind::Managed, false, false, false}},
        {WS_POPUP | WS_CAPTION, 0, false, {NativeKind::Managed, true, false, false}},
        {WS_POPUP, WS_EX_TOPMOST, false, {NativeKind::Managed, false, false, true}},
        // An owned dialog has no task-bar entry of its own.
        {WS_POPUP, 0, true, {NativeKind::Managed, false, true, false}},
        {WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_APPWINDOW, false, {NativeKind::Managed, false, false, false}},
        {WS_POPUP, WS_EX_TOOLWINDOW, false, {NativeKind::Managed, false, true, false}},
        // Owned tool popups (drop-downs, menus) are placed by us alone.
        {WS_POPUP, WS_EX_TOOLWINDOW, true, {NativeKind::Popup, false, true, false}},
        // A layered, transparent tip lets the pointer through to the window beneath.
        {WS_POPUP, WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TRANSPARENT, true,
         {NativeKind::Popup, false, true, false, true}},
        {WS_POPUP, WS_EX_TRANSPARENT, false, {NativeKind::Managed, false, false, false, false}},
        {WS_CHILD | WS_VISIBLE, 0, true, {NativeKind::Child, false, false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << std::hex << c.style << " " << c.exStyle << " " << c.owned);
        EXPECT_EQ(TraitsForStyle(c.style, c.exStyle, c.owned), c.traits);
    }

    // A style change after creation reaches the native window.
    const HWND owner = log.Create();
    const HWND popup = log.Create({0, 0, 10, 10}, WS_POPUP, owner);
    EXPECT_EQ(Backend().Window(popup)->traits.kind, NativeKind::Managed);
    WindowSystem::SetWindowLongPtrW(popup, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    EXPECT_EQ(Backend().Window(popup)->traits.kind, NativeKind::Popup);
}

TEST_F(WindowSystemTest, ShowStatesAndTheirSizeMessages)
{
    const HWND hwnd = log.Create({100, 100, 500, 400});
    WindowSystem::ShowWindow(hwnd, SW_SHOW);
    log.Clear();

    WindowSystem::ShowWindow(hwnd, SW_MINIMIZE);
    EXPECT_TRUE(WindowSystem::IsIconic(hwnd));
    EXPECT_TRUE(WindowSystem::IsWindowVisible(hwnd));
    EXPECT_TRUE(Backend().Window(hwnd)->iconic);
    ASSERT_EQ(log.Of(WM_SIZE).size(), 1u);
    EXPECT_EQ(log.Of(WM_SIZE)[0].wParam, SIZE_MINIMIZED);
    EXPECT_EQ(log.Of(WM_SIZE)[0].lParam, 0);
    CRect client(1, 1, 1, 1);
    WindowSystem::GetClientRect(hwnd, &client);
    EXPECT_TRUE(client.IsRectEmpty());
    EXPECT_EQ(WindowSystem::GetActiveWindow(), nullptr);

    log.Clear();
    WindowSystem::ShowWindow(hwnd, SW_RESTORE);
    EXPECT_FALSE(WindowSystem::IsIconic(hwnd));
    ASSERT_EQ(log.Of(WM_SIZE).size(), 1u);
    EXPECT_EQ(log.Of(WM_SIZE)[0].wParam, SIZE_RESTORED);
    EXPECT_EQ(log.Of(WM_SIZE)[0].lParam, MAKELPARAM(400, 300));
    EXPECT_EQ(WindowSystem::GetActiveWindow(), hwnd);

    log.Clear();
    WindowSystem::ShowWindow(hwnd, SW_SHOWMAXIMIZED);
    CRect rect;
    WindowSystem::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect, Backend().WorkArea({}));
    EXPECT_TRUE(WindowSystem::IsZoomed(hwnd));
    EXPECT_EQ(log.Of(WM_SIZE).back().wParam, SIZE_MAXIMIZED);

    WindowSystem::ShowWindow(hwnd, SW_RESTORE);
    WindowSystem::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect, CRect(100, 100, 500, 400));

    EXPECT_TRUE(WindowSystem::ShowWindow(hwnd, SW_HIDE));
    EXPECT_FALSE(Backend().Window(hwnd)->visible);
    EXPECT_FALSE(WindowSystem::ShowWindow(hwnd, SW_HIDE));
}

TEST_F(WindowSystemTest, SetWindowPosMovesSizesAndReportsOnlyChanges)
{
    const HWND hwnd = log.Create({0, 0, 100, 100});
    log.Clear();
    WindowSystem::SetWindowPos(hwnd, nullptr, 30, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_TRUE(log.Of(WM_SIZE).empty());
    ASSERT_EQ(log.Of(WM_MOVE).size(), 1u);
    EXPECT_EQ(log.Of(WM_MOVE)[0].lParam, MAKELPARAM(30, 40));
    EXPECT_EQ(Backend().Window(hwnd)->rect, CRect(30, 40, 130, 140));

    log.Clear();
    WindowSystem::MoveWindow(hwnd, 30, 40, 60, 70, TRUE);
    EXPECT_TRUE(log.Of(WM_MOVE).empty());
    ASSERT_EQ(log.Of(WM_SIZE).size(), 1u);
    EXPECT_EQ(log.Of(WM_SIZE)[0].lParam, MAKELPARAM(60, 70));

    // A handler of WM_WINDOWPOSCHANGING can change the outcome.
    log.Answer = [](const LoggedMessage& m) -> std::optional<LRESULT> {
        if (m.msg == WM_WINDOWPOSCHANGING)
            reinterpret_cast<WINDOWPOS*>(m.lParam)->cx = 99;
        return std::nullopt;
    };
    WindowSystem::MoveWindow(hwnd, 0, 0, 10, 10, TRUE);
    CRect rect;
    WindowSystem::GetWindowRect(hwnd, &rect);
    EXPECT_EQ(rect.Width(), 99);

    // Topmost is an extended style the window manager hears about.
    WindowSystem::SetWindowPos(hwnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_TRUE(Backend().Window(hwnd)->traits.above);
}

TEST_F(WindowSystemTest, InvalidRegionsBecomeOnePaintForVisibleWindows)
{
    const HWND hwnd = log.Create({0, 0, 200, 100});
    Pump();
    const CRect a(10, 10, 20, 20);
    const CRect b(50, 60, 70, 80);
    WindowSystem::InvalidateRect(hwnd, &a, FALSE);
    WindowSystem::InvalidateRect(hwnd, &b, FALSE);
    log.Clear();
    Pump();
    EXPECT_TRUE(log.Of(WM_PAINT).empty()) << "hidden windows are not painted";

    log.Answer = [](const LoggedMessage& m) -> std::optional<LRESULT> {
        if (m.msg != WM_PAINT)
            return std::nullopt;
        const PaintPass pass = WindowSystem::BeginPaint(m.hwnd);
        EXPECT_EQ(pass.rcPaint, CRect(0, 0, 200, 100)); // showing invalidated everything
        return 0;
    };
    WindowSystem::ShowWindow(hwnd, SW_SHOWNA);
    Pump();
    EXPECT_EQ(log.Of(WM_PAINT).size(), 1u);

    log.Clear();
    log.Answer = [&](const LoggedMessage& m) -> std::optional<LRESULT> {
        if (m.msg != WM_PAINT)
            return std::nullopt;
        const PaintPass pass = WindowSystem::BeginPaint(m.hwnd);
        EXPECT_EQ(pass.rcPaint, CRect(10, 10, 70, 80));
        EXPECT_TRUE(pass.region.Contains({15, 15}));
        EXPECT_FALSE(pass.region.Contains({30, 30}));
        return 0;
    };
    WindowSystem::InvalidateRect(hwnd, &a, FALSE);
    WindowSystem::InvalidateRect(hwnd, &b, FALSE);
    Pump();
    EXPECT_EQ(log.Of(WM_PAINT).size(), 1u);

    // A handler that never begins painting is not asked again and again.
    log.Clear();
    log.Answer = [](const LoggedMessage& m) -> std::optional<LRESULT> {
        return m.msg == WM_PAINT ? std::optional<LRESULT>(0) : std::nullopt;
    };
    WindowSystem::InvalidateRect(hwnd, nullptr, FALSE);
    Pump();
    EXPECT_EQ(log.Of(WM_PAINT).size(), 1u);
}

TEST_F(WindowSystemTest, PresentedPixelsFollowTheWindowsTransparency)
{
    const HWND hwnd = log.Create({0, 0, 4, 1});
    Surface pixels(4, 1);
    const ARGB key = 0xFF102030;
    pixels.Fill({0, 0, 1, 1}, 0xFE112233); // alpha as drawn just short of opaque
    pixels.Fill({1, 0, 2, 1}, key);
    pixels.Fill({2, 0, 3, 1}, 0x80FFFFFF);
    pixels.Fill({3, 0, 4, 1}, 0x00000000);

    struct Case {
        const char* name;
        DWORD exStyle;
        DWORD layeredFlags;
        bool perPixel;
        ARGB expected[4];
    };
    // Opaque output shows the drawn colour composed over black.
    const Case cases[] = {
        {"opaque", 0, 0, false, {0xFF112233, key, 0xFF808080, 0xFF000000}},
        {"colour key", WS_EX_LAYERED, LWA_COLORKEY, false, {0xFF112233, 0, 0xFF808080, 0xFF000000}},
        {"per-pixel alpha", WS_EX_LAYERED, 0, true, {0xFE112233, key, 0x80FFFFFF, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WindowSystem::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, c.exStyle);
        if (c.layeredFlags)
            WindowSystem::SetLayeredWindowAttributes(hwnd, ARGBToColorRef(key), 0, c.layeredFlags);
        if (c.perPixel)
            WindowSystem::UpdateLayeredWindow(hwnd, pixels);
        else
            WindowSystem::Present(hwnd, pixels, {0, 0, 4, 1});
        const Surface& shown = Backend().Window(hwnd)->image;
        for (int x = 0; x < 4; ++x) {
            // Premultiplication rounds the colour of the half-transparent white.
            const ARGB got = shown.Pixel(x, 0);
            if (c.expected[x] == 0x80FFFFFF)
                EXPECT_EQ(got >> 24, 0x80u) << x;
            else
                EXPECT_EQ(got, c.expected[x]) << x;
        }
    }
    // Layered attributes need the layered style.
    WindowSystem::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, 0);
    EXPECT_FALSE(WindowSystem::SetLayeredWindowAttributes(hwnd, 0, 100, LWA_ALPHA));
}

TEST_F(WindowSystemTest, AnyWindowCanBeWrittenAsPng)
{
    const HWND hwnd = log.Create({0, 0, 8, 6});
    Surface pixels(8, 6);
    pixels.Fill({0, 0, 8, 6}, 0xFF0000FF);
    pixels.Fill({2, 2, 4, 4}, 0xFF00FF00);
    WindowSystem::Present(hwnd, pixels, {0, 0, 8, 6});

    const ScopedTempDir dir;
    const std::string path = (dir.Path() / "window.png").string();
    ASSERT_TRUE(Backend().WritePng(hwnd, path));
    cairo_surface_t* png = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(png), CAIRO_STATUS_SUCCESS);
    EXPECT_EQ(cairo_image_surface_get_width(png), 8);
    const auto* data = reinterpret_cast<const uint32_t*>(cairo_image_surface_get_data(png));
    const int stride = cairo_image_surface_get_stride(png) / 4;
    EXPECT_EQ(data[0], 0xFF0000FFu);
    EXPECT_EQ(data[3 * stride + 3], 0xFF00FF00u);
    cairo_surface_destroy(png);
    EXPECT_FALSE(Backend().WritePng(nullptr, path));
}

TEST_F(WindowSystemTest, PropertiesFindAndRestoreAWindow)
{
    const HWND hwnd = log.Create({0, 0, 100, 100});
    EXPECT_TRUE(WindowSystem::SetPropW(hwnd, L"Torvik", 1));
    EXPECT_EQ(WindowSystem::GetPropW(hwnd, L"Torvik"), 1);
    EXPECT_EQ(WindowSystem::GetPropW(hwnd, L"torvik"), 0);
    EXPECT_EQ(WindowSystem::FindWindowWithProperty(L"Torvik"), WindowSystem::Instance().ToNative(hwnd));
    EXPECT_EQ(WindowSystem::FindWindowWithProperty(L"Other"), 0u);
    EXPECT_FALSE(WindowSystem::RestoreWindowWithProperty(L"Other"));

    // A window hidden in the tray, or minimised, comes back restored and active.
    WindowSystem::ShowWindow(hwnd, SW_MINIMIZE);
    WindowSystem::ShowWindow(hwnd, SW_HIDE);
    ASSERT_TRUE(WindowSystem::RestoreWindowWithProperty(L"Torvik"));
    Pump();
    EXPECT_TRUE(WindowSystem::IsWindowVisible(hwnd));
    EXPECT_FALSE(WindowSystem::IsIconic(hwnd));
    EXPECT_EQ(WindowSystem::GetForegroundWindow(), hwnd);

    EXPECT_EQ(WindowSystem::RemovePropW(hwnd, L"Torvik"), 1);
    EXPECT_EQ(WindowSystem::FindWindowWithProperty(L"Torvik"), 0u);
}

TEST_F(WindowSystemTest, FindWindowByClassAndTitle)
{
    const HWND hwnd = log.Create();
    WindowSystem::SetWindowTextW(hwnd, L"WaitDlg");
    EXPECT_EQ(WindowSystem::FindWindowW(L"LoggedWindow", L"WaitDlg"), hwnd);
    EXPECT_EQ(WindowSystem::FindWindowW(nullptr, L"WaitDlg"), hwnd);
    EXPECT_EQ(WindowSystem::FindWindowW(L"LoggedWindow", L"Menu Window"), nullptr);
    EXPECT_EQ(Backend().Window(hwnd)->title, L"WaitDlg");
    EXPECT_EQ(WindowSystem::GetWindowTextLengthW(hwnd), 7);
}

TEST_F(WindowSystemTest, WindowTimersTickOnTheClockUntilKilled)
{
    const HWND hwnd = log.Create();
    static int procCalls = 0;
    procCalls = 0;
    ASSERT_EQ(WindowSystem::SetTimer(hwnd, 7, 100, nullptr), 7u);
    WindowSystem::SetTimer(hwnd, 8, 250, [](HWND, UINT, uintptr_t, DWORD) { ++procCalls; });
    Backend().RunFor(550);
    EXPECT_EQ(log.Of(WM_TIMER).size(), 5u);
    for (const LoggedMessage& m : log.Of(WM_TIMER))
        EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(procCalls, 2);

    EXPECT_TRUE(WindowSystem::KillTimer(hwnd, 7));
    EXPECT_FALSE(WindowSystem::KillTimer(hwnd, 7));
    log.Clear();
    Backend().RunFor(1000);
    EXPECT_TRUE(log.Of(WM_TIMER).empty());
    EXPECT_EQ(procCalls, 6);

    // A late timer brings one message, not a backlog.
    WindowSystem::SetTimer(hwnd, 9, 10, nullptr);
    Backend().GetVirtualClock().Advance(1000);
    Pump();
    EXPECT_EQ(log.Of(WM_TIMER).size(), 1u);
    EXPECT_EQ(WindowSystem::SetTimer(reinterpret_cast<HWND>(0x1234), 1, 10, nullptr), 0u);
}

TEST_F(WindowSystemTest, ClosuresAndMessagesFromAnotherThreadArriveInOrder)
{
    const HWND hwnd = log.Create();
    std::vector<int> order;
    log.Answer = [&order](const LoggedMessage& m) -> std::optional<LRESULT> {
        if (m.msg == WM_USER)
            order.push_back(static_cast<int>(m.wParam));
        return std::nullopt;
    };
    constexpr int kCount = 2000;
    std::thread poster([&] {
        for (int i = 0; i < kCount; ++i) {
            if (i % 3 == 0)
                WindowSystem::PostMessageW(hwnd, WM_USER, static_cast<WPARAM>(i), 0);
            else
                WindowSystem::PostClosure([&order, i] { order.push_back(i); });
        }
        WindowSystem::PostQuitMessage(0);
    });
    MSG msg;
    while (WindowSystem::GetMessageW(&msg))
        WindowSystem::DispatchMessageW(&msg);
    poster.join();
    ASSERT_EQ(order.size(), static_cast<size_t>(kCount));
    for (int i = 0; i < kCount; ++i)
        ASSERT_EQ(order[static_cast<size_t>(i)], i);
}

TEST_F(WindowSystemTest, SendFromAnotherThreadWaitsForTheAnswer)
{
    const HWND hwnd = log.Create();
    log.Answer = [](const LoggedMessage& m) -> std::optional<LRESULT> {
        if (m.msg == WM_USER + 5)
            return static_cast<LRESULT>(m.wParam * 2);
        return std::nullopt;
    };
    LRESULT answer = 0;
    std::thread sender([&] {
        answer = WindowSystem::SendMessageW(hwnd, WM_USER + 5, 21, 0);
        WindowSystem::PostQuitMessage(0);
    });
    MSG msg;
    while (WindowSystem::GetMessageW(&msg))
        WindowSystem::DispatchMessageW(&msg);
    sender.join();
    EXPECT_EQ(answer, 42);

    // A UI thread that does not take the message in time: the send gives up and never runs.
    std::optional<LRESULT> late = 1;
    std::thread impatient([&] { late = WindowSystem::SendMessageTimeoutW(hwnd, WM_USER + 5, 1, 0, 20); });
    impatient.join();
    EXPECT_FALSE(late.has_value());
    log.Clear();
    Pump();
    EXPECT_TRUE(log.Of(WM_USER + 5).empty());
    EXPECT_FALSE(WindowSystem::PostMessageW(reinterpret_cast<HWND>(0x99), WM_USER, 0, 0));
}

TEST_F(WindowSystemTest, QuitComesAfterPostedMessages)
{
    const HWND hwnd = log.Create();
    WindowSystem::PostQuitMessage(5);
    WindowSystem::PostMessageW(hwnd, WM_USER + 1, 0, 0);
    MSG msg;
    ASSERT_TRUE(WindowSystem::GetMessageW(&msg));
    EXPECT_EQ(msg.message, WM_USER + 1u);
    EXPECT_FALSE(WindowSystem::GetMessageW(&msg));
    EXPECT_EQ(msg.message, WM_QUIT);
    EXPECT_EQ(msg.wParam, 5u);
    EXPECT_FALSE(WindowSystem::PeekMessageW(&msg, PM_REMOVE));
}

} // namespace
