// Panels and their scroll bars, the message and progress overlay, the tooltip and the tip bubble.

#include <gtest/gtest.h>

#include "tests/support/scoped_folders.h"
#include "tests/ui/control_probe.h"
#include "ui/controls/m_scroll.h"
#include "ui/framework/m_air_bladder.h"
#include "ui/framework/m_panel.h"
#include "ui/framework/tooltip_wnd.h"

namespace {

class PanelTest : public ControlFixture {
protected:
    PanelTest()
    {
        panel = static_cast<MPanel*>(
            Manager().AddControl(std::make_unique<MPanel>(&dialog, 30, CRect(20, 20, 220, 120), 1)));
    }

    void Wheel(CPoint client, int distance)
    {
        CPoint screen = client;
        WindowSystem::ClientToScreen(hwnd, &screen);
        WindowSystem::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, distance),
                                   MAKELPARAM(screen.x, screen.y));
        Run();
    }

    MPanel* panel = nullptr;
};

TEST_F(PanelTest, ScrollBarsAreTheFirstChildrenAlongTheEdgesAndShowOnlyForLargerContent)
{
    const std::vector<MControl*> children = panel->GetControls().Snapshot();
    ASSERT_GE(children.size(), 2u);
    EXPECT_EQ(children[0], panel->GetVScroll());
    EXPECT_EQ(children[1], panel->GetHScroll());
    EXPECT_EQ(panel->GetVScroll()->GetID(), 1u);
    EXPECT_EQ(panel->GetHScroll()->GetID(), 2u);
    EXPECT_TRUE(panel->GetVScroll()->IsVertical());
    EXPECT_EQ(panel->GetVScroll()->GetRect(), CRect(213, 20, 220, 120));
    EXPECT_EQ(panel->GetHScroll()->GetRect(), CRect(20, 113, 220, 120));

    struct Case {
        int width, height;
        bool vertical, horizontal;
    };
    const Case cases[] = {{200, 100, false, false},
                          {200, 400, true, false},
                          {500, 100, false, true},
                          {500, 400, true, true},
                          {0, 0, false, false}};
    for (const Case& c : cases) {
        panel->SetVirtualSize(c.width, c.height);
        EXPECT_EQ(panel->GetVScroll()->IsVisible() != 0, c.vertical) << c.width << "x" << c.height;
        EXPECT_EQ(panel->GetHScroll()->IsVisible() != 0, c.horizontal) << c.width << "x" << c.height;
        EXPECT_EQ(panel->IsScrolling(), c.vertical || c.horizontal);
    }

    // A new rectangle moves the bars and forgets the content size.
    panel->SetVirtualSize(200, 400);
    panel->SetRect(CRect(0, 0, 100, 50));
    EXPECT_EQ(panel->GetVScroll()->GetRect(), CRect(93, 0, 100, 50));
    EXPECT_EQ(panel->GetVirtualHeight(), 0);
    EXPECT_FALSE(panel->GetVScroll()->IsVisible());
}

TEST_F(PanelTest, TheWheelScrollsByTheBarsStepAndPointsFollowTheOffset)
{
    auto* row = static_cast<ProbeControl*>(
        panel->AddControl(std::make_unique<ProbeControl>(panel, 40, CRect(20, 200, 200, 230))));
    panel->SetVirtualSize(200, 300); // 200 more than the panel shows
    MScroll* bar = panel->GetVScroll();
    EXPECT_EQ(bar->GetScrollMaxRange(), 200);
    Move({100, 60});
    Wheel({100, 60}, -360);
    EXPECT_EQ(bar->GetScrollCurrentPos(), 3 * MScroll::kDefaultStep);
    EXPECT_EQ(panel->GetScrollOffset(), CPoint(0, 60));
    Wheel({100, 60}, -2400);
    EXPECT_EQ(bar->GetScrollCurrentPos(), 200);
    EXPECT_EQ(panel->GetScrollOffset(), CPoint(0, 200));
    Wheel({100, 60}, 120);
    EXPECT_EQ(bar->GetScrollCurrentPos(), 180);

    // The row sits at content y 200: scrolled by 180 it shows at window y 20…50 and hears content points.
    row->Take();
    Click({30, 25});
    EXPECT_EQ(row->CountOf("ldown 30,205"), 1);

    // A panel whose content fits does not take the wheel: it goes on to the other controls.
    auto* other = dialog.Add<ProbeControl>(50u, CRect(300, 0, 350, 50));
    other->takesWheel = 1;
    panel->SetVirtualSize(200, 100);
    Wheel({100, 60}, -120);
    EXPECT_EQ(other->CountOf("wheel down"), 1);
}

