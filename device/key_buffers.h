#pragma once
// The per-key buffers the keyboard takes in 60-byte packets (command, length, offset low, offset high,
// then 60 buffer bytes), one entry per key position index of the layout:
//
//   0x8B per-key colours  150 entries of 4 bytes: red, green, blue, 0xFF   8 packets, 440 bytes counted
//   0x8D key map          180 entries of 2 bytes (see KeyMapBuffer)         4 packets, 220 bytes counted
//   0xF1 colour stream    200 entries of 3 bytes: red, green, blue          6 packets, 330 bytes counted
//
// The packets' length bytes count 110 keys of each buffer; that is what the keyboard takes.
//
// A key's entry is found through the layout's key-code-to-index map. With an empty map every key is at
// index 0 (the last one written wins); with a map, a key code it does not list, or an index outside the
// buffer, gives the key no entry.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <vector>

#include "core/color.h"
#include "device/protocol_encoding.h"
#include "store/profile_rows.h"

using KeyIndexMap = std::map<int, int>;
// Key code -> macro slot that the last macro upload gave the key (output-report family).
using KeySlotTable = std::map<int, int>;

constexpr size_t kKeyColourEntries = 150;
constexpr size_t kKeyMapEntries = 180;
constexpr size_t kStreamEntries = 200;
constexpr size_t kBufferPacketData = 60;

// The entry of `keyCode` in a buffer of `entries`, or nullopt (see above).
std::optional<size_t> KeyPosition(const KeyIndexMap& indexByCode, int keyCode, size_t entries);

// One key's colour as the keyboard view shows it.
struct KeyColour {
    int keyCode = 0;
    COLORREF colour = 0; // 0x00BBGGRR
};

// 600 bytes: each row's key_rgb as red, green, blue, then 0xFF.
std::vector<uint8_t> KeyColourBuffer(const KeyLightList& rows, const KeyIndexMap& indexByCode);
// 600 bytes: each key's colour as red, green, blue.
std::vector<uint8_t> StreamBuffer(std::span<const KeyColour> keys, const KeyIndexMap& indexByCode);
// 360 bytes, two per key by macro type: 2 (another key) macro_value's low byte, 0x20; 1 (disabled)
// 0x00, 0x20; 3 and 7 (macro, shortcut) the key's slot, 0x40, when the macro upload gave it one; other
// types and keys without a slot leave their entry 0, 0.
std::vector<uint8_t> KeyMapBuffer(const KeyAssignmentList& rows, const KeyIndexMap& indexByCode,
                                  const KeySlotTable& slots);

// Packet k of a buffer: command, length, offset 60k (low, high), buffer bytes 60k to 60k + 59 (0 past
// the end).
OutputReport BufferPacket(uint8_t command, std::span<const uint8_t> buffer, size_t k, uint8_t length);
