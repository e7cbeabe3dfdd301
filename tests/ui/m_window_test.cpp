// MWindow on the headless backend: creation, the wrappers' answers without a window, superclassing,
// centring, bringing to front and the modal loop with its results.

#include <gtest/gtest.h>
#include <memory>

#include "tests/support/scoped_folders.h"
#include "tests/ui/headless_fixture.h"
#include "tests/ui/test_dialogs.h"
#include "ui/framework/manager.h"
#include "ui/framework/resource_module.h"
#include "ui/framework/surface.h"

namespace {

using MWindowTest = HeadlessFixture;

TEST_F(MWindowTest, CreateTwiceKeepsTheFirstWindow)
{
    RecordingDialog dialog;
    const HWND first = dialog.Create(nullptr, L"first", WS_POPUP, 0, CRect(0, 0, 200, 100));
    ASSERT_TRUE(first);
    EXPECT_EQ(dialog.initUiCalls, 1);
    EXPECT_EQ(dialog.initClient, CRect(0, 0, 200, 100));
    const size_t windows = WindowSystem::Windows().size();

    EXPECT_EQ(dialog.Create(nullptr, L"second", WS_POPUP, 0, CRect(0, 0, 50, 50)), first);
    EXPECT_EQ(WindowSystem::Windows().size(), windows);
    EXPECT_EQ(dialog.initUiCalls, 1);
    CString title;
    dialog.GetWindowTextW(title);
    EXPECT_EQ(title, L"first");

    // The short forms: class name as title, 800 × 600.
    RecordingDialog plain;
    ASSERT_TRUE(plain.Create(nullptr));
    plain.GetWindowTextW(title);
    EXPECT_EQ(title, L"KelvoClient");
    CRect rect;
    plain.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(0, 0, 800, 600));
    CString className;
    WindowSystem::GetClassNameW(plain.GetSafeHwnd(), &className);
    EXPECT_EQ(className, L"KelvoClient");
}

TEST_F(MWindowTest, WrappersWithoutAWindowAnswerNeutrally)
{
    MWindow window;
    CRect rect(1, 2, 3, 4);
    CString text = L"x";
    CPoint point(5, 6);
    EXPECT_EQ(window.GetSafeHwnd(), nullptr);
    EXPECT_EQ(window.GetStyle(), 0u);
    EXPECT_EQ(window.GetExStyle(), 0u);
    EXPECT_EQ(window.ModifyStyle(0, WS_VISIBLE), 0);
    EXPECT_EQ(window.GetWindowTextLengthW(), -1);
    EXPECT_FALSE(window.GetWindowTextW(text));
    EXPECT_FALSE(window.GetClientRect(&rect));
    EXPECT_EQ(rect, CRect(1, 2, 3, 4));
    EXPECT_FALSE(window.ClientToScreen(&point));
    EXPECT_FALSE(window.IsWindowVisible());
    EXPECT_EQ(window.SendMessageW(WM_USER), 0);
    EXPECT_FALSE(window.PostMessageW(WM_USER));
    EXPECT_EQ(window.SetTimer(1, 100), 0u);
    EXPECT_EQ(window.ShowModal(), static_cast<unsigned>(-1));
    window.CenterWindow();
    window.BringToTop();
    EXPECT_FALSE(window.DestroyWindow());

    // A destroyed window leaves the same neutral object behind.
    RecordingDialog dialog;
    dialog.Create(nullptr, L"d", WS_POPUP, 0, CRect(0, 0, 10, 10));
    ASSERT_TRUE(dialog.DestroyWindow());
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    EXPECT_EQ(dialog.GetWindowTextLengthW(), -1);
    EXPECT_EQ(dialog.ShowModal(), static_cast<unsigned>(-1));
}

