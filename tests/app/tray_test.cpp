// The tray icon, the closing behaviour dialog and the close request: what the close button (and the
// desktop's close) does for each stored `exit_mode`, what the tray's clicks and menu do with the window
// hidden and shown, and the tips.

#include <gtest/gtest.h>

#include <optional>

#include "app/app_messages.h"
#include "app/close_window_tip_dlg.h"
#include "app/language_text.h"
#include "app/main_window_ids.h"
#include "app/text_ids.h"
#include "app/tray_menu.h"
#include "tests/app/app_fixture.h"
#include "ui/controls/c_radio_button.h"
#include "ui/controls/menu_item.h"
#include "ui/framework/manager.h"
#include "ui/framework/window_system.h"

namespace {

// Places in the closing behaviour dialog's client area (360 × 200).
constexpr CPoint kHideChoice(192, 75);
constexpr CPoint kExitChoice(192, 110);
constexpr CPoint kApplyButton(290, 165);

class TrayTest : public AppFixture {
protected:
    // The closing behaviour dialog that is open now; null when none.
    static CloseWindowTipDlg* OpenDialog()
    {
        const std::vector<HWND> windows = WindowsTitled(L"CloseWindowTipDlg");
        if (windows.size() != 1)
            return nullptr;
        auto* object = reinterpret_cast<MWindow*>(WindowSystem::GetWindowLongPtrW(windows[0], GWLP_USERDATA));
        return dynamic_cast<CloseWindowTipDlg*>(object);
    }

    static int Checked(CloseWindowTipDlg& dialog, unsigned id)
    {
        auto* radio = dynamic_cast<CRadioButton*>(dialog.GetControl(id));
        return radio ? radio->GetCheck() : -1;
    }

    // Answers the dialog when it opens, having recorded which choice it offered first; never called
    // means the dialog never opened.
    struct DialogAnswer {
        enum class Way { Apply, ChooseExitAndApply, CloseUnapplied };
        Way way = Way::Apply;
        std::optional<unsigned> offered; // the radio button checked on opening
    };
    void AnswerDialog(DialogAnswer& answer)
    {
        WhileModalUntil([] { return OpenDialog() != nullptr; },
                        [this, &answer] {
                            CloseWindowTipDlg* dialog = OpenDialog();
                            ASSERT_NE(dialog, nullptr);
                            EXPECT_FALSE(Window().IsWindowEnabled()) << "modal over the main window";
                            answer.offered = Checked(*dialog, CloseWindowTipDlg::kHideId) == 1
                                                 ? CloseWindowTipDlg::kHideId
                                                 : CloseWindowTipDlg::kExitId;
                            const HWND hwnd = dialog->GetSafeHwnd();
                            switch (answer.way) {
                            case DialogAnswer::Way::ChooseExitAndApply:
                                ClickAt(hwnd, kExitChoice);
                                [[fallthrough]];
                            case DialogAnswer::Way::Apply:
                                ClickAt(hwnd, kApplyButton);
                                break;
                            case DialogAnswer::Way::CloseUnapplied:
                                Backend().CloseRequest(hwnd);
                                break;
                            }
                        });
    }

