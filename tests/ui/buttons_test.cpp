// Button-like controls: press and release, states and their frames, keyboard clicks and accelerators,
// check boxes, radio groups, the switch, the timer button, the key tip and the download progress.

#include <gtest/gtest.h>

#include "tests/ui/controls_fixture.h"
#include "ui/controls/c_check_button.h"
#include "ui/controls/c_icon_button.h"
#include "ui/controls/c_radio_button.h"
#include "ui/controls/c_switch_button.h"
#include "ui/controls/c_timer_button.h"
#include "ui/controls/download_button.h"
#include "ui/controls/m_button.h"
#include "ui/framework/m_air_bladder.h"
#include "ui/framework/m_panel.h"

namespace {

using ButtonsTest = ControlsFixture;

constexpr ARGB kNormal = 0xFF102030;
constexpr ARGB kHovered = 0xFF405060;
constexpr ARGB kPressed = 0xFF708090;
constexpr ARGB kDisabled = 0xFFA0B0C0;

// A push button that counts how often its frames are drawn.
class CountingButton : public MButton {
public:
    CountingButton(MObject* parent, unsigned id, CRect rect) : MButton(parent, id, rect, L"", 1, 1) {}
    int drawn = 0;

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override
    {
        ++drawn;
        MButton::DrawStateFrame(g, frame, rect);
    }
};

TEST_F(ButtonsTest, APressNotifiesAndOnlyAReleaseInsideClicks)
{
    const wchar_t* classes[] = {L"MButton", L"CImageButton", L"CTextButton", L"CIconButton", L"CHelpButton"};
    unsigned id = 10;
    for (const wchar_t* name : classes) {
        SCOPED_TRACE(WideToUtf8(name));
        auto* button = Make<MPushControl>(name, ++id, CRect(20, 20, 120, 60), L"OK");
        ASSERT_NE(button, nullptr);
        const std::string pressed = std::to_string(id) + ":1:0:0";
        const std::string clicked = std::to_string(id) + ":2:0:0";

        Move({50, 40});
        EXPECT_EQ(button->GetState(), 1);
        Press({50, 40});
        EXPECT_EQ(button->GetState(), 2);
        EXPECT_EQ(Heard(), std::vector<std::string>{pressed});
        // Dragged out while pressed, it stays pressed; released outside, it does not click.
        Move({300, 200});
        EXPECT_EQ(button->GetState(), 2);
        Release({300, 200});
        EXPECT_EQ(button->GetState(), 0);
        EXPECT_TRUE(Heard().empty());

        ClickAt({50, 40});
        EXPECT_EQ(Heard(), (std::vector<std::string>{pressed, clicked}));
        EXPECT_EQ(button->GetState(), 1);
        Move({300, 200});
        EXPECT_EQ(button->GetState(), 0);

        // Disabled: state 3, deaf to the mouse; enabled again: normal.
        button->SetEnabled(0);
        EXPECT_EQ(button->GetState(), 3);
        ClickAt({50, 40});
        EXPECT_TRUE(Heard().empty());
        EXPECT_EQ(button->GetState(), 3);
        button->SetEnabled(1);
        EXPECT_EQ(button->GetState(), 0);
        Manager().RemoveControl(button);
        Run();
    }
}

TEST_F(ButtonsTest, TheStripFrameFollowsTheStateAndFramesAreDrawnOnce)
{
    WriteSkin(folders, "btn.png", SolidStrip({kNormal, kHovered, kPressed, kDisabled}, 10, 10));
    auto* button = dialog.Add<CountingButton>(7u, CRect(20, 20, 120, 60));
    ASSERT_EQ(button->SetImage(L"btn.png", 4), 1);
    Run();
    EXPECT_EQ(PixelAt({70, 40}), kNormal);
    EXPECT_EQ(button->drawn, 4);

    Move({70, 40});
    EXPECT_EQ(PixelAt({70, 40}), kHovered);
    Backend().Press(hwnd, kButtonLeft, {70, 40});
    Run();
    EXPECT_EQ(PixelAt({70, 40}), kPressed);
    Backend().Release(hwnd, kButtonLeft, {70, 40});
    Run();
    // The state changes only copied other frames of the cache.
    EXPECT_EQ(button->drawn, 4);

    button->SetEnabled(0);
    Run();
    EXPECT_EQ(PixelAt({70, 40}), kDisabled);
    // A missing strip leaves the button without it: the stand-in face is drawn instead.
    EXPECT_EQ(button->SetImage(L"missing.png", 4), 0);
}

TEST_F(ButtonsTest, SpaceAndEnterClickTheFocusedButtonAndAnAcceleratorClicksFromAnywhere)
{
    auto* a = Make<MButton>(L"MButton", 1, CRect(10, 10, 90, 40), L"A");
    auto* b = Make<MButton>(L"MButton", 2, CRect(100, 10, 180, 40), L"B");
    b->SetAccelerator('R', 17);
    Manager().SetFocusControl(a);
    KeyWith(KEY_SPACE);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"1:1:0:0", "1:2:0:0"}));
    KeyWith(KEY_ENTER);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"1:1:0:0", "1:2:0:0"}));
    // Space with a modifier, or on a button without the focus, is no click.
    KeyWith(KEY_SPACE, {KEY_LEFTSHIFT});
    Manager().SetFocusControl(nullptr);
    KeyWith(KEY_SPACE);
    EXPECT_TRUE(Heard().empty());
    // Ctrl+R clicks b wherever the focus is; R alone does not.
    KeyWith(KEY_R);
    EXPECT_TRUE(Heard().empty());
    KeyWith(KEY_R, {KEY_LEFTCTRL});
    EXPECT_EQ(Heard(), (std::vector<std::string>{"2:1:0:0", "2:2:0:0"}));
    b->SetEnabled(0);
    KeyWith(KEY_R, {KEY_LEFTCTRL});
    EXPECT_TRUE(Heard().empty());
}

