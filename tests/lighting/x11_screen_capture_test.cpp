// The screen capture against a real X server: each test starts its own Xvfb, so no other window can
// cover what it paints on the root window.

#include <gtest/gtest.h>

#include <X11/Xlib.h>
#include <poll.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <string>

#include "lighting/screen_light.h"
#include "platform/linux/x11_screen_capture.h"
#include "tests/lighting/server_process.h"

namespace {

using namespace std::chrono_literals;

constexpr int kWidth = 640;
constexpr int kHeight = 360;

struct Rgb {
    uint8_t r, g, b;
};
constexpr Rgb kBackground{0x00, 0x00, 0xFF};
constexpr Rgb kCorner{0xFF, 0x00, 0x00};
constexpr Rgb kGrey{0x84, 0x82, 0x84};

::testing::AssertionResult Near(uint32_t rgb, Rgb expected)
{
    const int actual[3] = {static_cast<int>(rgb >> 16 & 0xFF), static_cast<int>(rgb >> 8 & 0xFF),
                           static_cast<int>(rgb & 0xFF)};
    const int wanted[3] = {expected.r, expected.g, expected.b};
    for (int k = 0; k < 3; ++k)
        if (std::abs(actual[k] - wanted[k]) > 4)
            return ::testing::AssertionFailure() << std::hex << rgb << " is not near " << +expected.r << ","
                                                 << +expected.g << "," << +expected.b;
    return ::testing::AssertionSuccess();
}

class X11ScreenCaptureTest : public ::testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        // tools/setup-deps.sh installs Xvfb: without it, or when it cannot start, the test fails.
        ASSERT_TRUE(ProgramExists("Xvfb")) << "Xvfb is not installed";
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const std::string screen =
            std::to_string(kWidth) + "x" + std::to_string(kHeight) + "x" + std::to_string(GetParam());
        const bool started = m_xvfb.Start({"Xvfb", "-displayfd", std::to_string(fds[1]), "-screen", "0",
                                           screen, "-nolisten", "tcp", "-noreset"},
                                          {}, fds[1]);
        close(fds[1]);
        std::string number;
        pollfd readable{fds[0], POLLIN, 0};
        char c = 0;
        while (started && poll(&readable, 1, 10000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n')
            number += c;
        close(fds[0]);
        ASSERT_FALSE(number.empty()) << "Xvfb could not start";
        m_displayName = ":" + number;
        m_display = XOpenDisplay(m_displayName.c_str());
        ASSERT_NE(m_display, nullptr);
    }

    void TearDown() override
    {
        if (m_display)
            XCloseDisplay(m_display);
    }

    unsigned long Pixel(Rgb color)
    {
        XColor xcolor{};
        xcolor.red = static_cast<unsigned short>(color.r * 257);
        xcolor.green = static_cast<unsigned short>(color.g * 257);
        xcolor.blue = static_cast<unsigned short>(color.b * 257);
        EXPECT_TRUE(XAllocColor(m_display, DefaultColormap(m_display, DefaultScreen(m_display)), &xcolor));
        return xcolor.pixel;
    }

    // The root window in the background colour, its top-left quarter in the corner colour and a grey
    // pixel at (400, 250).
    void Paint()
    {
        const Window root = DefaultRootWindow(m_display);
        XSetWindowBackground(m_display, root, Pixel(kBackground));
        XClearWindow(m_display, root);
        GC gc = XCreateGC(m_display, root, 0, nullptr);
        XSetForeground(m_display, gc, Pixel(kCorner));
        XFillRectangle(m_display, root, gc, 0, 0, kWidth / 2, kHeight / 2);
        XSetForeground(m_display, gc, Pixel(kGrey));
        XDrawPoint(m_display, root, gc, 400, 250);
        XFreeGC(m_display, gc);
        XSync(m_display, False);
    }

    // A 4 × 4 tile of the background colour with one marked pixel at (2, 2).
    Pixmap MarkedTile(Rgb mark)
    {
        const Window root = DefaultRootWindow(m_display);
        const auto depth = static_cast<unsigned>(DefaultDepth(m_display, DefaultScreen(m_display)));
        const Pixmap tile = XCreatePixmap(m_display, root, 4, 4, depth);
        GC gc = XCreateGC(m_display, tile, 0, nullptr);
        XSetForeground(m_display, gc, Pixel(kBackground));
        XFillRectangle(m_display, tile, gc, 0, 0, 4, 4);
        XSetForeground(m_display, gc, Pixel(mark));
        XDrawPoint(m_display, tile, gc, 2, 2);
        XFreeGC(m_display, gc);
        return tile;
    }

    // Every pixel (4·i + 2, 4·j + 2) marked: grey, in the top-left quarter the corner colour; all others
    // the background colour. A sample grid of a quarter the screen's size that picks the pixel under each
    // sample's centre sees marks only.
    void PaintMarks()
    {
        const Window root = DefaultRootWindow(m_display);
        const Pixmap grey = MarkedTile(kGrey);
        const Pixmap corner = MarkedTile(kCorner);
        XSetWindowBackgroundPixmap(m_display, root, grey);
        XClearWindow(m_display, root);
        GC gc = XCreateGC(m_display, root, 0, nullptr);
        XSetFillStyle(m_display, gc, FillTiled);
        XSetTile(m_display, gc, corner);
        XSetTSOrigin(m_display, gc, 0, 0);
        XFillRectangle(m_display, root, gc, 0, 0, kWidth / 2, kHeight / 2);
        XFreeGC(m_display, gc);
        XFreePixmap(m_display, grey);
        XFreePixmap(m_display, corner);
        XSync(m_display, False);
    }

    ServerProcess m_xvfb;
    std::string m_displayName;
    Display* m_display = nullptr;
};

uint32_t PixelAt(const ScreenImage& image, int x, int y)
{
    return image.pixels[static_cast<size_t>(y) * image.stride + x];
}

} // namespace

