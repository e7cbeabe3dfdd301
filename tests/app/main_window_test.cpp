// The main window on the headless backend: the control tree, start-up, page switching and the page
// state, the language switch, the settings page, the caption buttons, the exit paths and the routing of
// both dispatch tables.

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <thread>
#include <typeindex>

#include "app/app_messages.h"
#include "app/custom_key_page.h"
#include "app/home_page.h"
#include "app/language_text.h"
#include "app/lighting_page.h"
#include "app/macro_page.h"
#include "app/main_frame.h"
#include "app/main_window_ids.h"
#include "app/settings_page.h"
#include "device/device_worker.h"
#include "macros/software_keys.h"
#include "platform/driver_installer.h"
#include "tests/app/app_fixture.h"
#include "ui/controls/c_check_button.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_picture.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/controls/m_text.h"
#include "ui/framework/c_area.h"
#include "ui/framework/manager.h"
#include "ui/framework/surface.h"
#include "ui/framework/window_system.h"
#include "ui/keyboard/battery_ctrl.h"
#include "ui/keyboard/c_device_ctrl.h"

namespace {

class MainWindowTest : public AppFixture {
protected:
    // The home page's device list, row by row (in the description's model order).
    std::vector<int> DeviceStates() const
    {
        std::vector<int> states;
        if (const auto* list = ControlAs<CDeviceCtrl>(56)) {
            for (int i = 0; i < list->GetDeviceCount(); ++i)
                states.push_back(list->GetDeviceState(i));
        }
        return states;
    }

    // Pixels of the shown window in a rectangle that are light (text, a lit row) on the dark background.
    int LightPixels(const CRect& rect)
    {
        const Surface& shown = Backend().Window(Hwnd())->image;
        int count = 0;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x) {
                const uint32_t p = shown.Pixel(x, y);
                count += ((p >> 16) & 0xFF) > 0x70 && ((p >> 8) & 0xFF) > 0x70 && (p & 0xFF) > 0x70;
            }
        }
        return count;
    }
};

constexpr unsigned kTop = 0; // a control of the window itself, not of a page

