// The key function picker: its catalogue checked against the HID usage numbering and its own geometry,
// and the control on a page of a headless dialog — presses and what the owner reads back, marking,
// descriptions, tooltips, the picture strip's frames and icons.

#include <algorithm>
#include <gtest/gtest.h>
#include <map>
#include <set>

#include "tests/ui/controls_fixture.h"
#include "ui/controls/m_scroll.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/tooltip_wnd.h"
#include "ui/keyboard/key_func_catalogue.h"
#include "ui/keyboard/key_func_control.h"

namespace {

// --- The catalogue ---

// The index of the nth button (0: the first) with a label; the main block comes before the keypad.
int Find(const wchar_t* label, int nth = 0)
{
    const auto entries = KeyFuncCatalogue();
    for (size_t i = 0; i < entries.size(); ++i) {
        if (std::wstring(entries[i].label) == label && nth-- == 0)
            return static_cast<int>(i);
    }
    return -1;
}

int ValueOf(const wchar_t* label, int nth = 0)
{
    const int i = Find(label, nth);
    return i < 0 ? -1 : KeyFuncCatalogue()[static_cast<size_t>(i)].value;
}

TEST(KeyFuncCatalogueTest, ValuesFollowTheHidUsageNumbering)
{
    const auto entries = KeyFuncCatalogue();
    ASSERT_EQ(entries.size(), 122u);
    std::set<int> values;
    for (const KeyFuncEntry& e : entries)
        EXPECT_TRUE(values.insert(e.value).second) << "value " << e.value << " twice";

    // Letters A–Z are usages 4–29; the digits 1–9, 0 of the main row 30–39 and of the keypad 89–98;
    // F1–F12 58–69.
    for (wchar_t c = L'A'; c <= L'Z'; ++c)
        EXPECT_EQ(ValueOf(std::wstring(1, c).c_str()), 4 + (c - L'A')) << static_cast<char>(c);
    for (int d = 1; d <= 10; ++d) {
        const std::wstring digit(1, static_cast<wchar_t>(L'0' + d % 10));
        EXPECT_EQ(ValueOf(digit.c_str()), 29 + d) << d;
        EXPECT_EQ(ValueOf(digit.c_str(), 1), 88 + d) << d;
    }
    for (int f = 1; f <= 12; ++f)
        EXPECT_EQ(ValueOf((L"F" + std::to_wstring(f)).c_str()), 57 + f) << f;

    // The labels that occur twice: the left-hand (or main-block) one first, each with its own usage.
    struct Pair {
        const wchar_t* label;
        int first, second;
    };
    for (const Pair& p : {Pair{L"Ctrl", 224, 228}, Pair{L"Shift", 225, 229}, Pair{L"Alt", 226, 230},
                          Pair{L"Win", 227, 231}, Pair{L"Enter", 40, 88}, Pair{L"-", 45, 86}}) {
        std::vector<int> found;
        for (const KeyFuncEntry& e : entries) {
            if (std::wstring(e.label) == p.label)
                found.push_back(e.value);
        }
        EXPECT_EQ(found, (std::vector<int>{p.first, p.second})) << WideToUtf8(p.label);
    }
    EXPECT_EQ(ValueOf(L"Esc"), 41);
    EXPECT_EQ(ValueOf(L"Space"), 44);
    EXPECT_EQ(ValueOf(L"+"), 87);
    EXPECT_EQ(ValueOf(L"."), 99);
    EXPECT_EQ(ValueOf(L"App"), 101);

    // The 18 icon buttons come first: the special functions 232–249, each once, each with an icon.
    std::set<int> special;
    for (size_t i = 0; i < entries.size(); ++i) {
        const bool icon = entries[i].icon != nullptr;
        EXPECT_EQ(icon, i < 18) << i;
        EXPECT_EQ(entries[i].value >= 232, i < 18) << i;
        if (icon) {
            special.insert(entries[i].value);
            EXPECT_STREQ(entries[i].label, L"");
            EXPECT_EQ(std::wstring(entries[i].icon).rfind(L"icon//icon_", 0), 0u) << i;
        }
    }
    EXPECT_EQ(special.size(), 18u);
    EXPECT_EQ(*special.begin(), 232);
    EXPECT_EQ(*special.rbegin(), 249);
}

TEST(KeyFuncCatalogueTest, ButtonsSitInTheirRowsWithoutOverlapping)
{
    const auto entries = KeyFuncCatalogue();
    const std::vector<std::pair<int, int>> rows = {{0, 28},    {38, 66},   {76, 104}, {109, 137},
                                                   {142, 170}, {175, 203}, {208, 236}};
    CRect all;
    for (size_t i = 0; i < entries.size(); ++i) {
        const CRect& r = entries[i].rect;
        EXPECT_FALSE(r.IsRectEmpty()) << i;
        all = i == 0 ? r
                     : CRect(std::min(all.left, r.left), std::min(all.top, r.top),
                             std::max(all.right, r.right), std::max(all.bottom, r.bottom));
        // Each button starts at a row's top and ends at that row's bottom, or (the keypad's "+" and
        // "Enter") at the next row's.
        const auto row = std::find_if(rows.begin(), rows.end(), [&](auto& b) { return b.first == r.top; });
        ASSERT_NE(row, rows.end()) << i;
        const bool tall = std::wstring(entries[i].label) == L"+" || i == 108;
        EXPECT_EQ(r.bottom, tall ? (row + 1)->second : row->second) << i;
        for (size_t j = 0; j < i; ++j) {
            CRect overlap;
            EXPECT_FALSE(overlap.IntersectRect(r, entries[j].rect)) << i << " overlaps " << j;
        }
    }
    EXPECT_EQ(all, CRect(CPoint(0, 0), kKeyFuncCatalogueSize));
}

// --- The control ---

constexpr unsigned kPicker = 69;
constexpr ARGB kNormal = 0xFF203040;
constexpr ARGB kHovered = 0xFF405060;
constexpr ARGB kPressed = 0xFF607080;
constexpr ARGB kDisabled = 0xFF808080;
constexpr ARGB kIcon = 0xFF00C000;
const CPoint kAt(10, 20);
const std::string kNone = std::to_string(static_cast<unsigned>(-1));

class KeyFuncControlTest : public ControlsFixture {
protected:
    KeyFuncControlTest()
    {
        dialog.MoveWindow(0, 0, 1000, 400);
        page = dialog.Add<MPanel>(1000u, CRect(0, 0, 1000, 400), 1);
        WriteSkin(folders, "img_customkey.png", SolidStrip({kNormal, kHovered, kPressed, kDisabled}, 36, 28));
        WriteSkin(folders, "icon/icon_pc.png", SolidStrip({kIcon}, 20, 20));
        picker = static_cast<KeyFuncControl*>(
            page->CreateControl(L"KeyFuncControl", kPicker, CRect(kAt, kKeyFuncCatalogueSize), L"", 1, 1));
        picker->SetImage(L"img_customkey.png", 4);
        picker->InitItemInfo();
        Run();
        Heard();
    }

