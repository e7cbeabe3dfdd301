// The macro record list taking 10 000 rows while it is shown (on an X display under Xvfb when there is
// one, else headless). A recording appends one row per key event and the window repaints in between, so
// the cost of a row must not grow with the rows before it.
//
// AppendWhileShown: the UI thread appends rows and lets the window paint after each one; reports the
// time per row (append + paint) over the first and the last thousand rows.
// AppendFromThread: another thread appends as fast as it can while the UI thread dispatches and paints;
// reports the time until every row is in and the list shows the last one.

#include <atomic>
#include <benchmark/benchmark.h>
#include <chrono>
#include <thread>

#include "bench/ui/paint_bench_support.h"
#include "ui/controls/m_scroll.h"
#include "ui/framework/m_dialog.h"
#include "ui/framework/m_panel.h"
#include "ui/keyboard/c_record_list.h"

namespace {

using SteadyTime = std::chrono::steady_clock;

class RecordDialog : public MDialog {
public:
    int InitUI(CRect client) override
    {
        auto* page = static_cast<MPanel*>(CreateControl(L"MTabLayout", 10, client, L"", 1));
        list = static_cast<CRecordList*>(
            page->CreateControl(L"CRecordList", 236, CRect(40, 200, 480, 200 + 10 * 41), L"", 1, 1));
        return 0;
    }
    CRecordList* list = nullptr;
};

double MsSince(SteadyTime::time_point start)
{
    return std::chrono::duration<double, std::milli>(SteadyTime::now() - start).count();
}

void AppendWhileShown(benchmark::State& state)
{
    paint_bench::Setup<RecordDialog> setup;
    state.SetLabel(setup.backend);
    const int rows = static_cast<int>(state.range(0));
    double firstThousand = 0;
    double lastThousand = 0;
    for (auto _ : state) {
        state.PauseTiming();
        setup.dialog.list->DeleteAllItems();
        paint_bench::Pump();
        state.ResumeTiming();
        auto block = SteadyTime::now();
        for (int i = 0; i < rows; ++i) {
            setup.dialog.list->UpdateDelayTime(35);
            setup.dialog.list->AddString(i % 2 ? L"Left Shift" : L"A", 2 + i % 2, i, 0);
            paint_bench::Pump();
            if (i == 999)
                firstThousand += MsSince(block);
            if (i == rows - 1001)
                block = SteadyTime::now();
        }
        lastThousand += MsSince(block);
    }
    const double n = static_cast<double>(state.iterations());
    state.counters["first_1000_us_per_row"] = firstThousand / n;
    state.counters["last_1000_us_per_row"] = lastThousand / n;
    state.SetItemsProcessed(state.iterations() * rows);
}

void AppendFromThread(benchmark::State& state)
{
    paint_bench::Setup<RecordDialog> setup;
    state.SetLabel(setup.backend);
    CRecordList* list = setup.dialog.list;
    const int rows = static_cast<int>(state.range(0));
    for (auto _ : state) {
        state.PauseTiming();
        list->DeleteAllItems();
        paint_bench::Pump();
        state.ResumeTiming();
        std::atomic<bool> done{false};
        std::thread recorder([&] {
            for (int i = 0; i < rows; ++i) {
                list->UpdateDelayTime(35);
                list->AddString(i % 2 ? L"Left Shift" : L"A", 2 + i % 2, i, 0);
            }
            done = true;
        });
        while (!done || list->GetLastVisible() != rows - 1) {
            paint_bench::Pump();
            std::this_thread::yield();
        }
        recorder.join();
    }
    state.SetItemsProcessed(state.iterations() * rows);
}

} // namespace

BENCHMARK(AppendWhileShown)->Arg(2000)->Arg(10000)->Unit(benchmark::kMillisecond)->Iterations(3);
BENCHMARK(AppendFromThread)->Arg(10000)->Arg(100000)->Unit(benchmark::kMillisecond)->Iterations(5);
BENCHMARK_MAIN();
