#include "sim/firmware_state.h"

#include <algorithm>

namespace {

constexpr int kTimingUnitsMs[] = {10, 50, 100, 1000};

} // namespace

std::vector<SimMacroEvent> SimMacroSlot::Events() const
{
    std::vector<SimMacroEvent> events;
    for (size_t at = 4; at + 1 < image.size(); at += 2) {
        const uint8_t usage = image[at];
        const uint8_t timing = image[at + 1];
        if (usage == 0 && timing == 0)
            break;
        events.push_back({usage, (timing & 0x80) != 0, (timing & 0x1F) * kTimingUnitsMs[(timing >> 5) & 3]});
    }
    return events;
}

std::vector<SimMacroEvent> SimOutputMacro::Events() const
{
    std::vector<SimMacroEvent> events;
    const size_t end = std::min(received, image.size());
    for (size_t at = 2; at + 3 <= end; at += 3) {
        const uint8_t usage = image[at];
        const uint8_t low = image[at + 1];
        const uint8_t high = image[at + 2];
        if (usage == 0 && low == 0 && high == 0)
            break;
        const bool press = (high & 0x80) != 0;
        const int delay = (press ? low : (low & 0x7F)) | ((high & 0x7F) << 8);
        events.push_back({usage, !press, delay});
    }
    return events;
}

COLORREF FirmwareState::KeyColour(size_t index) const
{
    if (index >= kSimKeyColourBytes / 4)
        return 0;
    const uint8_t* entry = &keyColours[index * 4];
    return RGB(entry[0], entry[1], entry[2]);
}

COLORREF FirmwareState::StreamColour(size_t index) const
{
    if (index >= kSimStreamBytes / 3)
        return 0;
    const uint8_t* entry = &streamColours[index * 3];
    return RGB(entry[0], entry[1], entry[2]);
}

std::pair<uint8_t, uint8_t> FirmwareState::KeyMapEntry(size_t index) const
{
    if (index >= kSimKeyMapBytes / 2)
        return {0, 0};
    return {keyMap[index * 2], keyMap[index * 2 + 1]};
}

void FirmwareState::ResetToFactory()
{
    FirmwareState fresh;
    fresh.firmwareVersion = firmwareVersion;
    fresh.streamStarted = streamStarted;
    fresh.streamPackets = streamPackets;
    fresh.streamFrames = streamFrames;
    fresh.streamColours = streamColours;
    fresh.resets = resets + 1;
    fresh.ignoredReports = ignoredReports;
    *this = std::move(fresh);
}
