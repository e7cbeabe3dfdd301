#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <thread>

#include "lighting/visualizer.h"
#include "platform/fake/fake_audio_backend.h"
#include "tests/lighting/eventually.h"

namespace {

using namespace std::chrono_literals;

// Deterministic noise: every bin of the spectrum gets sound.
FakeAudioBackend::Signal Noise()
{
    auto state = std::make_shared<uint32_t>(12345);
    return [state](double) {
        *state = *state * 1664525u + 1013904223u;
        return static_cast<double>(*state >> 8) / (1u << 24) * 2.0 - 1.0;
    };
}

int LitRows(float value)
{
    int lit = 0;
    for (int i = 1; i < kCanvasRows; ++i)
        if (static_cast<float>(kCanvasRows - i) / kCanvasRows < value)
            ++lit;
    return lit;
}

class VisualizerTest : public ::testing::Test {
protected:
    FakeAudioBackend m_backend;
    std::unique_ptr<ColorPlane> m_canvas = std::make_unique<ColorPlane>();
};

} // namespace

TEST_F(VisualizerTest, BarsGrowFromTheBottomInForegroundOverBackground)
{
    m_backend.SetSignal(FakeAudioBackend::Sine(3000.0, 0.5));
    Visualizer visualizer(m_backend);
    visualizer.OpenCapture(0);
    visualizer.SetAmplification(1);
    visualizer.SetSmoothing(-1, 0);
    visualizer.SetForegroundType(2); // red
    visualizer.SetBackgroundType(7); // blue
    visualizer.SetBackgroundBrightness(50);
    for (int i = 0; i < 10; ++i)
        visualizer.RunFrame();
    visualizer.CopyCanvas(*m_canvas);

    const COLORREF red = 0x0000FE;
    const COLORREF dimBlue = 0x7E0000;
    const auto shown = visualizer.Displayed();
    int fullColumns = 0;
    for (int a = 0; a < kCanvasColumns; ++a) {
        const int lit = LitRows(shown[a]);
        fullColumns += lit == 63;
        for (int i = 1; i < kCanvasRows; ++i)
            ASSERT_EQ((*m_canvas)[i][a], i >= kCanvasRows - lit ? red : dimBlue)
                << "row " << i << ", column " << a;
    }
    EXPECT_GT(fullColumns, 0);
    EXPECT_EQ((*m_canvas)[63][0], dimBlue); // the lowest bins hear nothing of 3000 Hz
    EXPECT_EQ((*m_canvas)[63][130], red);
}

TEST_F(VisualizerTest, CentreBarOfRowZero)
{
    const struct {
        const char* name;
        bool loud;
        int firstLit; // -1: none
        int lastLit;
    } cases[] = {
        // Every column at 1: (1 - 0.05)·128 = 121 columns each side of the centre.
        {"all columns full", true, 128 - 121, 127 + 121},
        {"silence", false, -1, -1},
    };
    for (const auto& c : cases) {
        FakeAudioBackend backend;
        backend.SetSignal(c.loud ? Noise() : FakeAudioBackend::Silence());
        Visualizer visualizer(backend);
        visualizer.OpenCapture(0);
        visualizer.SetForegroundType(1);
        for (int i = 0; i < 5; ++i)
            visualizer.RunFrame();
        visualizer.CopyCanvas(*m_canvas);
        for (int a = 0; a < kCanvasColumns; ++a) {
            const bool lit = a >= c.firstLit && a <= c.lastLit && c.firstLit >= 0;
            EXPECT_EQ((*m_canvas)[0][a], lit ? 0xFEFEFEu : 0u) << c.name << ": column " << a;
        }
    }
}

TEST_F(VisualizerTest, PhaseAdvancesFiveDegreesPerFrameAndWraps)
{
    // Foreground and background of one hue: every cell shows the hue of the frame's phase.
    Visualizer visualizer(m_backend);
    visualizer.SetForegroundType(19);
    visualizer.SetBackgroundType(19);
    const struct {
        int frames;
        int hue; // of the last frame painted
    } steps[] = {{1, 0}, {1, 5}, {22, 115}, {48, 355}, {1, 0}};
    for (const auto& step : steps) {
        for (int i = 0; i < step.frames; ++i)
            visualizer.RunFrame();
        visualizer.CopyCanvas(*m_canvas);
        EXPECT_EQ((*m_canvas)[40][100], HueColor(step.hue, 255, 255)) << "hue " << step.hue;
    }
    EXPECT_DOUBLE_EQ(visualizer.Phase(), 5.0);
}

