// Combo boxes on the headless backend: the popup's place and height, choosing a row with the mouse and
// the keys, closing by deactivation (and not reopening from the press that closed it), the selection
// rules, the popup list on its own, and what the box and the popup show.

#include <gtest/gtest.h>

#include "tests/ui/control_probe.h"
#include "tests/ui/keyboard_input.h"
#include "ui/controls/m_combo_box.h"
#include "ui/framework/m_panel.h"

namespace {

enum ComboIds : unsigned { kLanguage = 240, kList = 241 };

class ComboBoxTest : public ControlFixture {
protected:
    MComboBox* AddCombo(CRect rect, int items)
    {
        auto* combo = static_cast<MComboBox*>(dialog.CreateControl(L"MComboBox", kLanguage, rect));
        for (int i = 0; i < items; ++i)
            combo->AddItem(FormatText(L"Item %d", i).c_str(), 100 + i);
        Run();
        dialog.notifications.clear();
        return combo;
    }
    HWND Popup(MComboBox* combo) const
    {
        return combo->IsDroppedDown() ? combo->GetDropDown()->GetSafeHwnd() : nullptr;
    }
    CRect PopupRect(MComboBox* combo) const
    {
        CRect r;
        WindowSystem::GetWindowRect(Popup(combo), &r);
        return r;
    }
    // The middle of a row of the popup, in its client coordinates.
    static CPoint RowPoint(int row) { return {30, CComboBoxWnd::kMargin + row * 30 + 15}; }
};

TEST_F(ComboBoxTest, ThePopupOpensBelowWithFiveRowsAtMost)
{
    struct Case {
        int items;
        int height;
    };
    for (const Case c : {Case{9, 162}, Case{2, 72}, Case{5, 162}, Case{1, 42}}) {
        MComboBox* combo = AddCombo(CRect(20, 40, 220, 78), c.items);
        Click(CPoint(60, 55));
        ASSERT_TRUE(combo->IsDroppedDown()) << c.items;
        // From the box's left + 4 to its right − 6, right under it (the dialog is at 100, 100).
        EXPECT_EQ(PopupRect(combo), CRect(124, 178, 314, 178 + c.height)) << c.items;
        EXPECT_EQ(WindowSystem::GetActiveWindow(), Popup(combo));
        Backend().KeyDown(Popup(combo), KEY_ESC);
        Run();
        EXPECT_FALSE(combo->IsDroppedDown());
        Manager().RemoveControl(combo);
    }
}

TEST_F(ComboBoxTest, NearTheWorkAreasBottomThePopupOpensAbove)
{
    // The work area ends at 1040; 9 rows need 162 pixels below a box ending at 1000.
    dialog.MoveWindow(100, 900, 400, 120);
    MComboBox* combo = AddCombo(CRect(20, 62, 220, 100), 9);
    Click(CPoint(60, 80));
    ASSERT_TRUE(combo->IsDroppedDown());
    EXPECT_EQ(PopupRect(combo), CRect(124, 962 - 162, 314, 962));
    // Two rows still fit below.
    Backend().KeyDown(Popup(combo), KEY_ESC);
    Run();
    MComboBox* small = AddCombo(CRect(240, 20, 380, 50), 1);
    Click(CPoint(260, 35));
    EXPECT_EQ(PopupRect(small), CRect(344, 950, 474, 992));
}

TEST_F(ComboBoxTest, AClickOnARowChoosesIt)
{
    MComboBox* combo = AddCombo(CRect(20, 40, 220, 78), 9);
    Click(CPoint(60, 55));
    const HWND popup = Popup(combo);
    Backend().MoveMouse(popup, RowPoint(2));
    Backend().Click(popup, RowPoint(2));
    Run();
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_FALSE(WindowSystem::IsWindow(popup));
    EXPECT_EQ(combo->GetCurSel(), 2);
    EXPECT_EQ(combo->GetTitle(), L"Item 2");
    EXPECT_EQ(combo->GetCurData(), 102);
    EXPECT_EQ(dialog.notifications, (std::vector<std::string>{"240:2:2:0"}));

    // Reopened, the popup is made anew and lights the current row.
    Click(CPoint(60, 55));
    ASSERT_TRUE(combo->IsDroppedDown());
    EXPECT_NE(Popup(combo), popup);
    EXPECT_EQ(combo->GetDropDown()->GetList()->GetHotItem(), 2);
    EXPECT_EQ(combo->GetDropDown()->GetList()->GetCurSel(), 2);
}

TEST_F(ComboBoxTest, KeysOpenMoveAndChoose)
{
    MComboBox* combo = AddCombo(CRect(20, 40, 220, 78), 9);
    dialog.SetFocusControl(combo);
    Key(KEY_DOWN);
    Key(KEY_DOWN);
    EXPECT_EQ(combo->GetCurSel(), 1);
    EXPECT_EQ(dialog.notifications, (std::vector<std::string>{"240:2:0:0", "240:2:1:0"}));
    dialog.notifications.clear();

    Key(KEY_ENTER);
    ASSERT_TRUE(combo->IsDroppedDown());
    KeyboardInput popupKeys(Backend(), Popup(combo));
    // Past the five shown rows: the list scrolls to keep the lit row in view.
    for (int i = 0; i < 6; ++i)
        popupKeys.Press(KEY_DOWN);
    Run();
    EXPECT_EQ(combo->GetDropDown()->GetList()->GetHotItem(), 7);
    EXPECT_EQ(combo->GetDropDown()->GetList()->GetTopRow(), 3);
    popupKeys.Press(KEY_ENTER);
    Run();
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->GetCurSel(), 7);
    EXPECT_EQ(dialog.notifications, (std::vector<std::string>{"240:2:7:0"}));
    dialog.notifications.clear();

