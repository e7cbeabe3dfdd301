#include "tests/device/protocol_test_support.h"

#include <algorithm>
#include <thread>

#include "core/folders.h"

void PacingClock::SleepFor(Duration duration)
{
    ManualMonotonicClock::SleepFor(duration);
    if (yieldRealTime.load())
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    if (afterPause)
        afterPause(Elapsed());
}

std::ostream& operator<<(std::ostream& out, const TimelineStep& step)
{
    return out << "{" << step.report << ", +" << step.gapMs << " ms, x" << step.count << "}";
}

ProtocolTest::ProtocolTest()
{
    const CString dataFolder = DataFolder(L"Torvik");
    CreateFolderTree(dataFolder + L"db");
    if (!m_database.OpenForDevice(dataFolder, L"Corvid Z5"))
        ADD_FAILURE() << "cannot open the profile database";
}

SimulatedKeyboard& ProtocolTest::Connect(const SimulatedModel& model, int mode)
{
    m_keyboard = &m_sim.AddKeyboard(model);
    for (const SimulatedMode& each : model.modes)
        m_manager.AddKnownDevice(model.vendorId, each.productId, L"", model.deviceType, each.connectionMode,
                                 L"");
    m_keyboard->Connect(mode);
    m_manager.CloseAll();
    m_manager.Refresh();
    m_manager.SetOpened(1);
    m_manager.SelectDeviceType(model.deviceType);
    return *m_keyboard;
}

void ProtocolTest::SwitchTo(int mode)
{
    m_keyboard->SwitchTo(mode);
    m_manager.CloseAll();
    m_manager.Refresh();
    m_manager.SetOpened(1);
}

int ProtocolTest::AddMacro(int playTimes, const std::vector<RecordStep>& records)
{
    MacroRow macro;
    macro.name = L"Macro";
    macro.play_times = playTimes;
    macro.delay_type = 1;
    const int id = m_database.InsertMacro(macro);
    MacroRecordList rows;
    for (size_t i = 0; i < records.size(); ++i) {
        auto row = std::make_unique<MacroRecordRow>();
        row->macro_id = id;
        row->type = records[i].type;
        row->record_index = static_cast<int>(i);
        row->value = records[i].virtualKey;
        row->delay_time = records[i].delayMs;
        rows.push_back(std::move(row));
    }
    m_database.AddMacroRecords(std::move(rows));
    return id;
}

void ProtocolTest::Assign(int keyCode, int macroType, int value)
{
    KeyAssignmentRow row;
    row.profile = kProfile;
    row.fn_layer = kLayer;
    row.key_code = keyCode;
    row.macro_type = macroType;
    row.macro_value = value;
    ASSERT_NE(m_database.SaveKeyAssignment(row), 0) << "key " << keyCode;
}

void ProtocolTest::AddLight(const LightRow& row)
{
    LightRow stored = row;
    stored.profile = kLightingProfile;
    ASSERT_NE(m_database.AddLight(stored), 0);
}

void ProtocolTest::AddKeyLights(std::initializer_list<std::pair<int, COLORREF>> colours, int lightSet)
{
    KeyLightList rows;
    for (const auto& [keyCode, colour] : colours) {
        auto row = std::make_unique<KeyLightRow>();
        row->profile = kProfile;
        row->light_id = lightSet;
        row->key_code = keyCode;
        row->key_rgb = static_cast<int>(colour);
        rows.push_back(std::move(row));
    }
    m_database.AddKeyLights(std::move(rows));
}

std::vector<TimelineStep> ProtocolTest::Timeline(MonotonicClock::TimePoint start) const
{
    std::vector<TimelineStep> steps;
    MonotonicClock::TimePoint previous = start;
    for (const SimLogEntry& entry : m_keyboard->Log()) {
        if (entry.time < start)
            continue;
        const int gap = static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(entry.time - previous).count());
        previous = entry.time;
        if (!steps.empty() && steps.back().report == entry.report && steps.back().gapMs == gap)
            ++steps.back().count;
        else
            steps.push_back({entry.report, gap, 1});
    }
    return steps;
}

Reports ProtocolTest::Sent(SimReport report) const
{
    Reports bytes;
    for (const SimLogEntry& entry : m_keyboard->Reports(report))
        bytes.push_back(entry.bytes);
    return bytes;
}

int ProtocolTest::Count(SimReport report, SimOutcome outcome) const
{
    const std::vector<SimLogEntry> entries = m_keyboard->Reports(report);
    return static_cast<int>(
        std::count_if(entries.begin(), entries.end(),
                      [outcome](const SimLogEntry& entry) { return entry.outcome == outcome; }));
}

std::vector<uint8_t> Report(std::initializer_list<uint8_t> bytes, size_t length)
{
    std::vector<uint8_t> report(length, 0);
    std::copy_n(bytes.begin(), std::min(bytes.size(), length), report.begin());
    return report;
}

std::vector<uint8_t> Feature(std::initializer_list<uint8_t> bytes)
{
    return Report(bytes, HidDeviceManager::kFeatureReportLength);
}

std::vector<uint8_t> Output(std::initializer_list<uint8_t> bytes)
{
    return Report(bytes, HidDeviceManager::kOutputReportLength);
}
