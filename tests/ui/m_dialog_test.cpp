// MDialog and MPopupWnd on the headless backend: the class names, the dispatch to handlers, the style
// rule, initialisation and resizing, transparency, the close protocol and the paint manager's output.

#include <gtest/gtest.h>

#include "tests/ui/control_probe.h"
#include "tests/ui/headless_fixture.h"
#include "tests/ui/test_dialogs.h"
#include "ui/framework/m_control.h"

namespace {

using MDialogTest = HeadlessFixture;

class NamedControl : public MObject {
public:
    const wchar_t* GetClassNameW() const override { return L"FSControl"; }
};

TEST_F(MDialogTest, IsClassComparesTheWholeNameExactly)
{
    const MObject root;
    const NamedControl control;
    const RecordingDialog dialog;
    const MPopupWnd popup;
    struct Case {
        const MObject* object;
        const wchar_t* name;
        int expected;
    };
    const Case cases[] = {
        {&dialog, L"MDialog", 1},      {&dialog, L"mdialog", 0}, {&dialog, L"MDialo", 0},
        {&dialog, L"MDialogX", 0},     {&dialog, nullptr, 0},    {&control, L"FSControl", 1},
        {&control, L"RadioButton", 0}, {&root, L"", 0},          {&root, nullptr, 0},
        {&popup, L"MDialog", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.object->IsClass(c.name), c.expected) << (c.name ? c.name : L"(null)");
    EXPECT_EQ(root.GetClassNameW(), nullptr);
    EXPECT_EQ(root.GetObjectClass(), nullptr);
    EXPECT_EQ(root.BaseObjectClassName(), nullptr);
}

TEST_F(MDialogTest, NotificationsReachOnMessageUnchanged)
{
    RecordingDialog dialog;
    dialog.messageAnswer = 5;
    MObject& asObject = dialog;
    EXPECT_EQ(asObject.OnBaseMessage(41, 2, 7, -3), 5);
    EXPECT_EQ(dialog.Take(), (std::vector<std::string>{"OnMessage 41 2 7 -3"}));

    // A popup reaches its owner with id 0.
    MPopupWnd popup;
    EXPECT_EQ(popup.SendMessageToParent(22, 1, 2), 0);
    popup.SetParent(&dialog);
    EXPECT_EQ(popup.GetParent(), &dialog);
    EXPECT_EQ(popup.SendMessageToParent(22, 1, 2), 5);
    EXPECT_EQ(dialog.Take(), (std::vector<std::string>{"OnMessage 0 22 1 2"}));

    // A control that owns a popup hears it in its own OnMessage, not through its owner.
    class Owner : public MControl {
    public:
        Owner() : MControl(nullptr, 9, CRect(), 1, 1, 1) {}
        void DrawControl(HDC&, CRect) override {}
        long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override
        {
            heard = std::to_string(id) + " " + std::to_string(code) + " " + std::to_string(wParam) + " " +
                    std::to_string(lParam);
            return 8;
        }
        std::string heard;
    };
    Owner owner;
    owner.SetParent(&dialog);
    popup.SetParent(&owner);
    EXPECT_EQ(popup.SendMessageToParent(22, 3, 4), 8);
    EXPECT_EQ(owner.heard, "0 22 3 4");
    EXPECT_TRUE(dialog.Take().empty());
}

TEST_F(MDialogTest, MessagesGoToTheirHandlers)
{
    RecordingDialog dialog;
    const HWND hwnd = dialog.Create(nullptr, L"d", WS_POPUP, 0, CRect(0, 0, 100, 100));
    dialog.Take();
    struct Case {
        UINT msg;
        WPARAM wParam;
        LPARAM lParam;
        std::vector<std::string> calls;
    };
    const Case cases[] = {
        {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 7), {"OnLButtonDown 1 -5,7"}},
        {WM_LBUTTONUP, 0, MAKELPARAM(3, 4), {"OnLButtonUp 0 3,4"}},
        {WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(3, 4), {"OnLButtonDblClk 1 3,4"}},
        {WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(1, 2), {"OnRButtonDown 2 1,2"}},
        {WM_RBUTTONUP, 0, MAKELPARAM(1, 2), {"OnRButtonUp 0 1,2"}},
        {WM_RBUTTONDBLCLK, MK_RBUTTON, MAKELPARAM(1, 2), {"OnRButtonDblClk 2 1,2"}},
        {WM_MOUSEMOVE, MK_SHIFT, MAKELPARAM(9, 8), {"OnMouseMove 4 9,8"}},
        {WM_MOUSEHOVER, 0, 77, {"OnMouseHover 0 77,0"}},
        {WM_MOUSELEAVE, 0, 0, {"OnMouseLeave 0 0,0"}},
        {WM_TIMER, 12, 0, {"OnTimer 12 0,0"}},
        {WM_NCACTIVATE, 1, 0, {"OnNcActivate 1 0,0"}},
        // Key and wheel handlers exist but the dispatch does not call them.
        {WM_KEYDOWN, 'A', 1, {}},
        {WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0, {}},
    };
    for (const Case& c : cases) {
        WindowSystem::SendMessageW(hwnd, c.msg, c.wParam, c.lParam);
        EXPECT_EQ(dialog.Take(), c.calls) << std::hex << c.msg;
    }
    EXPECT_EQ(WindowSystem::SendMessageW(hwnd, WM_ERASEBKGND, 0, 0), 1);

    dialog.DestroyWindow();
    const std::vector<std::string> destroy = dialog.Take();
    EXPECT_EQ(destroy.front(), "OnDestroy 0 0,0");
    EXPECT_EQ(destroy.back(), "PostNcDestroy 0 0,0");
}

TEST_F(MDialogTest, CreationStripsTheFrameAndLaysOutLargerThanOnePixel)
{
    RecordingDialog dialog;
    dialog.Create(nullptr, L"d", WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU, 0,
                  CRect(0, 0, 300, 200));
    const DWORD style = dialog.GetStyle();
    EXPECT_EQ(style, ((WS_POPUP | WS_CAPTION | WS_THICKFRAME | WS_SYSMENU) & 0xFF3BFFFF) | 0x06000008);
    EXPECT_EQ(style & (WS_CAPTION | WS_THICKFRAME), 0u);
    EXPECT_EQ(style & (WS_CLIPCHILDREN | WS_CLIPSIBLINGS), WS_CLIPCHILDREN | WS_CLIPSIBLINGS);
    EXPECT_FALSE(Backend().Window(dialog.GetSafeHwnd())->traits.decorated);
    EXPECT_EQ(dialog.initClient, CRect(0, 0, 300, 200));

    struct Case {
        int cx;
        int cy;
        bool laidOut;
    };
    const Case cases[] = {{1, 100, false}, {100, 1, false}, {0, 0, false}, {2, 2, true}, {640, 480, true}};
    for (const Case& c : cases) {
        dialog.uiSizes.clear();
        dialog.MoveWindow(0, 0, c.cx, c.cy);
        EXPECT_EQ(dialog.uiSizes.size(), c.laidOut ? 1u : 0u) << c.cx << "x" << c.cy;
        if (c.laidOut) {
            EXPECT_EQ(dialog.uiSizes[0], CRect(0, 0, c.cx, c.cy));
        }
        EXPECT_EQ(dialog.GetClientArea(), CRect(0, 0, c.cx, c.cy));
    }

    // Minimised: no layout at all.
    dialog.uiSizes.clear();
    dialog.OnMinimize();
    EXPECT_TRUE(dialog.IsIconic());
    EXPECT_TRUE(dialog.uiSizes.empty());
    dialog.OnMaximize();
    EXPECT_TRUE(WindowSystem::IsZoomed(dialog.GetSafeHwnd()));
    dialog.OnMaximize();
    EXPECT_FALSE(WindowSystem::IsZoomed(dialog.GetSafeHwnd()));
}

TEST_F(MDialogTest, SetupBackTranslucentLayersOnlyForAlphaOrKey)
{
    struct Case {
        int alpha;
        COLORREF key;
        bool layered;
        DWORD flags;
        uint8_t opacity;
    };
    const Case cases[] = {
        {255, 0xFFFFFF, false, 0, 255},
        {200, 0xFFFFFF, true, LWA_ALPHA, 200},
        {255, 0x00FF00, true, LWA_COLORKEY, 255},
        {128, 0x00FF00, true, LWA_ALPHA, 128},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.alpha << " " << std::hex << c.key);
        RecordingDialog dialog;
        dialog.SetAlpha(c.alpha);
        dialog.SetTransparentColor(c.key);
        const HWND hwnd = dialog.Create(nullptr, L"d", WS_POPUP, 0, CRect(0, 0, 50, 50));
        // Creation's first size message runs it already.
        EXPECT_EQ((dialog.GetExStyle() & WS_EX_LAYERED) != 0, c.layered);
        COLORREF key = 0;
        uint8_t alpha = 0;
        DWORD flags = 0;
        if (c.layered) {
            ASSERT_TRUE(WindowSystem::GetLayeredWindowAttributes(hwnd, &key, &alpha, &flags));
            EXPECT_EQ(flags, c.flags);
            if (flags & LWA_COLORKEY) {
                EXPECT_EQ(key, c.key);
            }
        }
        EXPECT_EQ(Backend().Window(hwnd)->opacity, c.opacity);
    }
}

