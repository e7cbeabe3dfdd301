// DListBox, the editable profile and macro list, on the headless backend: its rows and the neutral
// answers out of range, the selection after deleting, scrolling on adding, presses and right releases, and
// renaming in place: kept, refused by the owner, dropped with Escape, ended by a press or a lost focus.

#include <gtest/gtest.h>

#include "tests/ui/controls_fixture.h"
#include "tests/ui/keyboard_input.h"
#include "ui/controls/m_scroll.h"
#include "ui/framework/m_panel.h"
#include "ui/keyboard/d_list_box.h"

namespace {

constexpr unsigned kList = 66;
const std::string kNone = std::to_string(static_cast<unsigned>(-1));

class DListBoxTest : public ControlsFixture {
protected:
    DListBoxTest() : keys(Backend(), hwnd)
    {
        // The list is made by panels only, as the program's pages make it.
        panel = dialog.Add<MPanel>(65u, CRect(10, 10, 250, 290), 1);
        list = static_cast<DListBox*>(
            panel->CreateControl(L"DListBox", kList, CRect(20, 20, 220, 180), L"", 1, 1));
        for (const wchar_t* name : {L"Default", L"Gaming", L"Office"})
            list->AddItem(name, 100 + list->GetItemCount());
        other = dialog.Add<ProbeControl>(67u, CRect(300, 200, 350, 250));
        Run();
        Heard();
    }
    // The middle of a row as it shows now (rows are 32 high from the list's top).
    CPoint RowPoint(int row) const { return {120, 20 + row * 32 + 16 - list->GetScrollOffset().y}; }
    void OpenEditorOn(int row)
    {
        list->SetCurSel(row);
        list->ShowEdit();
        ASSERT_TRUE(list->IsEditing()) << "on row " << row;
        Run();
    }

