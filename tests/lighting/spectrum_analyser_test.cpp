#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "lighting/spectrum_analyser.h"
#include "platform/fake/fake_audio_backend.h"

namespace {

// Runs frames the way the visualiser does, each draining one burst of the source.
void RunFrames(SpectrumAnalyser& analyser, AudioSource& source, int frames)
{
    AudioPacket packet;
    for (int i = 0; i < frames; ++i) {
        analyser.Decay();
        while (source.TakePacket(packet))
            analyser.AddPacket(packet.float32.data(), packet.float32.size(), packet.frames);
        analyser.Analyse();
    }
}

// A packet whose groups of four values all hold one value each: group g gets values[g].
std::vector<float> Grouped(const std::vector<float>& groups)
{
    std::vector<float> values;
    for (float v : groups)
        values.insert(values.end(), 4, v);
    return values;
}

} // namespace

TEST(SpectrumAnalyser, WindowTablesAndFrequencyWeights)
{
    const struct {
        int window, index;
        float value;
    } cases[] = {
        {SpectrumAnalyser::WindowHann, 0, 0.0f},       {SpectrumAnalyser::WindowHann, 64, 0.5f},
        {SpectrumAnalyser::WindowHann, 128, 1.0f},     {SpectrumAnalyser::WindowHamming, 0, 0.08f},
        {SpectrumAnalyser::WindowHamming, 128, 1.0f},  {SpectrumAnalyser::WindowBlackman, 0, 0.0f},
        {SpectrumAnalyser::WindowBlackman, 64, 0.34f}, {SpectrumAnalyser::WindowBlackman, 128, 1.0f},
        {SpectrumAnalyser::WindowNone, 0, 1.0f},       {7, 200, 1.0f},
    };
    for (const auto& c : cases)
        EXPECT_NEAR(SpectrumAnalyser::WindowTable(c.window)[c.index], c.value, 1e-6)
            << "window " << c.window << " at " << c.index;

    const auto& weights = SpectrumAnalyser::FrequencyWeights();
    EXPECT_NEAR(weights[0], 0.04f, 1e-7);
    EXPECT_NEAR(weights[128], 0.29f, 1e-7);
    EXPECT_NEAR(weights[255], 0.04f + 0.5f * 255 / 256, 1e-7);
}

TEST(SpectrumAnalyser, SineLightsItsOwnColumns)
{
    // Stereo at 48 kHz: each group averages two frames, so a bin is 93.75 Hz and 3000 Hz is bin 32.
    FakeAudioBackend backend;
    backend.SetSignal(FakeAudioBackend::Sine(3000.0, 0.5));
    const auto source = backend.OpenPlaybackLoopback(AudioSampleFormat::Float32);
    SpectrumAnalyser analyser;
    analyser.SetAmplification(1);
    analyser.SetSmoothing(-1, 0);
    RunFrames(analyser, *source, 10);

    const auto& columns = analyser.Computed();
    for (int a = 128; a < 132; ++a)
        EXPECT_FLOAT_EQ(columns[a], 1.0f) << "column " << a;
    for (int b = 0; b < 64; ++b) {
        if (b < 24 || b > 40) {
            EXPECT_LT(columns[4 * b], 0.05f) << "bin " << b;
        }
    }
    // The four columns of a bin move together.
    for (int b = 0; b < 64; ++b)
        for (int a = 4 * b; a < 4 * b + 4; ++a)
            EXPECT_EQ(columns[a], columns[4 * b]);
}

TEST(SpectrumAnalyser, GroupsOfFourValuesFeedTheWindow)
{
    // k cycles over the 256 groups of the window land in bin k, and without a window only there. Bin 0
    // takes the real part of bin 1, so a one-cycle wave lights it as well.
    for (int cycles : {1, 8, 20, 50}) {
        SpectrumAnalyser analyser;
        analyser.SetAmplification(1);
        analyser.SetSmoothing(-1, 0);
        analyser.SetWindow(SpectrumAnalyser::WindowNone);
        std::vector<float> groups(256);
        for (int g = 0; g < 256; ++g)
            groups[g] = 0.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi * cycles * g / 256.0));
        const std::vector<float> values = Grouped(groups);
        analyser.AddPacket(values.data(), values.size(), static_cast<int>(values.size()));
        analyser.Analyse();
        for (int b = 0; b < 64; ++b) {
            const bool lit = b == cycles || (cycles == 1 && b == 0);
            EXPECT_EQ(analyser.Computed()[4 * b], lit ? 1.0f : 0.0f) << cycles << " cycles, bin " << b;
        }
    }
}

