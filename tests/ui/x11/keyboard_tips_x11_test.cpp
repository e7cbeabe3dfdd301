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

class KeyboardTipsX11Test : public X11Test {
protected:
    // A view with tips over the whole dialog, Esc at (26, 46)-(66, 86) and F1 at (106, 46)-(146, 86) of
    // it (the view's offset is 6, 6).
    KeyboardCtrl* ShowView(CRect dialogRect)
    {
        dialog.EnableWndDrag(0);
        hwnd = dialog.Create(nullptr, L"keyboard", WS_POPUP, 0, dialogRect);
        auto* view = static_cast<KeyboardCtrl*>(dialog.CreateControl(
            L"KeyboardCtrl", 67, CRect(0, 0, dialogRect.Width(), dialogRect.Height()), L"", 1, 1));
        if (!view)
            return nullptr;
        view->SetTitle(L"Custom keys");
        view->EnableKBTips(true);
        view->AddKeyItem(L"Esc", L"Escape", 0x29, CRect(20, 40, 60, 80), L"");
        view->AddKeyItem(L"F1", L"F1", 0x3A, CRect(100, 40, 140, 80), L"");
        dialog.ShowWindow(SW_SHOW);
        EXPECT_TRUE(PumpUntil([&] { return Viewable(hwnd); }));
        XSync(m_probe, False);
        return view;
    }
    // The pointer to a screen point, once the window has seen the move.
    bool MoveTo(CPoint screen, const std::function<bool()>& seen)
    {
        XTestFakeMotionEvent(m_probe, DefaultScreen(m_probe), screen.x, screen.y, CurrentTime);
        XFlush(m_probe);
        return PumpUntil(seen);
    }
    static bool TipShown(const KeyboardCtrl* view)
    {
        return view->GetTipWindow() && view->GetTipWindow()->IsWindowVisible();
    }

    RecordingDialog dialog;
    HWND hwnd = nullptr;
};

TEST_F(KeyboardTipsX11Test, HoveringAKeyShowsItsTipAndLeavingItHidesIt)
{
    KeyboardCtrl* view = ShowView(CRect(200, 300, 700, 500));
    ASSERT_NE(view, nullptr);
    // Esc is at (226, 346)-(266, 386) on the screen: the first move makes it hovered, the next shows the tip.
    ASSERT_TRUE(MoveTo({240, 360}, [&] { return view->GetHoverItem() == 0; }));
    ASSERT_TRUE(MoveTo({242, 361}, [&] { return TipShown(view); }));
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
    EXPECT_TRUE(MoveTo({290, 366}, [&] { return !Viewable(m_probe, xid); }));
    EXPECT_EQ(view->GetHoverItem(), -1);
}

TEST_F(KeyboardTipsX11Test, ATipOverTheKeysLetsThePointerThroughToTheView)
{
    // At the top of the screen the tip has no room above the keys and comes down over them.
    KeyboardCtrl* view = ShowView(CRect(200, 0, 700, 200));
    ASSERT_NE(view, nullptr);
    ASSERT_TRUE(MoveTo({240, 60}, [&] { return view->GetHoverItem() == 0; }));
    ASSERT_TRUE(MoveTo({241, 61}, [&] { return TipShown(view); }));
    const Window xid = Xid(view->GetTipWindow()->GetSafeHwnd());
    ASSERT_TRUE(PumpUntil([&] { return Viewable(m_probe, xid); }));
    CRect tip;
    view->GetTipWindow()->GetWindowRect(&tip);
    ASSERT_TRUE(tip.PtInRect({320, 60})) << "the tip covers F1";

    // The pointer moves on under the tip: the view still follows it to F1 and shows F1's tip.
    ASSERT_TRUE(MoveTo({320, 60}, [&] { return view->GetHoverItem() == 1; }));
    EXPECT_TRUE(MoveTo({321, 61},
                       [&] { return view->GetTipWindow()->GetTitle() == L"F1" && Viewable(m_probe, xid); }));
}

} // namespace
