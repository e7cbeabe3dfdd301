#include "sim/keyboard_firmware.h"

#include <algorithm>
#include <ostream>

namespace {

constexpr uint8_t kFeatureReportId = 0x07;
constexpr size_t kFeatureLength = 8;
constexpr size_t kOutputLength = 65;
constexpr size_t kPacketData = 60;      // data bytes of an 8B, 8D or F1 packet
constexpr size_t kMacroPacketData = 59; // data bytes of an 8E packet
constexpr int kMacroReports = 28;
constexpr size_t kSlotChunk = 7;

bool Starts(std::span<const uint8_t> report, size_t at, std::initializer_list<uint8_t> bytes)
{
    if (report.size() < at + bytes.size())
        return false;
    return std::equal(bytes.begin(), bytes.end(), report.begin() + at);
}

bool AllEqual(std::span<const uint8_t> bytes, uint8_t value)
{
    return std::all_of(bytes.begin(), bytes.end(), [value](uint8_t b) { return b == value; });
}

int Offset(std::span<const uint8_t> report)
{
    return report[3] | (report[4] << 8);
}

// Copies up to `length` (at most `limit`) bytes from `data` into `buffer` at `offset`, what fits.
void Store(std::span<uint8_t> buffer, size_t offset, std::span<const uint8_t> data, size_t length,
           size_t limit)
{
    length = std::min({length, limit, data.size()});
    if (offset >= buffer.size())
        return;
    length = std::min(length, buffer.size() - offset);
    std::copy_n(data.begin(), length, buffer.begin() + offset);
}

} // namespace

const char* SimReportName(SimReport report)
{
    switch (report) {
    case SimReport::Unknown:
        return "Unknown";
    case SimReport::SlotTableRequest:
        return "SlotTableRequest";
    case SimReport::RemapSlotWrite:
        return "RemapSlotWrite";
    case SimReport::MacroSlotWrite:
        return "MacroSlotWrite";
    case SimReport::Lighting:
        return "Lighting";
    case SimReport::LightingPreview:
        return "LightingPreview";
    case SimReport::Reset:
        return "Reset";
    case SimReport::FirmwareVersionRequest:
        return "FirmwareVersionRequest";
    case SimReport::MusicLevel:
        return "MusicLevel";
    case SimReport::SlotTableAnswer:
        return "SlotTableAnswer";
    case SimReport::FirmwareVersionAnswer:
        return "FirmwareVersionAnswer";
    case SimReport::EmptyAnswer:
        return "EmptyAnswer";
    case SimReport::PayloadLighting:
        return "PayloadLighting";
    case SimReport::PayloadResetFirst:
        return "PayloadResetFirst";
    case SimReport::PayloadResetSecond:
        return "PayloadResetSecond";
    case SimReport::KeyColours:
        return "KeyColours";
    case SimReport::KeyMap:
        return "KeyMap";
    case SimReport::MacroData:
        return "MacroData";
    case SimReport::LightingMode:
        return "LightingMode";
    case SimReport::LightingParameters:
        return "LightingParameters";
    case SimReport::StreamStart:
        return "StreamStart";
    case SimReport::StreamFrame:
        return "StreamFrame";
    case SimReport::OutputReset:
        return "OutputReset";
    }
    return "?";
}

std::ostream& operator<<(std::ostream& out, SimReport report)
{
    return out << SimReportName(report);
}

KeyboardFirmware::KeyboardFirmware(CommandFamily family, uint16_t firmwareVersion) : m_family(family)
{
    m_state.firmwareVersion = firmwareVersion;
}

void KeyboardFirmware::LoadState(const FirmwareState& state)
{
    m_state = state;
    m_macro.reset();
}

SimReport KeyboardFirmware::Classify(SimTransfer transfer, std::span<const uint8_t> report) const
{
    switch (transfer) {
    case SimTransfer::SendFeature:
        return ClassifyFeature(report);
    case SimTransfer::Write:
        return ClassifyWrite(report);
    case SimTransfer::GetFeature:
        break;
    }
    return SimReport::Unknown;
}

