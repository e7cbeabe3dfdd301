#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <numbers>

#include "lighting/screen_light.h"
#include "lighting/visualizer.h"
#include "platform/fake/fake_screen_capture.h"
#include "platform/linux/x11_screen_capture.h"

namespace {

// Hands out one ready 10 ms packet (480 stereo float frames) per drain, as a sound server does
// between two frames, so the figure is the visualiser's own work.
class ReplaySource : public AudioSource {
public:
    ReplaySource()
    {
        m_packet.frames = 480;
        for (int f = 0; f < 480; ++f) {
            const auto value =
                static_cast<float>(0.5 * std::sin(2.0 * std::numbers::pi * 1000.0 * f / 48000.0));
            m_packet.float32.push_back(value);
            m_packet.float32.push_back(value);
        }
    }
    AudioFormat Format() const override { return {AudioSampleFormat::Float32, 48000, 2}; }
    AudioSourceState State() const override { return AudioSourceState::Capturing; }
    bool TakePacket(AudioPacket& packet) override
    {
        m_waiting = !m_waiting;
        if (!m_waiting)
            return false;
        packet.frames = m_packet.frames;
        packet.float32 = m_packet.float32;
        return true;
    }

private:
    AudioPacket m_packet;
    bool m_waiting = false;
};

class ReplayBackend : public AudioBackend {
public:
    std::unique_ptr<AudioSource> OpenPlaybackLoopback(AudioSampleFormat) override
    {
        return std::make_unique<ReplaySource>();
    }
};

// One frame: drain one packet, FFT, both palettes, canvas. Arguments: foreground and background type.
void AnalyserFrame(benchmark::State& state)
{
    ReplayBackend backend;
    Visualizer visualizer(backend);
    visualizer.OpenCapture(0);
    visualizer.SetAmplification(300);
    visualizer.SetForegroundType(static_cast<int>(state.range(0)));
    visualizer.SetBackgroundType(static_cast<int>(state.range(1)));
    for (auto _ : state)
        visualizer.RunFrame();
}
BENCHMARK(AnalyserFrame)
    ->ArgNames({"fore", "back"})
    ->Args({15, 0})  // the defaults
    ->Args({17, 0})  // a hue per cell
    ->Args({9, 0})   // a gradient: built once
    ->Args({17, 19}) // both palettes move
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

// The reduction of a 1280 × 720 image to the 18 × 6 colours, without capturing.
void ScreenReduce(benchmark::State& state)
{
    FakeScreenCapture capture(1280, 720,
                              [](int x, int y) { return static_cast<uint32_t>(x * 7919 ^ y * 104729); });
    ScreenImage image;
    capture.Capture(image);
    ScreenReducer reducer;
    ScreenReducer::Grid grid{};
    for (auto _ : state) {
        reducer.Reduce(image, grid);
        benchmark::DoNotOptimize(grid);
    }
}
BENCHMARK(ScreenReduce)->Unit(benchmark::kMicrosecond)->Repetitions(9)->ReportAggregatesOnly(true);

// One whole sample of the X display: capture, reduction, grid. Argument: 1 XShmGetImage of the screen;
// 0 XGetImage of the samples the server picked (XRender), as on a display without shared memory;
// 2 XGetImage of the whole screen, as it was before the server picked the samples.
void ScreenSampleX11(benchmark::State& state)
{
    const int mode = static_cast<int>(state.range(0));
    auto capture = std::make_unique<X11ScreenCapture>(std::string(), mode == 1);
    X11ScreenCapture* x11 = capture.get();
    ScreenLight light(std::move(capture));
    if (mode == 2)
        x11->SetSampleSize(0, 0);
    ScreenImage image;
    if (!x11->Capture(image)) {
        state.SkipWithError("no X display ($DISPLAY)");
        return;
    }
    const char* how = x11->UsedSharedMemory()    ? " XShmGetImage"
                      : x11->UsedServerScaling() ? " XRender + XGetImage"
                                                 : " XGetImage";
    state.SetLabel(std::to_string(image.width) + "x" + std::to_string(image.height) + how);
    light.Start(18, 6);
    for (auto _ : state)
        light.SampleOnce();
}
BENCHMARK(ScreenSampleX11)
    ->ArgName("mode")
    ->Arg(1)
    ->Arg(0)
    ->Arg(2)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(9)
    ->ReportAggregatesOnly(true);

} // namespace

BENCHMARK_MAIN();
