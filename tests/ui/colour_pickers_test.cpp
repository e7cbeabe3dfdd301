// The colour pickers on the headless backend: the wheel's picks and the points it ignores, its drag, the
// swatches' group check, the palette field and bar, the composite picker's views following one another,
// the preset column and the framed swatch.

#include <gtest/gtest.h>

#include "tests/ui/controls_fixture.h"
#include "tests/ui/keyboard_input.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_spin_button.h"
#include "ui/framework/m_panel.h"
#include "ui/keyboard/c_color_button.h"
#include "ui/keyboard/c_color_combo.h"
#include "ui/keyboard/c_color_palette.h"
#include "ui/keyboard/c_color_select.h"
#include "ui/keyboard/circle_palette.h"
#include "ui/keyboard/color_math.h"
#include "ui/keyboard/m_palette.h"

namespace {

using ColourPickersTest = ControlsFixture;

std::string Note(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    return std::to_string(id) + ":" + std::to_string(code) + ":" + std::to_string(wParam) + ":" +
           std::to_string(lParam);
}

// --- The wheel ---

TEST_F(ColourPickersTest, TheWheelPicksTheColourAtThePointAndIgnoresPointsOffItsDisc)
{
    // Centre (90, 90), usable radius 65.
    auto* wheel = Make<CirclePalette>(L"CirclePalette", 40, CRect(20, 20, 160, 160));
    Run();
    Heard();
    struct Case {
        CPoint at;
        std::vector<std::string> heard;
        CPoint thumb; // the thumb's centre afterwards
        COLORREF colour;
    };
    const Case cases[] = {
        {{90, 90}, {Note(40, 27, 0, 0xFFFFFF)}, {90, 90}, 0xFFFFFF},   // the centre: white
        {{90, 90}, {}, {90, 90}, 0xFFFFFF},                            // the thumb is there already
        {{90, 25}, {Note(40, 27, 0, 0x0000FF)}, {90, 25}, 0x0000FF},   // 65 straight up: red
        {{156, 90}, {}, {90, 25}, 0x0000FF},                           // 66 to the right: off the wheel
        {{137, 137}, {}, {90, 25}, 0x0000FF},                          // 66.5, truncated to 66: off
        {{90, 155}, {Note(40, 27, 0, 0xFFFF00)}, {90, 155}, 0xFFFF00}, // straight down: cyan
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.x << "," << c.at.y);
        ClickAt(c.at);
        EXPECT_EQ(Heard(), c.heard);
        EXPECT_EQ(wheel->GetThumbRect(), CRect(c.thumb.x - 5, c.thumb.y - 5, c.thumb.x + 5, c.thumb.y + 5));
        EXPECT_EQ(wheel->GetColor(), c.colour);
    }
    // Without a picture the wheel is drawn from the same arithmetic: what shows is what is picked.
    EXPECT_EQ(PixelAt({90, 40}),
              ColorRefToARGB(ColorMath::WheelColor({0, -50}, CirclePalette::kWheelRadius)));
    EXPECT_EQ(PixelAt({40, 100}),
              ColorRefToARGB(ColorMath::WheelColor({-50, 10}, CirclePalette::kWheelRadius)));

    // A disabled wheel takes nothing.
    wheel->SetEnabled(0);
    ClickAt({90, 25});
    EXPECT_TRUE(Heard().empty());
}

TEST_F(ColourPickersTest, DraggingTheThumbIgnoresSmallMoves)
{
    auto* wheel = Make<CirclePalette>(L"CirclePalette", 40, CRect(20, 20, 160, 160));
    wheel->SetColor(0xFFFFFF);
    Run();
    ASSERT_EQ(wheel->GetThumbRect(), CRect(85, 85, 95, 95));
    Heard();
    Move({90, 90});
    EXPECT_EQ(wheel->GetState(), 1);
    Backend().Press(hwnd, kButtonLeft, {90, 90});
    Run();
    EXPECT_EQ(wheel->GetState(), 2);
    EXPECT_TRUE(Heard().empty());

    Move({95, 95}); // 5 across, 5 down: too small
    EXPECT_EQ(wheel->GetThumbRect(), CRect(85, 85, 95, 95));
    EXPECT_TRUE(Heard().empty());
    Move({96, 90}); // 6 across
    EXPECT_EQ(wheel->GetThumbRect(), CRect(91, 85, 101, 95));
    EXPECT_EQ(Heard(), std::vector<std::string>{Note(40, 27, 0, wheel->GetColor())});
    Move({96, 96}); // 6 down
    EXPECT_EQ(wheel->GetThumbRect(), CRect(91, 91, 101, 101));
    EXPECT_EQ(Heard().size(), 1u);
    Move({170, 96}); // off the wheel, even while dragging
    EXPECT_EQ(wheel->GetThumbRect(), CRect(91, 91, 101, 101));
    EXPECT_TRUE(Heard().empty());
    Release({96, 96});
    EXPECT_EQ(wheel->GetState(), 1);
}

