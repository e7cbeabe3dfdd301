#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <functional>
#include <thread>

#include "lighting/screen_light.h"
#include "platform/fake/fake_screen_capture.h"
#include "tests/lighting/eventually.h"

namespace {

using namespace std::chrono_literals;

constexpr uint32_t kWhite = 0xFFFFFF;

// A colour per 18 × 6 cell (0x00RRGGBB), far enough apart to tell every cell from its neighbours.
uint32_t CellColor(int column, int row)
{
    return static_cast<uint32_t>((20 + column * 13) << 16 | (30 + row * 40) << 8 | (200 - column * 5));
}

// 1440 × 540: cells of 80 × 90 pixels, each in its own colour.
FakeScreenCapture::Painter CellPainter()
{
    return [](int x, int y) { return CellColor(x / 80, y / 90); };
}

COLORREF AsColorRef(uint32_t rgb)
{
    return RGB(static_cast<uint8_t>(rgb >> 16), static_cast<uint8_t>(rgb >> 8), static_cast<uint8_t>(rgb));
}

// The sample pixels that straddle two cells mix a little of the neighbour in.
::testing::AssertionResult Near(COLORREF actual, COLORREF expected)
{
    for (int shift : {0, 8, 16})
        if (std::abs(static_cast<int>((actual >> shift) & 0xFF) -
                     static_cast<int>((expected >> shift) & 0xFF)) > 4)
            return ::testing::AssertionFailure() << std::hex << actual << " is not near " << expected;
    return ::testing::AssertionSuccess();
}

ScreenReducer::Grid Reduce(int width, int height, const FakeScreenCapture::Painter& painter)
{
    FakeScreenCapture capture(width, height, painter);
    ScreenImage image;
    EXPECT_TRUE(capture.Capture(image));
    ScreenReducer reducer;
    ScreenReducer::Grid grid{};
    EXPECT_TRUE(reducer.Reduce(image, grid));
    return grid;
}

} // namespace

TEST(ScreenReducer, AveragesTrueAreas)
{
    const struct {
        const char* name;
        FakeScreenCapture::Painter painter;
        int column, row;
        ARGB color;
    } cases[] = {
        {"uniform", [](int, int) { return 0x123456u; }, 17, 5, 0xFF123456},
        // Sample column 26 spans [26, 27): two thirds in cell 0 (26.67 wide), one third in cell 1.
        {"straddling pixel, first cell", [](int x, int) { return x == 26 ? kWhite : 0; }, 0, 3, 0xFF060606},
        {"straddling pixel, second cell", [](int x, int) { return x == 26 ? kWhite : 0; }, 1, 3, 0xFF030303},
        {"one row of 45", [](int, int y) { return y == 44 ? kWhite : 0; }, 9, 0, 0xFF060606},
        {"next cell down untouched", [](int, int y) { return y == 44 ? kWhite : 0; }, 9, 1, 0xFF000000},
        {"top byte ignored", [](int, int) { return 0xAB000080u; }, 4, 4, 0xFF000080},
    };
    for (const auto& c : cases) {
        const ScreenReducer::Grid grid = Reduce(480, 270, c.painter);
        EXPECT_EQ(grid[c.row * 18 + c.column], c.color) << c.name;
    }
}

TEST(ScreenReducer, FirstStepPicksPixelsLikeAPlainStretch)
{
    // Stripes one pixel wide at twice the sample size: a plain stretch keeps one stripe of each pair.
    const ScreenReducer::Grid grid = Reduce(960, 540, [](int x, int) { return x % 2 ? kWhite : 0; });
    for (ARGB cell : grid)
        EXPECT_EQ(cell, 0xFFFFFFFFu);
}

TEST(ScreenReducer, SmallAndOddScreens)
{
    const ScreenReducer::Grid tiny = Reduce(3, 2, [](int x, int y) { return x == 2 && y == 1 ? kWhite : 0; });
    EXPECT_EQ(tiny[0], 0xFF000000u);
    EXPECT_EQ(tiny[5 * 18 + 17], 0xFFFFFFFFu);

    ScreenReducer reducer;
    ScreenReducer::Grid grid{};
    EXPECT_FALSE(reducer.Reduce(ScreenImage{}, grid));
    const uint32_t pixel = 0;
    EXPECT_FALSE(reducer.Reduce(ScreenImage{&pixel, 1, 1, 0}, grid));
}

