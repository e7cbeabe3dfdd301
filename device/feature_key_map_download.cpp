#include "device/feature_key_map_download.h"

#include <array>

#include "device/macro_images.h"
#include "device/protocol_encoding.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kSlotPause = 16ms;
constexpr uint8_t kSlotTableCommand = 0xFB;
constexpr uint8_t kRemapCommand = 0xFA;

bool IsMacroType(int macroType)
{
    return macroType == kAssignmentMacro || macroType == kAssignmentShortcut;
}

} // namespace

void FeatureKeyMapDownload::Run(int profile, int fnLayer)
{
    std::array<uint8_t, HidDeviceManager::kSlotTableLength> table{HidDeviceManager::kFeatureReportId,
                                                                  kSlotTableCommand, 0x01};
    m_link.manager.ReadSlotTable(table);

    for (int slot = 1; slot <= kMacroSlots; ++slot) {
        if (!m_link.Ready())
            return;
        if (table[slot] == 0)
            continue;
        m_link.Pause(kSlotPause);
        WriteMacroSlot(table[slot], slot, kAssignmentNone, 0);
    }
    for (int slot = 1; slot <= kRemapSlots; ++slot) {
        if (!m_link.Ready())
            return;
        if (table[kMacroSlots + slot] == 0)
            continue;
        m_link.Pause(kSlotPause);
        WriteRemapSlot(profile, fnLayer, 0, slot);
    }

    KeyAssignmentList rows;
    m_link.database.ListKeyAssignments(profile, fnLayer, rows);
    int macroSlot = 1;
    int remapSlot = 1;
    for (const auto& row : rows) {
        if (!m_link.Ready())
            return;
        if (row->macro_type == kAssignmentNone)
            continue;
        if (IsMacroType(row->macro_type)) {
            if (macroSlot > kMacroSlots)
                continue;
            m_link.Pause(kSlotPause);
            WriteMacroSlot(row->key_code, macroSlot++, row->macro_type, row->macro_value);
        } else {
            if (remapSlot > kRemapSlots)
                continue;
            m_link.Pause(kSlotPause);
            WriteRemapSlot(profile, fnLayer, row->key_code, remapSlot++);
        }
    }
}

void FeatureKeyMapDownload::WriteMacroSlot(int key, int slot, int macroType, int value)
{
    MacroImage image = BuildMacroImage(slot, 0, 0, {});
    if (macroType == kAssignmentShortcut) {
        image = BuildShortcutImage(slot, key, value);
    } else if (macroType == kAssignmentMacro) {
        MacroRow macro;
        const bool found = m_link.database.GetMacro(value, macro);
        MacroRecordList records;
        m_link.database.ListMacroRecords(value, records);
        image = BuildMacroImage(slot, found ? key : 0, found ? macro.play_times : 0, MacroEventsOf(records));
    }
    for (const FeatureReport& report : MacroSlotReports(image)) {
        if (!m_link.Ready())
            return;
        m_link.Pause(kSlotPause);
        m_link.manager.SendFeature(report);
    }
}

void FeatureKeyMapDownload::WriteRemapSlot(int profile, int fnLayer, int key, int slot)
{
    KeyAssignmentRow row;
    m_link.database.GetKeyAssignment(profile, fnLayer, key, row);
    if (row.macro_value > 0 && (row.macro_type == kAssignmentNone || IsMacroType(row.macro_type)))
        return;
    const bool assigned = row.macro_value > 0;
    const FeatureReport report = MakeFeatureReport({HidDeviceManager::kFeatureReportId, kRemapCommand, 0x01,
                                                    LowByte(slot), assigned ? LowByte(key) : uint8_t{0}, 0x01,
                                                    assigned ? LowByte(row.macro_value) : uint8_t{0}, 0x01});
    if (m_link.Ready()) {
        m_link.Pause(kSlotPause);
        m_link.manager.SendFeature(report);
    }
}
