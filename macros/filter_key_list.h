#pragma once
// The records exchanged with the key filter: the list of watched keys and the key event.

#include <array>
#include <cstddef>
#include <cstdint>

#include "platform/key_filter_device.h"
#include "store/profile_rows.h"

constexpr size_t kFilterListEntries = 256;
constexpr size_t kFilterListLength = 4 * kFilterListEntries;
// A list of this many zero bytes clears the watched keys.
constexpr size_t kFilterClearLength = 256;

using FilterKeyList = std::array<uint8_t, kFilterListLength>;

// Entry i is (key code of row i, little-endian; 7; 0x02) for the first 256 rows; the rest stays zero.
FilterKeyList BuildFilterKeyList(const KeyAssignmentList& rows);

struct FilterKeyEvent {
    unsigned keyCode = 0;
    uint8_t passedOn = 0; // byte 2, handed to the proxies as it came
    bool pressed = false;
};

FilterKeyEvent DecodeKeyEvent(const KeyFilterDevice::KeyEventRecord& record);