TEST_F(MainWindowTest, ControlTreeAt1280x720)
{
    KeyboardDlg& window = Start();
    CRect client;
    window.GetClientRect(&client);
    ASSERT_EQ(client, CRect(0, 0, 1280, 720));

    struct Expected {
        unsigned id;
        std::type_index type;
        unsigned page;
        CRect rect;
        bool visible;
    };
    const CRect none;
    const Expected tree[] = {
        {30, typeid(MPicture), kTop, {0, 0, 1280, 720}, true},
        {31, typeid(CArea), kTop, {0, 0, 1, 720}, true},
        {32, typeid(CArea), kTop, {1279, 0, 1280, 720}, true},
        {33, typeid(CArea), kTop, {0, 0, 1280, 1}, true},
        {34, typeid(CArea), kTop, {0, 719, 1280, 720}, true},
        {35, typeid(CArea), kTop, none, true},
        {36, typeid(MPicture), kTop, {1, 1, 1279, 50}, true},
        {37, typeid(MPicture), kTop, none, true},
        {40, typeid(MPicture), kTop, none, true},
        {38, typeid(MText), kTop, {490, 10, 790, 40}, true},
        {39, typeid(MText), kTop, none, true},
        {46, typeid(BatteryCtrl), kTop, none, true},
        {47, typeid(MPicture), kTop, none, true},
        {41, typeid(CImageButton), kTop, {1230, 20, 1260, 50}, true},
        {42, typeid(CImageButton), kTop, {1180, 20, 1210, 50}, true},
        {44, typeid(CImageButton), kTop, {1130, 20, 1160, 50}, true},
        {50, typeid(MTabLayout), kTop, {1, 50, 1279, 719}, true},
        {51, typeid(MTabLayout), kTop, {80, 50, 1279, 719}, false},
        {52, typeid(MTabLayout), kTop, {80, 50, 1279, 719}, false},
        {53, typeid(MTabLayout), kTop, {80, 50, 1279, 719}, false},
        {54, typeid(MTabLayout), kTop, {80, 50, 1279, 719}, false},
        {48, typeid(CArea), kTop, {1, 50, 76, 719}, false},
        {49, typeid(MTabCtrl), kTop, {1, 60, 79, 719}, false},
        {55, typeid(MText), 50, {460, 280, 832, 318}, true},
        {56, typeid(CDeviceCtrl), 50, {460, 318, 832, 580}, true},
        {58, typeid(MText), 50, {10, 680, 170, 715}, true},
        {57, typeid(MText), 50, {290, 680, 990, 715}, true},
        {59, typeid(CArea), 51, {80, 50, 320, 100}, true},
        {60, typeid(CImageButton), 51, {110, 60, 140, 90}, true},
        {61, typeid(CImageButton), 51, {145, 60, 175, 90}, true},
        {62, typeid(CImageButton), 51, {180, 60, 210, 90}, true},
        {63, typeid(CImageButton), 51, {215, 60, 245, 90}, true},
        {64, typeid(CImageButton), 51, {250, 60, 280, 90}, true},
        {65, typeid(CArea), 51, {80, 100, 320, 719}, true},
        {238, typeid(CArea), 54, {80, 50, 320, 719}, true},
        {239, typeid(MText), 54, {105, 120, 260, 150}, true},
        {240, typeid(MComboBox), 54, {100, 150, 300, 188}, true},
        {241, typeid(CCheckButton), 54, {100, 200, 1100, 238}, true},
        {243, typeid(MButton), 54, {100, 360, 310, 398}, true},
    };
    for (const Expected& e : tree) {
        SCOPED_TRACE(e.id);
        MControl* control = Control(e.id);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(std::type_index(typeid(*control)), e.type);
        EXPECT_EQ(control->GetRect(), e.rect);
        EXPECT_EQ(control->IsVisible() != 0, e.visible);
        if (e.page == kTop)
            EXPECT_TRUE(window.GetControls().Contains(control));
        else
            EXPECT_EQ(Control(e.page)->GetControl(e.id), control);
    }

    // Classes that are not built yet create nothing; once built, they stand where the layout says.
    const std::pair<unsigned, CRect> later[] = {{69, {330, 450, 1279, 719}}};
    for (const auto& [id, rect] : later) {
        if (const MControl* control = Control(id)) {
            EXPECT_EQ(control->GetRect(), rect) << id;
        }
    }

    auto* tabs = ControlAs<MTabCtrl>(49);
    ASSERT_NE(tabs, nullptr);
    const std::pair<unsigned, unsigned> items[] = {{0, 50}, {1, 51}, {2, 53}, {3, 52}, {5, 54}};
    ASSERT_EQ(tabs->GetItemCount(), 5);
    for (int i = 0; i < 5; ++i) {
        EXPECT_EQ(tabs->GetItemID(i), items[i].first) << i;
        EXPECT_EQ(tabs->GetItemInfo(i)->page, Control(items[i].second)) << i;
    }
    EXPECT_EQ(tabs->GetSelectItem(), 0);
    EXPECT_EQ(tabs->GetTabType(), 1);
    EXPECT_EQ(tabs->GetTextColor(), 0xFFADADADu);
}

