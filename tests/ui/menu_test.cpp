// Popup menus on the headless backend: the rows' layout and the width growing to a long title, what a
// click and a checkable row post to the owner, nested menus with the mouse and the keys, closing on
// deactivation (also when run modally), staying inside the work area, the rows addressed by title, and
// the lit row on the screen.

#include <gtest/gtest.h>

#include "tests/ui/control_probe.h"
#include "tests/ui/keyboard_input.h"
#include "ui/controls/menu_wnd.h"
#include "ui/framework/m_render.h"

namespace {

constexpr UINT kKeyMenu = WM_USER + 801;
constexpr UINT kPageMenu = WM_USER + 803;

// The owner records the messages its menus post.
class OwnerDialog : public ControlDialog {
public:
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override
    {
        if (msg == kKeyMenu || msg == kPageMenu)
            posted.push_back(std::to_string(msg - WM_USER) + ":" + std::to_string(wParam) + ":" +
                             std::to_string(lParam));
        return ControlDialog::OnWindowMessage(msg, wParam, lParam);
    }
    std::vector<std::string> posted;
};

class MenuTest : public HeadlessFixture {
protected:
    MenuTest()
    {
        owner.Create(nullptr, L"owner", WS_POPUP | WS_VISIBLE, 0, CRect(100, 100, 700, 600));
        Pump();
    }
    ~MenuTest() override { owner.DestroyWindow(); }

    // A key menu as the custom key page builds it, shown at a screen point.
    void Build(MenuWnd& menu, CPoint at = {300, 200})
    {
        menu.Create(owner.GetSafeHwnd(), at, kKeyMenu);
        menu.AddMenu(L"Restore default", 606);
        menu.AddMenu(L"Macro", 608);
        menu.AddSeparator();
        menu.AddMenu(L"Shortcut", 609);
        menu.AddMenu(L"Disable", 607);
    }
    void Show(MenuWnd& menu)
    {
        menu.ShowWindow(SW_SHOW);
        Pump();
    }
    // The middle of a row, in the menu's client coordinates.
    static CPoint Middle(const MenuItem* item) { return item->GetRect().CenterPoint(); }
    void ClickItem(MenuWnd& menu, unsigned id)
    {
        const CPoint p = Middle(menu.GetItem(id));
        Backend().MoveMouse(menu.GetSafeHwnd(), p);
        Backend().Click(menu.GetSafeHwnd(), p);
        Pump();
    }

