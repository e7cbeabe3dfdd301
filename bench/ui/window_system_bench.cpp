// The UI thread's queue: how long a post from another thread takes to be dispatched while the UI thread
// waits, and how often an idle program with one window wakes up, without timers and with the window's
// 10 ms animation tick on while nothing animates. Uses the X11 backend when a display can be opened
// (run under Xvfb otherwise), else the headless one.

#include <algorithm>
#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

#include "ui/framework/backend/headless/headless_backend.h"
#include "ui/framework/backend/x11/x11_backend.h"
#include "ui/framework/m_control.h"
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

// Context switches of every thread of the process but the calling one: how often any of them woke.
uint64_t OtherThreadsSwitches()
{
    const std::string self = std::to_string(gettid());
    uint64_t total = 0;
    for (const auto& task : std::filesystem::directory_iterator("/proc/self/task")) {
        if (task.path().filename() == self)
            continue;
        std::ifstream status(task.path() / "status");
        std::string line;
        while (std::getline(status, line)) {
            for (const char* key : {"voluntary_ctxt_switches:", "nonvoluntary_ctxt_switches:"}) {
                if (line.rfind(key, 0) == 0)
                    total += std::stoull(line.substr(std::string(key).size()));
            }
        }
    }
    return total;
}

// A control that would animate, were its run-timer flag set.
class StillControl : public MControl {
public:
    StillControl(MObject* parent, unsigned id, CRect rect) : MControl(parent, id, rect, 1, 1, 1) {}
    void DrawControl(HDC&, CRect) override {}
};

// Runs the loop on a shown dialog: after it has settled, how often the loop and the process's other
// threads (the timer thread among them) wake.
void MeasureIdle(benchmark::State& state, bool animationTick)
{
    state.SetLabel(InstallBackend());
    for (auto _ : state) {
        MDialog dialog;
        dialog.Create(nullptr, L"idle", WS_POPUP | WS_VISIBLE, 0, CRect(50, 50, 450, 350));
        if (animationTick) {
            // The main window's set-up: the tick on, joined by controls that do not animate now.
            dialog.SetMTimer(10);
            auto* still = dialog.GetPaintManager().AddControl(
                std::make_unique<StillControl>(&dialog, 1, CRect(10, 10, 60, 60)));
            still->AddMTimer();
            auto* hidden = dialog.GetPaintManager().AddControl(
                std::make_unique<StillControl>(&dialog, 2, CRect(70, 10, 120, 60)));
            hidden->SetVisible(0);
            hidden->SetRunTimer(1);
            hidden->AddMTimer();
        }
        constexpr auto kSettle = std::chrono::milliseconds(500);
        constexpr auto kMeasure = std::chrono::seconds(3);
        std::atomic<uint64_t> wakes{0};
        std::atomic<uint64_t> switches{0};
        std::thread watcher([&wakes, &switches, kSettle, kMeasure] {
            std::this_thread::sleep_for(kSettle);
            const uint64_t before = WindowSystem::Instance().WakeCount();
            const uint64_t switchesBefore = OtherThreadsSwitches();
            std::this_thread::sleep_for(kMeasure);
            wakes = WindowSystem::Instance().WakeCount() - before;
            switches = OtherThreadsSwitches() - switchesBefore;
            WindowSystem::PostQuitMessage(0);
        });
        RunLoop();
        watcher.join();
        const double seconds = std::chrono::duration<double>(kMeasure).count();
        state.counters["wakeups_per_s"] = static_cast<double>(wakes.load()) / seconds;
        state.counters["thread_wakeups_per_s"] = static_cast<double>(switches.load()) / seconds;
    }
}

// One shown window, no timers: after it has settled the loop should not wake at all.
void BM_IdleWakeups(benchmark::State& state)
{
    MeasureIdle(state, false);
}
BENCHMARK(BM_IdleWakeups)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// The same with the 10 ms animation tick on and nothing animated: the target is no wake-up either.
void BM_IdleWakeupsWithAnimationTick(benchmark::State& state)
{
    MeasureIdle(state, true);
}
BENCHMARK(BM_IdleWakeupsWithAnimationTick)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

BENCHMARK_MAIN();