    // The middle of a button in the window.
    CPoint Middle(int index) const { return picker->GetItemWindowRect(index).CenterPoint(); }
    // A point on a button away from its label.
    CPoint Corner(int index) const
    {
        const CRect r = picker->GetItemWindowRect(index);
        return {r.left + 2, r.top + 2};
    }
    std::string Pressed(int index) const
    {
        return "69:1:" + (index < 0 ? kNone : std::to_string(index)) + ":0";
    }
    const ToolTipWnd* Tip() { return Manager().GetToolTipWnd(); }
    bool TipShown() { return Tip() && Tip()->IsShown(); }

    MPanel* page = nullptr;
    KeyFuncControl* picker = nullptr;
};

TEST_F(KeyFuncControlTest, IsMadeOnlyInsideAPanel)
{
    EXPECT_EQ(dialog.CreateControl(L"KeyFuncControl", 70, CRect(0, 0, 10, 10), L"", 1, 1), nullptr);
    EXPECT_EQ(picker->GetItemCount(), 122);
    EXPECT_EQ(picker->GetItem(47)->label, L"Back");
    EXPECT_FALSE(picker->GetItem(122).has_value());
}

TEST_F(KeyFuncControlTest, APressReportsTheButtonAndTheOwnerReadsIt)
{
    const int f5 = Find(L"F5");
    Click(Middle(f5));
    EXPECT_EQ(Heard(), (std::vector<std::string>{Pressed(f5)}));
    int first = 777, value = 0, data2 = -1, data3 = -1;
    CString label;
    ASSERT_TRUE(picker->GetCurItemData(first, value, data2, data3, label));
    EXPECT_EQ(first, 777);
    EXPECT_EQ(value, 62);
    EXPECT_EQ(data2, 0);
    EXPECT_EQ(data3, 0);
    EXPECT_EQ(label, L"F5");

    // The keypad's two-row Enter, at its lower half.
    const int enter = Find(L"Enter", 1);
    const CRect tall = picker->GetItemWindowRect(enter);
    Click({tall.CenterPoint().x, tall.bottom - 3});
    EXPECT_EQ(Heard(), (std::vector<std::string>{Pressed(enter)}));
    ASSERT_TRUE(picker->GetCurItemData(first, value, data2, data3, label));
    EXPECT_EQ(value, 88);

    // Between Esc and F1: −1, and nothing to read.
    Click({kAt.x + 50, kAt.y + 50});
    EXPECT_EQ(Heard(), (std::vector<std::string>{Pressed(-1)}));
    EXPECT_FALSE(picker->GetCurItemData(first, value, data2, data3, label));

    // Marking forgets the press.
    Click(Middle(f5));
    Heard();
    picker->SetItemCheckByItemData(0, 0, 0);
    EXPECT_FALSE(picker->GetCurItemData(first, value, data2, data3, label));

    // A disabled picker hears nothing.
    picker->SetEnabled(0);
    Click(Middle(f5));
    EXPECT_TRUE(Heard().empty());
}

TEST_F(KeyFuncControlTest, MarkingFindsTheButtonWithAllThreeValues)
{
    struct Case {
        int value, data2, data3;
        int marked;
    };
    const int f5 = Find(L"F5");
    const Case cases[] = {
        {62, 0, 0, f5},                 // F5
        {229, 0, 0, Find(L"Shift", 1)}, // the right Shift, not the left one with the same label
        {62, 1, 0, -1},                 // data 2 differs
        {62, 0, 3, -1},                 // data 3 differs
        {300, 0, 0, -1},                // not in the catalogue
        {0, 0, 0, -1},                  // clears the mark
    };
    ASSERT_EQ(picker->GetItem(Find(L"Shift", 1))->value, 229);
    for (const Case& c : cases) {
        picker->SetItemCheckByItemData(62, 0, 0);
        picker->SetItemCheckByItemData(c.value, c.data2, c.data3);
        EXPECT_EQ(picker->GetMarkedIndex(), c.marked) << c.value << "," << c.data2 << "," << c.data3;
    }

    // The marked button shows the pressed frame; others the normal one, a lit one the hovered one.
    picker->SetItemCheckByItemData(62, 0, 0);
    Move(Corner(Find(L"F6")));
    EXPECT_EQ(PixelAt(Corner(f5)), kPressed);
    EXPECT_EQ(PixelAt(Corner(Find(L"F6"))), kHovered);
    EXPECT_EQ(PixelAt(Corner(Find(L"F7"))), kNormal);
    // The wide Space bar is drawn as a frame of the strip: the same colours.
    EXPECT_EQ(PixelAt(Corner(Find(L"Space"))), kNormal);
    picker->SetEnabled(0);
    Run();
    EXPECT_EQ(PixelAt(Corner(f5)), kDisabled);
}

TEST_F(KeyFuncControlTest, DescriptionsNameTheSpecialFunctionsAndAreDroppedByARebuild)
{
    std::vector<CString> before;
    for (int i = 0; i < picker->GetItemCount(); ++i)
        before.push_back(picker->GetItem(i)->label);
    picker->SetItemDesc(300, L"nothing");
    for (int i = 0; i < picker->GetItemCount(); ++i)
        EXPECT_EQ(picker->GetItem(i)->label, before[static_cast<size_t>(i)]) << i;

    picker->SetItemDesc(0xF9, L"My computer");
    EXPECT_EQ(picker->GetItem(0)->label, L"My computer");
    picker->SetItemDesc(0xE5, L"Right shift");
    EXPECT_EQ(picker->GetItem(Find(L"Shift"))->label, L"Shift");
    EXPECT_EQ(picker->GetItem(Find(L"Shift", 1))->label, L"Right shift");

    picker->InitItemInfo();
    EXPECT_EQ(picker->GetItem(0)->label, L"");
    EXPECT_EQ(picker->GetItemCount(), 122);
}

TEST_F(KeyFuncControlTest, TooltipsShowOnlyTheDescriptionsOfSpecialFunctions)
{
    picker->SetItemDesc(0xF9, L"My computer");
    picker->SetItemDesc(0xE0, L"Left control"); // a modifier: never a tooltip

    Move(Middle(0));
    EXPECT_EQ(picker->GetHotIndex(), 0);
    EXPECT_EQ(Shown().cursor, PointerShape::Hand);
    ASSERT_TRUE(TipShown());
    EXPECT_EQ(Tip()->GetText(), L"My computer");
    EXPECT_EQ(Tip()->GetToolRect(), picker->GetItemWindowRect(0));
    EXPECT_EQ(picker->GetTipIndex(), 0);

    // Another icon button without a description, a modifier with one, a key: no tooltip.
    for (int index : {1, Find(L"Ctrl"), Find(L"Q")}) {
        Move(Middle(index));
        EXPECT_EQ(picker->GetHotIndex(), index);
        EXPECT_FALSE(TipShown()) << index;
    }
    // Between buttons: nothing lit, the arrow.
    Move({kAt.x + 50, kAt.y + 50});
    EXPECT_EQ(picker->GetHotIndex(), -1);
    EXPECT_EQ(Shown().cursor, PointerShape::Arrow);

    // Out of the control, from a button with its tooltip showing: the tooltip goes.
    Move(Middle(0));
    ASSERT_TRUE(TipShown());
    Move({kAt.x + 950, kAt.y + 100});
    EXPECT_FALSE(TipShown());
    EXPECT_EQ(picker->GetHotIndex(), -1);
    EXPECT_EQ(picker->GetTipIndex(), -1);
}

TEST_F(KeyFuncControlTest, IconsAreDrawnCentredAndAMissingOneLeavesTheLabel)
{
    // icon_pc.png exists in this skin: 20 × 20 in the middle of button 0.
    const CRect pc = picker->GetItemWindowRect(0);
    EXPECT_EQ(PixelAt(pc.CenterPoint()), kIcon);
    EXPECT_EQ(PixelAt({pc.CenterPoint().x - 10, pc.CenterPoint().y}), kIcon);
    EXPECT_EQ(PixelAt({pc.CenterPoint().x - 11, pc.CenterPoint().y}), kNormal);
    EXPECT_TRUE(picker->GetItem(0)->icon);

    // The others are missing: those buttons show their description instead.
    EXPECT_FALSE(picker->GetItem(1)->icon);
    const CRect cal = picker->GetItemWindowRect(1);
    auto inked = [&] {
        int n = 0;
        for (int y = cal.top + 3; y < cal.bottom - 3; ++y)
            for (int x = cal.left + 3; x < cal.right - 3; ++x)
                n += PixelAt({x, y}) != kNormal ? 1 : 0;
        return n;
    };
    EXPECT_EQ(inked(), 0);
    picker->SetItemDesc(0xF2, L"Calc");
    Run();
    EXPECT_GT(inked(), 0);
}

TEST_F(KeyFuncControlTest, TheWheelStaysWithThePicker)
{
    page->SetVirtualSize(1000, 2000);
    Move(Middle(Find(L"A")));
    Backend().Wheel(hwnd, kButtonWheelDown, Middle(Find(L"A")));
    Run();
    EXPECT_EQ(page->GetVScroll()->GetScrollCurrentPos(), 0);
    Move({500, 350});
    Backend().Wheel(hwnd, kButtonWheelDown, {500, 350});
    Run();
    EXPECT_GT(page->GetVScroll()->GetScrollCurrentPos(), 0);
}

} // namespace