TEST_F(MWindowTest, ModifyStyleReportsChanges)
{
    RecordingDialog dialog;
    dialog.Create(nullptr, L"d", WS_POPUP, 0, CRect(0, 0, 10, 10));
    const DWORD before = dialog.GetStyle();
    EXPECT_EQ(dialog.ModifyStyle(0, WS_CLIPCHILDREN), 0) << "already set";
    EXPECT_EQ(dialog.ModifyStyle(WS_CLIPCHILDREN, WS_BORDER, SWP_FRAMECHANGED), 1);
    EXPECT_EQ(dialog.GetStyle(), (before & ~WS_CLIPCHILDREN) | WS_BORDER);
    EXPECT_EQ(dialog.ModifyExStyle(0, WS_EX_TOPMOST), 1);
    EXPECT_EQ(dialog.GetExStyle(), WS_EX_TOPMOST);
}

class Superclassed : public MWindow {
public:
    const wchar_t* GetWindowClassName() const override { return L"KelvoEdit"; }
    const wchar_t* GetSuperClassName() const override { return base; }
    int OnInitDialog() override { return ++initCalls; }
    const wchar_t* base = L"BaseEdit";
    int initCalls = 0;
};

TEST_F(MWindowTest, SuperclassKeepsTheBaseProcedureBehindTheObject)
{
    WNDCLASSEXW wc;
    wc.lpszClassName = L"BaseEdit";
    wc.lpfnWndProc = [](HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) -> LRESULT {
        return msg == WM_USER + 9 ? 77 : WindowSystem::DefWindowProcW(hwnd, msg, wParam, lParam);
    };
    ASSERT_TRUE(WindowSystem::RegisterClassExW(wc));

    Superclassed edit;
    const HWND hwnd = edit.Create(nullptr, L"edit", WS_POPUP, 0, CRect(0, 0, 30, 10));
    ASSERT_TRUE(hwnd);
    EXPECT_EQ(edit.initCalls, 1);
    EXPECT_EQ(WindowSystem::GetPropW(hwnd, L"Control"), reinterpret_cast<intptr_t>(&edit));
    EXPECT_EQ(edit.SendMessageW(WM_USER + 9), 77);
    edit.DestroyWindow();
    EXPECT_EQ(WindowSystem::GetPropW(hwnd, L"Control"), 0);

    // An unknown base class: no window, but the initialisation still runs.
    Superclassed orphan;
    orphan.base = L"NoSuchBase";
    EXPECT_EQ(orphan.Create(nullptr, L"orphan", WS_POPUP, 0, CRect(0, 0, 30, 10)), nullptr);
    EXPECT_EQ(orphan.initCalls, 1);
}

TEST_F(MWindowTest, AnObjectDeletedBeforeItsWindowTakesTheWindowAlong)
{
    auto dialog = std::make_unique<RecordingDialog>();
    const HWND hwnd = dialog->Create(nullptr, L"d", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 50, 50));
    dialog.reset();
    EXPECT_FALSE(WindowSystem::IsWindow(hwnd));
    Pump();
}

