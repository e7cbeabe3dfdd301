// The macro record list on a page of a headless dialog: rows and what the owner reads back, selection
// and its notifications, editing a delay in place (kept, emptied, refused, too long, unchanged), the
// owner's reorder and delete operations at the ends of the list, scrolling, and rows appended from
// another thread while the list is shown.

#include <atomic>
#include <gtest/gtest.h>
#include <thread>

#include "tests/ui/controls_fixture.h"
#include "tests/ui/keyboard_input.h"
#include "ui/controls/m_scroll.h"
#include "ui/keyboard/c_record_list.h"

namespace {

constexpr unsigned kRecords = 236;
constexpr int kRow = CRecordList::kDefaultRowHeight;
// Five rows show; eight are there.
const CRect kListRect(20, 20, 460, 20 + 5 * kRow);
const std::string kNone = std::to_string(static_cast<unsigned>(-1));

class RecordListTest : public ControlsFixture {
protected:
    RecordListTest() : keys(Backend(), hwnd)
    {
        dialog.MoveWindow(0, 0, 600, 400);
        page = dialog.Add<MPanel>(1000u, CRect(0, 0, 600, 400), 1);
        list = static_cast<CRecordList*>(page->CreateControl(L"CRecordList", kRecords, kListRect, L"", 1, 1));
        const wchar_t* keysTyped[] = {L"A", L"A", L"Shift", L"B", L"B", L"Shift", L"Enter", L"Enter"};
        for (int i = 0; i < 8; ++i)
            list->AddString(keysTyped[i], i % 2 == 0 ? 2 : 3, 0x41 + i, 10 * (i + 1));
        list->SetCurSel(-1);
        ScrollTo(0);
        Heard();
    }

    void ScrollTo(int pos)
    {
        list->GetVScroll()->SetScrollCurrentPos(pos);
        list->UpdateControl();
        Run();
    }
    // A point in a column of a row as it shows now.
    CPoint At(int row, int columnLeft) const
    {
        return {kListRect.left + columnLeft + 20, list->GetRowRect(row).CenterPoint().y};
    }
    CPoint Name(int row) const { return At(row, CRecordList::kNameLeft); }
    CPoint Delay(int row) const { return At(row, CRecordList::kDelayLeft); }
    std::vector<int> Delays() const
    {
        std::vector<int> out;
        for (const RecordItem& r : list->GetRecordItems())
            out.push_back(r.delay);
        return out;
    }
    std::vector<CString> Names() const
    {
        std::vector<CString> out;
        for (const RecordItem& r : list->GetRecordItems())
            out.push_back(r.text);
        return out;
    }
    void Wheel(bool down) { Wheel(down, kListRect.CenterPoint()); }
    void Wheel(bool down, CPoint p)
    {
        Move(p);
        Backend().Wheel(hwnd, down ? kButtonWheelDown : kButtonWheelUp, p);
        Run();
    }