    MPanel* panel = nullptr;
    DListBox* list = nullptr;
    ProbeControl* other = nullptr;
    KeyboardInput keys;
};

TEST_F(DListBoxTest, RowsKeepWhatTheyAreGivenAndOutOfRangeIndexesChangeNothing)
{
    EXPECT_EQ(list->InsertString(0, L"First", 7, 5), 3) << "the new count less one, not the index";
    EXPECT_EQ(list->GetItemText(0), L"First");
    EXPECT_EQ(list->GetItemData(0), 5);
    EXPECT_EQ(list->GetItemNumber(0), 7);
    EXPECT_EQ(list->GetItemNumber(1), 1) << "AddItem keeps 1";
    EXPECT_EQ(list->InsertString(4, L"Past the end", 0, 0), -1);
    EXPECT_EQ(list->InsertString(-2, L"Before the start", 0, 0), -1);
    EXPECT_EQ(list->InsertString(-1, L"Last", 0, 9), 4);
    EXPECT_EQ(list->GetItemText(4), L"Last");
    ASSERT_EQ(list->GetItemCount(), 5);

    EXPECT_EQ(list->SetCurSel(2), 1);
    for (int bad : {-2, 5, 99}) {
        SCOPED_TRACE(bad);
        EXPECT_EQ(list->GetItemText(bad), L"");
        EXPECT_EQ(list->GetItemData(bad), 0);
        EXPECT_EQ(list->SetItemData(bad, 1), 0);
        EXPECT_EQ(list->ModifyItemString(bad, L"x"), 0);
        EXPECT_EQ(list->DeleteItem(bad), 0);
        EXPECT_EQ(list->SetCurSel(bad), 0);
        EXPECT_EQ(list->SwapItem(0, bad), 0);
        EXPECT_TRUE(list->GetItemRect(bad).IsRectEmpty());
    }
    EXPECT_EQ(list->GetItemCount(), 5);
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(list->SetCurData(12345), -1);
    EXPECT_EQ(list->GetCurSel(), 2) << "no row with that data: the selection stays";
    EXPECT_EQ(list->SetCurData(101), 2);
    EXPECT_EQ(list->GetCurData(), 101);
    EXPECT_EQ(list->FindString(L"gaming"), -1) << "texts compare exactly";
    EXPECT_EQ(list->FindString(L"Gaming"), 2);
    EXPECT_EQ(list->FindItemData(9), 4);
    EXPECT_EQ(list->SwapItem(0, 4), 1);
    EXPECT_EQ(list->GetItemText(0), L"Last");
    EXPECT_EQ(list->GetItemRect(1), CRect(20, 52, 220, 84))
        << "window coordinates (the panel does not scroll)";
    EXPECT_EQ(list->SetCurSel(-1), 1);
    EXPECT_EQ(list->GetCurData(), 0);

    // An empty list appends whatever the index.
    list->DeleteAllItems();
    EXPECT_EQ(list->InsertString(3, L"Only", 0, 0), 0);
}

TEST_F(DListBoxTest, DeletingARowLeavesNothingSelectedOrHovered)
{
    list->SetCurSel(1);
    Move(RowPoint(1));
    EXPECT_EQ(list->GetHotItem(), 1);
    EXPECT_EQ(list->DeleteItem(1), 1);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(list->GetHotItem(), -1);
    EXPECT_EQ(list->GetItemText(1), L"Office");
    // The last row, selected.
    list->SetCurSel(1);
    EXPECT_EQ(list->DeleteItem(1), 1);
    EXPECT_EQ(list->GetCurSel(), -1);
    list->SetCurSel(0);
    EXPECT_EQ(list->DeleteAllItems(), 1);
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_EQ(list->GetCurSel(), -1);
}

TEST_F(DListBoxTest, AddStringScrollsToTheEndAndAddItemBackToTheTop)
{
    MScroll* bar = list->GetVScroll();
    EXPECT_FALSE(bar->IsVisible());
    for (int i = 0; i < 6; ++i)
        list->AddString(L"Macro", static_cast<long>(i), 0);
    // Nine rows of 32 in 160 pixels.
    EXPECT_TRUE(bar->IsVisible());
    EXPECT_EQ(list->GetScrollOffset().y, 9 * 32 - 160);
    list->AddItem(L"Profile", 1);
    EXPECT_EQ(list->GetScrollOffset().y, 0);
    list->AddString(L"Macro", 2);
    EXPECT_EQ(list->GetScrollOffset().y, 11 * 32 - 160);
    // The wheel moves ten steps of a tenth of a row.
    Move(RowPoint(8));
    Manager().OnWindowMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(120, 100));
    EXPECT_EQ(list->GetScrollOffset().y, 11 * 32 - 160 - 30);
    list->DeleteAllItems();
    EXPECT_FALSE(bar->IsVisible());
}

TEST_F(DListBoxTest, PressesReleasesAndRightReleasesReportTheRow)
{
    ClickAt(RowPoint(1));
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"66:1:1:0", "66:2:1:0"}));
    // Below the three rows: no row, nothing said, the selection stays.
    ClickAt({120, 150});
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_TRUE(Heard().empty());
    // A right release on a row selects it; off every row it selects nothing and says −1.
    Click(RowPoint(2), kButtonRight);
    EXPECT_EQ(list->GetCurSel(), 2);
    EXPECT_EQ(Heard(), std::vector<std::string>{"66:5:2:0"});
    Click({120, 150}, kButtonRight);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(Heard(), std::vector<std::string>{"66:5:" + kNone + ":0"});
    // Disabled, it takes nothing.
    list->SetEnabled(0);
    ClickAt(RowPoint(0));
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_TRUE(Heard().empty());
}

