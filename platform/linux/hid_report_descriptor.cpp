#include "platform/linux/hid_report_descriptor.h"

#include <algorithm>
#include <map>
#include <vector>

namespace {

// Item types and tags of short items (HID 1.11, 6.2.2).
constexpr int kMainItem = 0;
constexpr int kGlobalItem = 1;
constexpr int kOutputTag = 0x9;
constexpr int kReportSizeTag = 0x7;
constexpr int kReportIdTag = 0x8;
constexpr int kReportCountTag = 0x9;
constexpr int kPushTag = 0xA;
constexpr int kPopTag = 0xB;
constexpr uint8_t kLongItemPrefix = 0xFE;
// hidraw carries no longer report (the kernel's HID_MAX_BUFFER_SIZE).
constexpr uint64_t kHidrawMaxReportLength = 16384;

struct Globals {
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint32_t reportId = 0;
};

} // namespace

size_t OutputReportByteLength(std::span<const uint8_t> descriptor)
{
    Globals globals;
    std::vector<Globals> stack;
    std::map<uint32_t, uint64_t> outputBits; // by report id

    size_t at = 0;
    while (at < descriptor.size()) {
        const uint8_t prefix = descriptor[at];
        if (prefix == kLongItemPrefix) {
            if (at + 1 >= descriptor.size())
                break;
            at += 3 + descriptor[at + 1];
            continue;
        }
        const size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
        if (at + 1 + size > descriptor.size())
            break;
        uint32_t data = 0;
        for (size_t i = 0; i < size; ++i)
            data |= static_cast<uint32_t>(descriptor[at + 1 + i]) << (8 * i);
        const int type = (prefix >> 2) & 3;
        const int tag = prefix >> 4;
        at += 1 + size;

        if (type == kMainItem && tag == kOutputTag) {
            outputBits[globals.reportId] += static_cast<uint64_t>(globals.reportSize) * globals.reportCount;
        } else if (type == kGlobalItem) {
            switch (tag) {
            case kReportSizeTag:
                globals.reportSize = data;
                break;
            case kReportIdTag:
                globals.reportId = data;
                break;
            case kReportCountTag:
                globals.reportCount = data;
                break;
            case kPushTag:
                stack.push_back(globals);
                break;
            case kPopTag:
                if (!stack.empty()) {
                    globals = stack.back();
                    stack.pop_back();
                }
                break;
            default:
                break;
            }
        }
    }

    uint64_t longest = 0;
    for (const auto& [id, bits] : outputBits)
        longest = std::max(longest, (bits + 7) / 8);
    if (longest == 0 || longest >= kHidrawMaxReportLength)
        return 0;
    return static_cast<size_t>(longest) + 1;
}