TEST_F(VisualizerTest, ReadersNeverSeeHalfAFrame)
{
    // Each frame paints the whole canvas in one new colour; a torn read would mix two.
    Visualizer visualizer(m_backend);
    visualizer.SetForegroundType(19);
    visualizer.SetBackgroundType(19);
    std::atomic<bool> done{false};
    std::thread painter([&] {
        for (int i = 0; i < 300; ++i)
            visualizer.RunFrame();
        done = true;
    });
    int reads = 0;
    while (!done) {
        visualizer.CopyCanvas(*m_canvas);
        const COLORREF first = (*m_canvas)[0][0];
        for (const auto& row : *m_canvas)
            for (COLORREF color : row)
                ASSERT_EQ(color, first) << "after " << reads << " reads";
        ++reads;
    }
    painter.join();
    EXPECT_GT(reads, 0);
}

TEST_F(VisualizerTest, PauseStopsTheWorkAndResumeRestartsIt)
{
    m_backend.SetSignal(FakeAudioBackend::Sine(3000.0, 0.5));
    Visualizer visualizer(m_backend);
    ASSERT_TRUE(visualizer.Start());
    EXPECT_FALSE(visualizer.Start());
    ASSERT_TRUE(Eventually([&] { return visualizer.FrameCount() >= 3; }));

    visualizer.Pause();
    EXPECT_TRUE(visualizer.IsPaused());
    const uint64_t paused = visualizer.FrameCount();
    std::this_thread::sleep_for(100ms);
    EXPECT_EQ(visualizer.FrameCount(), paused);

    visualizer.Resume();
    EXPECT_TRUE(Eventually([&] { return visualizer.FrameCount() > paused + 2; }));
    visualizer.Stop();
    EXPECT_FALSE(visualizer.IsRunning());
}

TEST_F(VisualizerTest, AVanishedDeviceLeavesDecayingBarsUntilReopened)
{
    m_backend.SetSignal(FakeAudioBackend::Sine(3000.0, 0.5));
    Visualizer visualizer(m_backend);
    visualizer.OpenCapture(0);
    for (int i = 0; i < 5; ++i)
        visualizer.RunFrame();
    EXPECT_TRUE(visualizer.IsCapturing());
    const float loud = visualizer.Displayed()[130];
    EXPECT_GT(loud, 0.5f);

    m_backend.Vanish();
    visualizer.RunFrame();
    EXPECT_FALSE(visualizer.IsCapturing());
    EXPECT_LT(visualizer.Displayed()[130], loud);

    EXPECT_TRUE(visualizer.OpenCapture(3));
    EXPECT_TRUE(visualizer.IsCapturing());
    EXPECT_EQ(visualizer.GetDeviceIndex(), 3);
}

TEST_F(VisualizerTest, NoPlaybackDeviceShowsNothing)
{
    m_backend.SetOpenFails(true);
    m_backend.SetSignal(Noise());
    Visualizer visualizer(m_backend);
    EXPECT_FALSE(visualizer.OpenCapture(0));
    visualizer.SetForegroundType(1);
    for (int i = 0; i < 3; ++i)
        visualizer.RunFrame();
    visualizer.CopyCanvas(*m_canvas);
    for (const auto& row : *m_canvas)
        for (COLORREF color : row)
            ASSERT_EQ(color, 0u);
}

TEST_F(VisualizerTest, SettingsAreKeptInRange)
{
    Visualizer visualizer(m_backend);
    EXPECT_EQ(visualizer.GetAmplification(), 270);
    EXPECT_EQ(visualizer.GetForegroundType(), 15);
    EXPECT_EQ(visualizer.GetBackgroundType(), 0);
    EXPECT_EQ(visualizer.GetBackgroundBrightness(), 100);
    visualizer.SetBackgroundBrightness(250);
    EXPECT_EQ(visualizer.GetBackgroundBrightness(), 100);
    visualizer.SetBackgroundBrightness(-1);
    EXPECT_EQ(visualizer.GetBackgroundBrightness(), 0);
    visualizer.SetAmplification(-20);
    EXPECT_EQ(visualizer.GetAmplification(), 0);
}