TEST(ScreenLight, SixRowsOfEighteenUseEveryCellOnce)
{
    ScreenLight light(std::make_unique<FakeScreenCapture>(1440, 540, CellPainter()));
    light.Start(18, 6);
    ASSERT_TRUE(light.SampleOnce());
    for (int c = 0; c < 18; ++c)
        for (int r = 0; r < 6; ++r)
            EXPECT_TRUE(Near(light.GetColor(c, r), AsColorRef(CellColor(c, r)))) << "cell " << c << ", " << r;
    // The grid is column-major and holds 0x00BBGGRR.
    ScreenGrid grid{};
    light.CopyGrid(grid);
    EXPECT_EQ(grid[3 * 8 + 2], light.GetColor(3, 2));
    EXPECT_EQ(light.GetColor(6, 7), 0u);
}

TEST(ScreenLight, CellsBeyondTheImageRepeatTheLastColourRead)
{
    const struct {
        int columns, rows;
    } sizes[] = {{18, 8}, {21, 7}, {32, 4}, {32, 8}};
    for (const auto& size : sizes) {
        ScreenLight light(std::make_unique<FakeScreenCapture>(1440, 540, CellPainter()));
        light.Start(size.columns, size.rows);
        ASSERT_TRUE(light.SampleOnce());
        const int lastRow = std::min(size.rows, 6) - 1;
        for (int c = 0; c < size.columns; ++c)
            for (int r = 0; r < size.rows; ++r) {
                // Rows past 5 take row 5 of their column; columns past 17 the last readable cell.
                const COLORREF expected =
                    c >= 18 ? light.GetColor(17, lastRow) : light.GetColor(c, std::min(r, 5));
                EXPECT_EQ(light.GetColor(c, r), expected)
                    << size.columns << " × " << size.rows << ": " << c << ", " << r;
            }
        if (size.columns > 18) {
            EXPECT_TRUE(Near(light.GetColor(size.columns - 1, 0), AsColorRef(CellColor(17, lastRow))));
        }
    }
}

TEST(ScreenLight, CellsOutsideTheMatrixKeepTheirColours)
{
    auto capture = std::make_unique<FakeScreenCapture>(480, 270, [](int, int) { return 0x102030u; });
    FakeScreenCapture* screen = capture.get();
    ScreenLight light(std::move(capture));
    light.Start(32, 8);
    ASSERT_TRUE(light.SampleOnce());
    screen->SetImage(480, 270, [](int, int) { return 0x405060u; });
    light.Start(10, 2);
    EXPECT_EQ(light.GetColumnCount(), 10);
    ASSERT_TRUE(light.SampleOnce());
    EXPECT_EQ(light.GetColor(9, 1), 0x605040u);
    EXPECT_EQ(light.GetColor(10, 1), 0x302010u);
    EXPECT_EQ(light.GetColor(9, 2), 0x302010u);

    // A failed capture leaves the grid as it was.
    screen->SetFailing(true);
    EXPECT_FALSE(light.SampleOnce());
    EXPECT_EQ(light.GetColor(0, 0), 0x605040u);
}

TEST(ScreenLight, SamplesOnlyWhileEnabled)
{
    auto capture = std::make_unique<FakeScreenCapture>(480, 270, [](int, int) { return kWhite; });
    FakeScreenCapture* screen = capture.get();
    ScreenLight light(std::move(capture));
    light.SetSampleInterval(1ms);
    EXPECT_FALSE(light.IsRunning());
    light.Start(18, 6);
    EXPECT_TRUE(light.IsRunning());
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(screen->CaptureCount(), 0);

    light.SetEnabled(true);
    ASSERT_TRUE(Eventually([&] { return light.SampleCount() >= 3; }));
    EXPECT_EQ(light.GetColor(0, 0), 0xFFFFFFu);

    light.SetEnabled(false);
    std::this_thread::sleep_for(20ms); // a sample under way may still finish
    const int captures = screen->CaptureCount();
    std::this_thread::sleep_for(50ms);
    EXPECT_EQ(screen->CaptureCount(), captures);

    light.Stop();
    EXPECT_FALSE(light.IsRunning());
}

TEST(ScreenLight, SizesAreClampedToTheGrid)
{
    ScreenLight light(std::make_unique<FakeScreenCapture>(480, 270, [](int, int) { return kWhite; }));
    light.Start(40, 12);
    EXPECT_EQ(light.GetColumnCount(), 32);
    EXPECT_EQ(light.GetRowCount(), 8);
    light.Start(-1, -1);
    EXPECT_EQ(light.GetColumnCount(), 0);
    ASSERT_TRUE(light.SampleOnce());
    EXPECT_EQ(light.GetColor(0, 0), 0u);
    EXPECT_EQ(light.GetColor(-1, 0), 0u);
    EXPECT_EQ(light.GetColor(32, 0), 0u);
}