    // Escape leaves everything as it was.
    Key(KEY_F4);
    ASSERT_TRUE(combo->IsDroppedDown());
    KeyboardInput(Backend(), Popup(combo)).Press(KEY_UP);
    KeyboardInput(Backend(), Popup(combo)).Press(KEY_ESC);
    Run();
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->GetCurSel(), 7);
    EXPECT_TRUE(dialog.notifications.empty());
}

TEST_F(ComboBoxTest, LosingTheActivationClosesThePopup)
{
    MComboBox* combo = AddCombo(CRect(20, 40, 220, 78), 3);
    Click(CPoint(60, 55));
    ASSERT_TRUE(combo->IsDroppedDown());
    Click(CPoint(300, 250));
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_EQ(combo->GetCurSel(), -1);
    EXPECT_EQ(WindowSystem::GetActiveWindow(), hwnd);

    // The press on the box that takes the activation back closes the popup and does not reopen it.
    Click(CPoint(60, 55));
    ASSERT_TRUE(combo->IsDroppedDown());
    Click(CPoint(60, 55));
    EXPECT_FALSE(combo->IsDroppedDown());
    Click(CPoint(60, 55));
    EXPECT_TRUE(combo->IsDroppedDown());

    // Closed by the program or with the keys while the pointer rests on the box: the next click opens.
    combo->CloseDropDown();
    Run();
    ASSERT_FALSE(combo->IsDroppedDown());
    Click(CPoint(60, 55));
    EXPECT_TRUE(combo->IsDroppedDown());
    KeyboardInput(Backend(), Popup(combo)).Press(KEY_ENTER);
    Run();
    ASSERT_FALSE(combo->IsDroppedDown());
    Click(CPoint(60, 55));
    EXPECT_TRUE(combo->IsDroppedDown());
    dialog.notifications.clear();

    // Another application taking the focus closes it too.
    Backend().FocusOut(Popup(combo));
    Run();
    EXPECT_FALSE(combo->IsDroppedDown());
    EXPECT_TRUE(dialog.notifications.empty());
}

TEST_F(ComboBoxTest, ThePopupReportsItsEndToTheBox)
{
    class HeardCombo : public MComboBox {
    public:
        using MComboBox::MComboBox;
        long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override
        {
            heard.push_back(std::to_string(id) + ":" + std::to_string(code) + ":" + std::to_string(wParam) +
                            ":" + std::to_string(lParam));
            return MComboBox::OnMessage(id, code, wParam, lParam);
        }
        std::vector<std::string> heard;
    };
    auto* combo = dialog.Add<HeardCombo>(kLanguage, CRect(20, 40, 220, 78), 1, 1);
    combo->AddItem(L"One");
    combo->AddItem(L"Two");
    Click(CPoint(60, 55));
    Backend().Click(Popup(combo), RowPoint(1));
    Run();
    // The row comes from the popup (id 0, lParam 19), then the popup's window ends.
    EXPECT_EQ(combo->heard, (std::vector<std::string>{"0:2:1:19", "0:22:0:0"}));
    Click(CPoint(60, 55));
    combo->heard.clear();
    Click(CPoint(300, 250));
    EXPECT_EQ(combo->heard, (std::vector<std::string>{"0:22:0:0"}));
}