    bool MainVisible() const { return WindowSystem::IsWindowVisible(Hwnd()) != FALSE; }
};

TEST_F(TrayTest, CloseRequestFollowsTheClosingBehaviour)
{
    using Way = DialogAnswer::Way;
    struct Case {
        const char* name;
        std::optional<const wchar_t*> stored; // exit_mode before; nullopt: absent
        std::optional<Way> answer;            // how the dialog is answered; nullopt: it must not open
        const wchar_t* storedAfter;           // exit_mode afterwards ("" for absent)
        bool exits;
    };
    const Case cases[] = {
        {"absent: asks, hide applied", std::nullopt, Way::Apply, L"1", false},
        {"0: asks, exit chosen", L"0", Way::ChooseExitAndApply, L"2", true},
        {"not a number: asks", L"abc", Way::Apply, L"1", false},
        {"1: hides", L"1", std::nullopt, L"1", false},
        {"2: exits", L"2", std::nullopt, L"2", true},
        {"dialog closed unapplied: exits", L"0", Way::CloseUnapplied, L"0", true},
    };
    // The close button and the desktop's close (the window manager's close button) ask alike.
    const struct {
        const char* name;
        std::function<void()> close;
    } triggers[] = {
        {"close button", [this] { Click(MainId::kClose); }},
        {"desktop's close", [this] { Backend().CloseRequest(Hwnd()); }},
    };
    for (const auto& trigger : triggers) {
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(trigger.name) + ": " + c.name);
            if (c.stored)
                SetSetting(kExitModeValue, *c.stored);
            else
                settings.DeleteValue(Manager::GetDeviceName(), kExitModeValue);
            Start().ShowWindow(SW_SHOWNORMAL);
            Pump();
            FakeProcessExit exit;
            services.processExit = &exit;
            DialogAnswer answer;
            if (c.answer) {
                answer.way = *c.answer;
                AnswerDialog(answer);
            }
            trigger.close();
            Pump();
            services.processExit = &processExit;

            EXPECT_EQ(answer.offered.has_value(), c.answer.has_value()) << "the dialog opened or not";
            if (answer.offered) {
                EXPECT_EQ(*answer.offered, CloseWindowTipDlg::kHideId) << "hide is offered first";
            }
            EXPECT_EQ(Setting(kExitModeValue), c.storedAfter);
            EXPECT_EQ(exit.ExitCodes(), c.exits ? std::vector<int>{0} : std::vector<int>{});
            EXPECT_EQ(tray.IsAdded(), !c.exits) << "the exit takes the icon down";
            if (!c.exits) {
                EXPECT_FALSE(MainVisible()) << "hidden to the tray";
                EXPECT_TRUE(WindowsTitled(L"CloseWindowTipDlg").empty());
            }
            // Back for the next case.
            if (!tray.IsAdded())
                tray.Add(TrayIconData{});
        }
    }
}

TEST_F(TrayTest, ClosingBehaviourDialog)
{
    KeyboardDlg& window = Start();
    // Look and place: 360 × 200 in the middle of the screen, topmost, with its four controls.
    WhileModalUntil([] { return OpenDialog() != nullptr; },
                    [&] {
                        CloseWindowTipDlg* dialog = OpenDialog();
                        ASSERT_NE(dialog, nullptr);
                        CRect rect;
                        dialog->GetWindowRect(&rect);
                        EXPECT_EQ(rect.Size(), CSize(360, 200));
                        const CRect work = WindowSystem::GetWorkArea(nullptr);
                        EXPECT_EQ(rect.left - work.left, work.right - rect.right);
                        EXPECT_NE(dialog->GetExStyle() & WS_EX_TOPMOST, 0u);
                        EXPECT_EQ(dialog->GetExStyle() & WS_EX_TOOLWINDOW, 0u);
                        const struct {
                            unsigned id;
                            CRect rect;
                            int textId;
                        } controls[] = {
                            {30, CRect(50, 5, 310, 35), 170},
                            {31, CRect(30, 60, 355, 90), 171},
                            {32, CRect(30, 95, 355, 125), 172},
                            {33, CRect(240, 150, 340, 180), 22},
                        };
                        for (const auto& c : controls) {
                            auto* control = dynamic_cast<MControlFont*>(dialog->GetControl(c.id));
                            ASSERT_NE(control, nullptr) << c.id;
                            EXPECT_EQ(control->GetRect(), c.rect) << c.id;
                            EXPECT_EQ(control->GetTitle(), TextIn(1033, c.textId)) << c.id;
                        }
                        // One group: choosing exit leaves hide unchecked.
                        ClickAt(dialog->GetSafeHwnd(), kExitChoice);
                        Pump();
                        EXPECT_EQ(Checked(*dialog, 31), 0);
                        EXPECT_EQ(Checked(*dialog, 32), 1);
                        // Escape leaves the choice unstored.
                        Backend().KeyDown(dialog->GetSafeHwnd(), 1);
                    });
    EXPECT_FALSE(window.RunClosingBehaviourDialog());
    EXPECT_EQ(Setting(kExitModeValue), L"");
    EXPECT_TRUE(window.IsWindowEnabled());

    // With "exit" stored, the dialog offers exit.
    SetSetting(kExitModeValue, L"2");
    DialogAnswer answer;
    AnswerDialog(answer);
    EXPECT_TRUE(window.RunClosingBehaviourDialog());
    EXPECT_EQ(answer.offered, CloseWindowTipDlg::kExitId);
    EXPECT_EQ(Setting(kExitModeValue), L"2");
}