TEST_F(ColourPickersTest, SetColorPutsTheThumbOverTheColourSilently)
{
    auto* wheel = Make<CirclePalette>(L"CirclePalette", 40, CRect(20, 20, 160, 160));
    EXPECT_EQ(wheel->GetColor(), CirclePalette::kInitialColor);
    EXPECT_EQ(wheel->GetThumbRect(), CRect(85, 20, 95, 30)) << "red is at the top of the rim";
    Heard();
    wheel->SetColor(0x00FFFF); // yellow: 60° on the rim, (+56.3, −32.5) from the centre
    EXPECT_EQ(wheel->GetThumbRect(), CRect(141, 52, 151, 62));
    EXPECT_EQ(wheel->GetColor(), 0x00FFFFu);
    // A dark red sits where red is and is kept as given.
    wheel->SetColor(0x000080);
    EXPECT_EQ(wheel->GetThumbRect(), CRect(85, 20, 95, 30));
    EXPECT_EQ(wheel->GetColor(), 0x000080u);
    Run();
    EXPECT_TRUE(Heard().empty());
}

// --- Swatches ---

TEST_F(ColourPickersTest, PressingASwatchChecksItAndUnchecksOnlyItsShownEnabledGroupMates)
{
    std::vector<CColorButton*> first, second;
    for (int i = 0; i < 4; ++i) {
        first.push_back(Make<CColorButton>(L"CColorButton", 84 + i, CRect(20 + 40 * i, 20, 50 + 40 * i, 50)));
        first.back()->SetGroupName(L"row");
    }
    for (int i = 0; i < 2; ++i) {
        second.push_back(
            Make<CColorButton>(L"CColorButton", 93 + i, CRect(20 + 40 * i, 60, 50 + 40 * i, 90)));
        second.back()->SetGroupName(L"Row"); // names compare case-sensitively
    }
    auto* hidden = Make<CColorButton>(L"CColorButton", 88, CRect(180, 20, 210, 50));
    hidden->SetGroupName(L"row");
    auto* disabled = Make<CColorButton>(L"CColorButton", 89, CRect(220, 20, 250, 50));
    disabled->SetGroupName(L"row");
    // The same group name under another parent is another group.
    auto* panel = dialog.Add<MPanel>(70u, CRect(20, 100, 200, 200), 1);
    auto* elsewhere = static_cast<CColorButton*>(
        panel->CreateControl(L"CColorButton", 95, CRect(30, 110, 60, 140), L"", 1, 1));
    elsewhere->SetGroupName(L"row");

    first[0]->SetCheck(1);
    second[0]->SetCheck(1);
    elsewhere->SetCheck(1);
    hidden->SetControlCheck(1);
    hidden->SetVisible(0);
    disabled->SetControlCheck(1);
    disabled->SetEnabled(0);
    Run();
    Heard();

    ClickAt({115, 35}); // first[2]
    EXPECT_EQ(Heard(), (std::vector<std::string>{"86:1:0:0", "86:2:0:0"}));
    EXPECT_EQ(first[2]->GetCheck(), 1);
    EXPECT_EQ(first[0]->GetCheck(), 0);
    EXPECT_EQ(second[0]->GetCheck(), 1);
    EXPECT_EQ(elsewhere->GetCheck(), 1);
    EXPECT_EQ(hidden->GetCheck(), 1);
    EXPECT_EQ(disabled->GetCheck(), 1);

    // SetCheck works the group too, silently; on a disabled swatch it changes nothing.
    EXPECT_EQ(first[1]->SetCheck(1), 1);
    EXPECT_EQ(first[2]->GetCheck(), 0);
    EXPECT_EQ(disabled->SetCheck(0), 1);
    EXPECT_EQ(disabled->GetCheck(), 1);
    Run();
    EXPECT_TRUE(Heard().empty());

    // Released outside: the press alone is heard, and the check stays.
    Press({155, 35}); // first[3]
    Release({300, 250});
    EXPECT_EQ(Heard(), std::vector<std::string>{"87:1:0:0"});
    EXPECT_EQ(first[3]->GetCheck(), 1);
    EXPECT_EQ(first[3]->GetState(), 0);

    CColorButton orphan(nullptr, 1, CRect(0, 0, 10, 10), 1, 1);
    EXPECT_EQ(orphan.ResetGroupCheck(), 0);
}

