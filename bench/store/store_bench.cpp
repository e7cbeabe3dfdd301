// Record operations on a real database file in a temporary folder. Each benchmark reports the median of
// ten repetitions. Targets: 150 per-key colour rows <= 2 ms, one key assignment <= 0.1 ms.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/folders.h"
#include "store/profile_database.h"

namespace {

constexpr int kRepetitions = 10;

// A fresh data folder with its db folder, and the database opened in it; removed afterwards.
class BenchDatabase {
public:
    BenchDatabase()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvik-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        const CString dataFolder = Utf8ToWide(pattern) + L"/";
        CreateFolderTree(dataFolder + L"db");
        if (!m_database.OpenForDevice(dataFolder, L"Bench"))
            std::abort();
    }
    ~BenchDatabase()
    {
        m_database.Close();
        std::filesystem::remove_all(m_folder);
    }

    ProfileDatabase& operator*() { return m_database; }
    ProfileDatabase* operator->() { return &m_database; }

private:
    std::filesystem::path m_folder;
    ProfileDatabase m_database;
};

void AddKeyLights150(benchmark::State& state)
{
    BenchDatabase database;
    for (auto _ : state) {
        state.PauseTiming();
        // As the lighting page saves a set: the old rows go first.
        database->DeleteKeyLights(128);
        KeyLightList rows;
        for (int key = 0; key < 150; ++key)
            rows.push_back(std::make_unique<KeyLightRow>(
                KeyLightRow{.profile = 1, .light_id = 128, .key_code = key, .key_rgb = 0x00FF00FF}));
        state.ResumeTiming();
        benchmark::DoNotOptimize(database->AddKeyLights(std::move(rows)));
    }
}
BENCHMARK(AddKeyLights150)->Unit(benchmark::kMillisecond)->Repetitions(kRepetitions)->ReportAggregatesOnly();

void SaveKeyAssignment(benchmark::State& state)
{
    BenchDatabase database;
    for (int key = 4; key < 104; ++key)
        database->SaveKeyAssignment({.profile = 1, .key_code = key, .macro_type = 2, .macro_value = key});
    int key = 4;
    for (auto _ : state) {
        benchmark::DoNotOptimize(database->SaveKeyAssignment(
            {.profile = 1, .key_code = key, .macro_type = 2, .macro_value = 5, .macro_desc = L"A"}));
        key = key == 103 ? 4 : key + 1;
    }
}
BENCHMARK(SaveKeyAssignment)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly();

void ListKeyAssignments100(benchmark::State& state)
{
    BenchDatabase database;
    for (int key = 4; key < 104; ++key)
        database->SaveKeyAssignment(
            {.profile = 1, .key_code = key, .macro_type = 2, .macro_value = key, .macro_desc = L"Key"});
    KeyAssignmentList list;
    for (auto _ : state)
        benchmark::DoNotOptimize(database->ListKeyAssignments(1, 0, list));
}
BENCHMARK(ListKeyAssignments100)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly();

void ListMacroRecords1000(benchmark::State& state)
{
    BenchDatabase database;
    const int macro = database->AddMacro(L"Macro 1");
    MacroRecordList records;
    for (int i = 0; i < 1000; ++i)
        records.push_back(std::make_unique<MacroRecordRow>(MacroRecordRow{.macro_id = macro,
                                                                          .type = 2 + i % 2,
                                                                          .record_index = 999 - i,
                                                                          .value = 0x41,
                                                                          .delay_time = 10,
                                                                          .desc = L"A"}));
    database->AddMacroRecords(std::move(records));
    MacroRecordList list;
    for (auto _ : state)
        benchmark::DoNotOptimize(database->ListMacroRecords(macro, list));
}
BENCHMARK(ListMacroRecords1000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(kRepetitions)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
