#include <gtest/gtest.h>

#include <memory>

#include "lighting/palette.h"

namespace {

std::unique_ptr<ColorPlane> Build(int type, int brightness, double phase)
{
    auto palette = std::make_unique<ColorPlane>();
    // Anything left unwritten shows up as this marker.
    for (auto& row : *palette)
        row.fill(0xABCDEF);
    BuildPalette(type, brightness, phase, *palette);
    return palette;
}

struct Cell {
    int row;
    int column;
    COLORREF color;
};

struct PaletteCase {
    const char* name;
    int type;
    int brightness;
    double phase;
    std::vector<Cell> cells;
};

} // namespace

TEST(Palette, BrightnessFactorAndChannelScaling)
{
    EXPECT_EQ(PaletteScale(100), 255);
    EXPECT_EQ(PaletteScale(50), 127);
    EXPECT_EQ(PaletteScale(1), 2);
    EXPECT_EQ(PaletteScale(0), 0);
    EXPECT_EQ(PaletteScale(150), 255);
    EXPECT_EQ(PaletteScale(-5), 0);
    EXPECT_EQ(ScaleColor(0xFFFFFF, 255), 0xFEFEFEu);
    EXPECT_EQ(ScaleColor(0x0040FF, 127), 0x001F7Eu);
    EXPECT_EQ(ScaleColor(0x123456, 0), 0u);
}

TEST(Palette, SixSectorHueConversion)
{
    const struct {
        int hue, saturation, value;
        COLORREF color;
    } cases[] = {
        {0, 255, 255, RGB(255, 0, 0)},     {30, 255, 255, RGB(255, 127, 0)},
        {60, 255, 255, RGB(255, 255, 0)},  {90, 255, 255, RGB(127, 255, 0)},
        {120, 255, 128, RGB(0, 128, 0)},   {180, 255, 255, RGB(0, 255, 255)},
        {240, 255, 255, RGB(0, 0, 255)},   {270, 255, 255, RGB(127, 0, 255)},
        {300, 255, 255, RGB(255, 0, 255)}, {359, 255, 255, RGB(255, 0, 5)},
        {360, 255, 255, RGB(255, 0, 0)},   {-60, 255, 255, RGB(255, 0, 255)},
        {100, 0, 200, RGB(200, 200, 200)}, {150, 128, 255, RGB(127, 255, 191)},
    };
    for (const auto& c : cases)
        EXPECT_EQ(HueColor(c.hue, c.saturation, c.value), c.color)
            << "hue " << c.hue << " s " << c.saturation;
}

TEST(Palette, SineRainbow)
{
    EXPECT_EQ(SineRainbowColor(0), RGB(127, 16, 237));
    EXPECT_EQ(SineRainbowColor(90), RGB(253, 63, 63));
    EXPECT_EQ(SineRainbowColor(350), RGB(104, 29, 246));
    EXPECT_EQ(SineRainbowColor(-10), RGB(104, 29, 246));
}