SimReport KeyboardFirmware::ClassifyFeature(std::span<const uint8_t> report) const
{
    if (report.size() < kFeatureLength || report[0] != kFeatureReportId)
        return SimReport::Unknown;
    if (Starts(report, 1, {0x23, 0x45, 0x67, 0x89}))
        return SimReport::MusicLevel;
    if (report[1] == 0xFD)
        return SimReport::FirmwareVersionRequest;
    if (Starts(report, 1, {0xFF, 0xFF}))
        return m_family == CommandFamily::FeatureReports ? SimReport::Lighting : SimReport::LightingPreview;
    if (m_family != CommandFamily::FeatureReports)
        return SimReport::Unknown;
    if (Starts(report, 1, {0xFB, 0x01}))
        return SimReport::SlotTableRequest;
    if (Starts(report, 1, {0xFA, 0x01}))
        return SimReport::RemapSlotWrite;
    if (report[1] == 0xF1 || (report[1] == 0x00 && m_macro))
        return SimReport::MacroSlotWrite;
    if (Starts(report, 1, {0xF0, 0xAA}))
        return SimReport::Reset;
    return SimReport::Unknown;
}

SimReport KeyboardFirmware::ClassifyWrite(std::span<const uint8_t> report) const
{
    if (report.size() < kOutputLength || report[0] != 0)
        return SimReport::Unknown;
    if (report[1] == 0x8B)
        return SimReport::KeyColours;

    if (m_family == CommandFamily::FeatureReports) {
        if (!Starts(report, 1, {0xBB, 0xAA, 0x99, 0x88}))
            return SimReport::Unknown;
        const auto arguments = report.subspan(5, kOutputLength - 5);
        if (AllEqual(arguments.first(6), 0xAA))
            return SimReport::PayloadResetFirst;
        if (arguments[0] == 0xAA)
            return SimReport::PayloadLighting;
        if (AllEqual(arguments, 0x00))
            return SimReport::PayloadResetSecond;
        return SimReport::Unknown;
    }

    switch (report[1]) {
    case 0x8D:
        return SimReport::KeyMap;
    case 0x8E:
        return SimReport::MacroData;
    case 0x88:
        return SimReport::LightingMode;
    case 0x89:
        return SimReport::LightingParameters;
    case 0xF1:
        return SimReport::StreamFrame;
    default:
        break;
    }
    if (Starts(report, 1, {0xF0, 0xF4, 0x01}))
        return SimReport::StreamStart;
    if (Starts(report, 1, {0xFF, 0xFE, 0xAA, 0xFF}))
        return SimReport::OutputReset;
    return SimReport::Unknown;
}

SimReport KeyboardFirmware::ClassifyRead(SimInterfaceRole role, uint8_t reportId) const
{
    if (role != SimInterfaceRole::Command || reportId != kFeatureReportId)
        return SimReport::EmptyAnswer;
    switch (m_pendingRead) {
    case PendingRead::SlotTable:
        return SimReport::SlotTableAnswer;
    case PendingRead::FirmwareVersion:
        return SimReport::FirmwareVersionAnswer;
    case PendingRead::None:
        break;
    }
    return SimReport::EmptyAnswer;
}

bool KeyboardFirmware::Receive(SimTransfer transfer, SimInterfaceRole role, std::span<const uint8_t> report)
{
    const SimReport kind = Classify(transfer, report);
    const SimInterfaceRole expected =
        kind == SimReport::StreamFrame ? SimInterfaceRole::Stream : SimInterfaceRole::Command;
    bool taken = false;
    if (kind != SimReport::Unknown && role == expected)
        taken = transfer == SimTransfer::SendFeature ? TakeFeature(kind, report) : TakeWrite(kind, report);
    if (!taken)
        ++m_state.ignoredReports;
    return taken;
}

bool KeyboardFirmware::TakeFeature(SimReport kind, std::span<const uint8_t> r)
{
    switch (kind) {
    case SimReport::SlotTableRequest:
        m_pendingRead = PendingRead::SlotTable;
        m_slotChunk = 0;
        return true;
    case SimReport::FirmwareVersionRequest:
        m_pendingRead = PendingRead::FirmwareVersion;
        return true;
    case SimReport::RemapSlotWrite: {
        const int slot = r[3];
        if (slot < 1 || slot > kSimRemapSlots)
            return false;
        m_state.remapSlots[slot] = {r[4], r[6]};
        m_state.slotTable[13 + slot] = r[4];
        return true;
    }
    case SimReport::MacroSlotWrite:
        TakeMacroReport(r);
        return true;
    case SimReport::Lighting:
        m_state.lighting = {r[3], r[4], r[5], r[6], r[7], false, m_state.lighting.updates + 1};
        return true;
    case SimReport::LightingPreview:
        m_state.preview = {r[3], r[4], r[5], r[7], m_state.preview.updates + 1};
        return true;
    case SimReport::Reset:
        Reset();
        return true;
    case SimReport::MusicLevel:
        m_state.music = {r[5], r[6], m_state.music.updates + 1};
        return true;
    default:
        return false;
    }
}