TEST_F(ButtonsTest, ACheckBoxFlipsOnAClickInsideAndOnSpace)
{
    WriteSkin(folders, "check.png",
              SolidStrip({0xFF000010, 0xFF000011, 0xFF000012, 0xFF000013, 0xFF000020, 0xFF000021, 0xFF000022,
                          0xFF000023},
                         16, 16));
    auto* check = Make<CCheckButton>(L"CCheckButton", 5, CRect(10, 10, 200, 40), L"Start with the system");
    ASSERT_EQ(check->SetImage(L"check.png", 8), 1);
    Press({15, 25});
    EXPECT_EQ(check->CurrentFrame(), 2);
    EXPECT_TRUE(Heard().empty()); // a check box says nothing on the press
    Release({15, 25});
    EXPECT_EQ(check->GetCheck(), 1);
    EXPECT_EQ(check->CurrentFrame(), 5);
    EXPECT_EQ(Heard(), std::vector<std::string>{"5:2:0:0"});
    // The box stands at the left, vertically centred: 16 × 16 at (10, 17).
    EXPECT_EQ(PixelAt({12, 20}), 0xFF000021u);

    Press({15, 25});
    EXPECT_EQ(check->CurrentFrame(), 6);
    Release({300, 200});
    EXPECT_EQ(check->GetCheck(), 1);
    EXPECT_EQ(check->CurrentFrame(), 4);
    EXPECT_TRUE(Heard().empty());

    Manager().SetFocusControl(check);
    KeyWith(KEY_SPACE);
    KeyWith(KEY_SPACE);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"5:7:0:0", "5:7:0:1"}));
    check->SetCheck(0);
    EXPECT_EQ(check->GetCheck(), 0);
    EXPECT_TRUE(Heard().empty());
    check->SetEnabled(0);
    EXPECT_EQ(check->CurrentFrame(), 3);
}