TEST_F(MDialogTest, CloseRequestsCanBeVetoed)
{
    class Stubborn : public RecordingDialog {
    public:
        long OnUserCloseWindow(unsigned wParam, long lParam) override
        {
            if (++requests == 1)
                return 1; // the first request is refused
            return RecordingDialog::OnUserCloseWindow(wParam, lParam);
        }
        int requests = 0;
    };
    Stubborn dialog;
    dialog.Create(nullptr, L"d", WS_POPUP, 0, CRect(0, 0, 50, 50));
    dialog.DoOK();
    dialog.DoNo();
    EXPECT_EQ(dialog.ShowModal(), 7u);
    EXPECT_EQ(dialog.requests, 2);
}

TEST_F(MDialogTest, PaintManagerDrawsTheBackgroundAndBorder)
{
    RecordingDialog dialog;
    const HWND hwnd = dialog.Create(nullptr, L"d", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 40, 30));
    Pump();
    const HeadlessWindow* shown = Backend().Window(hwnd);
    ASSERT_GT(shown->presentCount, 0);
    // Border 0x620044 and back 0x130D09 (COLORREF), drawn at alpha 254 and shown opaque.
    EXPECT_EQ(shown->image.Pixel(0, 0), ColorRefToARGB(0x620044));
    EXPECT_EQ(shown->image.Pixel(39, 29), ColorRefToARGB(0x620044));
    EXPECT_EQ(shown->image.Pixel(20, 15), ColorRefToARGB(0x130D09));

    // With per-pixel alpha the alpha as drawn reaches the window.
    dialog.SetLayeredWindow(1);
    WindowSystem::SetWindowLongPtrW(hwnd, GWL_EXSTYLE, WS_EX_LAYERED);
    dialog.InvalidateRect(nullptr, 0);
    Pump();
    EXPECT_EQ(shown->image.Pixel(20, 15) >> 24, 254u);

    // Nothing is painted while minimised.
    const int presents = shown->presentCount;
    dialog.ShowWindow(SW_MINIMIZE);
    dialog.InvalidateRect(nullptr, 0);
    Pump();
    EXPECT_EQ(shown->presentCount, presents);
}

