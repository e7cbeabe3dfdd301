#include "device/command_protocol.h"

#include <algorithm>

#include "device/feature_key_map_download.h"
#include "device/output_key_map_download.h"
#include "device/protocol_encoding.h"

namespace {

using namespace std::chrono_literals;

constexpr auto kAfterReset = 100ms;
constexpr auto kBetweenWirelessResets = 1600ms;
constexpr auto kBeforeColourPacket = 1ms;

constexpr uint8_t kFeatureId = HidDeviceManager::kFeatureReportId;
constexpr uint8_t kKeyColourCommand = 0x8B;
constexpr uint8_t kStreamCommand = 0xF1;
constexpr uint8_t kLightingModeCommand = 0x88;
constexpr uint8_t kLightingParametersCommand = 0x89;
constexpr uint8_t kKeyColourLengths[] = {60, 60, 60, 60, 60, 60, 60, 20};
constexpr uint8_t kStreamLengths[] = {60, 60, 60, 60, 60, 30};

const KeyIndexMap& EmptyMap()
{
    static const KeyIndexMap empty;
    return empty;
}

const KeyIndexMap& KeyIndexes(const DeviceJobContext& context)
{
    return context.layout ? context.layout->keyIndexByCode : EmptyMap();
}

void Call(const std::function<void()>& reload)
{
    if (reload)
        reload();
}

} // namespace

CommandProtocol::CommandProtocol(HidDeviceManager& manager, ProfileDatabase& database, MonotonicClock& clock)
    : m_link{manager, database, clock, m_state}
{
}

void CommandProtocol::DownloadKeyMap(const DeviceJobContext& context)
{
    switch (ProtocolFamilyOf(context.deviceType)) {
    case ProtocolFamily::OutputReports:
        DownloadOutputKeyMap(context.profile, context.fnLayer, KeyIndexes(context));
        break;
    case ProtocolFamily::FeatureReports:
        DownloadFeatureKeyMap(context.profile, context.fnLayer);
        break;
    case ProtocolFamily::None:
        break;
    }
}

void CommandProtocol::ApplyLighting(const DeviceJobContext& context)
{
    switch (ProtocolFamilyOf(context.deviceType)) {
    case ProtocolFamily::OutputReports:
        ApplyOutputLighting(context.lightingMode);
        break;
    case ProtocolFamily::FeatureReports:
        ApplyFeatureLighting(context.lightingMode, context.connectionMode, context.customSet);
        break;
    case ProtocolFamily::None:
        break;
    }
}

void CommandProtocol::DownloadFeatureKeyMap(int profile, int fnLayer)
{
    const auto lock = m_link.manager.LockTransfers();
    if (m_link.Ready())
        FeatureKeyMapDownload(m_link).Run(profile, fnLayer);
}

void CommandProtocol::WriteMacroSlot(int key, int slot, int macroType, int value)
{
    const auto lock = m_link.manager.LockTransfers();
    if (m_link.Ready())
        FeatureKeyMapDownload(m_link).WriteMacroSlot(key, slot, macroType, value);
}

void CommandProtocol::WriteRemapSlot(int profile, int fnLayer, int key, int slot)
{
    const auto lock = m_link.manager.LockTransfers();
    if (m_link.Ready())
        FeatureKeyMapDownload(m_link).WriteRemapSlot(profile, fnLayer, key, slot);
}

void CommandProtocol::ApplyFeatureLighting(int mode, int connectionMode, int customSet)
{
    const auto lock = m_link.manager.LockTransfers();
    LightRow row;
    if (!m_link.Ready() || !m_link.database.GetLight(kLightingProfile, mode, row))
        return;
    const uint8_t modeByte = ModeByte(mode);
    const uint8_t brightness = LoweredByOne(row.brightness);
    const uint8_t combined = LoweredByOne(CombinedByte(row.colorindex, row.speed));
    const uint8_t direction = LowByte(row.direction);
    if (connectionMode == 0) {
        const uint8_t set = (row.config_func & kConfigCustomColours) ? LowByte(customSet) : 0;
        m_link.manager.SendFeatureDelayed(
            MakeFeatureReport({kFeatureId, 0xFF, 0xFF, modeByte, brightness, combined, set, direction}));
    } else {
        m_link.manager.WritePayload(
            MakePayload({0xAA, modeByte, brightness, combined, 0x00, LowByte(customSet), direction}));
    }
}

void CommandProtocol::PreviewLighting(int deviceType, int mode, int customSet)
{
    if (deviceType >= 200)
        return;
    const auto lock = m_link.manager.LockTransfers();
    LightRow row;
    if (!m_link.Ready() || !m_link.database.GetLight(kLightingProfile, mode, row))
        return;
    const uint8_t set = (row.config_func & kConfigCustomColours) ? LowByte(customSet) : 0;
    m_link.manager.SendFeatureDelayed(MakeFeatureReport(
        {kFeatureId, 0xFF, 0xFF, ModeByte(mode), LowByte(row.brightness), LowByte(row.speed), 0x00, set}));
}

