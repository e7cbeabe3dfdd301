#include "device/protocol_encoding.h"

#include <algorithm>

namespace {

constexpr uint8_t kPayloadMarker[] = {0xBB, 0xAA, 0x99, 0x88};
constexpr int kLongestDelayMs = 31000;

constexpr uint8_t kLeftControl = 0xE0;
constexpr uint8_t kLeftAlt = 0xE2;
constexpr uint8_t kLeftGui = 0xE3;
constexpr uint8_t kSpace = 0x2C;
constexpr uint8_t kTab = 0x2B;
constexpr uint8_t kF4 = 0x3D;

// Modifier down, key down, key up, modifier up.
constexpr std::array<ShortcutEvent, 4> Chord(uint8_t modifier, uint8_t key)
{
    return {{{modifier, false}, {key, false}, {key, true}, {modifier, true}}};
}

// Alt+Space opens the window menu, then the menu's key.
constexpr std::array<ShortcutEvent, 6> WindowMenu(uint8_t key)
{
    return {
        {{kLeftAlt, false}, {kSpace, false}, {key, false}, {key, true}, {kSpace, true}, {kLeftAlt, true}}};
}

constexpr auto kSelectAll = Chord(kLeftControl, 0x04);
constexpr auto kCopy = Chord(kLeftControl, 0x06);
constexpr auto kCut = Chord(kLeftControl, 0x1B);
constexpr auto kPaste = Chord(kLeftControl, 0x19);
constexpr auto kUndo = Chord(kLeftControl, 0x1D);
constexpr auto kSave = Chord(kLeftControl, 0x16);
constexpr auto kExplorer = Chord(kLeftGui, 0x08);
constexpr auto kLock = Chord(kLeftGui, 0x0F);
constexpr auto kDesktop = Chord(kLeftGui, 0x07);
constexpr auto kSwitchWindow = Chord(kLeftAlt, kTab);
constexpr auto kMinimiseAll = Chord(kLeftGui, 0x10);
constexpr auto kCloseTab = Chord(kLeftControl, 0x1A);
constexpr auto kMaximise = WindowMenu(0x1B);
constexpr auto kMinimise = WindowMenu(0x11);
constexpr auto kCloseWindow = Chord(kLeftAlt, kF4);

constexpr std::span<const ShortcutEvent> kShortcuts[] = {
    kSelectAll, kCopy,         kCut,         kPaste,    kUndo,     kSave,     kExplorer,    kLock,
    kDesktop,   kSwitchWindow, kMinimiseAll, kCloseTab, kMaximise, kMinimise, kCloseWindow,
};

} // namespace

ProtocolFamily ProtocolFamilyOf(int deviceType)
{
    if (deviceType <= 200)
        return ProtocolFamily::OutputReports;
    if (deviceType <= 299)
        return ProtocolFamily::FeatureReports;
    return ProtocolFamily::None;
}

FeatureReport MakeFeatureReport(std::initializer_list<uint8_t> bytes)
{
    FeatureReport report{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), report.size()), report.begin());
    return report;
}

OutputReport MakeOutputReport(std::initializer_list<uint8_t> bytes)
{
    OutputReport report{};
    std::copy_n(bytes.begin(), std::min(bytes.size(), report.size()), report.begin());
    return report;
}

PayloadData MakePayload(std::initializer_list<uint8_t> arguments)
{
    PayloadData data{};
    const auto after = std::copy(std::begin(kPayloadMarker), std::end(kPayloadMarker), data.begin());
    std::copy_n(arguments.begin(), std::min<size_t>(arguments.size(), data.end() - after), after);
    return data;
}

uint8_t LoweredByOne(int value)
{
    return value == 0 ? 0 : LowByte(value - 1);
}

uint8_t ModeByte(int mode)
{
    return static_cast<uint8_t>(LowByte(mode) - 1);
}

uint8_t CombinedByte(int colorIndex, int speed)
{
    return static_cast<uint8_t>(((colorIndex & 0x0F) << 4) | LowByte(speed));
}

uint8_t TimingByte(bool release, int delayMs)
{
    const int t = std::min(delayMs, kLongestDelayMs);
    int unit = 0;
    int count = 0;
    if (t < 0) {
        count = 0;
    } else if (t <= 10) {
        count = 1;
    } else if (t <= 310) {
        count = t / 10;
    } else if (t <= 1550) {
        unit = 1;
        count = t / 50;
    } else if (t <= 3100) {
        // Counted in 100 ms, so the 100 ms unit: with the 50 ms unit the keyboard would wait half as long.
        unit = 2;
        count = t / 100;
    } else {
        unit = 3;
        count = t / 1000;
    }
    const int byte = (release ? 0x80 : 0) | (unit << 5) | count;
    return static_cast<uint8_t>(byte <= 1 ? 1 : byte);
}

std::span<const ShortcutEvent> ShortcutEvents(int value)
{
    if (value < 1 || value > static_cast<int>(std::size(kShortcuts)))
        return {};
    return kShortcuts[value - 1];
}