TEST_F(MDialogTest, PressOnEmptyAreaDragsUnlessSwitchedOff)
{
    RecordingDialog dialog;
    const HWND hwnd = dialog.Create(nullptr, L"d", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 300, 200));
    Pump();
    Backend().Press(hwnd, kButtonLeft, {10, 10});
    Pump();
    Backend().MoveMouse(hwnd, {30, 10});
    Backend().Release(hwnd, kButtonLeft, {30, 10});
    Pump();
    CRect rect;
    dialog.GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(120, 100));

    dialog.EnableWndDrag(0);
    Backend().Press(hwnd, kButtonLeft, {10, 10});
    Pump();
    Backend().MoveMouse(hwnd, {30, 10});
    Backend().Release(hwnd, kButtonLeft, {30, 10});
    Pump();
    dialog.GetWindowRect(&rect);
    EXPECT_EQ(rect.TopLeft(), CPoint(120, 100));
    EXPECT_EQ(dialog.calls.back(), "OnLButtonUp 0 30,10");
}

TEST_F(MDialogTest, PopupIsAnUndraggableToolWindowWithAKeyColour)
{
    RecordingDialog owner;
    owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 300, 300));
    MPopupWnd popup;
    const HWND hwnd = popup.Create(owner.GetSafeHwnd(), L"ComboWnd", WS_POPUP, 0, CRect(10, 10, 110, 60));
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(popup.GetExStyle() & ~WS_EX_LAYERED, WS_EX_TOOLWINDOW);
    EXPECT_EQ(Backend().Window(hwnd)->traits.kind, NativeKind::Popup);
    EXPECT_FALSE(popup.GetPaintManager().IsWndDragEnabled());
    EXPECT_TRUE(popup.GetPaintManager().IsInitialized());
    COLORREF key = 0;
    DWORD flags = 0;
    ASSERT_TRUE(WindowSystem::GetLayeredWindowAttributes(hwnd, &key, nullptr, &flags));
    EXPECT_EQ(key, 0xF1F1F1u);
    EXPECT_EQ(flags, static_cast<DWORD>(LWA_COLORKEY));

    popup.CloseWindow();
    Pump();
    EXPECT_FALSE(popup.IsLive());
    EXPECT_FALSE(popup.GetPaintManager().IsInitialized());
}

TEST_F(MDialogTest, ControlsInsideAPopupReachItsOnMessage)
{
    // Drop-down rows and menu items report to the popup they live in, as controls of a dialog do.
    class RecordingPopup : public MPopupWnd {
    public:
        long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override
        {
            heard.push_back(std::to_string(id) + " " + std::to_string(code) + " " + std::to_string(wParam) +
                            " " + std::to_string(lParam));
            return 4;
        }
        std::vector<std::string> heard;
    };
    RecordingDialog owner;
    owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 300, 300));
    RecordingPopup popup;
    popup.Create(owner.GetSafeHwnd(), L"ComboWnd", WS_POPUP | WS_VISIBLE, 0, CRect(10, 10, 110, 60));
    auto* row = static_cast<ProbeControl*>(
        popup.GetPaintManager().AddControl(std::make_unique<ProbeControl>(&popup, 19, CRect(0, 0, 50, 20))));
    EXPECT_EQ(row->SendMessageW(2, 3, 19), 4);
    EXPECT_EQ(popup.heard, (std::vector<std::string>{"19 2 3 19"}));
    for (const std::string& call : owner.Take())
        EXPECT_EQ(call.rfind("OnMessage", 0), std::string::npos) << call;
}

} // namespace