TEST_F(DListBoxTest, ARenameIsKeptWithEnterRefusedByTheOwnerOrDroppedWithEscape)
{
    list->EnableShowEdit(1);
    OpenEditorOn(1);
    CEditWnd* editor = list->GetEditWnd();
    EXPECT_EQ(editor->GetText(), L"Gaming");
    EXPECT_EQ(editor->Text().SelectedText(), L"") << "the caret at the end, nothing selected";
    keys.Type(L"X");
    Run();
    EXPECT_EQ(list->GetTitle(), L"GamingX");
    EXPECT_EQ(Heard(), std::vector<std::string>{"66:26:0:0"});
    keys.Press(KEY_ENTER);
    Run();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(list->GetItemText(1), L"GamingX");
    EXPECT_EQ(Heard(), std::vector<std::string>{"66:29:0:1"});

    // The owner refuses a name by putting the stored one back when it hears 29.
    dialog.onMessage = [this](unsigned id, unsigned code) {
        if (id == kList && code == DListBox::kNotifyEdited &&
            list->GetItemText(1).find(L"admin") != CString::npos)
            list->ModifyItemString(1, L"GamingX");
    };
    OpenEditorOn(1);
    for (int i = 0; i < 7; ++i)
        keys.Press(KEY_BACKSPACE);
    keys.Type(L"admin");
    keys.Press(KEY_ENTER);
    Run();
    EXPECT_EQ(list->GetItemText(1), L"GamingX");
    EXPECT_EQ(Heard().back(), "66:29:0:1");

    // Ten characters at most: the eleventh is refused.
    OpenEditorOn(1);
    keys.Type(L"ABCD");
    keys.Press(KEY_ENTER);
    Run();
    EXPECT_EQ(list->GetItemText(1), L"GamingXABC");
    Heard();

    // Escape drops the change; an unchanged text says nothing when it closes.
    OpenEditorOn(1);
    keys.Type(L"zz");
    keys.Press(KEY_ESC);
    Run();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(list->GetItemText(1), L"GamingXABC");
    for (const std::string& n : Heard())
        EXPECT_NE(n, "66:29:0:1");
    OpenEditorOn(1);
    keys.Press(KEY_ENTER);
    Run();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_TRUE(Heard().empty());
}

TEST_F(DListBoxTest, APressOnAnotherRowOrElsewhereEndsTheRenameOnTheEditedRowItGoesOn)
{
    list->EnableShowEdit(1);
    OpenEditorOn(1);
    keys.Type(L"2");
    Run();
    Heard();
    ClickAt(RowPoint(1));
    EXPECT_TRUE(list->IsEditing());
    EXPECT_EQ(Heard(), (std::vector<std::string>{"66:1:1:0", "66:2:1:0"}));
    ClickAt(RowPoint(2));
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(list->GetItemText(1), L"Gaming2");
    EXPECT_EQ(Heard(), (std::vector<std::string>{"66:29:0:1", "66:1:2:0", "66:2:2:0"}));

    // Another control taking the focus ends it too.
    OpenEditorOn(2);
    keys.Type(L"!");
    Run();
    Heard();
    ClickAt({320, 220});
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(list->GetItemText(2), L"Office!");
    EXPECT_EQ(Heard(), std::vector<std::string>{"66:29:0:2"});

    // Deleting the edited row drops the rename.
    OpenEditorOn(0);
    keys.Type(L"?");
    Run();
    Heard();
    list->DeleteItem(0);
    Run();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_FALSE(list->GetEditWnd()->IsOpen());
    EXPECT_TRUE(Heard().empty());
}

TEST_F(DListBoxTest, ShowEditNeedsRenamingOnAnEnabledListAndASelection)
{
    list->SetCurSel(0);
    list->ShowEdit();
    EXPECT_FALSE(list->IsEditing()) << "renaming off";
    list->EnableShowEdit(1);
    list->SetCurSel(-1);
    list->ShowEdit();
    EXPECT_FALSE(list->IsEditing()) << "no selection";
    list->SetCurSel(0);
    list->SetEnabled(0);
    list->ShowEdit();
    EXPECT_FALSE(list->IsEditing()) << "disabled";
    EXPECT_EQ(list->GetEditWnd(), nullptr);
    list->SetEnabled(1);
    // Opened by a command while the page around it holds the focus.
    Manager().SetFocusControl(panel);
    list->ShowEdit();
    EXPECT_TRUE(list->IsEditing());
    EXPECT_EQ(Manager().GetFocusControl(), list);
    // Over the row's text: from the indent to 10 pixels short of the right edge.
    EXPECT_EQ(list->EditorRect().left, 20 + DListBox::kDefaultTextIndent);
    EXPECT_EQ(list->EditorRect().right, 220 - DListBox::kEditorRightInset);
}

} // namespace
