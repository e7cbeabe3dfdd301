// Controls that hold a value: the slider (its drag formula, limits, wheel and keys, track drawing), the
// level selector, the spinners (arrows held down, typed numbers) and the progress bar.

#include <gtest/gtest.h>

#include "tests/ui/controls_fixture.h"
#include "ui/controls/m_level_ctrl.h"
#include "ui/controls/m_progress.h"
#include "ui/controls/m_slider.h"
#include "ui/controls/m_spin_button.h"

namespace {

using ValueControlsTest = ControlsFixture;

TEST_F(ValueControlsTest, SliderProgressFollowsTheDragFormulaWithinItsRange)
{
    // 200 wide with the 36-pixel thumb: a 164-pixel track from x 20.
    auto* slider = Make<MSlider>(L"MSlider", 4, CRect(20, 50, 220, 106));
    EXPECT_EQ(slider->GetThumbSize(), CSize(36, 36));
    struct Case {
        int min, max;
        int x; // from the slider's left
        int progress;
    };
    const Case cases[] = {
        {0, 10, 0, 0},    {0, 10, 82, 5},   {0, 10, 149, 9}, {0, 10, 150, 10}, // 150 × 11 ÷ 164 = 10.06
        {0, 10, 164, 10}, {0, 10, 300, 10}, {0, 10, -40, 0}, {2, 8, 0, 2},
        {2, 8, 164, 8},   {2, 8, 47, 4}, // 2 + 47 × 7 ÷ 164 = 4.0
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.min << "…" << c.max << " at " << c.x);
        slider->SetMinProgress(c.min);
        slider->SetMaxProgress(c.max);
        EXPECT_EQ(slider->ProgressAt(20 + c.x), c.progress);
    }

    // Pressing jumps there and drags; each change says 8 with the progress, the release 2.
    slider->SetMinProgress(0);
    slider->SetMaxProgress(10);
    slider->SetProgress(0);
    Press({20 + 82, 60});
    EXPECT_EQ(slider->GetProgress(), 5);
    Move({20 + 86, 60});   // still 5: nothing said
    Move({20 + 164, 200}); // past the end and off the control: the end
    Move({20 + 180, 200}); // still the end
    Release({20 + 180, 200});
    EXPECT_EQ(Heard(), (std::vector<std::string>{"4:8:5:0", "4:8:10:0", "4:2:10:0"}));
    EXPECT_EQ(slider->ThumbOffset(), 164);
    slider->SetProgress(5);
    EXPECT_EQ(slider->ThumbOffset(), 82);
}

TEST_F(ValueControlsTest, SetProgressKeepsWithinTheRangeWithoutNotifying)
{
    auto* slider = Make<MSlider>(L"MSlider", 4, CRect(20, 50, 220, 106));
    slider->SetProgress(15);
    EXPECT_EQ(slider->GetProgress(), 10);
    slider->SetProgress(-1);
    EXPECT_EQ(slider->GetProgress(), 10);
    slider->SetProgress(3);
    EXPECT_EQ(slider->GetProgress(), 3);
    slider->SetMinProgress(5);
    EXPECT_EQ(slider->GetProgress(), 5);
    slider->SetProgress(1);
    EXPECT_EQ(slider->GetProgress(), 5);
    EXPECT_TRUE(Heard().empty());
    // An empty range keeps the thumb at the start.
    slider->SetMaxProgress(5);
    EXPECT_EQ(slider->ThumbOffset(), 0);
    EXPECT_EQ(slider->ProgressAt(200), 5);
}

