#include "macros/filter_key_list.h"

#include <algorithm>

FilterKeyList BuildFilterKeyList(const KeyAssignmentList& rows)
{
    FilterKeyList list{};
    const size_t count = std::min(rows.size(), kFilterListEntries);
    for (size_t i = 0; i < count; ++i) {
        const auto keyCode = static_cast<uint32_t>(rows[i]->key_code);
        list[4 * i] = static_cast<uint8_t>(keyCode & 0xFF);
        list[4 * i + 1] = static_cast<uint8_t>((keyCode >> 8) & 0xFF);
        list[4 * i + 2] = 7;
        list[4 * i + 3] = 0x02;
    }
    return list;
}

FilterKeyEvent DecodeKeyEvent(const KeyFilterDevice::KeyEventRecord& record)
{
    return FilterKeyEvent{static_cast<unsigned>(record[0] | record[1] << 8), record[2], (record[3] & 1) != 0};
}