TEST_F(PanelTest, DraggingTheThumbMovesTheContentAndStaysInsideThePanel)
{
    panel->SetVirtualSize(200, 400); // range 300, page 100: thumb 25 of 100 pixels
    MScroll* bar = panel->GetVScroll();
    EXPECT_EQ(bar->GetThumbRect(), CRect(213, 20, 220, 45));
    const size_t heard = dialog.notifications.size();
    Move({215, 30});
    Backend().Press(hwnd, kButtonLeft, {215, 30});
    Run();
    // The pointer leaves the 7-pixel bar sideways while dragging; the thumb still follows.
    Move({260, 67});
    EXPECT_EQ(bar->GetScrollCurrentPos(), 37 * 300 / 75);
    Move({260, 200});
    EXPECT_EQ(bar->GetScrollCurrentPos(), 300);
    Backend().Release(hwnd, kButtonLeft, {260, 200});
    Run();
    EXPECT_EQ(panel->GetScrollOffset(), CPoint(0, 300));
    // The bar's notifications are the panel's own business.
    EXPECT_EQ(dialog.notifications.size(), heard);

    // A press on the track jumps a page towards the pointer.
    Click({215, 25});
    EXPECT_EQ(bar->GetScrollCurrentPos(), 200);
}

// A child that reports a click.
class Reporter : public ProbeControl {
public:
    using ProbeControl::ProbeControl;
    int OnControlLButtonUp(unsigned, CPoint) override
    {
        SendMessageW(2, 7, 9);
        return 1;
    }
};

TEST_F(PanelTest, ChildNotificationsReachTheWindowUnchanged)
{
    panel->AddControl(std::make_unique<Reporter>(panel, 41, CRect(30, 30, 60, 60)));
    Click({40, 40});
    ASSERT_FALSE(dialog.notifications.empty());
    EXPECT_EQ(dialog.notifications.back(), "41:2:7:9");
    // Created by name inside a panel, a control reports to the owner it was given.
    MControl* area = panel->CreateControl(0, &dialog, L"CArea", 42, CRect(0, 0, 5, 5), L"", 1, 1);
    ASSERT_NE(area, nullptr);
    EXPECT_EQ(area->GetParantObject(), static_cast<MObject*>(&dialog));
    EXPECT_TRUE(panel->GetAreas().Contains(area));
    EXPECT_EQ(area->GetManager(), &Manager());
}

TEST_F(PanelTest, ARepaintInsideAScrolledPanelLandsAtTheShownPlace)
{
    auto* row = static_cast<ProbeControl*>(
        panel->AddControl(std::make_unique<ProbeControl>(panel, 40, CRect(20, 200, 200, 230))));
    auto* above = dialog.Add<ProbeControl>(60u, CRect(0, 0, 400, 30)); // a later control over its top
    auto* apart = dialog.Add<ProbeControl>(61u, CRect(0, 200, 400, 300));
    panel->SetVirtualSize(200, 300);
    panel->GetVScroll()->SetScrollCurrentPos(180);
    Run();
    row->UpdateControl(1, 0);
    CRegion expected(CRect(20, 20, 200, 50));
    expected.Union(CRect(0, 0, 400, 30));
    EXPECT_EQ(WindowSystem::GetUpdateRegion(hwnd).Rects(), expected.Rects());
    EXPECT_EQ(above->GetUpdate(), 0);
    EXPECT_EQ(apart->GetUpdate(), 1);
}