// A radio button that answers to another class name.
class OtherRadio : public CRadioButton {
public:
    OtherRadio(MObject* parent, unsigned id, CRect rect) : CRadioButton(parent, id, rect, L"", 1, 1) {}
    const wchar_t* GetClassNameW() const override { return L"OtherRadio"; }
};

TEST_F(ButtonsTest, RadioGroupsAreSiblingsOfTheSameClassNameAndGroupName)
{
    struct Member {
        unsigned id;
        const wchar_t* group;
    };
    const Member members[] = {{1, L"a"}, {2, L"a"}, {3, L"b"}, {4, L""}, {5, L""}};
    std::vector<CRadioButton*> radios;
    for (const Member& m : members) {
        radios.push_back(Make<CRadioButton>(
            L"CRadioButton", m.id,
            CRect(10, 10 + 30 * static_cast<int>(m.id), 150, 35 + 30 * static_cast<int>(m.id))));
        radios.back()->SetGroupName(m.group);
    }
    auto* other = dialog.Add<OtherRadio>(6u, CRect(200, 10, 300, 30));
    other->SetGroupName(L"a");
    // A radio button of group "a" under another parent is in another group.
    auto* panel = static_cast<MPanel*>(
        Manager().AddControl(std::make_unique<MPanel>(&dialog, 7, CRect(200, 50, 380, 200), 1)));
    auto* nested = static_cast<CRadioButton*>(
        panel->CreateControl(L"CRadioButton", 8, CRect(210, 60, 350, 85), L"", 1, 1));
    ASSERT_NE(nested, nullptr);
    nested->SetGroupName(L"a");
    for (CRadioButton* r : radios)
        r->SetControlCheck(1);
    other->SetControlCheck(1);
    nested->SetControlCheck(1);

    struct Case {
        size_t clicked;
        std::vector<int> checks; // of radios 1…5
    };
    const Case cases[] = {
        {0, {1, 0, 1, 1, 1}}, // group "a": 2 goes off; 3 ("b"), the other class and the nested one stay
        {4, {1, 0, 1, 0, 1}}, // the ungrouped ones are a group of their own
        {2, {1, 0, 1, 0, 1}}, // alone in "b"
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.clicked);
        const CRect r = radios[c.clicked]->GetRect();
        ClickAt({r.left + 5, r.top + 5});
        for (size_t i = 0; i < radios.size(); ++i)
            EXPECT_EQ(radios[i]->GetCheck(), c.checks[i]) << i;
        EXPECT_EQ(other->GetCheck(), 1);
        EXPECT_EQ(nested->GetCheck(), 1);
        // Only the clicked one speaks.
        EXPECT_EQ(Heard(), std::vector<std::string>{std::to_string(members[c.clicked].id) + ":2:0:0"});
    }

    // SetCheck clears the rest of the group, SetControlCheck does not; a disabled button ignores SetCheck.
    EXPECT_EQ(radios[1]->SetCheck(1), 1);
    EXPECT_EQ(radios[0]->GetCheck(), 0);
    radios[0]->SetControlCheck(1);
    EXPECT_EQ(radios[1]->GetCheck(), 1);
    radios[3]->SetEnabled(0);
    EXPECT_EQ(radios[3]->SetCheck(1), 0);
    EXPECT_EQ(radios[4]->GetCheck(), 1);

    // Space checks the focused button and tells with code 7, lParam 1.
    Manager().SetFocusControl(radios[1]);
    KeyWith(KEY_SPACE);
    EXPECT_EQ(radios[0]->GetCheck(), 0);
    EXPECT_EQ(Heard(), std::vector<std::string>{"2:7:0:1"});
    // Resetting from another member unchecks the checked one, once.
    EXPECT_EQ(radios[0]->ResetGroupCheck(), 1);
    EXPECT_EQ(radios[1]->GetCheck(), 0);
    EXPECT_EQ(radios[0]->ResetGroupCheck(), 0);
    EXPECT_EQ(radios[2]->GetGroupMembers().size(), 0u);
    EXPECT_EQ(radios[0]->GetGroupMembers().size(), 1u);
}