    MPanel* page = nullptr;
    CRecordList* list = nullptr;
    KeyboardInput keys;
};

TEST_F(RecordListTest, RowsComeBackInTheirOrderWithTheirFields)
{
    EXPECT_EQ(dialog.CreateControl(L"CRecordList", 237, CRect(0, 0, 10, 10), L"", 1, 1), nullptr);
    EXPECT_EQ(list->AddString(L"Ctrl", 1, 0x11, 25), 8);
    const std::vector<RecordItem> rows = list->GetRecordItems();
    ASSERT_EQ(rows.size(), 9u);
    EXPECT_EQ(rows[2].text, L"Shift");
    EXPECT_EQ(rows[2].kind, 2);
    EXPECT_EQ(rows[2].code, 0x43);
    EXPECT_EQ(rows[2].delay, 30);
    EXPECT_EQ(rows[8].kind, 1);

    EXPECT_TRUE(list->UpdateDelayTime(99));
    EXPECT_EQ(Delays().back(), 99);
    list->DeleteAllItems();
    EXPECT_FALSE(list->UpdateDelayTime(5));
    EXPECT_EQ(list->GetItemCount(), 0);
    EXPECT_FALSE(list->GetVScroll()->IsVisible());
}

TEST_F(RecordListTest, TheEventColumnNamesOnlyPressesAndReleases)
{
    list->DeleteAllItems();
    list->AddString(L"A", 2, 0x41, 0);
    list->AddString(L"A", 3, 0x41, 0);
    list->AddString(L"?", 1, 0, 0);
    Run();
    const auto ink = [&](int row) {
        const CRect r = list->GetRowRect(row);
        const int left = r.left + CRecordList::kEventLeft;
        const ARGB back = PixelAt({left, r.top + 2});
        int n = 0;
        for (int y = r.top + 2; y < r.bottom - 2; ++y)
            for (int x = left; x < left + CRecordList::kEventWidth; ++x)
                n += PixelAt({x, y}) != back ? 1 : 0;
        return n;
    };
    EXPECT_GT(ink(0), 0);
    EXPECT_GT(ink(1), ink(0) / 3); // "Key Up" is shorter than "Key Down", not empty
    EXPECT_EQ(ink(2), 0);
}

TEST_F(RecordListTest, PressesSelectRowsAndTellTheOwner)
{
    ClickAt(Name(1));
    EXPECT_EQ(list->GetCurSel(), 1);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"236:1:1:0"}));

    // Right button: selects and tells 5; below the rows (after shortening the list) only deselects.
    Click(Name(3), kButtonRight);
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"236:5:3:0"}));
    while (list->GetItemCount() > 2)
        list->DeleteItem(2);
    list->SetCurSel(1);
    Run();
    const CPoint below(kListRect.left + 40, kListRect.top + 3 * kRow);
    Click(below, kButtonRight);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_TRUE(Heard().empty());
    ClickAt(below);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"236:1:" + kNone + ":0"}));

    // Selection bounds.
    struct Case {
        int index, result, selected;
    };
    for (const Case& c : {Case{1, 1, 1}, Case{-1, 1, -1}, Case{0, 1, 0}, Case{-2, 0, 0}, Case{2, 0, 0}}) {
        EXPECT_EQ(list->SetCurSel(c.index), c.result) << c.index;
        EXPECT_EQ(list->GetCurSel(), c.selected) << c.index;
    }
    EXPECT_TRUE(Heard().empty());
}

TEST_F(RecordListTest, TheSelectedAndTheLitRowsAreFramed)
{
    list->SetCurSel(0);
    Move(Name(2));
    const CRect r0 = list->GetRowRect(0);
    const CRect r2 = list->GetRowRect(2);
    EXPECT_EQ(PixelAt({r0.left + 5, r0.top}), 0xFF440062u);
    EXPECT_EQ(PixelAt({r0.left, r0.top + 5}), 0xFF440062u);
    EXPECT_EQ(PixelAt({r0.left + 5, r0.bottom - 1}), 0xFF440062u);
    EXPECT_EQ(PixelAt({r2.left + 5, r2.top}), 0xFF440062u);
    EXPECT_NE(PixelAt({list->GetRowRect(1).left + 5, list->GetRowRect(1).top}), 0xFF440062u);
    EXPECT_EQ(list->GetHotItem(), 2);
}

