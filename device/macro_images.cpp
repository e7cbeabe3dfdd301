#include "device/macro_images.h"

#include <algorithm>

#include "device/key_codes.h"

namespace {

constexpr uint8_t kMacroSlotCommand = 0xF1;
constexpr uint8_t kMacroDataCommand = 0x8E;
constexpr size_t kSlotReportBytes = 6;
constexpr size_t kOutputEventBytes = 3;
constexpr size_t kPacketStride = 60; // what the last packet's length byte counts in
constexpr int kShortcutDelayMs = 10;
constexpr uint8_t kShortcutDelayByte = 0x64; // 100 ms
constexpr int kUnknownShortcutEvents = 4;

// Packets advance by 59 bytes while their number is reckoned in 60s; a long image gets the packet its
// tail would otherwise never reach the keyboard in.
size_t MacroPacketCount(size_t length)
{
    const size_t packets = length / kPacketStride + 1;
    return kMacroPacketData * packets < length ? packets + 1 : packets;
}

} // namespace

std::vector<MacroEvent> MacroEventsOf(const MacroRecordList& records)
{
    std::vector<MacroEvent> events;
    for (const auto& record : records) {
        if (record->type != kRecordKeyPress && record->type != kRecordKeyRelease)
            continue;
        events.push_back({VirtualKeyToKeyCode(static_cast<unsigned>(record->value)),
                          record->type == kRecordKeyRelease, record->delay_time});
    }
    return events;
}

MacroImage BuildMacroImage(int slot, int key, int playTimes, std::span<const MacroEvent> events)
{
    MacroImage image{};
    image[0] = 1;
    image[1] = LowByte(slot);
    image[2] = LowByte(key);
    image[3] = LowByte(playTimes);
    const size_t pairs = std::min(events.size(), kMacroImagePairs);
    for (size_t i = 0; i < pairs; ++i) {
        image[4 + 2 * i] = LowByte(static_cast<int>(events[i].usage));
        image[5 + 2 * i] = TimingByte(events[i].release, events[i].delayMs);
    }
    return image;
}

MacroImage BuildShortcutImage(int slot, int key, int shortcutValue)
{
    std::vector<MacroEvent> events;
    for (const ShortcutEvent& event : ShortcutEvents(shortcutValue))
        events.push_back({event.usage, event.release, kShortcutDelayMs});
    return BuildMacroImage(slot, key, 1, events);
}

std::array<FeatureReport, kMacroSlotReports> MacroSlotReports(const MacroImage& image)
{
    std::array<FeatureReport, kMacroSlotReports> reports{};
    for (size_t k = 0; k < reports.size(); ++k) {
        reports[k][0] = HidDeviceManager::kFeatureReportId;
        reports[k][1] = k == 0 ? kMacroSlotCommand : 0x00;
        std::copy_n(image.begin() + kSlotReportBytes * k, kSlotReportBytes, reports[k].begin() + 2);
    }
    return reports;
}

OutputMacroImage BuildOutputMacroImage(int playTimes, const MacroRecordList& records)
{
    OutputMacroImage image;
    image.recordCount = std::min(static_cast<int>(records.size()), kOutputMacroRecordLimit);
    image.bytes[0] = static_cast<uint8_t>(std::clamp(playTimes, 1, 255));
    image.bytes[1] = LowByte(image.recordCount);

    size_t at = 2;
    for (int i = 0; i < image.recordCount; ++i) {
        const MacroRecordRow& record = *records[i];
        if (record.type != kRecordKeyPress && record.type != kRecordKeyRelease)
            continue;
        const uint8_t low = LowByte(record.delay_time);
        const uint8_t high = LowByte(record.delay_time >> 8);
        const bool press = record.type == kRecordKeyPress;
        image.bytes[at] = LowByte(static_cast<int>(VirtualKeyToKeyCode(static_cast<unsigned>(record.value))));
        image.bytes[at + 1] = press ? low : static_cast<uint8_t>(low | 0x80);
        image.bytes[at + 2] = press ? static_cast<uint8_t>(high | 0x80) : static_cast<uint8_t>(high & 0x7F);
        at += kOutputEventBytes;
    }
    return image;
}

std::vector<OutputReport> MacroDataReports(const OutputMacroImage& image, int slot)
{
    const size_t length = static_cast<size_t>(image.Length());
    const size_t counted = length / kPacketStride + 1;
    const size_t packets = MacroPacketCount(length);
    std::vector<OutputReport> reports(packets);
    for (size_t k = 0; k < packets; ++k) {
        const size_t offset = kMacroPacketData * k;
        OutputReport& report = reports[k];
        report[1] = kMacroDataCommand;
        report[2] = static_cast<uint8_t>(kMacroPacketData);
        if (k + 1 == packets) {
            // The last packet's length is counted in 60-byte steps although packets advance by 59; an
            // added packet announces the bytes it really carries.
            report[2] = packets == counted ? static_cast<uint8_t>(length - kPacketStride * k)
                                           : static_cast<uint8_t>(length - offset);
        }
        report[3] = LowByte(static_cast<int>(offset));
        report[4] = LowByte(static_cast<int>(offset >> 8));
        report[5] = LowByte(slot);
        // An added last packet may reach past the image; what lies beyond it goes as zeros.
        const size_t carried =
            std::min(kMacroPacketData, image.bytes.size() - std::min(offset, image.bytes.size()));
        std::copy_n(image.bytes.begin() + offset, carried, report.begin() + 6);
    }
    return reports;
}

OutputReport ShortcutDataReport(int shortcutValue, int slot)
{
    const std::span<const ShortcutEvent> events = ShortcutEvents(shortcutValue);
    const int count = events.empty() ? kUnknownShortcutEvents : static_cast<int>(events.size());
    // The length byte counts the events only, not the 01 and count bytes before them.
    OutputReport report = MakeOutputReport(
        {0x00, kMacroDataCommand, LowByte(3 * count), 0x00, 0x00, LowByte(slot), 0x01, LowByte(count)});
    size_t at = 8;
    for (const ShortcutEvent& event : events) {
        report[at] = event.usage;
        report[at + 1] = kShortcutDelayByte;
        report[at + 2] = event.release ? 0x00 : 0x80;
        at += kOutputEventBytes;
    }
    return report;
}