TEST_F(ButtonsTest, TheSwitchTellsItsNewStateAndTheTimerButtonNotifiesAfterTenSeconds)
{
    auto* toggle = Make<CSwitchButton>(L"CSwitchButton", 3, CRect(10, 10, 100, 40));
    ClickAt({20, 25});
    ClickAt({20, 25});
    EXPECT_EQ(Heard(), (std::vector<std::string>{"3:2:0:1", "3:2:0:0"}));
    toggle->SetCheck(1);
    EXPECT_TRUE(Heard().empty());

    auto* timer = Make<CTimerButton>(L"CTimerButton", 4, CRect(150, 10, 250, 40), L"Go");
    ASSERT_NE(dialog.SetMTimer(10), 0u);
    EXPECT_EQ(timer->IsRunTimer(), 0); // no tick wanted before it runs
    ClickAt({160, 25});
    EXPECT_EQ(Heard(), std::vector<std::string>{"4:1:0:0"});
    EXPECT_TRUE(timer->IsTimerRunning());
    EXPECT_EQ(timer->IsRunTimer(), 1);
    Backend().RunFor(CTimerButton::kDurationMs - 20);
    EXPECT_TRUE(Heard().empty());
    EXPECT_GT(timer->RemainingMs(), 0);
    Backend().RunFor(40);
    EXPECT_EQ(Heard(), std::vector<std::string>{"4:2:0:0"});
    EXPECT_FALSE(timer->IsTimerRunning());
    EXPECT_EQ(timer->IsRunTimer(), 0);
    Backend().RunFor(CTimerButton::kDurationMs);
    EXPECT_TRUE(Heard().empty());
}

TEST_F(ButtonsTest, AnIconButtonShowsItsKeyTipWhileThePointerIsOverIt)
{
    auto* icon = Make<CIconButton>(L"CIconButton", 9, CRect(50, 50, 90, 90));
    EXPECT_TRUE(icon->IsClass(L"IconButton"));
    icon->SetKeyTip(L"Ctrl+S");
    Move({60, 60});
    MAirBladder* bubble = Manager().GetAirBladder();
    ASSERT_NE(bubble, nullptr);
    EXPECT_TRUE(bubble->IsShown());
    EXPECT_EQ(bubble->GetText(), L"Ctrl+S");
    Move({300, 250});
    EXPECT_FALSE(bubble->IsShown());
    EXPECT_FALSE(icon->IsKeyTipShown());
}

TEST_F(ButtonsTest, ADownloadButtonShowsItsProgressAcrossTheButton)
{
    WriteSkin(folders, "dl.png", SolidStrip({kNormal, kHovered, kPressed, kDisabled}, 24, 24));
    auto* panel = static_cast<MPanel*>(
        Manager().AddControl(std::make_unique<MPanel>(&dialog, 1, CRect(0, 0, 400, 300), 1)));
    // Only panels make download buttons.
    EXPECT_EQ(dialog.CreateControl(L"DownloadButton", 2, CRect(0, 0, 10, 10)), nullptr);
    auto* button = dynamic_cast<DownloadButton*>(
        panel->CreateControl(L"DownloadButton", 2, CRect(100, 100, 300, 140), L"Get", 1, 1));
    ASSERT_NE(button, nullptr);
    button->SetImage(L"dl.png", 4);
    button->SetFrameSize(0);
    button->SetDownloadProcess(50);
    Move({350, 250});
    Run();
    // Frame 1 over the left half, frame 0 over the rest.
    EXPECT_EQ(PixelAt({110, 135}), kHovered);
    EXPECT_EQ(PixelAt({290, 135}), kNormal);
    button->SetDownloadProcess(250);
    EXPECT_EQ(button->GetDownloadProcess(), 100);
    button->SetDownloadProcess(-3);
    EXPECT_EQ(button->GetDownloadProcess(), 0);
    Run();
    EXPECT_EQ(PixelAt({110, 135}), kNormal);
}

} // namespace