TEST_F(RecordListTest, EditingADelayInPlace)
{
    struct Case {
        const char* what;
        std::wstring typed;
        unsigned finish; // the key that ends the edit
        int delay;       // the row's delay after it
        bool told;       // notification 29
    };
    const Case cases[] = {
        {"a new delay", L"250", KEY_ENTER, 250, true},
        {"the same delay", L"20", KEY_ENTER, 20, false},
        {"an emptied editor counts as 10", L"", KEY_ENTER, 10, true},
        {"letters are refused", L"x", KEY_ENTER, 20, false},
        {"digits among letters are kept", L"4a5", KEY_ENTER, 45, true},
        {"no more than five digits", L"1234567", KEY_ENTER, 12345, true},
        {"Escape puts the old text back", L"777", KEY_ESC, 20, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        list->DeleteItem(1);
        list->AddString(L"A", 3, 0x41, 20);
        list->SwapItem(1, 7);
        ScrollTo(0);
        Heard();
        ClickAt(Delay(1));
        ASSERT_TRUE(list->IsEditing());
        EXPECT_EQ(list->GetEditItem(), 1);
        EXPECT_EQ(list->GetCurSel(), 1);
        CEditWnd* editor = list->GetEditWnd();
        EXPECT_EQ(editor->Text().SelectedText(), L"20");
        if (c.typed.empty())
            keys.Press(KEY_BACKSPACE);
        else
            keys.Type(c.typed);
        keys.Press(c.finish);
        Run();
        EXPECT_FALSE(list->IsEditing());
        EXPECT_EQ(Delays()[1], c.delay);
        std::vector<std::string> heard = {"236:1:1:0"};
        if (c.told)
            heard.push_back("236:29:0:1");
        EXPECT_EQ(Heard(), heard);
    }
}

TEST_F(RecordListTest, TheEditorSitsOnTheDelayAndClosesWhenTheUserMovesOn)
{
    ScrollTo(kRow / 2);
    ClickAt(Delay(2));
    ASSERT_TRUE(list->IsEditing());
    CRect placed;
    WindowSystem::GetWindowRect(list->GetEditWnd()->GetSafeHwnd(), &placed);
    const int font = list->GetFontSize();
    const int top = list->GetRowRect(2).top + (kRow - font) / 2 - 3;
    EXPECT_EQ(placed, CRect(kListRect.left + 300, top, kListRect.left + 420, top + font + 3));
    EXPECT_EQ(list->GetEditWnd()->GetBackColor(), CRecordList::kEditorBack);

    // A press on another row keeps what was typed, then tells the press.
    keys.Type(L"5");
    Run();
    Heard();
    ClickAt(Name(4));
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(Delays()[2], 5);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"236:29:0:2", "236:1:4:0"}));

    // The wheel keeps it too.
    ClickAt(Delay(4));
    keys.Type(L"6");
    Run();
    Wheel(true);
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(Delays()[4], 6);

    // Emptying the list drops an open editor without telling anything: its row is gone.
    ScrollTo(0);
    ClickAt(Delay(0));
    keys.Type(L"9");
    Run();
    Heard();
    list->DeleteAllItems();
    EXPECT_FALSE(list->IsEditing());
    EXPECT_EQ(Heard(), (std::vector<std::string>{}));

    // Nothing opens while editing is off or the list is disabled.
    list->AddString(L"A", 2, 0x41, 1);
    Run();
    list->EnableEdit(0);
    ClickAt(Delay(0));
    EXPECT_FALSE(list->IsEditing());
    list->EnableEdit(1);
    list->SetEnabled(0);
    ClickAt(Delay(0));
    EXPECT_FALSE(list->IsEditing());
}

TEST_F(RecordListTest, ReorderingAtTheEndsOfTheList)
{
    const std::vector<CString> before = Names();
    list->SetCurSel(3);
    // Invalid or equal indices change nothing; the selection never moves with a swap.
    list->SwapItem(2, 2);
    list->SwapItem(-1, 0);
    list->SwapItem(0, 8);
    list->SwapItem(8, 7);
    EXPECT_EQ(Names(), before);
    list->SwapItem(0, 1);
    list->SwapItem(6, 7);
    EXPECT_EQ(Delays(), (std::vector<int>{20, 10, 30, 40, 50, 60, 80, 70}));
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_TRUE(Heard().empty());
}