void KeyboardFirmware::TakeMacroReport(std::span<const uint8_t> r)
{
    // A new image starts at F1; one cut short by a lost report is dropped.
    if (r[1] == 0xF1)
        m_macro = MacroAssembly{};
    std::copy_n(r.begin() + 2, 6, m_macro->image.begin() + 6 * m_macro->reports);
    if (++m_macro->reports < kMacroReports)
        return;

    const int slot = m_macro->image[1];
    if (slot >= 1 && slot <= kSimMacroSlots) {
        m_state.macroSlots[slot].image = m_macro->image;
        m_state.slotTable[slot] = m_macro->image[2];
    } else {
        ++m_state.ignoredReports;
    }
    m_macro.reset();
}

bool KeyboardFirmware::TakeWrite(SimReport kind, std::span<const uint8_t> r)
{
    const auto data = r.subspan(5);
    switch (kind) {
    case SimReport::KeyColours:
        Store(m_state.keyColours, Offset(r), data, r[2], kPacketData);
        return true;
    case SimReport::KeyMap:
        Store(m_state.keyMap, Offset(r), data, r[2], kPacketData);
        return true;
    case SimReport::StreamFrame:
        Store(m_state.streamColours, Offset(r), data, r[2], kPacketData);
        ++m_state.streamPackets;
        if (r[2] < kPacketData)
            ++m_state.streamFrames;
        return true;
    case SimReport::MacroData: {
        SimOutputMacro& macro = m_state.outputMacros[r[5]];
        const int offset = Offset(r);
        if (offset == 0)
            macro = SimOutputMacro{};
        // The data area is always 59 bytes; the length byte of the last packet does not count them.
        Store(macro.image, offset, r.subspan(6), kMacroPacketData, kMacroPacketData);
        macro.received = std::max(
            macro.received, std::min(macro.image.size(), static_cast<size_t>(offset) + kMacroPacketData));
        ++macro.packets;
        macro.lastLength = r[2];
        return true;
    }
    case SimReport::LightingMode:
        m_state.outputLighting.mode = r[3];
        ++m_state.outputLighting.modeUpdates;
        return true;
    case SimReport::LightingParameters:
        m_state.outputLighting.flags = r[3];
        m_state.outputLighting.color = RGB(r[4], r[5], r[6]);
        m_state.outputLighting.brightness = r[7];
        ++m_state.outputLighting.parameterUpdates;
        return true;
    case SimReport::StreamStart:
        m_state.streamStarted = true;
        return true;
    case SimReport::OutputReset:
        Reset();
        return true;
    case SimReport::PayloadLighting:
        m_state.lighting = {r[6], r[7], r[8], r[10], r[11], true, m_state.lighting.updates + 1};
        return true;
    case SimReport::PayloadResetFirst:
        m_resetArmed = true;
        return true;
    case SimReport::PayloadResetSecond:
        if (!m_resetArmed)
            return false;
        Reset();
        return true;
    default:
        return false;
    }
}

void KeyboardFirmware::Reset()
{
    m_state.ResetToFactory();
    m_macro.reset();
    m_resetArmed = false;
    m_pendingRead = PendingRead::None;
}

SimReport KeyboardFirmware::Answer(SimInterfaceRole role, std::span<uint8_t> report)
{
    if (report.empty())
        return SimReport::EmptyAnswer;
    const SimReport kind = ClassifyRead(role, report[0]);
    std::fill(report.begin() + 1, report.end(), 0);
    if (kind == SimReport::SlotTableAnswer) {
        const auto chunk = std::span(m_state.slotTable).subspan(kSlotChunk * m_slotChunk, kSlotChunk);
        std::copy_n(chunk.begin(), std::min(kSlotChunk, report.size() - 1), report.begin() + 1);
        m_slotChunk = (m_slotChunk + 1) % static_cast<int>(kSimSlotTableLength / kSlotChunk);
    } else if (kind == SimReport::FirmwareVersionAnswer && report.size() >= 3) {
        report[1] = static_cast<uint8_t>(m_state.firmwareVersion >> 8);
        report[2] = static_cast<uint8_t>(m_state.firmwareVersion & 0xFF);
    }
    return kind;
}
