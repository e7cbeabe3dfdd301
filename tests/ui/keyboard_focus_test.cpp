// Moving the focus with Tab and Shift+Tab through the controls of shown pages, the focus mark, and keys
// going to the focus control before the hovered one.

#include <gtest/gtest.h>

#include "tests/ui/controls_fixture.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_slider.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/framework/paint_manager.h"

namespace {

class KeyboardFocusTest : public ControlsFixture {
protected:
    MControl* TabPress(bool shift = false)
    {
        if (shift)
            KeyWith(KEY_TAB, {KEY_LEFTSHIFT});
        else
            KeyWith(KEY_TAB);
        return Manager().GetFocusControl();
    }
};

TEST_F(KeyboardFocusTest, TabVisitsTheControlsOfShownPagesInOrder)
{
    auto* a = Make<MButton>(L"MButton", 1, CRect(10, 10, 60, 30));
    auto* page1 = Make<MTabLayout>(L"MTabLayout", 2, CRect(10, 40, 390, 140));
    auto* b = static_cast<MControl*>(page1->CreateControl(L"MButton", 3, CRect(20, 50, 80, 70), L"B", 1, 1));
    auto* c =
        static_cast<MControl*>(page1->CreateControl(L"CCheckButton", 4, CRect(20, 80, 80, 100), L"C", 1, 1));
    auto* page2 = Make<MTabLayout>(L"MTabLayout", 5, CRect(10, 40, 390, 140));
    auto* d = static_cast<MControl*>(page2->CreateControl(L"MSlider", 6, CRect(20, 50, 200, 100), L"", 1, 1));
    page2->SetVisible(0);
    auto* off = Make<MTabLayout>(L"MTabLayout", 7, CRect(10, 150, 390, 200));
    off->CreateControl(L"MButton", 8, CRect(20, 160, 80, 180), L"E", 1, 1);
    off->SetEnabled(0); // a disabled page keeps its controls out
    auto* label = Make<MControl>(L"MText", 9, CRect(10, 210, 100, 230), L"not a stop");
    auto* f = Make<MButton>(L"MButton", 10, CRect(10, 240, 60, 260));
    (void)label;

    EXPECT_EQ(TabPress(), a);
    EXPECT_EQ(TabPress(), b);
    EXPECT_EQ(TabPress(), c);
    EXPECT_EQ(TabPress(), f);
    EXPECT_EQ(TabPress(), a); // around again
    EXPECT_EQ(TabPress(true), f);
    EXPECT_EQ(TabPress(true), c);

    // Another page shown: its controls take the turn of the hidden ones, and a focus left on a hidden
    // page moves on from the start.
    page1->SetVisible(0);
    page2->SetVisible(1);
    EXPECT_EQ(TabPress(), a);
    EXPECT_EQ(TabPress(), d);
    EXPECT_EQ(TabPress(), f);
}

TEST_F(KeyboardFocusTest, TheFocusMarkShowsAfterTabAndGoesWithAPress)
{
    auto* a = Make<MButton>(L"MButton", 1, CRect(40, 40, 140, 80), L"A");
    auto* page = Make<MTabLayout>(L"MTabLayout", 2, CRect(10, 100, 390, 290));
    auto* b =
        static_cast<MControl*>(page->CreateControl(L"MButton", 3, CRect(200, 150, 300, 190), L"B", 1, 1));
    Run();
    const ARGB beside = PixelAt({90, 38});
    EXPECT_EQ(TabPress(), a);
    Run();
    EXPECT_TRUE(Manager().IsFocusMarked());
    // A line two pixels outside the control (rows 40…79), in the theme's accent.
    EXPECT_EQ(PixelAt({90, 38}), PaintManager::kFocusMarkColour);
    EXPECT_EQ(PixelAt({90, 81}), PaintManager::kFocusMarkColour);

    EXPECT_EQ(TabPress(), b);
    Run();
    EXPECT_EQ(PixelAt({90, 38}), beside);
    EXPECT_EQ(PixelAt({250, 148}), PaintManager::kFocusMarkColour);
    EXPECT_EQ(b->GetWindowRect(), CRect(200, 150, 300, 190));
    // The mark, outside the control, leaves with it and comes back with it.
    b->SetVisible(0);
    Run();
    EXPECT_NE(PixelAt({250, 148}), PaintManager::kFocusMarkColour);
    b->SetVisible(1);
    Run();
    EXPECT_EQ(PixelAt({250, 148}), PaintManager::kFocusMarkColour);

    // A press ends the mark, wherever it lands.
    ClickAt({350, 280});
    EXPECT_FALSE(Manager().IsFocusMarked());
    EXPECT_NE(PixelAt({250, 148}), PaintManager::kFocusMarkColour);
}

TEST_F(KeyboardFocusTest, KeysGoToTheFocusedControlBeforeTheHoveredOne)
{
    auto* focused = Make<MSlider>(L"MSlider", 1, CRect(10, 10, 210, 66));
    auto* hovered = Make<MSlider>(L"MSlider", 2, CRect(10, 100, 210, 156));
    focused->SetProgress(5);
    hovered->SetProgress(5);
    Manager().SetFocusControl(focused);
    Move({100, 120});
    EXPECT_EQ(Manager().GetHoverControl(), hovered);
    KeyWith(KEY_RIGHT);
    EXPECT_EQ(focused->GetProgress(), 6);
    EXPECT_EQ(hovered->GetProgress(), 5);
    // A focused control that went away leaves the key to the others.
    focused->SetVisible(0);
    KeyWith(KEY_RIGHT);
    EXPECT_EQ(focused->GetProgress(), 6);
}

} // namespace