TEST(SpectrumAnalyser, SilenceStaysDarkAndSoundDecaysToZero)
{
    FakeAudioBackend backend;
    const auto source = backend.OpenPlaybackLoopback(AudioSampleFormat::Float32);
    SpectrumAnalyser analyser;
    RunFrames(analyser, *source, 5);
    for (float v : analyser.Displayed())
        ASSERT_EQ(v, 0.0f);

    backend.SetSignal(FakeAudioBackend::Sine(3000.0, 0.5));
    RunFrames(analyser, *source, 10);
    EXPECT_GT(*std::max_element(analyser.Displayed().begin(), analyser.Displayed().end()), 0.5f);

    backend.SetSignal(FakeAudioBackend::Silence());
    RunFrames(analyser, *source, 3); // the window still holds the tone for two packets
    float previous = *std::max_element(analyser.Displayed().begin(), analyser.Displayed().end());
    for (int frame = 0; frame < 100; ++frame) {
        RunFrames(analyser, *source, 1);
        const float loudest = *std::max_element(analyser.Displayed().begin(), analyser.Displayed().end());
        ASSERT_LE(loudest, previous * 0.8f + 1e-7f) << "frame " << frame;
        previous = loudest;
    }
    EXPECT_LT(previous, 1e-6f);
}

TEST(SpectrumAnalyser, SmoothingModes)
{
    // A single loud bin, then each mode's rule on the unsmoothed columns.
    std::vector<float> groups(256);
    for (int g = 0; g < 256; ++g)
        groups[g] = 0.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi * 20 * g / 256.0));
    const std::vector<float> values = Grouped(groups);

    const struct {
        int mode, width;
        int first, last; // columns averaged for column 81 (bin 20)
    } cases[] = {
        {SpectrumAnalyser::SmoothingMovingAverage, 8, 73, 89},
        {SpectrumAnalyser::SmoothingMovingAverage, 3, 78, 84},
        {SpectrumAnalyser::SmoothingBlocks, 8, 80, 87},
        {SpectrumAnalyser::SmoothingBlocks, 5, 80, 84},
        {SpectrumAnalyser::SmoothingBlocks, 0, 81, 81},
        {9, 8, 81, 81},
    };
    for (const auto& c : cases) {
        SpectrumAnalyser analyser;
        analyser.SetAmplification(1);
        analyser.SetSmoothing(c.mode, c.width);
        analyser.AddPacket(values.data(), values.size(), static_cast<int>(values.size()));
        analyser.Analyse();
        const auto& computed = analyser.Computed();
        double sum = 0.0;
        for (int a = c.first; a <= c.last; ++a)
            sum += computed[a];
        EXPECT_NEAR(analyser.Displayed()[81], sum / (c.last - c.first + 1), 1e-6)
            << "mode " << c.mode << " width " << c.width;
    }

    // At the edges the moving average uses the neighbours there are.
    SpectrumAnalyser analyser;
    analyser.SetAmplification(1);
    analyser.AddPacket(values.data(), values.size(), static_cast<int>(values.size()));
    analyser.Analyse();
    double sum = 0.0;
    for (int a = 247; a < 256; ++a)
        sum += analyser.Computed()[a];
    EXPECT_NEAR(analyser.Displayed()[255], sum / 9, 1e-6);
}

TEST(SpectrumAnalyser, DisplaySmoothingMovesPartWay)
{
    std::vector<float> groups(256);
    for (int g = 0; g < 256; ++g)
        groups[g] = 0.5f * static_cast<float>(std::sin(2.0 * std::numbers::pi * 20 * g / 256.0));
    const std::vector<float> values = Grouped(groups);
    SpectrumAnalyser analyser;
    analyser.SetAmplification(1);
    analyser.SetSmoothing(-1, 0);
    analyser.SetDisplaySmoothing(0.25f);
    analyser.AddPacket(values.data(), values.size(), static_cast<int>(values.size()));
    analyser.Analyse();
    EXPECT_FLOAT_EQ(analyser.Displayed()[80], 0.25f);
    analyser.Analyse();
    EXPECT_FLOAT_EQ(analyser.Displayed()[80], 0.25f + 0.75f * 0.25f);
}

TEST(SpectrumAnalyser, ShortAndBrokenPacketsAreReadSafely)
{
    SpectrumAnalyser analyser;
    // One stereo frame: a whole group wants four values, the packet has two; the rest counts as 0.
    const std::vector<float> oneFrame = {1.0f, 1.0f};
    analyser.AddPacket(oneFrame.data(), oneFrame.size(), 1);
    // Values that are not numbers count as 0 instead of poisoning the window.
    const std::vector<float> broken = {NAN, INFINITY, -INFINITY, 0.25f};
    analyser.AddPacket(broken.data(), broken.size(), 4);
    analyser.AddPacket(nullptr, 100, 100);
    analyser.AddPacket(oneFrame.data(), oneFrame.size(), -3);
    analyser.Analyse();
    for (float v : analyser.Displayed()) {
        ASSERT_TRUE(std::isfinite(v));
        ASSERT_GE(v, 0.0f);
        ASSERT_LE(v, 1.0f);
    }
}
