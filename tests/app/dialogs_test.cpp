// The message box and the wait dialog over the main window, and the closing of passing windows.

#include <gtest/gtest.h>

#include "app/language_text.h"
#include "app/secondary_windows.h"
#include "app/ui_message_box.h"
#include "app/wait_dlg.h"
#include "core/linux_keys.h"
#include "tests/app/app_fixture.h"
#include "ui/controls/m_text.h"
#include "ui/framework/window_system.h"

namespace {

using DialogsTest = AppFixture;

// The middle of the first (kind 0: the only) button and of the second button of a message box.
constexpr CPoint kOnlyButton(190, 175);
constexpr CPoint kFirstOfTwo(120, 175);
constexpr CPoint kSecondOfTwo(260, 175);

TEST_F(DialogsTest, MessageBoxResults)
{
    KeyboardDlg& window = Start();
    struct Case {
        const char* name;
        int kind;
        std::function<void(HWND box)> answer;
        int result;
    };
    const Case cases[] = {
        {"the only button", 0, [&](HWND box) { ClickAt(box, kOnlyButton); }, 1},
        {"first of two", 4, [&](HWND box) { ClickAt(box, kFirstOfTwo); }, 1},
        {"second of two", 4, [&](HWND box) { ClickAt(box, kSecondOfTwo); }, 2},
        {"closed as a passing window", 4, [](HWND) { CloseSecondaryWindows(); }, 2},
        {"closed by the desktop", 4, [&](HWND box) { Backend().CloseRequest(box); }, 2},
        {"Escape", 4, [&](HWND box) { Backend().KeyDown(box, 1 /* Escape */); }, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        WhileModal([&] {
            const std::vector<HWND> boxes = WindowsTitled(L"MessageBox");
            ASSERT_EQ(boxes.size(), 1u);
            // Modal over the main window, a tool window centred on the screen.
            EXPECT_FALSE(window.IsWindowEnabled());
            CRect rect;
            WindowSystem::GetWindowRect(boxes[0], &rect);
            EXPECT_EQ(rect.Size(), CSize(380, 200));
            const CRect work = WindowSystem::GetWorkArea(nullptr);
            EXPECT_EQ(rect.left - work.left, work.right - rect.right);
            EXPECT_NE(WindowSystem::GetWindowLongPtrW(boxes[0], GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
            c.answer(boxes[0]);
        });
        EXPECT_EQ(window.ShowMessageBox(L"Title", L"A message", c.kind), c.result);
        Pump();
        EXPECT_TRUE(WindowsTitled(L"MessageBox").empty());
        EXPECT_TRUE(window.IsWindowEnabled());
    }
}

TEST_F(DialogsTest, MessageBoxContent)
{
    for (const int kind : {0, 4}) {
        SCOPED_TRACE(kind);
        CUIMessageBox box(nullptr, L"Install Driver", L"InstallDriver Error!", kind);
        WhileModal([&] {
            auto* title = dynamic_cast<MText*>(box.GetControl(CUIMessageBox::kTitleId));
            auto* text = dynamic_cast<MText*>(box.GetControl(CUIMessageBox::kTextId));
            ASSERT_TRUE(title && text);
            EXPECT_EQ(title->GetTitle(), L"Install Driver");
            EXPECT_EQ(title->GetRect(), CRect(20, 15, 360, 40));
            EXPECT_EQ(text->GetTitle(), L"InstallDriver Error!");
            EXPECT_EQ(text->GetRect(), CRect(20, 70, 360, 130));
            auto* first = dynamic_cast<MControlFont*>(box.GetControl(CUIMessageBox::kFirstButton));
            ASSERT_NE(first, nullptr);
            MControl* second = box.GetControl(CUIMessageBox::kSecondButton);
            if (kind == 0) {
                EXPECT_EQ(first->GetRect(), CRect(60, 160, 320, 190));
                EXPECT_EQ(first->GetTitle(), GetText(kDialogSection, 20));
                EXPECT_EQ(second, nullptr);
            } else {
                EXPECT_EQ(first->GetRect(), CRect(70, 160, 170, 190));
                EXPECT_EQ(first->GetTitle(), GetText(kDialogSection, 23));
                ASSERT_NE(second, nullptr);
                EXPECT_EQ(second->GetRect(), CRect(210, 160, 310, 190));
            }
            box.DoOK();
        });
        // Without an owner it is still shown.
        EXPECT_EQ(box.DoModal(), 1);
    }
}

TEST_F(DialogsTest, OneWaitDialogAtATime)
{
    KeyboardDlg& window = Start();
    EXPECT_FALSE(window.CloseOpenWaitDialog());
    size_t mostOpen = 0;
    const auto count = [&] {
        size_t open = 0;
        for (const HWND hwnd : WindowsTitled(L"WaitDlg"))
            open += WindowSystem::IsWindowVisible(hwnd) ? 1 : 0;
        mostOpen = std::max(mostOpen, open);
        return open;
    };
    HWND first = nullptr;
    bool secondRan = false;
    WhileModal([&] {
        ASSERT_EQ(WindowsTitled(L"WaitDlg").size(), 1u);
        first = WindowsTitled(L"WaitDlg")[0];
        EXPECT_TRUE(window.IsWaitDialogOpen());
        CRect rect;
        WindowSystem::GetWindowRect(first, &rect);
        EXPECT_EQ(rect.Size(), CSize(102, 102));
        CRect owner;
        window.GetWindowRect(&owner);
        EXPECT_EQ(rect.CenterPoint(), owner.CenterPoint());
        // A second one while the first is open: the first goes (its close takes a few messages).
        WhileModalUntil([&] { return !WindowSystem::IsWindow(first); },
                        [&] {
                            EXPECT_FALSE(WindowSystem::IsWindow(first));
                            EXPECT_EQ(count(), 1u);
                            // The worker's side: from another thread.
                            std::thread([&] { EXPECT_TRUE(window.CloseOpenWaitDialog()); }).join();
                        });
        count();
        window.RunWaitDialog();
        secondRan = true;
    });
    window.RunWaitDialog();
    EXPECT_TRUE(secondRan);
    EXPECT_EQ(mostOpen, 1u);
    EXPECT_FALSE(window.IsWaitDialogOpen());
    EXPECT_FALSE(window.CloseOpenWaitDialog());
    EXPECT_TRUE(WindowsTitled(L"WaitDlg").empty());
}

TEST_F(DialogsTest, PassingWindowsCloseOrHide)
{
    Start();
    class Plain : public MDialog {};
    struct Case {
        const wchar_t* title;
        bool staysHidden; // hidden rather than closed
    };
    const Case cases[] = {
        {L"CloseWindowTipDlg", false}, {L"CustomKeyDlg", false}, {L"WaitDlg", false}, {L"Menu Window", false},
        {L"KeyboardTip Window", true}, {L"ComboWnd", true},      {L"Other", true},
    };
    std::vector<std::unique_ptr<Plain>> windows;
    for (const Case& c : cases) {
        windows.push_back(std::make_unique<Plain>());
        windows.back()->Create(nullptr, c.title, WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 50, 50));
    }
    CloseSecondaryWindows();
    Pump();
    for (size_t i = 0; i < std::size(cases); ++i) {
        SCOPED_TRACE(WideToUtf8(cases[i].title));
        EXPECT_EQ(windows[i]->IsLive(), cases[i].staysHidden);
        if (windows[i]->IsLive()) {
            EXPECT_EQ(windows[i]->IsWindowVisible() != 0, CString(cases[i].title) == L"Other");
        }
    }
    EXPECT_TRUE(Window().IsLive());
    EXPECT_TRUE(Window().IsWindowVisible());
}

} // namespace
