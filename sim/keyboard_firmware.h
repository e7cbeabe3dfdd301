#pragma once
// The keyboard's firmware as the simulator models it: which report is which, and what each does to the
// firmware state. No locking and no time: SimulatedKeyboard wraps it.
//
// Feature reports (report id 7, 8 bytes) on the command interface:
//   07 FB 01 ...              slot table request; the next reads answer its four 7-byte chunks in turn
//   07 FA 01 slot key 01 v 01 remap slot (feature-report family)
//   07 F1 + 6 image bytes, then 27 x 07 00 + 6: one macro slot image of 168 bytes (feature-report family)
//   07 FF FF m b c s d        lighting (feature-report family); 07 FF FF m b speed 00 set: preview (output)
//   07 F0 AA ...              reset (feature-report family)
//   07 FD ...                 firmware version request; the next reads answer 07 hi lo
//   07 23 45 67 89 effect level 00   music level
// Payload reports (00 BB AA 99 88 ..., feature-report family): AA m b c 00 s d lighting; AA x6 then
// all zero: reset.
// Output reports (00 cmd ...): 8B per-key colours (both families); 8D key map, 8E macro data, 88 mode,
// 89 parameters, F0 F4 01 stream start, FF FE AA FF reset on the command interface and F1 stream on the
// stream interface (output-report family).

#include <cstdint>
#include <iosfwd>
#include <optional>
#include <span>

#include "sim/firmware_state.h"
#include "sim/simulated_model.h"

enum class SimTransfer { Write, SendFeature, GetFeature };

// What an interface is to the firmware.
enum class SimInterfaceRole { Other, Command, Stream };

enum class SimReport {
    Unknown,
    // feature reports
    SlotTableRequest,
    RemapSlotWrite,
    MacroSlotWrite,
    Lighting,
    LightingPreview,
    Reset,
    FirmwareVersionRequest,
    MusicLevel,
    // answers to feature reads
    SlotTableAnswer,
    FirmwareVersionAnswer,
    EmptyAnswer,
    // payload reports
    PayloadLighting,
    PayloadResetFirst,
    PayloadResetSecond,
    // output reports
    KeyColours,
    KeyMap,
    MacroData,
    LightingMode,
    LightingParameters,
    StreamStart,
    StreamFrame,
    OutputReset,
};

const char* SimReportName(SimReport report);
std::ostream& operator<<(std::ostream& out, SimReport report);

class KeyboardFirmware {
public:
    KeyboardFirmware(CommandFamily family, uint16_t firmwareVersion);

    // What a report sent to the keyboard is taken for in the current state (nothing changes). Whether
    // it came on the right interface is Receive's concern.
    SimReport Classify(SimTransfer transfer, std::span<const uint8_t> report) const;
    // What a feature read with this report id would be answered with (nothing changes).
    SimReport ClassifyRead(SimInterfaceRole role, uint8_t reportId) const;

    // Takes a written or sent report; false when the firmware ignored it.
    bool Receive(SimTransfer transfer, SimInterfaceRole role, std::span<const uint8_t> report);
    // Answers a feature read in place (report[0] holds the id asked for).
    SimReport Answer(SimInterfaceRole role, std::span<uint8_t> report);

    const FirmwareState& State() const { return m_state; }
    // Replaces the state (to preload a slot table, say); a macro image half received is dropped.
    void LoadState(const FirmwareState& state);

private:
    enum class PendingRead { None, SlotTable, FirmwareVersion };
    struct MacroAssembly {
        std::array<uint8_t, kSimMacroImageLength> image{};
        int reports = 0;
    };

    SimReport ClassifyFeature(std::span<const uint8_t> report) const;
    SimReport ClassifyWrite(std::span<const uint8_t> report) const;
    bool TakeFeature(SimReport kind, std::span<const uint8_t> report);
    bool TakeWrite(SimReport kind, std::span<const uint8_t> report);
    void TakeMacroReport(std::span<const uint8_t> report);
    void Reset();

    CommandFamily m_family;
    FirmwareState m_state;
    PendingRead m_pendingRead = PendingRead::None;
    int m_slotChunk = 0;
    std::optional<MacroAssembly> m_macro;
    bool m_resetArmed = false;
};
