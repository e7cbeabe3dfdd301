// The colour pickers' arithmetic: wheel points to colours and back, exact at the centre, on the rim and at
// the six pure hues, and the palette field's HSL model.

#include <cmath>
#include <gtest/gtest.h>

#include "ui/keyboard/color_math.h"

namespace {

using namespace ColorMath;
constexpr double kRim = 65;

TEST(ColorMathTest, WheelPointsGiveTheirColours)
{
    struct Case {
        WheelOffset at;
        COLORREF colour;
    };
    const Case cases[] = {
        {{0, 0}, 0xFFFFFF},               // the centre is white
        {{0, -65}, 0x0000FF},             // red straight up, on the rim
        {{0, 65}, 0xFFFF00},              // cyan straight down
        {{65, 0}, RGB(128, 255, 0)},      // 90°: half way from yellow to green
        {{-65, 0}, RGB(128, 0, 255)},     // 270°: half way from blue to magenta
        {{0, -32.5}, RGB(255, 128, 128)}, // half saturation
        {{0, -200}, 0x0000FF},            // past the rim the colour stays full
        {{56.29165, -32.5}, 0x00FFFF},    // 60° on the rim: yellow
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.at.dx << "," << c.at.dy);
        EXPECT_EQ(WheelColor(c.at, kRim), c.colour);
    }
    // A wheel without a rim is white everywhere.
    EXPECT_EQ(WheelColor({30, 10}, 0), 0xFFFFFFu);
}

TEST(ColorMathTest, ThePureHuesAndWhiteAreExact)
{
    const COLORREF hues[] = {0x0000FF, 0x00FFFF, 0x00FF00, 0xFFFF00, 0xFF0000, 0xFF00FF};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(HueSatToColor({60.0 * i, 1}), hues[i]);
        const HueSat back = ColorToHueSat(hues[i]);
        EXPECT_DOUBLE_EQ(back.hue, 60.0 * i);
        EXPECT_DOUBLE_EQ(back.saturation, 1);
        // Placed on the wheel and read there again.
        EXPECT_EQ(WheelColor(WheelPoint(back, kRim), kRim), hues[i]);
        EXPECT_NEAR(std::hypot(WheelPoint(back, kRim).dx, WheelPoint(back, kRim).dy), kRim, 1e-9);
    }
    EXPECT_EQ(HueSatToColor({123, 0}), 0xFFFFFFu);
    EXPECT_EQ(HueSatToColor({360, 1}), 0x0000FFu);
    EXPECT_EQ(HueSatToColor({-60, 1}), 0xFF00FFu);
}

TEST(ColorMathTest, ColoursGoRoundTheWheelUnchanged)
{
    // Full-value colours (the brightest channel 255) are the wheel's own.
    for (COLORREF c : {0x3080FFu, 0xFFFFFFu, 0x80FF00u, 0xFF0040u, 0xFFC8C8u, 0x01FF02u}) {
        SCOPED_TRACE(c);
        EXPECT_EQ(HueSatToColor(ColorToHueSat(c)), c);
        EXPECT_EQ(WheelColor(WheelPoint(ColorToHueSat(c), kRim), kRim), c);
    }
    // A darker colour goes to the wheel colour of its hue and saturation.
    EXPECT_EQ(HueSatToColor(ColorToHueSat(0x000080)), 0x0000FFu);
    EXPECT_EQ(HueSatToColor(ColorToHueSat(0x404040)), 0xFFFFFFu);
    // Whole pixels come back to within a pixel.
    for (const WheelOffset at :
         {WheelOffset{10, -7}, WheelOffset{-40, 33}, WheelOffset{60, 20}, WheelOffset{-3, 64}}) {
        const WheelOffset back = WheelPoint(ColorToHueSat(WheelColor(at, kRim)), kRim);
        EXPECT_NEAR(back.dx, at.dx, 1) << at.dx << "," << at.dy;
        EXPECT_NEAR(back.dy, at.dy, 1) << at.dx << "," << at.dy;
    }
}

TEST(ColorMathTest, HslOfThePaletteField)
{
    EXPECT_EQ(HslToColor(0, 1, 0.5), 0x0000FFu);
    EXPECT_EQ(HslToColor(1.0 / 3, 1, 0.5), 0x00FF00u);
    EXPECT_EQ(HslToColor(2.0 / 3, 1, 0.5), 0xFF0000u);
    // No saturation: the grey int(L × 255); the ends are black and white whatever the hue.
    EXPECT_EQ(HslToColor(0.3, 0, 0.5), 0x7F7F7Fu);
    EXPECT_EQ(HslToColor(0.3, 1, 0), 0u);
    EXPECT_EQ(HslToColor(0.3, 1, 1), 0xFFFFFFu);
    // A hue of 1 is red again.
    EXPECT_EQ(HslToColor(1, 1, 0.5), 0x0000FFu);

    double h, s, l;
    ColorToHsl(0xFF0000, h, s, l);
    EXPECT_DOUBLE_EQ(h, 2.0 / 3);
    EXPECT_DOUBLE_EQ(s, 1);
    EXPECT_DOUBLE_EQ(l, 0.5);
    ColorToHsl(0x808080, h, s, l);
    EXPECT_EQ(h, 0);
    EXPECT_EQ(s, 0);
}

} // namespace
