// The tab bar and its pages: layouts in a row and a column, selection by mouse, keys and calls, pages
// shown and hidden, the small button area, and the animated change.

#include <functional>
#include <gtest/gtest.h>

#include "tests/ui/controls_fixture.h"
#include "ui/controls/m_tab_ctrl.h"

namespace {

class TabControlsTest : public ControlsFixture {
protected:
    MTabCtrl* Bar(CRect rect = CRect(10, 20, 410, 60))
    {
        auto* bar = Make<MTabCtrl>(L"MTabCtrl", 50, rect);
        for (unsigned i = 0; i < 3; ++i) {
            pages[i] = Make<MTabLayout>(L"MTabLayout", 60 + i, CRect(10, 70, 410, 290));
            bar->InsertItem(100 + i, L"Tab", nullptr, pages[i]);
        }
        return bar;
    }
    std::vector<CRect> Rects(MTabCtrl* bar)
    {
        std::vector<CRect> out;
        for (int i = 0; i < bar->GetItemCount(); ++i)
            out.push_back(bar->GetItemInfo(i)->rect);
        return out;
    }
    MTabLayout* pages[3] = {};
};

TEST_F(TabControlsTest, TabsAreLaidOutInARowOrAColumnFromThePaddings)
{
    WriteSkin(folders, "tabs.png", SolidStrip({0xFF111111, 0xFF222222, 0xFF333333}, 20, 16));
    struct Case {
        const char* name;
        std::function<void(MTabCtrl*)> setup;
        std::vector<CRect> rects;
    };
    const Case cases[] = {
        {"row: item width, paddings",
         [](MTabCtrl* b) {
             b->SetLeftRightPading(5, 0);
             b->SetTopBottomPading(2, 3);
             b->SetItemWidth(60, 0, 1);
         },
         {{15, 22, 75, 57}, {75, 22, 135, 57}, {135, 22, 195, 57}}},
        {"row: the selected tab wider",
         [](MTabCtrl* b) {
             b->SetItemWidth(60, 90, 1);
             b->SetSelectItem(1);
         },
         {{10, 20, 70, 60}, {70, 20, 160, 60}, {160, 20, 220, 60}}},
        {"row: a hidden tab takes no room",
         [](MTabCtrl* b) {
             b->SetItemWidth(60, 0, 1);
             b->SetItemVisible(1, 0);
         },
         {{10, 20, 70, 60}, {}, {70, 20, 130, 60}}},
        {"row: icon frames size the tabs; item sizes come first",
         [](MTabCtrl* b) {
             b->GetItemInfo(0)->icon.Load(b->GetManager(), L"tabs.png", 3);
             b->GetItemInfo(1)->icon.Load(b->GetManager(), L"tabs.png", 3);
             b->SetItemHeight(30, 0, 1);
         },
         {{10, 20, 30, 50}, {30, 20, 50, 50}, {50, 20, 50 + 0, 50}}},
        {"column: tab height, width of the bar less the paddings",
         [](MTabCtrl* b) {
             b->SetTabType(1);
             b->SetTabCtrlHeight(50);
             b->SetLeftRightPading(4, 6);
             b->SetTopBottomPading(8, 0);
         },
         {{14, 28, 404, 78}, {14, 78, 404, 128}, {14, 128, 404, 178}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MTabCtrl* bar = Bar();
        c.setup(bar);
        std::vector<CRect> rects = Rects(bar);
        if (std::string(c.name).rfind("row: icon", 0) == 0) {
            // The third tab has no icon: its width comes from its text, so only its left edge is known.
            EXPECT_EQ(rects[2].left, 50);
            rects[2].right = 50;
        }
        EXPECT_EQ(rects, c.rects);
        Manager().ClearControls();
    }

    // The width given to InsertItem, then the bar's tab width, size tabs that have nothing else.
    auto* bar = Make<MTabCtrl>(L"MTabCtrl", 51, CRect(0, 0, 300, 30));
    bar->InsertItem(1, L"A", nullptr, nullptr, 3, 45);
    bar->SetTabCtrlWidth(70);
    bar->InsertItem(2, L"B", nullptr, nullptr);
    EXPECT_EQ(Rects(bar), (std::vector<CRect>{{0, 0, 45, 30}, {45, 0, 115, 30}}));
    EXPECT_EQ(bar->GetItemID(1), 2u);
    EXPECT_EQ(bar->GetItemID(5), 0u);
    EXPECT_EQ(bar->GetItemInfo(-1), nullptr);
}

TEST_F(TabControlsTest, SelectingATabShowsItsPageAndReselectingSaysNothing)
{
    MTabCtrl* bar = Bar();
    bar->SetItemWidth(60, 0, 1);
    EXPECT_EQ(bar->SetSelectItem(1), -1);
    EXPECT_EQ(Heard(), std::vector<std::string>{"50:2:1:0"});
    EXPECT_EQ(pages[0]->IsVisible(), 0);
    EXPECT_EQ(pages[1]->IsVisible(), 1);
    EXPECT_EQ(pages[2]->IsVisible(), 0);
    EXPECT_EQ(bar->SetSelectItem(1), 1);
    EXPECT_EQ(bar->SetSelectItem(7), 0);
    EXPECT_EQ(bar->SetSelectItem(-1), 0);
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(bar->GetSelectItem(), 1);

    // Press and release on one tab selects it; a release on another does nothing.
    ClickAt({10 + 130, 40});
    EXPECT_EQ(bar->GetSelectItem(), 2);
    EXPECT_EQ(bar->GetPrevSelectItem(), 1);
    Press({10 + 10, 40});
    Release({10 + 70, 40});
    ClickAt({10 + 130, 40}); // already selected
    EXPECT_EQ(Heard(), std::vector<std::string>{"50:2:2:0"});
    EXPECT_EQ(pages[2]->IsVisible(), 1);
    EXPECT_EQ(pages[1]->IsVisible(), 0);

    // The small button area tells which tab it is on and selects nothing.
    bar->EnableItemButton(1);
    const CRect button = bar->ButtonRect(0);
    ClickAt({button.left + 3, button.top + 3});
    EXPECT_EQ(Heard(), std::vector<std::string>{"50:9:0:0"});
    EXPECT_EQ(bar->GetSelectItem(), 2);
}

TEST_F(TabControlsTest, ArrowKeysMoveAlongTheShownTabsOfTheFocusedBar)
{
    MTabCtrl* bar = Bar();
    bar->InsertItem(103, L"Last", nullptr, nullptr);
    bar->SetItemVisible(1, 0);
    bar->SetSelectItem(0);
    Heard();
    KeyWith(KEY_RIGHT);
    EXPECT_EQ(bar->GetSelectItem(), 0); // not focused
    Manager().SetFocusControl(bar);
    struct Case {
        unsigned key;
        int selected;
    };
    const Case cases[] = {{KEY_RIGHT, 2}, {KEY_DOWN, 3}, {KEY_RIGHT, 3}, {KEY_LEFT, 2},    {KEY_PAGEUP, 0},
                          {KEY_UP, 0},    {KEY_END, 3},  {KEY_HOME, 0},  {KEY_PAGEDOWN, 2}};
    for (const Case& c : cases) {
        KeyWith(c.key);
        EXPECT_EQ(bar->GetSelectItem(), c.selected) << c.key;
    }
    EXPECT_EQ(Heard(), (std::vector<std::string>{"50:2:2:0", "50:2:3:0", "50:2:2:0", "50:2:0:0", "50:2:3:0",
                                                 "50:2:0:0", "50:2:2:0"}));
}

// A tab bar that counts its timer calls.
class CountingTabs : public MTabCtrl {
public:
    CountingTabs(MObject* parent, unsigned id, CRect rect) : MTabCtrl(parent, id, rect, 1, 1) {}
    int OnControlTimer(unsigned key) override
    {
        ++ticks;
        return MTabCtrl::OnControlTimer(key);
    }
    int ticks = 0;
};

TEST_F(TabControlsTest, AnAnimatedChangeSlidesTheMarkIn30MsSteps)
{
    auto* bar = dialog.Add<CountingTabs>(50u, CRect(10, 20, 410, 60));
    for (unsigned i = 0; i < 3; ++i)
        bar->InsertItem(i, L"Tab", nullptr, nullptr);
    bar->SetItemWidth(100, 0, 1);
    bar->SetAnimateChange(1);
    bar->SetSelectItem(0);
    EXPECT_FALSE(bar->IsAnimating()); // nothing to slide from
    const CRect first = bar->MarkRect();
    EXPECT_EQ(first, CRect(10, 57, 110, 60));
    bar->SetSelectItem(2);
    EXPECT_TRUE(bar->IsAnimating());
    EXPECT_EQ(bar->MarkRect(), first);
    Backend().RunFor(30);
    EXPECT_EQ(bar->MarkRect(), CRect(10 + 200 / 5, 57, 110 + 200 / 5, 60));
    Backend().RunFor(29);
    EXPECT_EQ(bar->MarkRect().left, 10 + 200 / 5);
    Backend().RunFor(1 + 3 * 30);
    EXPECT_FALSE(bar->IsAnimating());
    EXPECT_EQ(bar->MarkRect(), CRect(210, 57, 310, 60));
    EXPECT_EQ(bar->ticks, MTabCtrl::kAnimateSteps);
    // The transition's timer stopped with it: the window sleeps.
    Backend().RunFor(1000);
    EXPECT_EQ(bar->ticks, MTabCtrl::kAnimateSteps);

    // Pages are panels that pass the animation tick to their children.
    auto* page = Make<MTabLayout>(L"MTabLayout", 60, CRect(10, 70, 410, 290));
    EXPECT_EQ(page->IsRunTimer(), 1);
}

} // namespace
