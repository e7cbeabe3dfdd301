// Software keys with real threads and the in-memory backends. Counters in microseconds:
//
//   FilterKeyToReport   a key event injected into the filter until the virtual keyboard has the
//                       report (the monitor thread wakes, looks the key up, sends): p50, p99, max.
//                       Target p99 <= 200 us.
//   MacroDelayError     a macro of 200 records with delays of 0-50 ms played on the real clock: how far
//                       each gap between two reports is from the delay asked for (at least 5 ms).
//                       Target p99 <= 1000 us.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "core/folders.h"
#include "macros/software_keys.h"
#include "platform/fake/memory_key_filter_device.h"
#include "platform/fake/memory_virtual_hid_device.h"
#include "platform/linux/steady_monotonic_clock.h"

namespace {

using Clock = std::chrono::steady_clock;

// A profile database in a temporary data folder, removed at the end.
class Database {
public:
    Database()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvik-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        const CString dataFolder = Utf8ToWide(pattern) + L"/";
        CreateFolderTree(dataFolder + L"db");
        if (!db.OpenForDevice(dataFolder, L"Bench"))
            std::abort();
    }
    ~Database()
    {
        db.Close();
        std::error_code error;
        std::filesystem::remove_all(m_folder, error);
    }

    ProfileDatabase db;

private:
    std::filesystem::path m_folder;
};

void ReportPercentiles(benchmark::State& state, std::vector<double> samples)
{
    if (samples.empty())
        return;
    std::sort(samples.begin(), samples.end());
    auto at = [&](double q) {
        return samples[std::min(samples.size() - 1, static_cast<size_t>(q * samples.size()))];
    };
    state.counters["p50_us"] = at(0.50);
    state.counters["p99_us"] = at(0.99);
    state.counters["max_us"] = samples.back();
}

void FilterKeyToReport(benchmark::State& state)
{
    Database database;
    MemoryVirtualHidDevice device;
    MemoryKeyFilterDevice filter;
    KeyAssignmentRow row;
    row.profile = 1;
    row.key_code = 4;
    row.macro_type = 2;
    row.macro_value = 5;
    database.db.SaveKeyAssignment(row);
    SoftwareKeys keys({device, filter, database.db, SteadyMonotonicClock::Shared()}, "Bench");
    keys.StartVirtualDevice(nullptr);
    keys.RefreshSoftwareKeys(1, 0);

    std::atomic<int64_t> arrived{0};
    std::atomic<int> reports{0};
    device.SetWriteObserver([&](const MemoryVirtualHidDevice::Report&) {
        arrived = Clock::now().time_since_epoch().count();
        ++reports;
    });
    std::vector<double> samples;
    bool pressed = true;
    for (auto _ : state) {
        const int before = reports;
        const auto sent = Clock::now();
        filter.InjectKey(4, pressed);
        while (reports == before)
            std::this_thread::yield();
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::duration(arrived.load()) -
                                                                    sent.time_since_epoch())
                              .count());
        pressed = !pressed;
        device.Clear();
    }
    keys.Exit();
    ReportPercentiles(state, std::move(samples));
}
BENCHMARK(FilterKeyToReport)->Iterations(20000)->UseRealTime()->Unit(benchmark::kMicrosecond);

void MacroDelayError(benchmark::State& state)
{
    Database database;
    MemoryVirtualHidDevice device(&SteadyMonotonicClock::Shared());
    MemoryKeyFilterDevice filter;
    SoftwareKeys keys({device, filter, database.db, SteadyMonotonicClock::Shared()}, "Bench");
    keys.StartVirtualDevice(nullptr);

    const int delays[] = {0, 1, 5, 7, 10, 20, 33, 50};
    MacroRow macro;
    macro.name = L"Bench";
    macro.play_times = 1;
    const int id = database.db.InsertMacro(macro);
    MacroRecordList records;
    std::vector<int> asked;
    for (int i = 0; i < 200; ++i) {
        auto record = std::make_unique<MacroRecordRow>();
        record->macro_id = id;
        record->type = i % 2 == 0 ? 2 : 3;
        record->record_index = i;
        record->value = 'A' + (i / 2) % 26;
        record->delay_time = delays[i % std::size(delays)];
        asked.push_back(std::max(record->delay_time, 5));
        records.push_back(std::move(record));
    }
    database.db.AddMacroRecords(std::move(records));

    std::vector<double> samples;
    for (auto _ : state) {
        device.Clear();
        keys.PlayMacro(id);
        // The release of everything opens the macro (4 reports); then one report per record.
        const auto entries = device.Entries();
        for (size_t i = 0; i + 1 < asked.size(); ++i) {
            const auto gap = entries[4 + i + 1].time - entries[4 + i].time;
            samples.push_back(
                std::abs(std::chrono::duration<double, std::micro>(gap).count() - 1000.0 * asked[i]));
        }
    }
    keys.Exit();
    ReportPercentiles(state, std::move(samples));
}
BENCHMARK(MacroDelayError)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