TEST_F(ComboBoxTest, SelectionRulesKeepOutOfRangeIndexesOut)
{
    MComboBox* combo = AddCombo(CRect(20, 40, 220, 78), 3);
    EXPECT_EQ(combo->GetCurData(), 0);
    struct Case {
        int index;
        int result;
        int current;
        const wchar_t* title;
    };
    const Case cases[] = {
        {1, 1, 1, L"Item 1"}, {3, 0, 1, L"Item 1"}, {-2, 0, 1, L"Item 1"},
        {-1, 1, -1, L""},     {2, 1, 2, L"Item 2"},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(combo->SetCurSel(c.index), c.result) << c.index;
        EXPECT_EQ(combo->GetCurSel(), c.current) << c.index;
        EXPECT_EQ(combo->GetTitle(), c.title) << c.index;
    }
    EXPECT_EQ(combo->FindData(101), 1);
    EXPECT_EQ(combo->SelectData(100), 0);
    EXPECT_EQ(combo->GetCurData(), 100);
    EXPECT_EQ(combo->SelectData(7), -1);
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_EQ(combo->SetItemText(0, L"Deutsch"), 1);
    EXPECT_EQ(combo->GetTitle(), L"Deutsch");
    EXPECT_EQ(combo->SetItemText(5, L"x"), 0);
    EXPECT_TRUE(dialog.notifications.empty());

    combo->DelAllItems();
    EXPECT_EQ(combo->GetCurSel(), -1);
    Click(CPoint(60, 55));
    EXPECT_FALSE(combo->IsDroppedDown()); // nothing to choose from
}

TEST_F(ComboBoxTest, TheListReportsTheChosenRowWithLParam19)
{
    EXPECT_EQ(
        MPanel(&dialog, 1, CRect(), 1).CreateControl(L"CComboBoxList", kList, CRect(0, 0, 10, 10), L"", 1, 1),
        nullptr);
    auto* list =
        static_cast<CComboBoxList*>(dialog.CreateControl(L"CComboBoxList", kList, CRect(10, 10, 210, 100)));
    ASSERT_NE(list, nullptr);
    list->SetItems({{L"Red", 1, L"", 0xFFFF0000, nullptr},
                    {L"Green", 2, L"", 0, nullptr},
                    {L"Blue", 3, L"", 0xFF0000FF, nullptr},
                    {L"White", 4, L"", 0, nullptr}});
    Run();
    Click(CPoint(50, 10 + 45));
    EXPECT_EQ(dialog.notifications, (std::vector<std::string>{"241:2:1:19"}));
    // The scrolled list finds its rows under the scroll offset.
    Manager().OnWindowMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(150, 150));
    dialog.notifications.clear();
    Click(CPoint(50, 10 + 45));
    EXPECT_EQ(dialog.notifications, (std::vector<std::string>{"241:2:2:19"}));
    // A press on one row and a release on another chooses nothing.
    dialog.notifications.clear();
    Backend().Press(hwnd, kButtonLeft, CPoint(50, 15));
    Backend().Release(hwnd, kButtonLeft, CPoint(50, 95));
    Run();
    EXPECT_TRUE(dialog.notifications.empty());
}

TEST_F(ComboBoxTest, TheBoxAndThePopupShowTheirState)
{
    MComboBox* combo = AddCombo(CRect(20, 40, 220, 78), 3);
    combo->SetCurSel(0);
    Run();
    // Without a picture the box is drawn as a panel with an edge.
    EXPECT_EQ(Shown().image.Pixel(20, 60), 0xFF646464u);
    EXPECT_EQ(Shown().image.Pixel(30, 45), 0xFF333333u);
    Move(CPoint(60, 55));
    EXPECT_EQ(Shown().image.Pixel(20, 60), 0xFFED801Bu);

    Click(CPoint(60, 55));
    const HWND popup = Popup(combo);
    Backend().MoveMouse(popup, RowPoint(1));
    Run();
    const Surface& shown = Backend().Window(popup)->image;
    EXPECT_EQ(shown.Pixel(150, RowPoint(1).y - 12), CComboBoxList::kHoverColour);
    EXPECT_NE(shown.Pixel(150, RowPoint(2).y - 12), CComboBoxList::kHoverColour);
    // The current row is marked at its left edge.
    EXPECT_EQ(shown.Pixel(2, RowPoint(0).y), CComboBoxList::kMarkColour);
}

} // namespace
