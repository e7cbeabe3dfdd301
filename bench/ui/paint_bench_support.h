#pragma once
// What the paint benchmarks share: a dialog shown on an X display when one can be opened (run under
// Xvfb), else on the headless backend; the message loop's dispatching; and a measure of one paint pass
// per sample, reported as the median and the 99th percentile.

#include <algorithm>
#include <benchmark/benchmark.h>
#include <chrono>
#include <vector>

#include "ui/framework/backend/headless/headless_backend.h"
#include "ui/framework/backend/x11/x11_backend.h"
#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

namespace paint_bench {

inline const char* InstallBackend()
{
    auto x11 = CreateX11Backend();
    if (x11->IsAvailable()) {
        WindowSystem::Install(std::move(x11));
        return "x11";
    }
    WindowSystem::Install(
        std::make_unique<HeadlessBackend>(CRect(0, 0, 1920, 1080), CRect(0, 0, 1920, 1080)));
    return "headless";
}

// Dispatches everything that waits, as the message loop does.
inline void Pump()
{
    MSG msg;
    while (WindowSystem::PeekMessageW(&msg, PM_REMOVE)) {
        WindowSystem::TranslateMessage(&msg);
        WindowSystem::DispatchMessageW(&msg);
    }
}

// A dialog of the given type, shown at 1280 × 720.
template <class Dialog> struct Setup {
    const char* backend;
    Dialog dialog;
    HWND hwnd = nullptr;

    Setup() : backend(InstallBackend())
    {
        hwnd = dialog.Create(nullptr, L"bench", WS_POPUP | WS_VISIBLE, 0, CRect(0, 0, 1280, 720));
        Pump();
    }
    ~Setup() { dialog.DestroyWindow(); }
};

inline double Percentile(std::vector<double>& samples, int percent)
{
    std::sort(samples.begin(), samples.end());
    return samples[std::min(samples.size() - 1, samples.size() * static_cast<size_t>(percent) / 100)];
}

// Each sample: prepare (untimed), then one dispatch of what waits (the paint), timed.
template <class Dialog, class Prepare>
void Measure(benchmark::State& state, Setup<Dialog>& setup, Prepare prepare)
{
    using SteadyTime = std::chrono::steady_clock;
    state.SetLabel(setup.backend);
    std::vector<double> samples;
    for (auto _ : state) {
        state.PauseTiming();
        prepare(setup);
        state.ResumeTiming();
        const auto start = SteadyTime::now();
        Pump();
        samples.push_back(std::chrono::duration<double, std::milli>(SteadyTime::now() - start).count());
    }
    state.counters["median_ms"] = Percentile(samples, 50);
    state.counters["p99_ms"] = Percentile(samples, 99);
}

} // namespace paint_bench