    OwnerDialog owner;
};

TEST_F(MenuTest, RowsStackFromTheTopAndTheMenuWidensForLongTitles)
{
    MenuWnd menu(&owner);
    Build(menu);
    EXPECT_EQ(menu.GetItem(606)->GetRect(), CRect(2, 6, 298, 41));
    EXPECT_EQ(menu.GetItem(608)->GetRect(), CRect(2, 41, 298, 76));
    EXPECT_EQ(menu.GetItems()[2]->GetRect(), CRect(2, 76, 298, 80));
    EXPECT_EQ(menu.GetItem(609)->GetRect(), CRect(2, 80, 298, 115));
    EXPECT_EQ(menu.GetItem(607)->GetRect(), CRect(2, 115, 298, 150));
    CRect window;
    menu.GetWindowRect(&window);
    EXPECT_EQ(window, CRect(300, 200, 600, 156 + 200));
    CString title;
    menu.GetWindowTextW(title);
    EXPECT_EQ(title, L"Menu Window");

    MenuItem* wide = menu.AddMenu(L"Assign this key to a recorded macro that repeats until released", 610);
    const int needed =
        MRender::GetTextBounds(wide->DrawFont(), wide->GetTitle()).cx + wide->TextLeft() + 9 + 4;
    EXPECT_GT(needed, 300);
    EXPECT_EQ(menu.GetMenuWidth(), needed);
    EXPECT_EQ(menu.GetItem(606)->GetRect().right, needed - 2);
    menu.GetWindowRect(&window);
    EXPECT_EQ(window.Size(), CSize(needed, 191));
}

TEST_F(MenuTest, AClickPostsTheRowToTheOwnerAndCloses)
{
    MenuWnd menu(&owner);
    Build(menu);
    Show(menu);
    EXPECT_EQ(WindowSystem::GetActiveWindow(), menu.GetSafeHwnd());
    ClickItem(menu, 609);
    EXPECT_EQ(owner.posted, (std::vector<std::string>{"801:0:609"}));
    EXPECT_FALSE(menu.IsLive());
    EXPECT_EQ(WindowSystem::GetActiveWindow(), owner.GetSafeHwnd());
}

TEST_F(MenuTest, ACheckableRowPostsItsFormerCheckAndStaysOpen)
{
    MenuWnd menu(&owner);
    menu.Create(owner.GetSafeHwnd(), {300, 200}, kPageMenu);
    MenuItem* loop = menu.AddMenu(L"Repeat", 620, L"", 1, 0);
    MenuItem* lit = menu.AddMenu(L"Light on", 621, L"", 1, 1);
    Show(menu);
    ClickItem(menu, 620);
    ClickItem(menu, 621);
    ClickItem(menu, 620);
    EXPECT_EQ(owner.posted, (std::vector<std::string>{"803:0:620", "803:1:621", "803:1:620"}));
    EXPECT_TRUE(menu.IsLive());
    EXPECT_EQ(loop->GetCheck(), 0);
    EXPECT_EQ(lit->GetCheck(), 0);

    // The check mark is drawn while checked.
    menu.SetItemCheck(L"Repeat", 1);
    Pump();
    const Surface& shown = Backend().Window(menu.GetSafeHwnd())->image;
    auto markPixels = [&]() {
        int lit = 0;
        for (int y = loop->GetRect().top; y < loop->GetRect().bottom; ++y)
            for (int x = 2 + MenuWnd::kTextMargin; x < 2 + MenuWnd::kTextMargin + MenuItem::kGlyphWidth; ++x)
                lit += (shown.Pixel(x, y) & 0xFFFFFF) > 0x808080 ? 1 : 0;
        return lit;
    };
    EXPECT_GT(markPixels(), 10);
    menu.SetItemCheck(L"Repeat", 0);
    Pump();
    EXPECT_EQ(markPixels(), 0);
}

TEST_F(MenuTest, NestedMenusOpenBesideTheirRow)
{
    MenuWnd menu(&owner);
    Build(menu);
    MenuWnd colours(&owner);
    colours.AddMenu(L"Red", 701);
    colours.AddMenu(L"Green", 702);
    MenuItem* more = menu.AddMenu(L"Colour", 611);
    more->SetPopupMenu(&colours);
    Show(menu);

    Backend().MoveMouse(menu.GetSafeHwnd(), Middle(more));
    Pump();
    ASSERT_EQ(menu.GetOpenSubMenu(), &colours);
    EXPECT_TRUE(colours.IsWindowVisible());
    // Beside the row, and the first menu keeps the activation.
    CRect sub;
    colours.GetWindowRect(&sub);
    EXPECT_EQ(sub.TopLeft(), CPoint(300 + 300 - 2, 200 + more->GetRect().top - 6));
    EXPECT_EQ(WindowSystem::GetActiveWindow(), menu.GetSafeHwnd());

    // Another row of the first menu closes it again; back on the row it opens.
    Backend().MoveMouse(menu.GetSafeHwnd(), Middle(menu.GetItem(606)));
    Pump();
    EXPECT_EQ(menu.GetOpenSubMenu(), nullptr);
    EXPECT_FALSE(colours.IsWindowVisible());
    Backend().MoveMouse(menu.GetSafeHwnd(), Middle(more));
    Pump();
    ASSERT_TRUE(colours.IsWindowVisible());

    // The nested row posts the first menu's message (it has none of its own) and everything closes.
    ClickItem(colours, 702);
    EXPECT_EQ(owner.posted, (std::vector<std::string>{"801:0:702"}));
    EXPECT_FALSE(menu.IsLive());
    EXPECT_FALSE(colours.IsLive());
}

TEST_F(MenuTest, KeysWalkTheRowsAndNestedMenus)
{
    MenuWnd menu(&owner);
    Build(menu);
    MenuWnd colours(&owner);
    colours.AddMenu(L"Red", 701);
    colours.AddMenu(L"Green", 702);
    menu.AddMenu(L"Colour", 611)->SetPopupMenu(&colours);
    menu.SetItemEnable(L"Shortcut", 0);
    Show(menu);
    KeyboardInput keys(Backend(), menu.GetSafeHwnd());

    keys.Press(KEY_DOWN);
    keys.Press(KEY_DOWN);
    keys.Press(KEY_DOWN); // past the separator and the disabled row
    Pump();
    EXPECT_EQ(menu.GetHotItem(), menu.GetItem(607));
    keys.Press(KEY_UP);
    keys.Press(KEY_UP);
    keys.Press(KEY_UP); // wraps around to the last row
    Pump();
    EXPECT_EQ(menu.GetHotItem(), menu.GetItem(611));
    keys.Press(KEY_RIGHT);
    Pump();
    ASSERT_EQ(menu.GetOpenSubMenu(), &colours);
    EXPECT_EQ(colours.GetHotItem(), colours.GetItem(701));
    keys.Press(KEY_LEFT);
    Pump();
    EXPECT_EQ(menu.GetOpenSubMenu(), nullptr);
    keys.Press(KEY_RIGHT);
    keys.Press(KEY_DOWN);
    keys.Press(KEY_ENTER);
    Pump();
    EXPECT_EQ(owner.posted, (std::vector<std::string>{"801:0:702"}));
    EXPECT_FALSE(menu.IsLive());

    MenuWnd again(&owner);
    Build(again);
    Show(again);
    KeyboardInput(Backend(), again.GetSafeHwnd()).Press(KEY_ESC);
    Pump();
    EXPECT_FALSE(again.IsLive());
    EXPECT_EQ(owner.posted.size(), 1u);
}

TEST_F(MenuTest, LosingTheActivationClosesTheMenuAlsoWhenRunModally)
{
    MenuWnd menu(&owner);
    Build(menu);
    Show(menu);
    Backend().Click(owner.GetSafeHwnd(), {20, 20});
    Pump();
    EXPECT_FALSE(menu.IsLive());
    EXPECT_TRUE(owner.posted.empty());

    // Modally the owner is disabled, yet a press on it still ends the menu.
    MenuWnd modal(&owner);
    Build(modal);
    WindowSystem::PostClosure([&] { Backend().Click(owner.GetSafeHwnd(), {20, 20}); });
    EXPECT_EQ(modal.ShowModal(SW_SHOW), 0u);
    EXPECT_FALSE(modal.IsLive());
    EXPECT_TRUE(owner.IsWindowEnabled());
    EXPECT_EQ(WindowSystem::GetActiveWindow(), owner.GetSafeHwnd());
    EXPECT_TRUE(owner.posted.empty());

    // And a row chosen in a modal menu reaches the owner once the loop is back.
    MenuWnd chosen(&owner);
    Build(chosen);
    WindowSystem::PostClosure([&] {
        Backend().MoveMouse(chosen.GetSafeHwnd(), Middle(chosen.GetItem(608)));
        Backend().Click(chosen.GetSafeHwnd(), Middle(chosen.GetItem(608)));
    });
    chosen.ShowModal(SW_SHOW);
    Pump();
    EXPECT_EQ(owner.posted, (std::vector<std::string>{"801:0:608"}));
}

TEST_F(MenuTest, TheMenuStaysInsideTheWorkArea)
{
    // The work area is 1920 × 1040; the menu is 300 × 156.
    struct Case {
        CPoint at;
        CPoint shown;
    };
    for (const Case c : {Case{{1800, 200}, {1500, 200}}, Case{{300, 1000}, {300, 844}},
                         Case{{1900, 1030}, {1600, 874}}, Case{{10, 10}, {10, 10}}}) {
        MenuWnd menu(&owner);
        Build(menu, c.at);
        Show(menu);
        CRect window;
        menu.GetWindowRect(&window);
        EXPECT_EQ(window.TopLeft(), c.shown) << c.at.x << "," << c.at.y;
        menu.CloseMenu();
        Pump();
    }
}

TEST_F(MenuTest, RowsAddressedByTitle)
{
    MenuWnd menu(&owner);
    Build(menu);
    EXPECT_EQ(menu.SetItemVisible(L"Macro", 0), 1);
    EXPECT_EQ(menu.GetItem(609)->GetRect().top, 45); // the rows below moved up
    EXPECT_EQ(menu.GetMenuHeight(), 121);
    EXPECT_EQ(menu.SetItemTitle(L"Disable", L"Off"), 1);
    EXPECT_EQ(menu.GetItem(607)->GetTitle(), L"Off");
    EXPECT_EQ(menu.SetItemEnable(L"Off", 0), 1);
    EXPECT_EQ(menu.SetItemCheck(L"Nothing", 1), 0);
    EXPECT_EQ(menu.FindItem(L"Disable"), nullptr);

    // A disabled row neither lights nor posts.
    Show(menu);
    ClickItem(menu, 607);
    EXPECT_EQ(menu.GetHotItem(), nullptr);
    EXPECT_TRUE(owner.posted.empty());
    EXPECT_TRUE(menu.IsLive());
}

TEST_F(MenuTest, TheLitRowShowsTheHoverColour)
{
    MenuWnd menu(&owner);
    Build(menu);
    Show(menu);
    Backend().MoveMouse(menu.GetSafeHwnd(), Middle(menu.GetItem(608)));
    Pump();
    const Surface& shown = Backend().Window(menu.GetSafeHwnd())->image;
    EXPECT_EQ(shown.Pixel(250, 45), MenuWnd::kHoverColour);
    EXPECT_EQ(shown.Pixel(250, 10), 0xFF333333u);
    // The separator's line.
    EXPECT_EQ(shown.Pixel(150, 78), 0xFF646464u);
}

} // namespace