TEST_F(RecordListTest, DeletingRows)
{
    list->SetCurSel(7);
    EXPECT_EQ(list->DeleteItem(8), 0);
    EXPECT_EQ(list->DeleteItem(-1), 0);
    // The last row: nothing is selected afterwards, and the index it had is no row any more.
    EXPECT_EQ(list->DeleteItem(7), 1);
    EXPECT_EQ(list->GetCurSel(), -1);
    EXPECT_EQ(list->SetCurSel(7), 0);
    EXPECT_EQ(list->GetItemCount(), 7);
    EXPECT_EQ(list->DeleteItem(0), 1);
    EXPECT_EQ(Delays(), (std::vector<int>{20, 30, 40, 50, 60, 70}));
    // Five rows fit: the bar goes when the sixth goes.
    EXPECT_TRUE(list->GetVScroll()->IsVisible());
    list->DeleteItem(5);
    EXPECT_FALSE(list->GetVScroll()->IsVisible());

    // An open editor keeps its text before the rows move.
    ClickAt(Delay(3));
    keys.Type(L"1");
    Run();
    Heard();
    list->DeleteItem(0);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"236:29:0:3"}));
    EXPECT_EQ(Delays(), (std::vector<int>{30, 40, 1, 60}));
}

TEST_F(RecordListTest, ScrollingFollowsNewRowsAndTheWheel)
{
    // Appending scrolls the new row into view.
    for (int i = 0; i < 20; ++i)
        list->AddString(L"Space", 2, 0x20, 5);
    Run();
    EXPECT_EQ(list->GetLastVisible(), 27);
    EXPECT_EQ(list->GetVScroll()->GetScrollCurrentPos(), list->GetVScroll()->GetScrollMaxRange());
    EXPECT_EQ(list->GetRowRect(27).bottom, kListRect.bottom);

    // The wheel: ten steps of the bar, kept inside the range.
    const int step = list->GetVScroll()->GetStep();
    Wheel(false);
    EXPECT_EQ(list->GetVScroll()->GetScrollCurrentPos(), list->GetVScroll()->GetScrollMaxRange() - 10 * step);
    for (int i = 0; i < 40; ++i)
        Wheel(false);
    EXPECT_EQ(list->GetVScroll()->GetScrollCurrentPos(), 0);
    EXPECT_EQ(list->GetFirstVisible(), 0);

    // Selecting a row out of view brings it in.
    list->SetCurSel(20);
    Run();
    EXPECT_EQ(list->GetRowRect(20).bottom, kListRect.bottom);
    EXPECT_EQ(list->GetFirstVisible(), 16);

    // A short list leaves the wheel to what is behind it.
    while (list->GetItemCount() > 3)
        list->DeleteItem(0);
    page->SetVirtualSize(600, 2000);
    Wheel(true, Name(0));
    EXPECT_GT(page->GetVScroll()->GetScrollCurrentPos(), 0);
}

TEST_F(RecordListTest, ARecorderOnAnotherThreadAppendsWhileTheListIsShown)
{
    list->DeleteAllItems();
    constexpr int kRows = 3000;
    std::atomic<bool> done{false};
    std::thread recorder([&] {
        for (int i = 0; i < kRows; ++i) {
            list->UpdateDelayTime(i);
            list->AddString(i % 2 ? L"Key" : L"Other", 2 + i % 2, i, 0);
        }
        done = true;
    });
    // The UI thread paints all the while.
    while (!done) {
        Run();
        std::this_thread::yield();
    }
    recorder.join();
    Run();
    const std::vector<RecordItem> rows = list->GetRecordItems();
    ASSERT_EQ(rows.size(), static_cast<size_t>(kRows));
    for (int i = 0; i < kRows; ++i) {
        ASSERT_EQ(rows[static_cast<size_t>(i)].code, i);
        ASSERT_EQ(rows[static_cast<size_t>(i)].delay, i + 1 < kRows ? i + 1 : 0);
    }
    EXPECT_EQ(list->GetLastVisible(), kRows - 1);
    EXPECT_EQ(list->GetVScroll()->GetScrollCurrentPos(), list->GetVScroll()->GetScrollMaxRange());
    EXPECT_EQ(list->GetVScroll()->GetScrollMaxRange(), kRows * kRow - kListRect.Height());
}

} // namespace
