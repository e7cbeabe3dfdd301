// MListBox on the headless backend: the notifications of presses, clicks, double and right clicks, the
// keys, renaming a row in place (kept, refused with Escape, committed by another press), the editor's
// place over a scrolled list, and the row operations.

#include <gtest/gtest.h>

#include "tests/ui/control_probe.h"
#include "tests/ui/keyboard_input.h"
#include "ui/controls/m_list_box.h"

namespace {

constexpr unsigned kProfiles = 66;
const std::string kNone = std::to_string(static_cast<unsigned>(-1));

class ListBoxTest : public ControlFixture {
protected:
    ListBoxTest() : keys(Backend(), hwnd)
    {
        list = static_cast<MListBox*>(dialog.CreateControl(L"MListBox", kProfiles, CRect(20, 20, 220, 170)));
        for (const wchar_t* name : {L"Default", L"Gaming", L"Office", L"Music", L"Night", L"Travel", L"Work"})
            list->AddString(name, static_cast<long>(list->GetCount() + 1));
        Run();
        dialog.notifications.clear();
    }

    // The middle of a row as it is on the screen now (the list is scrolled by its top row).
    CPoint RowPoint(int row) const
    {
        return {80, 20 + (row - list->GetTopRow()) * 30 + 15 - list->GetScrollOffset().y % 30};
    }
    std::vector<std::string> Take()
    {
        std::vector<std::string> out;
        for (const std::string& n : dialog.notifications)
            out.push_back(n.substr(n.find(':') + 1));
        dialog.notifications.clear();
        return out;
    }

    MListBox* list = nullptr;
    KeyboardInput keys;
};

TEST_F(ListBoxTest, PressesAndClicksReportTheRow)
{
    Click(RowPoint(1));
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(Take(), (std::vector<std::string>{"1:1:0", "2:1:0"}));

    // Below the last row: nothing selected.
    list->SetItemHeight(15);
    Click(CPoint(80, 160));
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(Take(), (std::vector<std::string>{"1:" + kNone + ":0"}));
    list->SetItemHeight(30);

    // A double click: press and click, then 3 with the row; the right button gives 5.
    Click(RowPoint(2));
    Click(RowPoint(2));
    EXPECT_EQ(Take(), (std::vector<std::string>{"1:2:0", "2:2:0", "3:2:0"}));
    Click(RowPoint(0), kButtonRight);
    EXPECT_EQ(list->GetCurSel(), 0);
    EXPECT_EQ(Take(), (std::vector<std::string>{"5:0:0"}));

    // Pressed on one row, released on another: no click.
    Backend().Press(hwnd, kButtonLeft, RowPoint(3));
    Backend().Release(hwnd, kButtonLeft, RowPoint(4));
    Run();
    EXPECT_EQ(Take(), (std::vector<std::string>{"1:3:0"}));
}

TEST_F(ListBoxTest, ArrowsMoveTheSelectionIntoView)
{
    Click(RowPoint(0));
    Take();
    Key(KEY_DOWN);
    Key(KEY_DOWN);
    EXPECT_EQ(Take(), (std::vector<std::string>{"2:1:0", "2:2:0"}));
    Key(KEY_END);
    EXPECT_EQ(list->GetCurSel(), 6);
    // Five rows show; the last one is in view.
    EXPECT_EQ(list->GetTopRow(), 2);
    Key(KEY_HOME);
    EXPECT_EQ(list->GetTopRow(), 0);
    Key(KEY_UP); // already at the top: nothing
    EXPECT_EQ(Take(), (std::vector<std::string>{"2:6:0", "2:0:0"}));

    // Keys belong to the focused control only.
    dialog.SetFocusControl(nullptr);
    Key(KEY_DOWN);
    EXPECT_EQ(list->GetCurSel(), 0);
}

TEST_F(ListBoxTest, RenamingARowInPlace)
{
    list->EnableEdit(1);
    Click(RowPoint(1));
    Click(RowPoint(1));
    ASSERT_TRUE(list->IsEditing());
    EXPECT_EQ(list->GetEditItem(), 1);
    CEditWnd* editor = list->GetEditWnd();
    EXPECT_EQ(editor->Text().SelectedText(), L"Gaming");
    Take();
    keys.Type(L"Игры");
    keys.Press(KEY_ENTER);
    Run();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(list->GetItemText(1), L"Игры");
    EXPECT_EQ(Take(), (std::vector<std::string>{"29:0:1"}));

    // Escape keeps the row; closing without a change says nothing.
    Key(KEY_F2);
    ASSERT_TRUE(list->IsEditing());
    keys.Type(L"x");
    keys.Press(KEY_ESC);
    Run();
    EXPECT_EQ(list->GetItemText(1), L"Игры");
    Key(KEY_ENTER);
    ASSERT_TRUE(list->IsEditing());
    keys.Press(KEY_ENTER);
    Run();
    EXPECT_TRUE(Take().empty());

    // A press on another row commits the edit and selects that row.
    Key(KEY_F2);
    keys.Type(L"Games");
    Run();
    Click(RowPoint(3));
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(list->GetItemText(1), L"Games");
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_EQ(Take(), (std::vector<std::string>{"29:0:1", "1:3:0", "2:3:0"}));

    // The wheel scrolls the content away from under an editor: it closes first.
    Key(KEY_F2);
    keys.Type(L"Songs");
    Run();
    Manager().OnWindowMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), MAKELPARAM(150, 150));
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(list->GetItemText(3), L"Songs");

    // Without editing switched on nothing opens.
    list->EnableEdit(0);
    Key(KEY_F2);
    EXPECT_FALSE(list->IsEditing());
}