TEST_F(ValueControlsTest, SliderWheelAndKeysStepTheProgress)
{
    auto* slider = Make<MSlider>(L"MSlider", 4, CRect(20, 50, 220, 106));
    slider->SetMaxProgress(100);
    slider->SetProgress(50);
    Move({100, 60});
    CPoint screen(100, 60);
    WindowSystem::ClientToScreen(hwnd, &screen);
    WindowSystem::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, -240), MAKELPARAM(screen.x, screen.y));
    WindowSystem::SendMessageW(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), MAKELPARAM(screen.x, screen.y));
    EXPECT_EQ(Heard(), (std::vector<std::string>{"4:2:49:0", "4:2:48:0", "4:2:49:0"}));

    // Keys act only while the slider has the focus.
    Move({350, 250});
    KeyWith(KEY_RIGHT);
    EXPECT_TRUE(Heard().empty());
    Manager().SetFocusControl(slider);
    struct Case {
        unsigned key;
        int progress;
    };
    const Case cases[] = {{KEY_RIGHT, 50},  {KEY_UP, 51},       {KEY_LEFT, 50}, {KEY_DOWN, 49},
                          {KEY_PAGEUP, 59}, {KEY_PAGEDOWN, 49}, {KEY_END, 100}, {KEY_HOME, 0}};
    for (const Case& c : cases) {
        KeyWith(c.key);
        EXPECT_EQ(slider->GetProgress(), c.progress) << c.key;
        EXPECT_EQ(Heard(), std::vector<std::string>{"4:2:" + std::to_string(c.progress) + ":0"}) << c.key;
    }
    // At the end nothing changes and nothing is said.
    KeyWith(KEY_HOME);
    EXPECT_TRUE(Heard().empty());
    slider->SetEnabled(0);
    KeyWith(KEY_END);
    ClickAt({150, 60});
    EXPECT_EQ(slider->GetProgress(), 0);
    EXPECT_TRUE(Heard().empty());
}

TEST_F(ValueControlsTest, TheSliderTrackPictureSplitsIntoFilledAndEmptyHalves)
{
    constexpr ARGB kFilled = 0xFFE08020;
    constexpr ARGB kEmpty = 0xFF404040;
    Surface track(100, 8);
    track.Fill(CRect(0, 0, 100, 4), kFilled);
    track.Fill(CRect(0, 4, 100, 8), kEmpty);
    WriteSkin(folders, "track.png", track);
    auto* slider = Make<MSlider>(L"MSlider", 4, CRect(0, 50, 200, 106));
    slider->SetShowText(0);
    ASSERT_EQ(slider->SetImage(L"track.png", 1), 1);
    slider->SetProgress(5); // thumb at 82: filled from 10 to 92
    Run();
    EXPECT_EQ(PixelAt({30, 50 + 16}), kFilled);
    EXPECT_EQ(PixelAt({150, 50 + 16}), kEmpty);
    // At the end the filled part stops at the picture's own width (100), never stretched.
    slider->SetProgress(10);
    Run();
    EXPECT_EQ(PixelAt({105, 50 + 16}), kFilled);
    EXPECT_EQ(PixelAt({150, 50 + 16}), kEmpty);
}

TEST_F(ValueControlsTest, TheLevelSelectorTakesTheBarUnderThePointer)
{
    auto* level = Make<MLevelCtrl>(L"MLevelCtrl", 6, CRect(10, 10, 114, 50)); // 5 bars of 17 with gaps of 4
    EXPECT_EQ(level->BarRect(2), CRect(42, 12, 59, 40)); // rising: 10 + 30 × 3 ÷ 5 high
    ClickAt({10 + 42 + 3, 45});
    EXPECT_EQ(level->GetLevel(), 3);
    ClickAt({10 + 3, 45});
    ClickAt({10 + 3, 45}); // the first bar again at level 1: off
    EXPECT_EQ(Heard(), (std::vector<std::string>{"6:2:3:0", "6:2:1:0", "6:2:0:0"}));
    Manager().SetFocusControl(level);
    KeyWith(KEY_END);
    KeyWith(KEY_LEFT);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"6:2:5:0", "6:2:4:0"}));
    level->SetLevel(9);
    EXPECT_EQ(level->GetLevel(), 5);
    level->SetLevelCount(3);
    EXPECT_EQ(level->GetLevel(), 3);
    EXPECT_TRUE(Heard().empty());
}