TEST_F(MWindowTest, CenterWindowKeepsTheWindowInsideItsBounds)
{
    // The headless work area is (0, 0, 1920, 1040).
    struct Case {
        const char* name;
        CRect reference; // empty: no reference window
        bool referenceVisible;
        CRect window;
        CPoint expected;
    };
    const Case cases[] = {
        {"no reference: the work area", {}, true, {0, 0, 400, 300}, {760, 370}},
        {"on the reference window", {100, 100, 500, 500}, true, {0, 0, 200, 100}, {200, 250}},
        {"hidden reference: the work area", {100, 100, 500, 500}, false, {0, 0, 200, 100}, {860, 470}},
        {"pushed in from the top left", {0, 0, 100, 100}, true, {0, 0, 400, 300}, {0, 0}},
        {"pushed in from the bottom right", {1800, 1000, 1920, 1040}, true, {0, 0, 400, 300}, {1520, 740}},
        {"larger than the work area", {}, true, {0, 0, 2000, 1100}, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDialog reference;
        if (!c.reference.IsRectEmpty()) {
            reference.Create(nullptr, L"ref", WS_POPUP, 0, c.reference);
            if (c.referenceVisible)
                reference.ShowWindow(SW_SHOWNA);
        }
        RecordingDialog window;
        window.Create(nullptr, L"w", WS_POPUP, 0, c.window);
        window.CenterWindow(c.reference.IsRectEmpty() ? nullptr : &reference);
        CRect rect;
        window.GetWindowRect(&rect);
        EXPECT_EQ(rect.TopLeft(), c.expected);
        EXPECT_EQ(rect.Size(), c.window.Size());
    }

    // A child window centres in its parent's client area; an owned window on its owner by default.
    RecordingDialog parent;
    parent.Create(nullptr, L"p", WS_POPUP | WS_VISIBLE, 0, CRect(300, 200, 700, 600));
    RecordingDialog child;
    child.Create(parent.GetSafeHwnd(), L"c", WS_CHILD, 0, CRect(0, 0, 100, 50));
    child.CenterWindow();
    CRect rect;
    child.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(450, 375, 550, 425));
    RecordingDialog owned;
    owned.Create(parent.GetSafeHwnd(), L"o", WS_POPUP, 0, CRect(0, 0, 100, 50));
    owned.CenterWindow();
    owned.GetWindowRect(&rect);
    EXPECT_EQ(rect, CRect(450, 375, 550, 425));
}

TEST_F(MWindowTest, BringToTopShowsRestoresAndActivates)
{
    RecordingDialog other;
    other.Create(nullptr, L"o", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 50, 50));
    RecordingDialog dialog;
    dialog.Create(nullptr, L"d", WS_POPUP, 0, CRect(0, 0, 50, 50));
    dialog.BringToTop();
    EXPECT_TRUE(dialog.IsWindowVisible());
    EXPECT_EQ(WindowSystem::GetForegroundWindow(), dialog.GetSafeHwnd());

    dialog.ShowWindow(SW_MINIMIZE);
    other.BringToTop();
    dialog.BringToTop();
    EXPECT_FALSE(dialog.IsIconic());
    EXPECT_EQ(WindowSystem::GetForegroundWindow(), dialog.GetSafeHwnd());
    EXPECT_GE(Backend().Window(dialog.GetSafeHwnd())->raiseCount, 2);
}

TEST_F(MWindowTest, ShowModalReturnsTheCloseResult)
{
    struct Case {
        const char* name;
        void (MDialog::*close)();
        unsigned result;
    };
    const Case cases[] = {
        {"DoOK", &MDialog::DoOK, 1},   {"DoCancel", &MDialog::DoCancel, 2}, {"DoClose", &MDialog::DoClose, 2},
        {"DoYes", &MDialog::DoYes, 6}, {"DoNo", &MDialog::DoNo, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingDialog dialog;
        dialog.Create(nullptr, L"modal", WS_POPUP, 0, CRect(0, 0, 100, 100));
        (dialog.*c.close)();
        EXPECT_EQ(dialog.ShowModal(SW_SHOW), c.result);
        EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);
    }

    // A window destroyed without a close message gives 0.
    RecordingDialog destroyed;
    destroyed.Create(nullptr, L"modal", WS_POPUP, 0, CRect(0, 0, 100, 100));
    const HWND hwnd = destroyed.GetSafeHwnd();
    WindowSystem::PostClosure([hwnd] { WindowSystem::DestroyWindow(hwnd); });
    EXPECT_EQ(destroyed.ShowModal(), 0u);
}

