// Device jobs against the keyboard simulator on the real clock: how much longer a job takes than the
// pauses the protocol itself asks for (its own and those of the HID manager's primitives). The counter
// "ratio" is wall time / pauses; target <= 1.03, read from the medians. Each job's keyboard starts fresh
// in every iteration.
//
//   KeyMapDownloadFeature  key map download: 13 macros and 10 remaps to a feature-report keyboard
//   KeyMapDownloadOutput   key map download: the same profile to an output-report keyboard
//   KeyColours             per-key colours: 104 per-key colours

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "core/folders.h"
#include "device/command_protocol.h"
#include "platform/linux/steady_monotonic_clock.h"
#include "sim/keyboard_simulator.h"

namespace {

using Clock = std::chrono::steady_clock;

using namespace std::chrono_literals;

// The pauses each job asks for, its own and those of the HID manager's primitives.
constexpr int kMacros = 13;
constexpr int kRemaps = 10;
constexpr int kMacroPackets = 2; // 20 events: L = 63
// Slot table reads 4 x 16; per macro slot 16 + 28 x 16; per remap slot 16 + 16.
constexpr auto kKeyMapDownloadFeaturePauses =
    4 * 16ms + kMacros * (16ms + 28 * 16ms) + kRemaps * (16ms + 16ms);
// Per macro 10 + 100 per packet; 20 before the key map and 10 before each of its 4 packets.
constexpr auto kKeyMapDownloadOutputPauses = kMacros * (10ms + kMacroPackets * 100ms) + 20ms + 4 * 10ms;
// 1 before each of 8 packets.
constexpr auto kKeyColoursPauses = 8 * 1ms;

// A keyboard on its own simulator and manager, a profile database in a temporary data folder, and the
// protocol over them.
class Rig {
public:
    explicit Rig(const SimulatedModel& model) : m_keyboard(m_sim.AddKeyboard(model))
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "torvik-bench-XXXXXX").string();
        if (!::mkdtemp(pattern.data()))
            std::abort();
        m_folder = pattern;
        const CString dataFolder = Utf8ToWide(pattern) + L"/";
        CreateFolderTree(dataFolder + L"db");
        if (!m_database.OpenForDevice(dataFolder, L"Bench"))
            std::abort();

        for (const SimulatedMode& mode : model.modes)
            m_manager.AddKnownDevice(model.vendorId, mode.productId, L"", model.deviceType,
                                     mode.connectionMode, L"");
        m_keyboard.Connect(0);
        m_manager.Refresh();
        m_manager.SetOpened(1);
        m_manager.SelectDeviceType(model.deviceType);
    }
    ~Rig()
    {
        m_database.Close();
        std::filesystem::remove_all(m_folder);
    }

    // 13 keys with a macro of 20 events each, then 10 keys on other keys.
    void AddProfile()
    {
        for (int i = 0; i < 13; ++i) {
            MacroRow macro{.name = L"Macro", .play_times = 1, .delay_type = 1};
            const int id = m_database.InsertMacro(macro);
            MacroRecordList records;
            for (int r = 0; r < 20; ++r)
                records.push_back(std::make_unique<MacroRecordRow>(MacroRecordRow{.macro_id = id,
                                                                                  .type = 2 + r % 2,
                                                                                  .record_index = r,
                                                                                  .value = 65 + r / 2,
                                                                                  .delay_time = 30}));
            m_database.AddMacroRecords(std::move(records));
            m_database.SaveKeyAssignment(
                {.profile = 1, .key_code = 0x04 + i, .macro_type = 3, .macro_value = id});
        }
        for (int i = 0; i < 10; ++i)
            m_database.SaveKeyAssignment(
                {.profile = 1, .key_code = 0x1E + i, .macro_type = 2, .macro_value = 0x04});
    }

    void AddKeyLights(int count)
    {
        KeyLightList rows;
        for (int key = 0; key < count; ++key)
            rows.push_back(std::make_unique<KeyLightRow>(KeyLightRow{
                .profile = 1, .light_id = kCustomLightSet, .key_code = key, .key_rgb = 0x00336699}));
        m_database.AddKeyLights(std::move(rows));
    }

    KeyIndexMap IndexMap(int count) const
    {
        KeyIndexMap map;
        for (int key = 0; key < count; ++key)
            map[key] = key;
        return map;
    }

    // Runs `job` once per iteration on a fresh keyboard; reports wall time / pauses.
    template <typename Job> void Measure(benchmark::State& state, std::chrono::milliseconds pauses, Job job)
    {
        Clock::duration wall{};
        for (auto _ : state) {
            m_keyboard.LoadState(FirmwareState{});
            m_keyboard.ClearLog();
            const Clock::time_point start = Clock::now();
            job(m_protocol);
            const Clock::duration elapsed = Clock::now() - start;
            state.SetIterationTime(std::chrono::duration<double>(elapsed).count());
            wall += elapsed;
        }
        state.counters["pauses_ms"] = static_cast<double>(pauses.count());
        state.counters["ratio"] =
            std::chrono::duration<double>(wall).count() /
            (std::chrono::duration<double>(pauses).count() * static_cast<double>(state.iterations()));
    }

private:
    std::filesystem::path m_folder;
    ProfileDatabase m_database;
    SteadyMonotonicClock& m_clock = SteadyMonotonicClock::Shared();
    KeyboardSimulator m_sim{m_clock};
    HidDeviceManager m_manager{m_sim, m_clock};
    CommandProtocol m_protocol{m_manager, m_database, m_clock};
    SimulatedKeyboard& m_keyboard;
};

void KeyMapDownloadFeature(benchmark::State& state)
{
    Rig rig(SimulatedModel::FeatureKeyboard());
    rig.AddProfile();
    rig.Measure(state, kKeyMapDownloadFeaturePauses,
                [](CommandProtocol& protocol) { protocol.DownloadFeatureKeyMap(1, 0); });
}
BENCHMARK(KeyMapDownloadFeature)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5);

void KeyMapDownloadOutput(benchmark::State& state)
{
    Rig rig(SimulatedModel::OutputKeyboard());
    rig.AddProfile();
    const KeyIndexMap map = rig.IndexMap(110);
    rig.Measure(state, kKeyMapDownloadOutputPauses,
                [&](CommandProtocol& protocol) { protocol.DownloadOutputKeyMap(1, 0, map); });
}
BENCHMARK(KeyMapDownloadOutput)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(5);

void KeyColours(benchmark::State& state)
{
    Rig rig(SimulatedModel::OutputKeyboard());
    rig.AddKeyLights(104);
    const KeyIndexMap map = rig.IndexMap(104);
    rig.Measure(state, kKeyColoursPauses, [&](CommandProtocol& protocol) { protocol.SendKeyColours(map); });
}
BENCHMARK(KeyColours)
    ->Unit(benchmark::kMillisecond)
    ->UseManualTime()
    ->Iterations(1)
    ->Repetitions(200)
    ->ReportAggregatesOnly();

} // namespace

BENCHMARK_MAIN();