TEST_F(ValueControlsTest, SpinnerArrowsStepAndRepeatWhileHeld)
{
    auto* spin = Make<MSpinButton>(L"MSpinButton", 7, CRect(50, 50, 150, 80));
    spin->SetRange(0, 20);
    spin->SetValue(5);
    const CRect up = spin->UpArrowRect();
    const CRect down = spin->DownArrowRect();
    ClickAt({up.left + 5, up.top + 5});
    EXPECT_EQ(Heard(), std::vector<std::string>{"7:28:6:0"});

    // Held: one step at once, another after 400 ms, then one every 60 ms, until released.
    Press({down.left + 5, down.top + 5});
    Backend().RunFor(399);
    EXPECT_EQ(spin->GetValue(), 5);
    Backend().RunFor(1 + 2 * 60);
    EXPECT_EQ(spin->GetValue(), 2);
    Release({down.left + 5, down.top + 5});
    Backend().RunFor(500);
    EXPECT_EQ(spin->GetValue(), 2);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"7:28:5:0", "7:28:4:0", "7:28:3:0", "7:28:2:0"}));
    // Held at the bottom it stops there.
    Press({down.left + 5, down.top + 5});
    Backend().RunFor(2000);
    Release({down.left + 5, down.top + 5});
    EXPECT_EQ(spin->GetValue(), 0);
    Heard();

    Manager().SetFocusControl(spin);
    KeyWith(KEY_END);
    KeyWith(KEY_PAGEDOWN);
    KeyWith(KEY_UP);
    EXPECT_EQ(Heard(), (std::vector<std::string>{"7:28:20:0", "7:28:10:0", "7:28:11:0"}));
}

TEST_F(ValueControlsTest, TypedNumbersAreTakenOnEnterOrWhenTheFocusGoes)
{
    auto* spin = Make<CSpinButton>(L"CSpinButton", 8, CRect(50, 50, 150, 80));
    spin->SetRange(-50, 50);
    Manager().SetFocusControl(spin);
    struct Case {
        std::vector<unsigned> keys;
        int value;
        std::vector<std::string> heard;
    };
    const Case cases[] = {
        {{KEY_MINUS, KEY_4, KEY_2, KEY_ENTER},
         -42,
         {"8:28:" + std::to_string(static_cast<unsigned>(-42)) + ":0"}},
        {{KEY_9, KEY_9, KEY_ENTER}, 50, {"8:28:50:0"}},              // kept within the range
        {{KEY_1, KEY_BACKSPACE, KEY_7, KEY_ENTER}, 7, {"8:28:7:0"}}, // Backspace takes back a digit
        {{KEY_3, KEY_ESC}, 7, {}},                                   // Escape drops it
        {{KEY_MINUS, KEY_ENTER}, 7, {}},                             // a lone sign is no number
        {{KEY_KP1, KEY_KP2, KEY_ENTER}, 12, {"8:28:12:0"}},          // the keypad types too
        {{KEY_2, KEY_MINUS, KEY_ENTER}, 2, {"8:28:2:0"}},            // a minus only starts a number
    };
    for (const Case& c : cases) {
        for (unsigned k : c.keys)
            KeyWith(k);
        EXPECT_EQ(spin->GetValue(), c.value);
        EXPECT_EQ(Heard(), c.heard);
        EXPECT_FALSE(spin->IsEditing());
    }
    KeyWith(KEY_1);
    KeyWith(KEY_5);
    EXPECT_TRUE(spin->IsEditing());
    EXPECT_EQ(spin->GetEditText(), L"15");
    Manager().SetFocusControl(nullptr);
    EXPECT_EQ(spin->GetValue(), 15);
    EXPECT_EQ(Heard(), std::vector<std::string>{"8:28:15:0"});

    // Where the range has no negative values a minus types nothing.
    spin->SetRange(0, 9);
    Manager().SetFocusControl(spin);
    KeyWith(KEY_MINUS);
    EXPECT_FALSE(spin->IsEditing());
}

TEST_F(ValueControlsTest, TheProgressBarFillsItsShareOfTheWidth)
{
    WriteSkin(folders, "bar.png", SolidStrip({0xFF202020, 0xFF20A020}, 16, 10));
    auto* bar = Make<MProgress>(L"MProgress", 9, CRect(0, 100, 200, 110));
    ASSERT_EQ(bar->SetImage(L"bar.png", 2), 1);
    bar->SetProgress(25);
    Run();
    EXPECT_EQ(PixelAt({20, 105}), 0xFF20A020u);
    EXPECT_EQ(PixelAt({100, 105}), 0xFF202020u);
    bar->SetProgress(130);
    EXPECT_EQ(bar->GetProgress(), 100);
    bar->SetMaxProgress(0);
    EXPECT_EQ(bar->GetMaxProgress(), 1);
    EXPECT_EQ(bar->GetProgress(), 1);
}

} // namespace
