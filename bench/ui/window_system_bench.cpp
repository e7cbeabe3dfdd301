// The UI thread's queue: how long a post from another thread takes to be dispatched while the UI thread
// waits, and how often an idle program with one window wakes up. Uses the X11 backend when a display
// can be opened (run under Xvfb otherwise), else the headless one.

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>
#include <vector>

#include "ui/framework/backend/headless/headless_backend.h"
#include "ui/framework/backend/x11/x11_backend.h"
#include "ui/framework/m_dialog.h"
#include "ui/framework/window_system.h"

namespace {

using SteadyTime = std::chrono::steady_clock;

int64_t NowNs()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(SteadyTime::now().time_since_epoch()).count();
}

const char* InstallBackend()
{
    auto x11 = CreateX11Backend();
    if (x11->IsAvailable()) {
        WindowSystem::Install(std::move(x11));
        return "x11";
    }
    WindowSystem::Install(std::make_unique<HeadlessBackend>());
    return "headless";
}

void RunLoop()
{
    MSG msg;
    while (WindowSystem::GetMessageW(&msg)) {
        WindowSystem::TranslateMessage(&msg);
        WindowSystem::DispatchMessageW(&msg);
    }
}

// Posts arrive one at a time, each while the UI thread is asleep in its wait.
void BM_PostToDispatchLatency(benchmark::State& state)
{
    state.SetLabel(InstallBackend());
    constexpr int kPosts = 2000;
    for (auto _ : state) {
        std::vector<int64_t> latencies;
        latencies.reserve(kPosts);
        std::thread poster([&latencies] {
            for (int i = 0; i < kPosts; ++i) {
                std::this_thread::sleep_for(std::chrono::microseconds(200));
                const int64_t posted = NowNs();
                WindowSystem::PostClosure([posted, &latencies] { latencies.push_back(NowNs() - posted); });
            }
            WindowSystem::PostQuitMessage(0);
        });
        RunLoop();
        poster.join();
        std::sort(latencies.begin(), latencies.end());
        state.counters["median_us"] = static_cast<double>(latencies[latencies.size() / 2]) / 1000.0;
        state.counters["p99_us"] = static_cast<double>(latencies[latencies.size() * 99 / 100]) / 1000.0;
        state.counters["max_us"] = static_cast<double>(latencies.back()) / 1000.0;
    }
}
BENCHMARK(BM_PostToDispatchLatency)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// One shown window, no timers: after it has settled the loop should not wake at all.
void BM_IdleWakeups(benchmark::State& state)
{
    state.SetLabel(InstallBackend());
    for (auto _ : state) {
        MDialog dialog;
        dialog.Create(nullptr, L"idle", WS_POPUP | WS_VISIBLE, 0, CRect(50, 50, 450, 350));
        constexpr auto kSettle = std::chrono::milliseconds(500);
        constexpr auto kMeasure = std::chrono::seconds(3);
        std::atomic<uint64_t> wakes{0};
        std::thread watcher([&wakes, kSettle, kMeasure] {
            std::this_thread::sleep_for(kSettle);
            const uint64_t before = WindowSystem::Instance().WakeCount();
            std::this_thread::sleep_for(kMeasure);
            wakes = WindowSystem::Instance().WakeCount() - before;
            WindowSystem::PostQuitMessage(0);
        });
        RunLoop();
        watcher.join();
        state.counters["wakeups_per_s"] =
            static_cast<double>(wakes.load()) / std::chrono::duration<double>(kMeasure).count();
    }
}
BENCHMARK(BM_IdleWakeups)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