TEST_F(MWindowTest, ModalLoopDisablesTheOwnerUntilTheEnd)
{
    RecordingDialog owner;
    owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 300, 300));
    RecordingDialog dialog;
    dialog.Create(owner.GetSafeHwnd(), L"modal", WS_POPUP, 0, CRect(0, 0, 100, 100));
    bool ownerEnabledDuring = true;
    bool dialogVisibleDuring = false;
    WindowSystem::PostClosure([&] {
        ownerEnabledDuring = owner.IsWindowEnabled();
        dialogVisibleDuring = dialog.IsWindowVisible();
        dialog.DoYes();
    });
    EXPECT_EQ(dialog.ShowModal(SW_SHOW), 6u);
    EXPECT_FALSE(ownerEnabledDuring);
    EXPECT_TRUE(dialogVisibleDuring);
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(WindowSystem::GetFocus(), owner.GetSafeHwnd());
}

TEST_F(MWindowTest, QuitDuringShowModalEndsItAndIsPostedAgain)
{
    RecordingDialog dialog;
    dialog.Create(nullptr, L"modal", WS_POPUP, 0, CRect(0, 0, 100, 100));
    WindowSystem::PostQuitMessage(42);
    EXPECT_EQ(dialog.ShowModal(), 0u);
    EXPECT_TRUE(dialog.IsLive());
    MSG msg;
    EXPECT_FALSE(WindowSystem::GetMessageW(&msg));
    EXPECT_EQ(msg.wParam, 42u);
}

TEST_F(MWindowTest, NestedModalLoops)
{
    RecordingDialog outer;
    outer.Create(nullptr, L"outer", WS_POPUP, 0, CRect(0, 0, 300, 300));
    unsigned innerResult = 0;
    bool outerEnabledDuringInner = true;
    WindowSystem::PostClosure([&] {
        RecordingDialog inner;
        inner.Create(outer.GetSafeHwnd(), L"inner", WS_POPUP, 0, CRect(0, 0, 100, 100));
        WindowSystem::PostClosure([&] {
            outerEnabledDuringInner = outer.IsWindowEnabled();
            inner.DoNo();
        });
        innerResult = inner.ShowModal();
        outer.DoOK();
    });
    EXPECT_EQ(outer.ShowModal(), 1u);
    EXPECT_EQ(innerResult, 7u);
    EXPECT_FALSE(outerEnabledDuringInner);

    // A quit inside the inner loop ends both loops and still waits for the outermost one.
    RecordingDialog second;
    second.Create(nullptr, L"outer", WS_POPUP, 0, CRect(0, 0, 300, 300));
    bool innerReturned = false;
    WindowSystem::PostClosure([&] {
        RecordingDialog inner;
        inner.Create(second.GetSafeHwnd(), L"inner", WS_POPUP, 0, CRect(0, 0, 100, 100));
        WindowSystem::PostQuitMessage(9);
        inner.ShowModal();
        innerReturned = true;
    });
    EXPECT_EQ(second.ShowModal(), 0u);
    EXPECT_TRUE(innerReturned);
    EXPECT_TRUE(second.IsWindowEnabled());
    MSG msg;
    EXPECT_FALSE(WindowSystem::GetMessageW(&msg));
    EXPECT_EQ(msg.wParam, 9u);
}

TEST_F(MWindowTest, SetIconTakesAnIconResourceAtBothSizes)
{
    Surface picture(48, 48);
    picture.Fill(picture.Bounds(), 0xFF8040C0);
    ScopedTempDir dir;
    const std::string png = (dir.Path() / "icon.png").string();
    ASSERT_TRUE(picture.WritePng(png));
    const std::string bytes = ReadFileBytes(png);
    const ResourceModule program(
        {{109, L"PNG", std::span(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size())}});
    Manager::SetInstance(program.Instance());
    MWindow window;
    const HWND hwnd = window.Create(nullptr);
    window.SetIcon(109);
    EXPECT_EQ(Backend().Window(hwnd)->iconSizes, (std::vector<CSize>{{32, 32}, {16, 16}}));
    // An id without a resource leaves the icons alone.
    window.SetIcon(110);
    EXPECT_EQ(Backend().Window(hwnd)->iconSizes.size(), 2u);
    Manager::SetInstance(nullptr);
}

} // namespace