TEST_F(MainWindowTest, StartUpShowsTheHomePageAndQueuesTheFirstTasks)
{
    KeyboardDlg& window = Start();
    EXPECT_EQ(Manager::GetDeviceName(), L"Corvid Z5");
    CString title;
    window.GetWindowTextW(title);
    EXPECT_EQ(title, L"Corvid Z5");
    EXPECT_EQ(window.GetStyle() & (WS_POPUP | WS_VISIBLE), WS_POPUP | WS_VISIBLE);
    // A second start finds the window by this.
    EXPECT_EQ(WindowSystem::GetPropW(Hwnd(), L"Corvid Z5"), 1);
    CRect rect;
    window.GetWindowRect(&rect);
    const CRect work = WindowSystem::GetWorkArea(nullptr);
    EXPECT_EQ(rect.left - work.left, work.right - rect.right);

    EXPECT_EQ(QueuedTasks(), (std::vector<int>{12, 1}));
    EXPECT_NE(window.GetPaintManager().GetMTimerID(), 0u);

    // The start-up model and its database.
    EXPECT_EQ(window.CurrentDeviceType(), 201);
    EXPECT_TRUE(database.IsOpened());
    EXPECT_NE(database.FilePath().find("/Corvid Z5 Files/db/Corvid Z5 Wireless_data_v6.db"),
              std::string::npos)
        << database.FilePath();

    // The home page, from config.xml and the language file.
    EXPECT_EQ(TitleOf(38), L"Corvid Z5");
    EXPECT_EQ(TitleOf(55), TextIn(kLanguageEnglish, 60));
    EXPECT_EQ(TitleOf(58), L"Ver: 1.0.0");
    EXPECT_EQ(TitleOf(57), window.Software().copyright);
    EXPECT_FALSE(window.Software().copyright.empty());
    // One row per model, none shown before a scan finds it.
    EXPECT_EQ(DeviceStates(), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(TitleOf(39), L"");
    EXPECT_EQ(TooltipOf(41), TextIn(kLanguageEnglish, 171));
    EXPECT_EQ(TooltipOf(42), TextIn(kLanguageEnglish, 2));
    EXPECT_EQ(TooltipOf(44), TextIn(kLanguageEnglish, 5));

    // No keyboard: the first connect shows the absent state.
    RunWorker();
    EXPECT_EQ(TitleOf(55), TextIn(kLanguageEnglish, 61));
    EXPECT_FALSE(Control(49)->IsVisible());
    EXPECT_EQ(window.ShownConnection(), -1);

    // Painted: the background picture is on screen, not the bare window colour.
    const HeadlessWindow* shown = Backend().Window(Hwnd());
    ASSERT_NE(shown, nullptr);
    EXPECT_GT(shown->presentCount, 0);
    EXPECT_NE(shown->image.Pixel(640, 400), shown->image.Pixel(640, 5));
}

TEST_F(MainWindowTest, TheWindowFollowsTheKeyboard)
{
    ConnectUnannounced(0);
    SetSetting(L"last_tab_index", L"3");
    KeyboardDlg& window = Start();
    RunWorker();
    auto* tabs = ControlAs<MTabCtrl>(49);
    struct Shown {
        int header;
        bool tabBar;
        int tab;
        unsigned page;
        int title;
        std::optional<int> connection;
    };
    const auto expect = [&](const Shown& s) {
        EXPECT_EQ(TitleOf(55), TextIn(kLanguageEnglish, s.header));
        EXPECT_EQ(Control(49)->IsVisible() != 0, s.tabBar);
        EXPECT_EQ(Control(48)->IsVisible() != 0, s.tabBar);
        EXPECT_EQ(tabs->GetSelectItem(), s.tab);
        for (unsigned page = 50; page <= 54; ++page)
            EXPECT_EQ(Control(page)->IsVisible() != 0, page == s.page) << page;
        EXPECT_EQ(TitleOf(39), s.title ? TextIn(kLanguageEnglish, s.title) : CString());
        EXPECT_EQ(window.ShownConnection(), s.connection);
        EXPECT_TRUE(window.IsWindowEnabled());
    };
    const Shown present{60, true, 3, 52, 53, 0};
    const Shown absent{61, false, 0, 50, 0, -1};
    // Only the connected model is listed; the others stay hidden.
    const std::vector<int> wirelessListed{1, 0, 0};
    const std::vector<int> noneListed{0, 0, 0};
    {
        SCOPED_TRACE("plugged in before the start");
        expect(present);
        EXPECT_EQ(DeviceStates(), wirelessListed);
    }
    {
        SCOPED_TRACE("unplugged");
        Keyboard().DisconnectAll();
        RunWorker();
        expect(absent);
        EXPECT_EQ(DeviceStates(), noneListed);
        EXPECT_EQ(window.Home().ChosenDeviceType(), 0);
    }
    {
        SCOPED_TRACE("plugged in by the 2.4 GHz receiver");
        Keyboard().Connect(1);
        RunWorker();
        expect({60, true, 3, 52, 53, 1});
        EXPECT_EQ(DeviceStates(), wirelessListed);
    }
    // A job other than a scan disables the window while it runs, and enables it again.
    window.OnModelChosen(202);
    Window().Worker()->Step();
    Pump();
    EXPECT_TRUE(window.IsWindowEnabled());
    EXPECT_TRUE(QueuedTasks().empty());
}

TEST_F(MainWindowTest, HomePageTextsAreOnScreen)
{
    Start();
    EXPECT_GT(LightPixels({10, 680, 170, 715}), 20) << "the version";
    EXPECT_GT(LightPixels({290, 680, 990, 715}), 20) << "the copyright";
    EXPECT_GT(LightPixels({460, 280, 832, 318}), 20) << "the header";
    EXPECT_EQ(LightPixels({200, 400, 400, 600}), 0) << "empty background";
    EXPECT_EQ(LightPixels({460, 318, 832, 580}), 0) << "no keyboard listed";
}

TEST_F(MainWindowTest, DraggingEmptySpaceMovesTheWindow)
{
    KeyboardDlg& window = Start();
    CRect before;
    window.GetWindowRect(&before);
    // On the caption picture: it takes no clicks, so the press drags.
    Backend().MoveMouse(Hwnd(), CPoint(300, 25));
    Backend().Press(Hwnd(), kButtonLeft, CPoint(300, 25));
    Pump();
    Backend().MoveMouse(Hwnd(), CPoint(350, 45));
    Pump();
    Backend().Release(Hwnd(), kButtonLeft, CPoint(300, 25));
    Pump();
    CRect after;
    window.GetWindowRect(&after);
    EXPECT_EQ(after.TopLeft() - before.TopLeft(), CPoint(50, 20));

    // From the caption onto a button laid over it: the press is the button's.
    Backend().MoveMouse(Hwnd(), CPoint(1150, 10));
    Pump();
    Backend().MoveMouse(Hwnd(), CPoint(1195, 35));
    Backend().Press(Hwnd(), kButtonLeft, CPoint(1195, 35));
    Pump();
    Backend().MoveMouse(Hwnd(), CPoint(1100, 100));
    Pump();
    Backend().Release(Hwnd(), kButtonLeft, CPoint(1100, 100));
    Pump();
    CRect still;
    window.GetWindowRect(&still);
    EXPECT_EQ(still, after);
}

TEST_F(MainWindowTest, SoftwareKeysFollowTheProfileAndLetGoAtTheEnd)
{
    constexpr unsigned kCapsLock = 57;
    constexpr unsigned kEscape = 41;
    const auto escapeHeld = [](const MemoryVirtualHidDevice::Report& r) {
        return r[1] == 1 && (r[3 + kEscape / 8] & (1u << (kEscape % 8))) != 0;
    };
    ConnectUnannounced(0);
    SetSetting(kExitModeValue, L"2");
    KeyboardDlg& window = Start();
    KeyAssignmentRow row;
    row.profile = 1;
    row.key_code = kCapsLock;
    row.macro_type = 2; // another key
    row.macro_value = kEscape;
    ASSERT_NE(database.SaveKeyAssignment(row), 0);
    // The page reload after the first connect hands the profile's keys to the filter.
    RunWorker();
    EXPECT_EQ(virtualDevice.Name(), "Corvid Z5");
    EXPECT_EQ(keyFilter.WatchedKeys(), std::vector<unsigned>{kCapsLock});
    EXPECT_EQ(window.CustomKeys().SoftwareKeysState(), SoftwareKeyStatus::Active);

    // The watched key comes out of the virtual keyboard as its assignment (on the monitor thread).
    keyFilter.InjectKey(kCapsLock, true);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    const auto pressed = [&] {
        const auto reports = virtualDevice.Reports();
        return std::any_of(reports.begin(), reports.end(), escapeHeld);
    };
    while (!pressed() && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    ASSERT_TRUE(pressed());

    // Ending the program while the key is down: nothing stays held or swallowed.
    Click(41);
    EXPECT_EQ(processExit.ExitCodes(), std::vector<int>{0});
    ASSERT_FALSE(virtualDevice.Reports().empty());
    EXPECT_FALSE(escapeHeld(virtualDevice.Reports().back()));
    EXPECT_FALSE(keyFilter.IsOpen());
    EXPECT_TRUE(keyFilter.WatchedKeys().empty());
}

TEST_F(MainWindowTest, WithoutTheVirtualKeyboardTheProgramRunsOn)
{
    struct CountingInstaller : DriverInstaller {
        int calls = 0;
        bool Install() override
        {
            ++calls;
            return false;
        }
    };
    for (const bool accept : {false, true}) {
        SCOPED_TRACE(accept ? "installing" : "declining");
        CountingInstaller installer;
        services.installer = &installer;
        virtualDevice.SetOpenResult(DeviceAccess::Denied);
        WhileModal([&] {
            const std::vector<HWND> boxes = WindowsTitled(L"MessageBox");
            ASSERT_EQ(boxes.size(), 1u);
            ClickAt(boxes[0], accept ? CPoint(120, 175) : CPoint(260, 175));
        });
        KeyboardDlg& window = Start();
        EXPECT_EQ(installer.calls, accept ? 1 : 0);
        EXPECT_EQ(window.CustomKeys().SoftwareKeysState(), SoftwareKeyStatus::NoVirtualDevice);
        EXPECT_TRUE(window.IsLive());
        EXPECT_TRUE(processExit.ExitCodes().empty());
        RunWorker();
        DestroyMainWindow();
        services.installer = nullptr;
    }
}

TEST_F(MainWindowTest, ASimulatedRunSaysSoInTheTitle)
{
    services.simulator = &simulator;
    KeyboardDlg& window = Start();
    CString title;
    window.GetWindowTextW(title);
    EXPECT_EQ(title, L"Corvid Z5 (simulated)");
    EXPECT_EQ(WindowSystem::GetPropW(Hwnd(), L"Corvid Z5"), 1);
}

TEST_F(MainWindowTest, StoredTabIndexAtStart)
{
    struct Case {
        const wchar_t* stored; // nullptr: absent
        int current;
        const wchar_t* written;
    };
    const Case cases[] = {
        {nullptr, 1, L"1"}, {L"0", 1, L"1"}, {L"-2", 1, L"1"},
        {L"abc", 1, L"1"},  {L"3", 3, L"3"}, {L"9", 9, L"9"},
    };
    for (const Case& c : cases) {
        MemorySettingsStore fresh;
        services.settings = &fresh;
        if (c.stored) {
            fresh.CreateKey(L"Corvid Z5");
            fresh.SetValue(L"Corvid Z5", L"last_tab_index", c.stored);
        }
        Manager::SetDeviceName(L"Corvid Z5");
        KeyboardDlg window(services);
        EXPECT_EQ(window.Frame().CurrentTabIndex(), c.current) << (c.stored ? c.stored : L"absent");
        EXPECT_EQ(fresh.QueryValue(L"Corvid Z5", L"last_tab_index").value_or(L""), c.written);
    }
    services.settings = &settings;
}

TEST_F(MainWindowTest, PageSwitchKeepsTheTabIndexAndTheHeader)
{
    SetSetting(L"last_tab_index", L"2");
    KeyboardDlg& window = Start();
    auto* tabs = ControlAs<MTabCtrl>(49);
    ASSERT_NE(tabs, nullptr);

    // Choosing a model shows the tab bar on the remembered page.
    window.OnModelChosen(0);
    EXPECT_TRUE(Control(49)->IsVisible());
    EXPECT_TRUE(Control(48)->IsVisible());
    EXPECT_TRUE(Control(35)->IsVisible());
    EXPECT_EQ(tabs->GetSelectItem(), 2);
    EXPECT_TRUE(Control(53)->IsVisible());
    EXPECT_FALSE(Control(50)->IsVisible());
    EXPECT_EQ(TitleOf(39), TextIn(kLanguageEnglish, 52));
    EXPECT_EQ(window.Frame().PagePicture(), L"icon\\icon_macro.png");

    struct Step {
        int index;
        unsigned page;
        int titleId;
        const wchar_t* picture;
        const wchar_t* stored;
        bool tabBar;
    };
    const Step steps[] = {
        {4, 54, 56, L"icon\\icon_config.png", L"4", true},
        {0, 50, 0, L"", L"4", false}, // home keeps the stored index and hides the tab bar
        {3, 52, 53, L"icon\\icon_lightmode.png", L"3", true},
        {1, 51, 51, L"icon\\icon_keyboard.png", L"1", true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.index);
        if (s.tabBar)
            window.Frame().ShowTabBar(true);
        // A click on the tab, as the user makes it.
        const TabItemInfo* item = tabs->GetItemInfo(s.index);
        ASSERT_NE(item, nullptr);
        ClickAt(Hwnd(), item->rect.CenterPoint());
        Pump();
        EXPECT_EQ(tabs->GetSelectItem(), s.index);
        EXPECT_TRUE(Control(s.page)->IsVisible());
        EXPECT_EQ(TitleOf(39), s.titleId ? TextIn(kLanguageEnglish, s.titleId) : CString());
        EXPECT_EQ(window.Frame().PagePicture(), s.picture);
        EXPECT_EQ(Setting(L"last_tab_index"), s.stored);
        EXPECT_EQ(Control(49)->IsVisible() != 0, s.tabBar);
        EXPECT_EQ(Control(48)->IsVisible() != 0, s.tabBar);
    }
}

TEST_F(MainWindowTest, ATabIndexPastTheTabsFallsBackToTheFirstPage)
{
    SetSetting(L"last_tab_index", L"7");
    KeyboardDlg& window = Start();
    window.OnModelChosen(0);
    EXPECT_EQ(ControlAs<MTabCtrl>(49)->GetSelectItem(), 1);
    EXPECT_EQ(window.Frame().CurrentTabIndex(), 1);
    EXPECT_EQ(Setting(L"last_tab_index"), L"1");
}

// The way back from the home page: a press on a listed keyboard brings the tab bar back on the
// remembered page; another model than the one in use queues the model change.
TEST_F(MainWindowTest, ADeviceRowLeadsBackFromTheHomePage)
{
    ConnectUnannounced(0);
    SetSetting(L"last_tab_index", L"3");
    KeyboardDlg& window = Start();
    RunWorker();
    auto* tabs = ControlAs<MTabCtrl>(49);
    auto* list = ControlAs<CDeviceCtrl>(56);
    ASSERT_NE(tabs, nullptr);
    ASSERT_NE(list, nullptr);
    const auto goHome = [&] {
        ClickAt(Hwnd(), tabs->GetItemInfo(MainFrame::kHomeTab)->rect.CenterPoint());
        Pump();
        ASSERT_TRUE(Control(50)->IsVisible());
        ASSERT_FALSE(Control(49)->IsVisible());
    };
    const CRect homeTab = tabs->GetItemInfo(MainFrame::kHomeTab)->rect;
    const auto pixels = [&](const CRect& rect) {
        const Surface& shown = Backend().Window(Hwnd())->image;
        std::vector<uint32_t> values;
        for (int y = rect.top; y < rect.bottom; ++y) {
            for (int x = rect.left; x < rect.right; ++x)
                values.push_back(shown.Pixel(x, y));
        }
        return values;
    };
    const std::vector<uint32_t> homeTabAtRest = pixels(homeTab);
    const auto expectKeyboardPages = [&] {
        for (unsigned id : {35u, 48u, 49u, 52u})
            EXPECT_TRUE(Control(id)->IsVisible()) << id;
        EXPECT_FALSE(Control(50)->IsVisible());
        EXPECT_EQ(tabs->GetSelectItem(), 3);
        EXPECT_EQ(TitleOf(39), TextIn(kLanguageEnglish, 53));
        EXPECT_EQ(Setting(L"last_tab_index"), L"3");
        // The home tab, hovered when the bar hid, is back at rest.
        EXPECT_EQ(pixels(homeTab), homeTabAtRest);
    };

    goHome();
    // The connected keyboard is the one row, at the top of the list, lit.
    const CRect wireless = list->GetDeviceRect(0);
    EXPECT_EQ(wireless, CRect(460, 318, 832, 356));
    EXPECT_TRUE(list->GetDeviceRect(1).IsRectEmpty());
    EXPECT_TRUE(list->GetDeviceRect(2).IsRectEmpty());
    EXPECT_GT(LightPixels(wireless), 20);
    ClickAt(Hwnd(), wireless.CenterPoint());
    Pump();
    expectKeyboardPages();
    EXPECT_TRUE(QueuedTasks().empty()) << "the model in use was chosen";
    EXPECT_EQ(window.ShownConnection(), 0);

    // A scan that also found the compact model lists it below; choosing it queues the model change,
    // which only disables and enables the window.
    goHome();
    window.Home().SetDeviceState(202, 1);
    Pump();
    const CRect mini = list->GetDeviceRect(2);
    EXPECT_EQ(mini, CRect(460, 368, 832, 406));
    ClickAt(Hwnd(), mini.CenterPoint());
    Pump();
    expectKeyboardPages();
    EXPECT_EQ(QueuedTasks(), (std::vector<int>{4}));
    RunWorker();
    EXPECT_TRUE(window.IsWindowEnabled());
    EXPECT_EQ(window.CurrentDeviceType(), 201);
}

TEST_F(MainWindowTest, LanguageSwitchReTextsEveryPage)
{
    KeyboardDlg& window = Start();
    window.OnModelChosen(0);
    auto* language = ControlAs<MComboBox>(240);
    ASSERT_NE(language, nullptr);
    EXPECT_EQ(language->GetCurSel(), SettingsPage::kEnglishItem);
    ASSERT_NE(TextIn(kLanguagePolish, 60), TextIn(kLanguageEnglish, 60));

    const std::pair<unsigned, int> titles[] = {{55, 60}, {239, 150}, {241, 151}, {243, 153}, {39, 51}};
    const std::pair<unsigned, int> tooltips[] = {{41, 171}, {42, 2},  {44, 5},  {60, 28},
                                                 {61, 30},  {62, 29}, {63, 26}, {64, 27}};
    const int tabLabels[] = {50, 51, 52, 53, 56};
    for (const int languageId : {kLanguagePolish, kLanguageEnglish}) {
        SCOPED_TRACE(languageId);
        language->SetCurSel(languageId == kLanguagePolish ? SettingsPage::kPolishItem
                                                          : SettingsPage::kEnglishItem);
        Notify(240, 2, static_cast<unsigned>(language->GetCurSel()));
        EXPECT_EQ(GetLanguageId(), languageId);
        EXPECT_EQ(Setting(L"LCID"), std::to_wstring(languageId));
        for (const auto& [id, textId] : titles)
            EXPECT_EQ(TitleOf(id), TextIn(languageId, textId)) << id;
        for (const auto& [id, textId] : tooltips)
            EXPECT_EQ(TooltipOf(id), TextIn(languageId, textId)) << id;
        auto* tabs = ControlAs<MTabCtrl>(49);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(tabs->GetItemInfo(i)->text, TextIn(languageId, tabLabels[i])) << i;
        // The box keeps its choice; only texts change.
        EXPECT_EQ(language->GetCurSel(),
                  languageId == kLanguagePolish ? SettingsPage::kPolishItem : SettingsPage::kEnglishItem);
    }

    // WM_USER+998 from anywhere sets every text again.
    SetLanguageId(kLanguagePolish);
    Send(WM_APPLY_TEXTS);
    EXPECT_EQ(TitleOf(55), TextIn(kLanguagePolish, 60));
}

TEST_F(MainWindowTest, AutostartBoxAddsAndRemovesOneEntry)
{
    autostart.SetEntry(L"Corvid Z5", L"/somewhere/else");
    Start();
    auto* box = ControlAs<CCheckButton>(241);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->GetCheck(), 1) << "an entry of the device name checks the box, whatever it holds";

    Window().Frame().ShowTabBar(true);
    ControlAs<MTabCtrl>(49)->SetSelectItem(4);
    Pump();
    // The box's wide text band lies under the keyboard view on its right: users click the box itself.
    const CRect rect = box->GetRect();
    const CPoint onTheBox(rect.left + 10, (rect.top + rect.bottom) / 2);
    ClickAt(Hwnd(), onTheBox);
    Pump();
    EXPECT_EQ(box->GetCheck(), 0);
    EXPECT_TRUE(autostart.Entries().empty());
    ClickAt(Hwnd(), onTheBox);
    Pump();
    ASSERT_EQ(autostart.Entries().size(), 1u);
    EXPECT_EQ(autostart.Entries().begin()->first, L"Corvid Z5");
    EXPECT_EQ(autostart.Entries().begin()->second, Window().Services().appFolder + L"Torvik");
    // Space on the focused box toggles it too, reported as a key check.
    box->SetCheck(0);
    Notify(241, 7, 0, 0);
    EXPECT_TRUE(autostart.Entries().empty());
}

TEST_F(MainWindowTest, CaptionButtons)
{
    KeyboardDlg& window = Start();
    Click(44);
    EXPECT_EQ(shell.OpenedAddresses(), (std::vector<CString>{L"https://corvid.example/"}));
    Click(42);
    EXPECT_TRUE(window.IsIconic());
    EXPECT_TRUE(processExit.ExitCodes().empty());
}

TEST_F(MainWindowTest, ExitPathsEndWithZero)
{
    // The close button ends the program once "exit" was chosen (the closing behaviour's own tests ask).
    SetSetting(kExitModeValue, L"2");
    Start();
    struct Case {
        const char* name;
        std::function<void()> act;
        std::vector<int> codes;
    };
    const Case cases[] = {
        {"close button", [&] { Click(41); }, {0}},
        {"tray menu exit", [&] { Send(WM_COMMAND, kCommandQuit); }, {0}},
        {"another process asks", [&] { EXPECT_EQ(Send(WM_QUIT_REQUEST, 0, kQuitRequestCode), 0); }, {0}},
        {"another process, other code", [&] { EXPECT_EQ(Send(WM_QUIT_REQUEST, 0, 611), 0); }, {}},
    };
    for (const Case& c : cases) {
        FakeProcessExit exit;
        services.processExit = &exit;
        c.act();
        EXPECT_EQ(exit.ExitCodes(), c.codes) << c.name;
    }
    services.processExit = &processExit;
}

TEST_F(MainWindowTest, WindowDestroyedOtherwiseEndsTheLoopAndClosesTheDatabase)
{
    KeyboardDlg& window = Start();
    WhileModal([&] { window.DestroyWindow(); });
    window.ShowModal(SW_SHOW);
    EXPECT_FALSE(window.IsLive());
    EXPECT_TRUE(processExit.ExitCodes().empty());
    EXPECT_TRUE(database.IsOpened());
    // What the entry does next: the window object goes, and with it the worker and the database.
    DestroyMainWindow();
    EXPECT_FALSE(database.IsOpened());
    // Nobody listens to the keyboard any more.
    Keyboard().Connect(0);
    Pump();
}

TEST_F(MainWindowTest, DispatchTablesRouteEveryEntry)
{
    KeyboardDlg& window = Start();
    // Each id the pages handle belongs to exactly one page.
    const MainPage* pages[] = {&window.Home(), &window.CustomKeys(), &window.Lighting(), &window.Macros(),
                               &window.SettingsView()};
    const std::pair<unsigned, const MainPage*> owners[] = {
        {56, &window.Home()},          {60, &window.CustomKeys()}, {64, &window.CustomKeys()},
        {66, &window.CustomKeys()},    {67, &window.CustomKeys()}, {69, &window.CustomKeys()},
        {71, &window.Lighting()},      {72, &window.Lighting()},   {75, &window.Lighting()},
        {107, &window.Lighting()},     {195, &window.Lighting()},  {198, &window.Macros()},
        {201, &window.Macros()},       {237, &window.Macros()},    {240, &window.SettingsView()},
        {245, &window.SettingsView()},
    };
    for (const auto& [id, owner] : owners) {
        for (const MainPage* page : pages)
            EXPECT_EQ(page->Owns(id), page == owner) << id;
    }
    for (unsigned id : {30u, 41u, 49u, 73u, 74u, 196u, 197u, 199u, 200u, 247u})
        for (const MainPage* page : pages)
            EXPECT_FALSE(page->Owns(id)) << id;

    // Window messages: the answers the senders rely on.
    DeviceInterfaceBroadcast broadcast;
    broadcast.name = L"\\\\?\\HID#VID_1209&PID_0001&MI_02#SIM1&0#{4d1e55b2-f16f-11cf-88cb-001111000030}";
    EXPECT_EQ(Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&broadcast)), 0);
    EXPECT_EQ(Send(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0), 0);
    EXPECT_EQ(Send(WM_TRAY_NOTIFY, 0, WM_LBUTTONDOWN), 0);
    EXPECT_EQ(Send(WM_TRAY_NOTIFY, 0, 57), 0) << "download progress";
    EXPECT_EQ(Send(WM_RUN_KEY_ACTION, 0, 12), 1);
    EXPECT_EQ(window.OnMessage(43, 2, 0, 0), 1);
    EXPECT_EQ(window.OnMessage(500, 2, 0, 0), 0);
    EXPECT_TRUE(processExit.ExitCodes().empty());
}

} // namespace