TEST_F(TrayTest, TrayMenuDialogRefreshesTheCloseButtonsTip)
{
    SetSetting(kExitModeValue, L"2");
    Start();
    EXPECT_EQ(TooltipOf(MainId::kClose), TextIn(1033, kTextExitProgram));
    WhileModalUntil([] { return OpenDialog() != nullptr; },
                    [&] {
                        ClickAt(OpenDialog()->GetSafeHwnd(), kHideChoice);
                        ClickAt(OpenDialog()->GetSafeHwnd(), kApplyButton);
                    });
    Send(WM_COMMAND, kCommandClosingOptions);
    EXPECT_EQ(Setting(kExitModeValue), L"1");
    EXPECT_EQ(TooltipOf(MainId::kClose), TextIn(1033, kTextHideToTray));
    EXPECT_TRUE(processExit.ExitCodes().empty());
}

TEST_F(TrayTest, TrayClicksWithTheWindowHiddenAndShown)
{
    KeyboardDlg& window = Start();
    struct Case {
        const char* name;
        bool hiddenBefore;
        unsigned message;
        bool visibleAfter;
        bool menu;
    };
    const Case cases[] = {
        {"left press shows a hidden window", true, WM_LBUTTONDOWN, true, false},
        {"double click shows it too", true, WM_LBUTTONDBLCLK, true, false},
        {"left press keeps a shown window", false, WM_LBUTTONDOWN, true, false},
        {"right release: menu, window stays hidden", true, WM_RBUTTONUP, false, true},
        {"right release: menu over the shown window", false, WM_RBUTTONUP, true, true},
        {"right press alone: nothing", true, WM_RBUTTONDOWN, false, false},
        {"moves: nothing", true, WM_MOUSEMOVE, false, false},
        {"download progress: nothing", true, 42, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        window.ShowWindow(c.hiddenBefore ? SW_HIDE : SW_SHOWNORMAL);
        Pump();
        tray.Click(c.message);
        Pump();
        EXPECT_EQ(MainVisible(), c.visibleAfter);
        TrayMenu* menu = window.OpenTrayMenu();
        EXPECT_EQ(menu != nullptr, c.menu);
        if (menu) {
            EXPECT_TRUE(menu->IsWindowVisible());
            const std::vector<MenuItem*> rows = menu->GetItems();
            ASSERT_EQ(rows.size(), 2u);
            EXPECT_EQ(rows[0]->GetTitle(), TextIn(1033, kTextTrayClosingOptions));
            EXPECT_EQ(rows[0]->GetID(), 200u);
            EXPECT_EQ(rows[1]->GetTitle(), TextIn(1033, kTextTrayExit));
            EXPECT_EQ(rows[1]->GetID(), 100u);
            // At the pointer.
            CRect rect;
            menu->GetWindowRect(&rect);
            CPoint cursor;
            WindowSystem::GetCursorPos(&cursor);
            EXPECT_TRUE(rect.PtInRect(cursor));
            menu->CloseMenu();
            Pump();
        }
        EXPECT_TRUE(processExit.ExitCodes().empty());
    }
}

TEST_F(TrayTest, TrayMenuRows)
{
    KeyboardDlg& window = Start();
    window.ShowWindow(SW_HIDE);
    const auto clickRow = [&](size_t index, std::function<void()> beforeClick) {
        tray.Click(WM_RBUTTONUP);
        Pump();
        TrayMenu* menu = window.OpenTrayMenu();
        ASSERT_NE(menu, nullptr);
        const CRect row = menu->GetItems().at(index)->GetRect();
        beforeClick();
        ClickAt(menu->GetSafeHwnd(), row.CenterPoint());
        Pump();
    };
    // Closing options: the dialog, over the hidden window, which stays hidden.
    DialogAnswer answer;
    clickRow(0, [&] { AnswerDialog(answer); });
    EXPECT_TRUE(answer.offered.has_value());
    EXPECT_EQ(Setting(kExitModeValue), L"1");
    EXPECT_FALSE(MainVisible());
    EXPECT_EQ(window.OpenTrayMenu(), nullptr);
    // Exit: path B, the icon goes.
    clickRow(1, [] {});
    EXPECT_EQ(processExit.ExitCodes(), std::vector<int>{0});
    EXPECT_FALSE(tray.IsAdded());
}

TEST_F(TrayTest, IconTipAndRemoval)
{
    // A device name longer than a tray takes: cut in the tip, whole in the title.
    const std::wstring longName(140, L'Z');
    std::string config = ReadFileBytes(BuildBinDir() / "config.xml");
    const std::string from = "<software name=\"Corvid Z5\"";
    config.replace(config.find(from), from.size(), "<software name=\"" + WideToUtf8(longName) + "\"");
    UseAppFolder(MakeAppFolder(config));
    KeyboardDlg& window = Start();
    ASSERT_TRUE(tray.IsAdded());
    EXPECT_EQ(tray.Data().tip, longName.substr(0, 127));
    CString title;
    window.GetWindowTextW(title);
    EXPECT_EQ(title, longName);
    EXPECT_TRUE(tray.Data().iconFile.ends_with("/skins/theme1/Torvik.ico")) << tray.Data().iconFile;

    // The exit takes the icon down once; the window object going afterwards does not again.
    Send(WM_COMMAND, kCommandQuit);
    EXPECT_EQ(tray.RemoveCount(), 1);
    DestroyMainWindow();
    EXPECT_EQ(tray.RemoveCount(), 1);
    EXPECT_FALSE(tray.Remove());
}

TEST_F(TrayTest, WithoutATrayHidingMinimises)
{
    SetSetting(kExitModeValue, L"1");
    tray.SetTrayPresent(false);
    KeyboardDlg& window = Start();
    Click(MainId::kClose);
    EXPECT_TRUE(MainVisible());
    EXPECT_TRUE(window.IsIconic());

    // A tray that comes: hiding goes there; one that goes while the window hides in it leaves the
    // window minimised, never lost.
    tray.SetTrayPresent(true);
    window.ShowWindow(SW_SHOWNORMAL);
    Click(MainId::kClose);
    EXPECT_FALSE(MainVisible());
    tray.SetTrayPresent(false);
    Pump();
    EXPECT_TRUE(MainVisible());
    EXPECT_TRUE(window.IsIconic());
    EXPECT_TRUE(processExit.ExitCodes().empty());
}

TEST_F(TrayTest, NoTrayLayerAtAll)
{
    services.tray = nullptr;
    SetSetting(kExitModeValue, L"1");
    KeyboardDlg& window = Start();
    Click(MainId::kClose);
    EXPECT_TRUE(window.IsIconic());
    Send(WM_COMMAND, kCommandQuit);
    EXPECT_EQ(processExit.ExitCodes(), std::vector<int>{0});
}

} // namespace