using OverlayTest = ControlFixture;

TEST_F(OverlayTest, AMessageHoldsThreeSecondsThenFades)
{
    const CRect box(10, 10, 210, 70);
    Manager().SetMessage(L"Saved", box, MSG_LEVEL_WARNING);
    EXPECT_EQ(Manager().GetMessageAlpha(), 255);
    EXPECT_EQ(Manager().GetMessageLevel(), MSG_LEVEL_WARNING);
    Run();
    // Box 0xE6E6E6, inside it 0xFEFEFE.
    EXPECT_EQ(Shown().image.Pixel(11, 11), 0xFFE6E6E6u);
    EXPECT_EQ(Shown().image.Pixel(100, 65), 0xFFFEFEFEu);
    Backend().RunFor(3000);
    EXPECT_EQ(Manager().GetMessageAlpha(), 255);
    Backend().RunFor(50);
    EXPECT_EQ(Manager().GetMessageAlpha(), 245);
    Backend().RunFor(22 * 50);
    EXPECT_EQ(Manager().GetMessageAlpha(), 25);
    Backend().RunFor(50);
    EXPECT_EQ(Manager().GetMessageAlpha(), 0);

    // Setting it again restarts the hold.
    Manager().SetMessage(L"Again", box, MSG_LEVEL_INFO);
    Backend().RunFor(2000);
    Manager().SetMessage(L"Again", box, MSG_LEVEL_INFO);
    Backend().RunFor(2000);
    EXPECT_EQ(Manager().GetMessageAlpha(), 255);
}

TEST_F(OverlayTest, ProgressCreepsToItsTargetAndFadesAtTheEnd)
{
    Manager().SetProgress(3, L"Downloading", CRect());
    EXPECT_EQ(Manager().GetShownProgress(), 3); // less than 6 ahead: shown at once
    EXPECT_EQ(Manager().GetMessageRect(), CRect(0, 240, 400, 298));
    Manager().SetProgress(30, L"Downloading", CRect());
    EXPECT_EQ(Manager().GetShownProgress(), 3);
    Backend().RunFor(100);
    EXPECT_EQ(Manager().GetShownProgress(), 23);
    Backend().RunFor(100);
    EXPECT_EQ(Manager().GetShownProgress(), 30);
    // The same target again changes nothing.
    Manager().SetProgress(30, L"Other", CRect(0, 0, 10, 10));
    EXPECT_EQ(Manager().GetMessageRect(), CRect(0, 240, 400, 298));
    Manager().SetProgress(100, L"Done", CRect());
    Backend().RunFor(400);
    EXPECT_EQ(Manager().GetShownProgress(), 100);
    EXPECT_GT(Manager().GetMessageAlpha(), 200);
    Backend().RunFor(2000);
    EXPECT_EQ(Manager().GetMessageAlpha(), 0);
    EXPECT_EQ(Manager().GetShownProgress(), 0);
}