TEST_P(X11ScreenCaptureTest, CapturesTheRootWindowWithAndWithoutSharedMemory)
{
    Paint();
    for (bool shm : {true, false}) {
        X11ScreenCapture capture(m_displayName, shm);
        ScreenImage image;
        ASSERT_TRUE(capture.Capture(image)) << "shm " << shm;
        EXPECT_EQ(capture.UsedSharedMemory(), shm);
        EXPECT_EQ(image.width, kWidth);
        EXPECT_EQ(image.height, kHeight);
        EXPECT_GE(image.stride, image.width);
        EXPECT_TRUE(Near(PixelAt(image, 0, 0), kCorner));
        EXPECT_TRUE(Near(PixelAt(image, kWidth / 2 - 1, kHeight / 2 - 1), kCorner));
        EXPECT_TRUE(Near(PixelAt(image, kWidth / 2, 0), kBackground));
        EXPECT_TRUE(Near(PixelAt(image, kWidth - 1, kHeight - 1), kBackground));
        EXPECT_TRUE(Near(PixelAt(image, 400, 250), kGrey));

        // A second capture sees what changed in between.
        const Window root = DefaultRootWindow(m_display);
        XSetWindowBackground(m_display, root, Pixel(kGrey));
        XClearWindow(m_display, root);
        XSync(m_display, False);
        ASSERT_TRUE(capture.Capture(image));
        EXPECT_TRUE(Near(PixelAt(image, 0, 0), kGrey));
        Paint();
    }
}

// Without shared memory the server picks the samples, each the pixel under its centre, as the
// reduction would pick them from the whole screen; only the samples cross the connection.
TEST_P(X11ScreenCaptureTest, WithoutSharedMemoryTheServerPicksTheSamples)
{
    PaintMarks();
    X11ScreenCapture capture(m_displayName, false);
    capture.SetSampleSize(kWidth / 4, kHeight / 4);
    ScreenImage image;
    ASSERT_TRUE(capture.Capture(image));
    EXPECT_TRUE(capture.UsedServerScaling());
    ASSERT_EQ(image.width, kWidth / 4);
    ASSERT_EQ(image.height, kHeight / 4);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const bool corner = x < image.width / 2 && y < image.height / 2;
            ASSERT_TRUE(Near(PixelAt(image, x, y), corner ? kCorner : kGrey)) << "sample " << x << "," << y;
        }

    // Windows on the screen are part of it, not only the root window's own background.
    const Window window = XCreateSimpleWindow(m_display, DefaultRootWindow(m_display), kWidth / 2,
                                              kHeight / 2, kWidth / 2, kHeight / 2, 0, 0, Pixel(kCorner));
    XMapWindow(m_display, window);
    XSync(m_display, False);
    ASSERT_TRUE(capture.Capture(image));
    EXPECT_TRUE(Near(PixelAt(image, image.width - 1, image.height - 1), kCorner));
    EXPECT_TRUE(Near(PixelAt(image, image.width - 1, 0), kGrey));
    XDestroyWindow(m_display, window);

    // The whole screen again once the size is taken back, and with shared memory the size is not used.
    capture.SetSampleSize(0, 0);
    ASSERT_TRUE(capture.Capture(image));
    EXPECT_FALSE(capture.UsedServerScaling());
    EXPECT_EQ(image.width, kWidth);
    X11ScreenCapture shared(m_displayName, true);
    shared.SetSampleSize(kWidth / 4, kHeight / 4);
    ASSERT_TRUE(shared.Capture(image));
    EXPECT_TRUE(shared.UsedSharedMemory());
    EXPECT_EQ(image.width, kWidth);
}

TEST_P(X11ScreenCaptureTest, ScreenLightSamplesTheDesktop)
{
    Paint();
    for (bool shm : {true, false}) {
        auto capture = std::make_unique<X11ScreenCapture>(m_displayName, shm);
        const X11ScreenCapture* used = capture.get();
        ScreenLight light(std::move(capture));
        light.Start(18, 6);
        ASSERT_TRUE(light.SampleOnce()) << "shm " << shm;
        EXPECT_EQ(used->UsedServerScaling(), !shm);
        // The corner colour covers cells 0-8 × 0-2; the grid holds 0x00BBGGRR.
        const auto asRgb = [](COLORREF c) { return GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c); };
        EXPECT_TRUE(Near(static_cast<uint32_t>(asRgb(light.GetColor(0, 0))), kCorner)) << "shm " << shm;
        EXPECT_TRUE(Near(static_cast<uint32_t>(asRgb(light.GetColor(8, 2))), kCorner)) << "shm " << shm;
        EXPECT_TRUE(Near(static_cast<uint32_t>(asRgb(light.GetColor(9, 0))), kBackground)) << "shm " << shm;
        EXPECT_TRUE(Near(static_cast<uint32_t>(asRgb(light.GetColor(17, 5))), kBackground)) << "shm " << shm;
    }
}

INSTANTIATE_TEST_SUITE_P(Depths, X11ScreenCaptureTest, ::testing::Values(24, 16),
                         [](const ::testing::TestParamInfo<int>& info) {
                             return "Depth" + std::to_string(info.param);
                         });

TEST(X11ScreenCapture, NoDisplayMeansNoImage)
{
    X11ScreenCapture capture(":65000");
    ScreenImage image;
    EXPECT_FALSE(capture.Capture(image));
    EXPECT_FALSE(capture.Capture(image)); // not tried again within the second
    EXPECT_EQ(image.pixels, nullptr);
}