TEST(Palette, EveryTypeByValue)
{
    const COLORREF green = 0x00FE00, yellow = 0x00FEFE, red = 0x0000FE, blue = 0xFE0000, magenta = 0xFE00FE;
    const PaletteCase cases[] = {
        {"black", 0, 100, 0, {{0, 0, 0}, {63, 255, 0}}},
        {"white", 1, 100, 0, {{0, 0, 0xFEFEFE}, {40, 200, 0xFEFEFE}}},
        {"red", 2, 100, 0, {{5, 5, red}}},
        {"orange at half brightness", 3, 50, 0, {{0, 128, 0x001F7E}, {63, 0, 0x001F7E}}},
        {"yellow", 4, 100, 0, {{1, 1, yellow}}},
        {"green", 5, 100, 0, {{1, 1, green}}},
        {"cyan", 6, 100, 0, {{1, 1, 0xFEFE00}}},
        {"blue", 7, 100, 0, {{1, 1, blue}}},
        {"violet", 8, 100, 0, {{1, 1, 0xFE003F}}},
        // Gradient rows: colour trunc(n - n·j/63), last colour at the top; row 0 from the centre out.
        {"green-yellow-red rows",
         9,
         100,
         0,
         {{1, 7, red}, {21, 7, red}, {22, 7, yellow}, {42, 7, yellow}, {43, 7, green}, {63, 7, green}}},
        {"green-yellow-red bar row",
         9,
         100,
         0,
         {{0, 0, red},
          {0, 42, red},
          {0, 43, yellow},
          {0, 127, green},
          {0, 128, green},
          {0, 170, green},
          {0, 171, yellow},
          {0, 255, red}}},
        {"green-white-red", 10, 100, 0, {{1, 0, red}, {30, 0, 0xFEFEFE}, {63, 0, green}}},
        {"blue-cyan-white", 11, 100, 0, {{1, 0, 0xFEFEFE}, {30, 0, 0xFEFE00}, {63, 0, blue}}},
        {"red-white-blue", 12, 100, 0, {{1, 0, blue}, {63, 0, red}}},
        {"six colours", 13, 100, 0, {{1, 0, magenta}, {10, 0, magenta}, {11, 0, blue}, {63, 0, red}}},
        {"six colours reversed", 14, 50, 0, {{1, 0, 0x00007E}, {63, 0, 0x7E007E}}},
        // Sine rainbow across the columns, scaled by k / 256; the phase moves it.
        {"sine rainbow",
         15,
         100,
         0,
         {{0, 0, RGB(126, 15, 236)}, {63, 0, RGB(126, 15, 236)}, {9, 255, RGB(123, 17, 237)}}},
        {"sine rainbow moved", 15, 100, 10, {{20, 0, RGB(103, 28, 245)}}},
        // Hue sweep: column i has hue 256 - i + phase.
        {"hue sweep",
         16,
         100,
         0,
         {{0, 0, RGB(68, 0, 255)}, {30, 16, RGB(0, 0, 255)}, {5, 255, RGB(255, 5, 0)}}},
        {"hue sweep moved", 16, 100, 104, {{0, 0, RGB(255, 0, 0)}}},
        // Hue by the angle around (128, 32), plus the phase.
        {"hue by angle",
         17,
         100,
         0,
         {{32, 128, RGB(0, 255, 255)},
          {32, 0, RGB(255, 0, 0)},
          {0, 128, RGB(127, 255, 0)},
          {63, 128, RGB(127, 0, 255)}}},
        {"hue by angle moved", 17, 100, 90, {{32, 0, RGB(127, 255, 0)}}},
        {"hue by angle dimmed", 17, 50, 0, {{32, 128, RGB(0, 127, 127)}}},
        {"hue by angle around the bottom", 18, 100, 0, {{0, 128, RGB(127, 255, 0)}, {63, 0, RGB(255, 0, 0)}}},
        {"one hue", 19, 100, 120, {{0, 0, RGB(0, 255, 0)}, {63, 255, RGB(0, 255, 0)}}},
        {"one hue wraps", 19, 100, 360, {{10, 10, RGB(255, 0, 0)}}},
        {"one sine colour", 20, 100, 0, {{0, 0, RGB(128, 14, 234)}, {63, 255, RGB(128, 14, 234)}}},
        {"one sine colour moved", 20, 100, 10, {{5, 5, ScaleColor(SineRainbowColor(352), 255)}}},
        {"unknown type", 21, 100, 0, {{0, 0, 0}, {63, 255, 0}}},
        {"negative type", -1, 100, 0, {{30, 30, 0}}},
    };
    for (const PaletteCase& c : cases) {
        const auto palette = Build(c.type, c.brightness, c.phase);
        for (const Cell& cell : c.cells)
            EXPECT_EQ((*palette)[cell.row][cell.column], cell.color)
                << c.name << ": row " << cell.row << ", column " << cell.column;
    }
}

TEST(Palette, EveryCellIsWritten)
{
    for (int type = -1; type <= kPaletteTypeCount; ++type) {
        const auto palette = Build(type, 100, 45);
        for (const auto& row : *palette)
            for (COLORREF color : row)
                ASSERT_NE(color, 0xABCDEFu) << "type " << type;
    }
}

TEST(Palette, OnlyTheMovingTypesFollowThePhase)
{
    for (int type = 0; type < kPaletteTypeCount; ++type) {
        const auto before = Build(type, 100, 0);
        const auto after = Build(type, 100, 5);
        EXPECT_EQ(*before != *after, PaletteFollowsPhase(type)) << "type " << type;
    }
}
