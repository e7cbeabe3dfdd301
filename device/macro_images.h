#pragma once
// What a macro or a built-in shortcut becomes in the keyboard's macro memory, for both command families,
// and the reports that carry it.
//
// Feature-report family: one slot image of 168 bytes, sent as 28 feature reports of 6 image bytes
// (07 F1 + bytes 0-5, then 27 x 07 00 + the next 6):
//   0 = 1, 1 = slot, 2 = key (0 clears the slot), 3 = play count (1 for a shortcut), then event pairs
//   (HID usage, timing byte). 82 pairs fit; later events are not sent.
//
// Output-report family: one image of up to 1200 bytes per macro, sent in 0x8E packets of 59 bytes:
//   0 = play count (1-255), 1 = number of records (low byte), then 3 bytes per press or release:
//   usage, delay low byte, delay high byte | 0x80 for a press; usage, low | 0x80, high & 0x7F for a
//   release. A built-in shortcut is one packet of its own.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "device/protocol_encoding.h"
#include "store/profile_rows.h"

// Macro record types that are key events; other types are kept in a macro but never sent or played.
constexpr int kRecordKeyPress = 2;
constexpr int kRecordKeyRelease = 3;

// One key event of a macro: the key code of the record's virtual key, its direction and its delay.
struct MacroEvent {
    unsigned usage = 0;
    bool release = false;
    int delayMs = 0;

    bool operator==(const MacroEvent&) const = default;
};

// The presses and releases among `records`, in order, with their virtual keys turned into key codes.
std::vector<MacroEvent> MacroEventsOf(const MacroRecordList& records);

// --- Feature-report family ---

constexpr size_t kMacroImageLength = 168;
constexpr size_t kMacroImagePairs = (kMacroImageLength - 4) / 2; // 82
constexpr size_t kMacroSlotReports = kMacroImageLength / 6;      // 28
using MacroImage = std::array<uint8_t, kMacroImageLength>;

// The image a macro slot receives. A cleared slot has key 0, play count 0 and no events.
MacroImage BuildMacroImage(int slot, int key, int playTimes, std::span<const MacroEvent> events);
// A built-in shortcut's image: play count 1, every event 10 ms (timing 0x01 / 0x81).
MacroImage BuildShortcutImage(int slot, int key, int shortcutValue);
// The 28 feature reports that carry `image`.
std::array<FeatureReport, kMacroSlotReports> MacroSlotReports(const MacroImage& image);

// --- Output-report family ---

constexpr size_t kOutputMacroImageLength = 1200;
constexpr size_t kMacroPacketData = 59;
// A macro's image holds 3c + 3 bytes (c records); from 399 records on it would not fit in 1200 bytes,
// so a longer macro is cut after its 398th record.
constexpr int kOutputMacroRecordLimit = 398;

struct OutputMacroImage {
    std::vector<uint8_t> bytes = std::vector<uint8_t>(kOutputMacroImageLength, 0);
    int recordCount = 0; // c: the records taken, of every type

    // L: the length the packets announce, 3c + 3.
    int Length() const { return 3 * recordCount + 3; }
};

// playTimes is limited to 1-255.
OutputMacroImage BuildOutputMacroImage(int playTimes, const MacroRecordList& records);
// The 0x8E packets of an image for `slot`: L / 60 + 1 of them, packet k carrying image bytes 59k to
// 59k + 58 at offset 59k with the length byte 0x3B, except the last, whose length byte is L - 60k.
// When those packets fall short of L (59 (L / 60 + 1) < L, from 98 records on) one more packet
// carries the rest; it is then the last one and its length byte is the L - 59k bytes it carries.
std::vector<OutputReport> MacroDataReports(const OutputMacroImage& image, int slot);
// The one 0x8E report of a built-in shortcut: 8E 3c 00 00 slot 01 c, then c events of 3 bytes (usage,
// 0x64 for 100 ms, 0x80 for a press or 0x00 for a release). A value outside 1-15 gives four all-zero
// events.
OutputReport ShortcutDataReport(int shortcutValue, int slot);
