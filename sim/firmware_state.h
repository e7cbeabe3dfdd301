#pragma once
// What the simulated keyboard keeps, decoded from the reports it took: the slot table with the macro
// and remap slots (feature-report family), the key map and macro memory (output-report family), the
// lighting state, per-key colours, the colour stream, the music level and resets. Buffers hold the bytes
// as they arrived; the member functions read them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <utility>
#include <vector>

#include "core/color.h"

inline constexpr size_t kSimSlotTableLength = 28;
inline constexpr size_t kSimMacroImageLength = 168;  // what one feature-report macro slot receives
inline constexpr size_t kSimKeyColourBytes = 600;    // 150 keys, 4 bytes each (r, g, b, 0xFF)
inline constexpr size_t kSimKeyMapBytes = 360;       // 180 keys, 2 bytes each
inline constexpr size_t kSimStreamBytes = 600;       // 200 keys, 3 bytes each (r, g, b)
inline constexpr size_t kSimOutputMacroBytes = 1200; // one output-report macro image
inline constexpr int kSimMacroSlots = 13;
inline constexpr int kSimRemapSlots = 10;

// One key event of a macro image, either family.
struct SimMacroEvent {
    uint8_t usage = 0;
    bool release = false;
    int delayMs = 0;

    bool operator==(const SimMacroEvent&) const = default;
};

// A feature-report macro slot: byte 0 = 1, 1 = slot, 2 = key, 3 = play count, then (usage, timing) pairs.
struct SimMacroSlot {
    std::array<uint8_t, kSimMacroImageLength> image{};

    uint8_t Key() const { return image[2]; }
    uint8_t PlayTimes() const { return image[3]; }
    // Pairs up to the first all-zero pair. Timing byte: bit 7 release, bits 6-5 unit (10, 50, 100 or
    // 1000 ms), bits 4-0 count.
    std::vector<SimMacroEvent> Events() const;
};

// A remap slot: 07 FA 01 slot key 01 value 01.
struct SimRemapSlot {
    uint8_t key = 0;
    uint8_t value = 0;

    bool operator==(const SimRemapSlot&) const = default;
};

// An output-report macro slot: byte 0 = play count, 1 = record count, then 3-byte events.
struct SimOutputMacro {
    std::vector<uint8_t> image = std::vector<uint8_t>(kSimOutputMacroBytes, 0);
    int packets = 0;        // packets taken since the image was started at offset 0
    uint8_t lastLength = 0; // length byte of the last packet
    size_t received = 0;    // the image bytes the packets reached, from 0

    uint8_t PlayTimes() const { return image[0]; }
    uint8_t Count() const { return image[1]; }
    // The events among the received bytes, up to the first all-zero one (no event is all zero): usage,
    // then for a press (second delay byte with bit 7 set) delay low, high | 0x80; for a release
    // low | 0x80, high. The count byte is not a limit: it holds only the low byte of the record count,
    // and records that are no events count in it too.
    std::vector<SimMacroEvent> Events() const;
};

// Feature-report family: 07 FF FF mode brightness combined set direction by cable, the same fields in
// the payload report wirelessly. Values as sent (already lowered by one).
struct SimLighting {
    uint8_t mode = 0;
    uint8_t brightness = 0;
    uint8_t combined = 0;
    uint8_t set = 0;
    uint8_t direction = 0;
    bool wireless = false; // came as a payload report
    int updates = 0;

    uint8_t ColorIndex() const { return combined >> 4; }
    uint8_t Speed() const { return combined & 0x0F; }
};

// Output-report family's live preview: 07 FF FF mode brightness speed 00 set.
struct SimLightingPreview {
    uint8_t mode = 0;
    uint8_t brightness = 0;
    uint8_t speed = 0;
    uint8_t set = 0;
    int updates = 0;
};

// Output-report family: 88 00 mode, and 89 00 flags c0 c1 c2 brightness.
struct SimOutputLighting {
    uint8_t mode = 0;
    int modeUpdates = 0;
    uint8_t flags = 0;
    COLORREF color = 0;
    uint8_t brightness = 0;
    int parameterUpdates = 0;

    uint8_t Direction() const { return (flags >> 4) & 3; }
    bool Colorful() const { return (flags & 0x40) != 0; }
    uint8_t Speed() const { return flags & 0x0F; }
};

struct SimMusicLevel {
    uint8_t effect = 0;
    uint8_t level = 0;
    int updates = 0;
};

struct FirmwareState {
    uint16_t firmwareVersion = 0;

    // Byte n (1-13) holds the key of macro slot n, byte 13 + n (n = 1-10) the key of remap slot n.
    std::array<uint8_t, kSimSlotTableLength> slotTable{};
    std::map<int, SimMacroSlot> macroSlots; // slots 1-13, each as last written
    std::map<int, SimRemapSlot> remapSlots; // slots 1-10

    std::array<uint8_t, kSimKeyMapBytes> keyMap{};
    std::map<int, SimOutputMacro> outputMacros; // by the slot byte of the packets

    std::array<uint8_t, kSimKeyColourBytes> keyColours{};

    SimLighting lighting;
    SimLightingPreview preview;
    SimOutputLighting outputLighting;

    bool streamStarted = false;
    int streamPackets = 0;
    int streamFrames = 0; // a packet shorter than 60 bytes ends a frame
    std::array<uint8_t, kSimStreamBytes> streamColours{};

    SimMusicLevel music;

    int resets = 0;
    int ignoredReports = 0; // reports the firmware did not take: unknown, on the wrong interface, bad slot

    // 0x00BBGGRR from a 4-byte per-key entry or a 3-byte stream entry; 0 past the end.
    COLORREF KeyColour(size_t index) const;
    COLORREF StreamColour(size_t index) const;
    // (first, second) byte of a key-map entry; (0, 0) past the end.
    std::pair<uint8_t, uint8_t> KeyMapEntry(size_t index) const;
    // Back to factory settings; the version, counters and stream session survive.
    void ResetToFactory();
};