TEST_F(ColourPickersTest, ABorderedSwatchLooksTheSameInEveryStateAFlatOneDoesNot)
{
    auto* bordered = Make<CColorButton>(L"CColorButton", 90, CRect(20, 20, 50, 50));
    bordered->SetColor(0x00FF00);
    bordered->SetVisibleBorder(true);
    auto* flat = Make<CColorButton>(L"CColorButton", 91, CRect(60, 20, 90, 50));
    flat->SetColor(0x00FF00);
    Run();
    const CPoint probes[] = {{20, 20}, {21, 21}, {22, 22}, {35, 35}};
    std::vector<ARGB> normal;
    for (CPoint p : probes)
        normal.push_back(PixelAt(p));
    EXPECT_EQ(normal[0], 0xFFEBEBEBu);
    EXPECT_EQ(normal[1], 0xFF050505u);
    EXPECT_EQ(normal[3], 0xFF00FF00u);
    auto same = [&] {
        for (size_t i = 0; i < std::size(probes); ++i)
            EXPECT_EQ(PixelAt(probes[i]), normal[i]) << i;
    };
    Move({35, 35});
    EXPECT_EQ(bordered->GetState(), 1);
    same();
    bordered->SetCheck(1);
    Run();
    same();

    const ARGB flatEdge = PixelAt({61, 21});
    EXPECT_EQ(PixelAt({75, 35}), 0xFF00FF00u);
    Move({75, 35});
    EXPECT_NE(PixelAt({61, 21}), flatEdge);
    EXPECT_EQ(PixelAt({61, 21}), CColorButton::kOutline);
}

// --- The palette field ---

TEST_F(ColourPickersTest, ThePaletteFieldAndBarChooseHueLightnessAndSaturation)
{
    // Field (20, 20)–(215, 170), bar from x 221, both 150 high.
    auto* palette = Make<MPalette>(L"MPalette", 50, CRect(20, 20, 253, 190));
    ASSERT_EQ(palette->GetFieldRect(), CRect(20, 20, 215, 170));
    Run();
    Heard();
    // x 85 is hue 120, y 87 lightness 100 (of 200): green.
    ClickAt({85, 87});
    EXPECT_EQ(palette->GetHue(), 120);
    EXPECT_EQ(palette->GetLightness(), 100);
    EXPECT_EQ(palette->GetThumbPos(), CPoint(85, 87));
    EXPECT_EQ(Heard(), std::vector<std::string>{Note(50, 27, 0x00FF00, 0)});
    // The same colour again says nothing.
    ClickAt({85, 87});
    EXPECT_TRUE(Heard().empty());

    // Half way down the bar: saturation 100; a drag along it reports on every move, with wParam 0.
    Press({230, 95});
    EXPECT_EQ(palette->GetSaturation(), 100);
    EXPECT_EQ(Heard(), std::vector<std::string>{Note(50, 27, ColorMath::HslToColor(1.0 / 3, 0.5, 0.5), 0)});
    Move({230, 170});
    Move({230, 290});
    EXPECT_EQ(palette->GetSaturation(), 200);
    EXPECT_EQ(Heard(), (std::vector<std::string>{Note(50, 27, 0, 0), Note(50, 27, 0, 0)}));
    Release({230, 290});

    // A drag across the field follows inside it and stops at its edge.
    Press({85, 87});
    Heard();
    Move({150, 87});
    EXPECT_EQ(palette->GetHue(), 240);
    EXPECT_EQ(Heard(), std::vector<std::string>{Note(50, 27, palette->GetSelectColor(), 0)});
    Move({240, 87});
    EXPECT_EQ(palette->GetHue(), 240);
    Release({240, 87});
}