TEST_F(ListBoxTest, TheEditorSitsOnTheScrolledRow)
{
    list->EnableEdit(1);
    Click(RowPoint(0));
    Key(KEY_END);
    ASSERT_GT(list->GetTopRow(), 0);
    Key(KEY_F2);
    ASSERT_TRUE(list->IsEditing());
    CRect placed;
    WindowSystem::GetWindowRect(list->GetEditWnd()->GetSafeHwnd(), &placed);
    // Row 6 is the fifth row shown: 20 + 4 × 30 down the dialog at (100, 100), inset 3.
    EXPECT_EQ(placed.top, 100 + 20 + 4 * 30 + 3);
    EXPECT_EQ(placed.Height(), 30 - 6);
    EXPECT_EQ(placed.left, 100 + 20 + 10 - CEditWindow::kPadding);
}

TEST_F(ListBoxTest, RowOperationsKeepTheSelectionOnItsRow)
{
    list->SetCurSel(2);
    EXPECT_EQ(list->InsertString(0, L"First", 99), 0);
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_EQ(list->GetItemData(0), 99);
    EXPECT_EQ(list->DeleteString(3), 7);
    EXPECT_EQ(list->GetCurSel(), -1);
    list->SetCurSel(5);
    EXPECT_EQ(list->DeleteString(0), 6);
    EXPECT_EQ(list->GetCurSel(), 4);
    EXPECT_EQ(list->DeleteString(6), -1);
    EXPECT_EQ(list->SetCurSel(6), 0);
    EXPECT_EQ(list->GetCurSel(), 4);
    EXPECT_EQ(list->SetItemText(9, L"x"), 0);
    EXPECT_EQ(list->GetItemText(9), L"");
    list->DeleteAllItems();
    EXPECT_EQ(list->GetCount(), 0);
    Key(KEY_DOWN);
    EXPECT_TRUE(Take().empty());
}

TEST_F(ListBoxTest, SelectedAndLitRowsAreDrawn)
{
    list->SetCurSel(0);
    Move(RowPoint(2));
    // Row 0: the selection colour with the accent mark at its left; row 2: the hover colour.
    EXPECT_EQ(Shown().image.Pixel(20 + 1, 20 + 15), MListBox::kMarkColour);
    EXPECT_EQ(Shown().image.Pixel(20 + 150, 20 + 3), 0xFF440062u);
    EXPECT_EQ(Shown().image.Pixel(20 + 150, 20 + 60 + 3), MListBox::kHoverColour);
    EXPECT_EQ(Shown().image.Pixel(20 + 150, 20 + 30 + 3), 0xFF333333u);
}

} // namespace
