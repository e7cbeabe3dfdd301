#include "tests/macros/software_keys_fixture.h"

#include <algorithm>
#include <sstream>
#include <thread>

#include "core/folders.h"

Report KeyboardReport(std::initializer_list<unsigned> usages)
{
    Report report{};
    report[0] = 5;
    report[1] = 1;
    for (unsigned usage : usages)
        report[3 + usage / 8] |= static_cast<uint8_t>(1u << (usage % 8));
    return report;
}

Report MouseReport(uint8_t buttons)
{
    Report report{};
    report[0] = 5;
    report[1] = 2;
    report[2] = buttons;
    return report;
}

Report ConsumerReport(unsigned usage)
{
    Report report{};
    report[0] = 5;
    report[1] = 3;
    report[2] = static_cast<uint8_t>(usage & 0xFF);
    report[3] = static_cast<uint8_t>(usage >> 8);
    return report;
}

Report FourthReport()
{
    Report report{};
    report[0] = 5;
    report[1] = 4;
    return report;
}

Reports ReleaseAllReports()
{
    return {KeyboardReport({}), MouseReport(0), ConsumerReport(0), FourthReport()};
}

std::vector<unsigned> HeldUsages(const Report& report)
{
    std::vector<unsigned> usages;
    for (unsigned usage = 0; usage < 256; ++usage) {
        if ((report[3 + usage / 8] >> (usage % 8)) & 1)
            usages.push_back(usage);
    }
    return usages;
}

std::string Describe(const Report& report)
{
    std::ostringstream out;
    switch (report[1]) {
    case 1:
        out << "keys{";
        for (unsigned usage : HeldUsages(report))
            out << std::hex << "0x" << usage << " ";
        out << "}";
        break;
    case 2:
        out << "mouse " << int(report[2]);
        break;
    case 3:
        out << "consumer 0x" << std::hex << (report[2] | report[3] << 8);
        break;
    default:
        out << "report " << int(report[1]);
    }
    return out.str();
}

void ScriptedClock::At(std::chrono::milliseconds at, std::function<void()> action)
{
    std::lock_guard lock(m_lock);
    m_actions.push_back({at, std::move(action)});
}

void ScriptedClock::SleepFor(Duration duration)
{
    ManualMonotonicClock::SleepFor(duration);
    std::vector<std::function<void()>> due;
    {
        std::lock_guard lock(m_lock);
        const auto played = Played();
        for (auto it = m_actions.begin(); it != m_actions.end();) {
            if (it->at <= played) {
                due.push_back(std::move(it->action));
                it = m_actions.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (auto& action : due)
        action();
}

std::chrono::milliseconds ScriptedClock::Played() const
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(Elapsed());
}

SoftwareKeysTest::SoftwareKeysTest()
{
    const CString dataFolder = DataFolder(L"Torvik");
    CreateFolderTree(dataFolder + L"db");
    if (!m_database.OpenForDevice(dataFolder, L"Corvid Z5"))
        ADD_FAILURE() << "cannot open the profile database";
    m_keys = std::make_unique<SoftwareKeys>(SoftwareKeys::Backends{m_device, m_filter, m_database, m_clock},
                                            "Corvid Z5");
    m_keys->SetMacroQueue([this](int macroId) {
        std::lock_guard lock(m_queueLock);
        if (!m_queue.empty())
            return false;
        m_queue.push_back(macroId);
        return true;
    });
}

SoftwareKeysTest::~SoftwareKeysTest()
{
    m_keys.reset();
}

void SoftwareKeysTest::Assign(int keyCode, int macroType, int value, int profile)
{
    KeyAssignmentRow row;
    row.profile = profile;
    row.fn_layer = kLayer;
    row.key_code = keyCode;
    row.macro_type = macroType;
    row.macro_value = value;
    ASSERT_NE(m_database.SaveKeyAssignment(row), 0) << "key " << keyCode;
}

int SoftwareKeysTest::AddMacro(int playTimes, int loopType, const std::vector<RecordStep>& records)
{
    MacroRow macro;
    macro.name = L"Macro";
    macro.play_times = playTimes;
    macro.delay_type = 1;
    macro.loop_type = loopType;
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

void SoftwareKeysTest::Start()
{
    ASSERT_EQ(m_keys->StartVirtualDevice(nullptr), SoftwareKeyStatus::Active);
    Refresh();
    ClearSent();
}

std::vector<int> SoftwareKeysTest::ReportTimesMs() const
{
    const auto entries = m_device.Entries();
    std::vector<int> times;
    for (const auto& entry : entries) {
        times.push_back(static_cast<int>(
            std::chrono::duration_cast<std::chrono::milliseconds>(entry.time - entries.front().time)
                .count()));
    }
    return times;
}

bool SoftwareKeysTest::WaitForReports(size_t count) const
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (m_device.Reports().size() < count) {
        if (std::chrono::steady_clock::now() > deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
}