TEST_F(ColourPickersTest, APaletteColourReadsBackWithinRounding)
{
    auto* palette = Make<MPalette>(L"MPalette", 50, CRect(20, 20, 253, 190));
    for (COLORREF c : {0x3080FFu, 0x123456u, 0x00FF00u, 0xFFFFFFu, 0x808080u, 0x000000u}) {
        SCOPED_TRACE(c);
        palette->SetSelectColor(c);
        const COLORREF back = palette->GetSelectColor();
        EXPECT_NEAR(GetRValue(back), GetRValue(c), 5);
        EXPECT_NEAR(GetGValue(back), GetGValue(c), 5);
        EXPECT_NEAR(GetBValue(back), GetBValue(c), 5);
        const CRect field = palette->GetFieldRect();
        EXPECT_TRUE(field.PtInRect(palette->GetThumbPos()) || palette->GetThumbPos().y == field.bottom);
    }
    Run();
    EXPECT_TRUE(Heard().empty());
}

// --- The composite picker ---

class CompositePickerTest : public ColourPickersTest {
protected:
    CompositePickerTest() : keys(Backend(), hwnd)
    {
        picker = Make<CColorPalette>(L"CColorPalette", 60, CRect(20, 20, 350, 210));
        Run();
        Heard();
    }
    int Spin(int channel) const { return picker->GetSpin(channel)->GetValue(); }
    CString Hex() const { return picker->GetHexEdit()->GetTitle(); }

    CColorPalette* picker = nullptr;
    KeyboardInput keys;
};

TEST_F(CompositePickerTest, SixHexDigitsSetTheSpinnersAndTheField)
{
    // It starts with the selected swatch's colour everywhere.
    EXPECT_EQ(picker->GetSelectedSwatch()->GetColor(), CColorPalette::kSelectedColor);
    EXPECT_EQ(Hex(), L"FFE100");
    EXPECT_EQ(Spin(0), 255);
    EXPECT_EQ(Spin(1), 225);

    const CRect hex = picker->GetHexEdit()->GetRect();
    ClickAt({hex.left + 20, hex.top + 10});
    ASSERT_TRUE(picker->GetHexEdit()->IsEditing());
    Heard();
    keys.Type(L"12ab5");
    Run();
    EXPECT_EQ(Spin(0), 255) << "five characters change nothing";
    keys.Type(L"f");
    Run();
    EXPECT_EQ(Spin(0), 0x12);
    EXPECT_EQ(Spin(1), 0xAB);
    EXPECT_EQ(Spin(2), 0x5F);
    EXPECT_EQ(Hex(), L"12ab5f") << "the text stays as typed";
    EXPECT_EQ(picker->GetSelectedSwatch()->GetColor(), 0x5FAB12u);
    const std::vector<std::string> heard = Heard();
    EXPECT_NE(std::find(heard.begin(), heard.end(), Note(60, 27, 0, 0x5FAB12)), heard.end());
    // Something that is not six hex digits is left alone.
    keys.Press(KEY_BACKSPACE);
    keys.Type(L"g");
    Run();
    EXPECT_EQ(Spin(2), 0x5F);
}