TEST_F(OverlayTest, TooltipsFollowTheHoveredControl)
{
    auto* a = dialog.Add<ProbeControl>(1u, CRect(10, 10, 60, 60));
    auto* b = dialog.Add<ProbeControl>(2u, CRect(100, 10, 150, 60));
    a->SetTooltip(L"Brightness");
    const std::wstring longText(120, L'x');
    b->SetTooltip(longText.c_str());
    Move({20, 20});
    ToolTipWnd* tip = Manager().GetToolTipWnd();
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(tip->IsShown());
    EXPECT_EQ(tip->GetText(), L"Brightness");
    EXPECT_EQ(Manager().GetTooltipCtrlID(), 1u);
    CRect shortRect;
    tip->GetWindowRect(&shortRect);
    EXPECT_LT(shortRect.Width(), ToolTipWnd::kMaxWidth);
    // Below the pointer, white inside a thin border.
    CPoint cursor;
    WindowSystem::GetCursorPos(&cursor);
    EXPECT_GT(shortRect.top, cursor.y);
    Run();
    const HeadlessWindow* shown = Backend().Window(tip->GetSafeHwnd());
    EXPECT_EQ(shown->image.Pixel(2, 2), 0xFFFFFFFFu);
    EXPECT_EQ(shown->image.Pixel(0, 0), 0xFF767676u);

    // Off the control it hides; back on it shows again.
    Move({300, 200});
    EXPECT_FALSE(tip->IsShown());
    Move({20, 20});
    EXPECT_TRUE(tip->IsShown());

    // A long text wraps at 256 pixels.
    Move({110, 20});
    EXPECT_EQ(tip->GetText(), longText);
    CRect longRect;
    tip->GetWindowRect(&longRect);
    EXPECT_LE(longRect.Width(), ToolTipWnd::kMaxWidth);
    EXPECT_GT(longRect.Width(), ToolTipWnd::kMaxWidth - 20);
    EXPECT_GT(longRect.Height(), 2 * shortRect.Height());

    // A press pops it; leaving the window hides it and forgets the control.
    Backend().Press(hwnd, kButtonLeft, {110, 20});
    Run();
    EXPECT_FALSE(tip->IsShown());
    Backend().Release(hwnd, kButtonLeft, {110, 20});
    Move({20, 20});
    EXPECT_TRUE(tip->IsShown());
    Backend().LeaveWindow(hwnd);
    Run();
    EXPECT_FALSE(tip->IsShown());
    EXPECT_EQ(Manager().GetTooltipCtrlID(), 0u);
}

TEST_F(OverlayTest, TheBubbleShowsByItsPointAndHidesAfterFiveSeconds)
{
    ScopedFolders folders; // no skin pictures: the bubble draws its own body and arrow
    EXPECT_EQ(dialog.SetAirBladderMsg(L"Hello", CPoint(0, 300), AIRBLADDER_TOP), 0);
    EXPECT_EQ(dialog.SetAirBladderMsg(L"Hello", CPoint(300, 0), AIRBLADDER_TOP), 0);
    EXPECT_EQ(Manager().GetAirBladder()->IsShown(), false);

    ASSERT_EQ(dialog.SetAirBladderMsg(L"Two\nlines", CPoint(300, 200), AIRBLADDER_TOP), 1);
    MAirBladder* bubble = Manager().GetAirBladder();
    EXPECT_TRUE(bubble->IsShown());
    CRect rect;
    bubble->GetWindowRect(&rect);
    EXPECT_EQ(rect.top, 200);
    EXPECT_NEAR(rect.CenterPoint().x, 300, 1);
    Run();
    const int paints = bubble->PaintCount();
    EXPECT_GE(paints, 1);
    // Transparent around the arrow, the body's colour below it.
    const HeadlessWindow* shown = Backend().Window(bubble->GetSafeHwnd());
    EXPECT_EQ(shown->image.Pixel(0, 0) >> 24, 0u);
    EXPECT_GT(shown->image.Pixel(rect.Width() / 2, rect.Height() / 2) >> 24, 200u);

    // The same request while it shows does nothing.
    EXPECT_EQ(dialog.SetAirBladderMsg(L"Two\nlines", CPoint(300, 200), AIRBLADDER_TOP), 1);
    Run();
    EXPECT_EQ(bubble->PaintCount(), paints);
    Backend().RunFor(MAirBladder::kHideAfterMs);
    EXPECT_FALSE(bubble->IsShown());

    // A bubble to the left of its point stays when asked to.
    ASSERT_EQ(Manager().SetAirBladderMsg(L"Stays", CPoint(300, 200), AIRBLADDER_STAY, 3), 1);
    Backend().RunFor(2 * MAirBladder::kHideAfterMs);
    EXPECT_TRUE(bubble->IsShown());
    ASSERT_EQ(Manager().SetAirBladderMsg(L"Left", CPoint(300, 200), AIRBLADDER_RIGHT, 3), 1);
    bubble->GetWindowRect(&rect);
    EXPECT_EQ(rect.right, 300);
}

} // namespace
