#include "platform/linux/hid_report_descriptor.h"

#include <algorithm>
#include <map>
#include <optional>
#include <vector>

namespace {

// Item types and tags of short items (HID 1.11, 6.2.2).
constexpr int kMainItem = 0;
constexpr int kGlobalItem = 1;
constexpr int kLocalItem = 2;
constexpr int kOutputTag = 0x9;
constexpr int kCollectionTag = 0xA;
constexpr int kEndCollectionTag = 0xC;
constexpr int kUsagePageTag = 0x0;
constexpr int kUsageTag = 0x0;
constexpr int kReportSizeTag = 0x7;
constexpr int kReportIdTag = 0x8;
constexpr int kReportCountTag = 0x9;
constexpr int kPushTag = 0xA;
constexpr int kPopTag = 0xB;
constexpr uint8_t kLongItemPrefix = 0xFE;
// hidraw carries no longer report (the kernel's HID_MAX_BUFFER_SIZE).
constexpr uint64_t kHidrawMaxReportLength = 16384;

struct Item {
    int type = 0;
    int tag = 0;
    uint32_t data = 0;
    size_t dataSize = 0;
};

// The item at `at`, moving `at` past it; a long item comes back with type -1. nullopt where the
// descriptor is cut short.
std::optional<Item> NextItem(std::span<const uint8_t> descriptor, size_t& at)
{
    const uint8_t prefix = descriptor[at];
    if (prefix == kLongItemPrefix) {
        if (at + 1 >= descriptor.size())
            return std::nullopt;
        at += 3 + descriptor[at + 1];
        return Item{-1, 0, 0, 0};
    }
    const size_t size = (prefix & 3) == 3 ? 4 : (prefix & 3);
    if (at + 1 + size > descriptor.size())
        return std::nullopt;
    Item item;
    for (size_t i = 0; i < size; ++i)
        item.data |= static_cast<uint32_t>(descriptor[at + 1 + i]) << (8 * i);
    item.type = (prefix >> 2) & 3;
    item.tag = prefix >> 4;
    item.dataSize = size;
    at += 1 + size;
    return item;
}

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
        const std::optional<Item> item = NextItem(descriptor, at);
        if (!item)
            break;
        const int type = item->type;
        const int tag = item->tag;
        const uint32_t data = item->data;

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

int TopLevelCollectionCount(std::span<const uint8_t> descriptor)
{
    int count = 0;
    int depth = 0;
    bool pageFound = false;
    bool usageFound = false;

    size_t at = 0;
    while (at < descriptor.size()) {
        const std::optional<Item> item = NextItem(descriptor, at);
        if (!item)
            break;
        if (item->type == kGlobalItem && item->tag == kUsagePageTag && depth == 0) {
            pageFound = true;
        } else if (item->type == kLocalItem && item->tag == kUsageTag && depth == 0) {
            // A four-byte usage carries its page in its high half.
            pageFound = pageFound || item->dataSize == 4;
            usageFound = true;
        } else if (item->type == kMainItem && item->tag == kCollectionTag) {
            if (depth++ == 0 && usageFound && pageFound) {
                ++count;
                usageFound = false;
            }
        } else if (item->type == kMainItem && item->tag == kEndCollectionTag) {
            if (--depth < 0)
                break;
        }
    }
    // A descriptor without a collection still names one interface when it gives a usage.
    return std::max(count, 1);
}