TEST_F(CompositePickerTest, SpinnersPresetsAndTheFieldKeepEveryViewInStep)
{
    // The red spinner's up arrow.
    const CRect up = picker->GetSpin(0)->UpArrowRect();
    picker->SetSelectColor(0x102030);
    ClickAt({up.left + 5, up.top + 3});
    EXPECT_EQ(Spin(0), 0x31);
    EXPECT_EQ(Hex(), L"312010");
    EXPECT_EQ(Heard(), (std::vector<std::string>{Note(60, 27, 0, 0x102031), "654:28:49:0"}));

    // A preset: its colour everywhere, and the checked selected swatch takes it.
    const CRect preset = picker->GetPreset(5)->GetRect(); // 0xFC1517
    ClickAt({preset.left + 10, preset.top + 10});
    EXPECT_EQ(Hex(), L"1715FC");
    EXPECT_EQ(Spin(2), 0xFC);
    EXPECT_EQ(picker->GetSelectedSwatch()->GetColor(), 0xFC1517u);
    EXPECT_EQ(Heard(), (std::vector<std::string>{Note(60, 27, 0, 0xFC1517), "636:1:0:0", "636:2:0:0"}));

    // The field: its own 27 becomes the composite's and is not passed on.
    const CRect field = picker->GetPalette()->GetFieldRect();
    ClickAt({field.left + 10, field.top + 40});
    const COLORREF picked = picker->GetSelectColor();
    EXPECT_EQ(Heard(), std::vector<std::string>{Note(60, 27, 0, picked)});
    EXPECT_EQ(Hex(), CColorPalette::HexText(picked));
    EXPECT_EQ(Spin(0), GetRValue(picked));
}

// --- The preset column and the framed swatch ---

TEST_F(ColourPickersTest, ThePresetColumnReportsTheCheckedSwatch)
{
    auto* column = Make<CColorSelect>(L"CColorSelect", 70, CRect(20, 20, 50, 220));
    Run();
    column->SetColorIndex(2);
    EXPECT_EQ(column->GetColorIndex(), 2);
    EXPECT_EQ(column->GetSelectColor(), 0xFF0000u);
    Heard();
    ClickAt({30, 20 + 5 + 4 * 25 + 10}); // the fifth: magenta
    EXPECT_EQ(Heard(), (std::vector<std::string>{Note(70, 27, 4, 0xFF00FF), "635:1:0:0", "635:2:0:0"}));
    EXPECT_EQ(column->GetColorIndex(), 4);

    column->SetColorIndex(7); // not a swatch: nothing
    EXPECT_EQ(column->GetColorIndex(), 4);
    column->SetColorIndex(-1);
    EXPECT_EQ(column->GetColorIndex(), -1);
    EXPECT_EQ(column->GetSelectColor(), 0u);
    column->SetSelectColor(0xFFFFFF);
    EXPECT_EQ(column->GetColorIndex(), 6);

    // Moved, the swatches go with it; disabled, they take nothing.
    column->SetRect(CRect(100, 20, 130, 220));
    EXPECT_EQ(column->GetSwatch(0)->GetRect(), CRect(100, 25, 120, 45));
    column->SetEnabled(0);
    ClickAt({110, 35});
    EXPECT_TRUE(Heard().empty());
    EXPECT_EQ(column->GetColorIndex(), 6);
}

TEST_F(ColourPickersTest, TheFramedSwatchNotifiesAndShowsWhenDisabled)
{
    auto* swatch = dialog.Add<CColorCombo>(80u, CRect(20, 20, 60, 60), 1, 1);
    swatch->SetAreaColor(0xFF2040A0);
    Run();
    EXPECT_EQ(PixelAt({40, 30}), 0xFF2040A0u);
    ClickAt({40, 40});
    EXPECT_EQ(Heard(), (std::vector<std::string>{"80:1:0:0", "80:2:0:0"}));
    Press({40, 40});
    Release({200, 200});
    EXPECT_EQ(Heard(), std::vector<std::string>{"80:1:0:0"});
    // Disabled: a grey frame crossed from the bottom-left to the top-right corner.
    swatch->SetEnabled(0);
    Run();
    EXPECT_EQ(swatch->GetState(), 3);
    auto isRed = [](ARGB p) {
        return ((p >> 16) & 0xFF) > 0xF0 && ((p >> 8) & 0xFF) < 0x10 && (p & 0xFF) < 0x10;
    };
    int red = 0;
    for (int y = 36; y <= 43; ++y)
        red += isRed(PixelAt({40, y})) ? 1 : 0;
    EXPECT_EQ(red, 1) << "one pixel of the cross in this column";
    ClickAt({40, 40});
    EXPECT_TRUE(Heard().empty());
}

} // namespace
