// The keyboard view's key tip on a real X server: the pointer resting on a key brings up its tip window,
// a popup the window manager never handles that leaves the view the pointer, and moving away takes it
// down again.

#include <gtest/gtest.h>

#include "tests/ui/test_dialogs.h"
#include "ui/keyboard/keyboard_ctrl.h"
#include "ui/keyboard/keyboard_tips.h"

#include "tests/ui/x11/x11_fixture.h"

#include <X11/extensions/XTest.h>

namespace {

using KeyboardTipsX11Test = X11Test;

TEST_F(KeyboardTipsX11Test, HoveringAKeyShowsItsTipAndLeavingItHidesIt)
{
    RecordingDialog dialog;
    dialog.EnableWndDrag(0);
    const HWND hwnd = dialog.Create(nullptr, L"keyboard", WS_POPUP, 0, CRect(200, 300, 700, 500));
    auto* view = static_cast<KeyboardCtrl*>(
        dialog.CreateControl(L"KeyboardCtrl", 67, CRect(0, 0, 500, 200), L"", 1, 1));
    ASSERT_NE(view, nullptr);
    view->SetTitle(L"Custom keys");
    view->EnableKBTips(true);
    view->AddKeyItem(L"Esc", L"Escape", 0x29, CRect(20, 40, 60, 80), L"");
    view->AddKeyItem(L"F1", L"F1", 0x3A, CRect(100, 40, 140, 80), L"");
    dialog.ShowWindow(SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(hwnd); }));
    XSync(m_probe, False);

    // Esc lies at (26, 46)-(66, 86) of the view's window (offset 6, 6), so (246, 366) on the screen.
    const int screen = DefaultScreen(m_probe);
    XTestFakeMotionEvent(m_probe, screen, 240, 360, CurrentTime);
    XFlush(m_probe);
    ASSERT_TRUE(PumpUntil([&] { return view->GetHoverItem() == 0; }));
    XTestFakeMotionEvent(m_probe, screen, 242, 361, CurrentTime);
    XFlush(m_probe);
    ASSERT_TRUE(PumpUntil([&] { return view->GetTipWindow() && view->GetTipWindow()->IsWindowVisible(); }));
    CKeyboardTips* tip = view->GetTipWindow();
    const Window xid = Xid(tip->GetSafeHwnd());
    ASSERT_TRUE(PumpUntil([&] { return Viewable(m_probe, xid); }));
    XWindowAttributes attributes;
    ASSERT_TRUE(XGetWindowAttributes(m_probe, xid, &attributes));
    EXPECT_TRUE(attributes.override_redirect);
    // Above the key, its bottom edge at the key's top, centred on it.
    Window child = 0;
    int x = 0, y = 0;
    XTranslateCoordinates(m_probe, xid, DefaultRootWindow(m_probe), 0, 0, &x, &y, &child);
    EXPECT_EQ(x, 246 - 95);
    EXPECT_EQ(y, 346 - 100);
    EXPECT_EQ(attributes.width, 190);
    EXPECT_EQ(attributes.height, 100);
    // The dialog keeps the focus.
    EXPECT_EQ(WindowSystem::GetActiveWindow(), hwnd);

    // Into the gap between the keys: the tip goes away.
    XTestFakeMotionEvent(m_probe, screen, 290, 366, CurrentTime);
    XFlush(m_probe);
    EXPECT_TRUE(PumpUntil([&] { return !Viewable(m_probe, xid); }));
    EXPECT_EQ(view->GetHoverItem(), -1);
}

TEST_F(KeyboardTipsX11Test, ATipOverTheKeysLetsThePointerThroughToTheView)
{
    RecordingDialog dialog;
    dialog.EnableWndDrag(0);
    // At the top of the screen the tip has no room above the keys and comes down over them.
    const HWND hwnd = dialog.Create(nullptr, L"keyboard", WS_POPUP, 0, CRect(200, 0, 700, 200));
    auto* view = static_cast<KeyboardCtrl*>(
        dialog.CreateControl(L"KeyboardCtrl", 67, CRect(0, 0, 500, 200), L"", 1, 1));
    ASSERT_NE(view, nullptr);
    view->EnableKBTips(true);
    view->AddKeyItem(L"Esc", L"Escape", 0x29, CRect(20, 40, 60, 80), L"");
    view->AddKeyItem(L"F1", L"F1", 0x3A, CRect(100, 40, 140, 80), L"");
    dialog.ShowWindow(SW_SHOW);
    ASSERT_TRUE(PumpUntil([&] { return Viewable(hwnd); }));
    XSync(m_probe, False);

    const int screen = DefaultScreen(m_probe);
    XTestFakeMotionEvent(m_probe, screen, 240, 60, CurrentTime);
    XFlush(m_probe);
    ASSERT_TRUE(PumpUntil([&] { return view->GetHoverItem() == 0; }));
    XTestFakeMotionEvent(m_probe, screen, 241, 61, CurrentTime);
    XFlush(m_probe);
    ASSERT_TRUE(PumpUntil([&] { return view->GetTipWindow() && view->GetTipWindow()->IsWindowVisible(); }));
    const Window xid = Xid(view->GetTipWindow()->GetSafeHwnd());
    ASSERT_TRUE(PumpUntil([&] { return Viewable(m_probe, xid); }));
    CRect tip;
    view->GetTipWindow()->GetWindowRect(&tip);
    ASSERT_TRUE(tip.PtInRect({320, 60})) << "the tip covers F1";

    // The pointer moves on under the tip: the view still follows it to F1 and shows F1's tip.
    XTestFakeMotionEvent(m_probe, screen, 320, 60, CurrentTime);
    XFlush(m_probe);
    ASSERT_TRUE(PumpUntil([&] { return view->GetHoverItem() == 1; }));
    XTestFakeMotionEvent(m_probe, screen, 321, 61, CurrentTime);
    XFlush(m_probe);
    EXPECT_TRUE(PumpUntil([&] { return view->GetTipWindow()->GetTitle() == L"F1" && Viewable(m_probe, xid); }));
}

} // namespace
