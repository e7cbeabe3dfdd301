#include "device/output_key_map_download.h"

#include "device/macro_images.h"
#include "device/protocol_encoding.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kBeforeMacro = 10ms;
constexpr auto kBeforeMacroPacket = 100ms;
constexpr auto kBeforeKeyMap = 20ms;
constexpr auto kBeforeKeyMapPacket = 10ms;
constexpr uint8_t kKeyMapCommand = 0x8D;
constexpr uint8_t kKeyMapLengths[] = {60, 60, 60, 40};

} // namespace

void OutputKeyMapDownload::Run(int profile, int fnLayer, const KeyIndexMap& keyIndexByCode)
{
    KeyAssignmentList rows;
    m_link.database.ListKeyAssignments(profile, fnLayer, rows);
    UploadMacros(rows);

    m_link.Pause(kBeforeKeyMap);
    const std::vector<uint8_t> keyMap = KeyMapBuffer(rows, keyIndexByCode, m_link.state.KeySlots());
    for (size_t k = 0; k < std::size(kKeyMapLengths); ++k) {
        if (!m_link.Ready())
            return;
        m_link.Pause(kBeforeKeyMapPacket);
        m_link.manager.WriteReport(BufferPacket(kKeyMapCommand, keyMap, k, kKeyMapLengths[k]));
    }
}

bool OutputKeyMapDownload::UploadMacros(const KeyAssignmentList& rows)
{
    KeySlotTable slots;
    int slot = 0;
    bool complete = true;

    for (const auto& row : rows) {
        if (row->macro_type != kAssignmentMacro || slot > kLastSlot)
            continue;
        int playTimes = 1;
        m_link.database.GetMacroPlayTimes(row->macro_value, playTimes);
        MacroRecordList records;
        m_link.database.ListMacroRecords(row->macro_value, records);
        const OutputMacroImage image = BuildOutputMacroImage(playTimes, records);

        m_link.Pause(kBeforeMacro);
        for (const OutputReport& packet : MacroDataReports(image, slot)) {
            m_link.Pause(kBeforeMacroPacket);
            if (!m_link.manager.WriteReport(packet)) {
                complete = false;
                break;
            }
        }
        if (!complete)
            break;
        slots[row->key_code] = slot++;
    }

    if (complete) {
        for (const auto& row : rows) {
            if (!m_link.Ready())
                break;
            if (row->macro_type != kAssignmentShortcut || slot > kLastSlot)
                continue;
            m_link.Pause(kBeforeMacro);
            m_link.manager.WriteReport(ShortcutDataReport(row->macro_value, slot));
            slots[row->key_code] = slot++;
        }
    }

    m_link.state.ReplaceKeySlots(std::move(slots));
    return complete;
}
