#include "device/key_buffers.h"

#include <algorithm>

namespace {

constexpr size_t kKeyColourEntryBytes = 4;
constexpr size_t kKeyMapEntryBytes = 2;
constexpr size_t kStreamEntryBytes = 3;

constexpr uint8_t kKeyMapKey = 0x20;
constexpr uint8_t kKeyMapMacro = 0x40;

// Red, green and blue of a 0x00BBGGRR value.
void PutColour(uint8_t* entry, COLORREF colour)
{
    entry[0] = GetRValue(colour);
    entry[1] = GetGValue(colour);
    entry[2] = GetBValue(colour);
}

} // namespace

std::optional<size_t> KeyPosition(const KeyIndexMap& indexByCode, int keyCode, size_t entries)
{
    if (indexByCode.empty())
        return 0;
    const auto found = indexByCode.find(keyCode);
    if (found == indexByCode.end() || found->second < 0 || static_cast<size_t>(found->second) >= entries)
        return std::nullopt;
    return static_cast<size_t>(found->second);
}

std::vector<uint8_t> KeyColourBuffer(const KeyLightList& rows, const KeyIndexMap& indexByCode)
{
    std::vector<uint8_t> buffer(kKeyColourEntries * kKeyColourEntryBytes, 0);
    for (const auto& row : rows) {
        if (const auto index = KeyPosition(indexByCode, row->key_code, kKeyColourEntries)) {
            uint8_t* entry = &buffer[*index * kKeyColourEntryBytes];
            PutColour(entry, static_cast<COLORREF>(row->key_rgb));
            entry[3] = 0xFF;
        }
    }
    return buffer;
}

std::vector<uint8_t> StreamBuffer(std::span<const KeyColour> keys, const KeyIndexMap& indexByCode)
{
    std::vector<uint8_t> buffer(kStreamEntries * kStreamEntryBytes, 0);
    for (const KeyColour& key : keys) {
        if (const auto index = KeyPosition(indexByCode, key.keyCode, kStreamEntries))
            PutColour(&buffer[*index * kStreamEntryBytes], key.colour);
    }
    return buffer;
}

std::vector<uint8_t> KeyMapBuffer(const KeyAssignmentList& rows, const KeyIndexMap& indexByCode,
                                  const KeySlotTable& slots)
{
    std::vector<uint8_t> buffer(kKeyMapEntries * kKeyMapEntryBytes, 0);
    for (const auto& row : rows) {
        const auto index = KeyPosition(indexByCode, row->key_code, kKeyMapEntries);
        if (!index)
            continue;
        uint8_t* entry = &buffer[*index * kKeyMapEntryBytes];
        switch (row->macro_type) {
        case kAssignmentKey:
            entry[0] = LowByte(row->macro_value);
            entry[1] = kKeyMapKey;
            break;
        case kAssignmentDisabled:
            entry[0] = 0x00;
            entry[1] = kKeyMapKey;
            break;
        case kAssignmentMacro:
        case kAssignmentShortcut:
            if (const auto slot = slots.find(row->key_code); slot != slots.end()) {
                entry[0] = LowByte(slot->second);
                entry[1] = kKeyMapMacro;
            }
            break;
        default:
            break;
        }
    }
    return buffer;
}

OutputReport BufferPacket(uint8_t command, std::span<const uint8_t> buffer, size_t k, uint8_t length)
{
    const size_t offset = kBufferPacketData * k;
    OutputReport report = MakeOutputReport(
        {0x00, command, length, LowByte(static_cast<int>(offset)), LowByte(static_cast<int>(offset >> 8))});
    if (offset < buffer.size()) {
        const size_t count = std::min(kBufferPacketData, buffer.size() - offset);
        std::copy_n(buffer.begin() + offset, count, report.begin() + 5);
    }
    return report;
}