void CommandProtocol::ApplyOutputLighting(int mode)
{
    const auto lock = m_link.manager.LockTransfers();
    LightRow row;
    if (!m_link.Ready() || !m_link.database.GetLight(kLightingProfile, mode, row))
        return;
    if (!m_state.ModeSent()) {
        m_link.manager.WriteReport(MakeOutputReport({0x00, kLightingModeCommand, 0x00, LowByte(mode)}));
    } else {
        const auto color = static_cast<COLORREF>(row.color_value);
        const uint8_t flags = static_cast<uint8_t>(((row.direction & 3) << 4) |
                                                   (row.colorful != 0 ? 0x40 : 0) | (row.speed & 0x0F));
        m_link.manager.WriteReport(
            MakeOutputReport({0x00, kLightingParametersCommand, 0x00, flags, GetRValue(color),
                              GetGValue(color), GetBValue(color), LowByte(row.brightness)}));
    }
    m_state.SetModeSent();
}

void CommandProtocol::DownloadOutputKeyMap(int profile, int fnLayer, const KeyIndexMap& keyIndexByCode)
{
    const auto lock = m_link.manager.LockTransfers();
    if (m_link.Ready())
        OutputKeyMapDownload(m_link).Run(profile, fnLayer, keyIndexByCode);
}

bool CommandProtocol::UploadMacros(int profile, int fnLayer)
{
    const auto lock = m_link.manager.LockTransfers();
    if (!m_link.Ready())
        return false;
    KeyAssignmentList rows;
    m_link.database.ListKeyAssignments(profile, fnLayer, rows);
    return OutputKeyMapDownload(m_link).UploadMacros(rows);
}

bool CommandProtocol::StreamColours(int connectionMode, std::span<const KeyColour> keys,
                                    const KeyIndexMap& colourIndexByCode)
{
    const bool lit =
        std::any_of(keys.begin(), keys.end(), [](const KeyColour& key) { return key.colour > 1; });
    if (connectionMode != 0 || !lit)
        return false;
    const std::vector<uint8_t> buffer = StreamBuffer(keys, colourIndexByCode);

    const auto lock = m_link.manager.LockTransfers();
    if (!m_link.Ready())
        return false;
    if (!m_state.StreamStarted()) {
        m_link.manager.WriteReport(MakeOutputReport({0x00, 0xF0, 0xF4, 0x01}));
        m_state.SetStreamStarted();
    }
    for (size_t k = 0; k < std::size(kStreamLengths); ++k) {
        m_link.Pause(kBeforeColourPacket);
        if (!m_link.manager.WriteAuxReport(BufferPacket(kStreamCommand, buffer, k, kStreamLengths[k])))
            return false;
    }
    return true;
}

void CommandProtocol::ResetToFactory(int deviceType, int connectionMode, const ResetReloads& reloads)
{
    const ProtocolFamily family = ProtocolFamilyOf(deviceType);
    if (family == ProtocolFamily::None)
        return;
    {
        const auto lock = m_link.manager.LockTransfers();
        if (!m_link.Ready())
            return;
        if (family == ProtocolFamily::OutputReports) {
            m_link.manager.WriteReport(MakeOutputReport({0x00, 0xFF, 0xFE, 0xAA, 0xFF}));
            m_link.Pause(kAfterReset);
        } else if (connectionMode == 0) {
            m_link.manager.SendFeatureDelayed(MakeFeatureReport({kFeatureId, 0xF0, 0xAA}));
            m_link.Pause(kAfterReset);
        } else {
            m_link.manager.WritePayload(MakePayload({0xAA, 0xAA, 0xAA, 0xAA, 0xAA, 0xAA}));
            m_link.Pause(kBetweenWirelessResets);
            if (m_link.Ready())
                m_link.manager.WritePayload(MakePayload({}));
        }
    }
    // The pages may talk to the keyboard again while they reload.
    Call(reloads.macroPage);
    Call(reloads.profileList);
    Call(reloads.lightingPage);
}

std::optional<int> CommandProtocol::ReadFirmwareVersion()
{
    const auto lock = m_link.manager.LockTransfers();
    int version = 0;
    if (!m_link.Ready() || !m_link.manager.ReadFirmwareVersion(version))
        return std::nullopt;
    return version;
}

bool CommandProtocol::SendMusicLevel(int effect, int level)
{
    const auto lock = m_link.manager.LockTransfers();
    if (!m_link.Ready())
        return false;
    return m_link.manager.SendFeature(MakeFeatureReport({kFeatureId, 0x23, 0x45, 0x67, 0x89, LowByte(effect),
                                                         static_cast<uint8_t>(std::clamp(level, 0, 255))}));
}

bool CommandProtocol::SendKeyColours(const KeyIndexMap& colourIndexByCode)
{
    const auto lock = m_link.manager.LockTransfers();
    if (!m_link.Ready())
        return false;
    // Reading the colours takes its time out of the first pause, not the keyboard's.
    const MonotonicClock::TimePoint start = m_link.clock.Now();
    KeyLightList rows;
    m_link.database.ListKeyLights(kCustomLightSet, rows);
    const std::vector<uint8_t> buffer = KeyColourBuffer(rows, colourIndexByCode);
    for (size_t k = 0; k < std::size(kKeyColourLengths); ++k) {
        if (k == 0)
            m_link.PauseSince(start, kBeforeColourPacket);
        else
            m_link.Pause(kBeforeColourPacket);
        if (!m_link.manager.WriteReport(BufferPacket(kKeyColourCommand, buffer, k, kKeyColourLengths[k])))
            return false;
    }
    return true;
}
