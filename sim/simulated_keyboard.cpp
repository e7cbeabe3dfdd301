#include "sim/simulated_keyboard.h"

#include <algorithm>

namespace {

constexpr uint16_t kGenericDesktopPage = 0x01;
constexpr uint16_t kKeyboardUsage = 0x06;
constexpr uint16_t kConsumerPage = 0x0C;
constexpr uint16_t kConsumerControlUsage = 0x01;
constexpr uint16_t kVendorPage = 0xFF01;
constexpr uint16_t kVendorUsage = 0x01;
constexpr int kBootInterface = 0;
constexpr int kStreamInterface = 3;

constexpr wchar_t kNotConnectedText[] = L"The device is not connected.";
constexpr wchar_t kFailedText[] = L"The device did not take the report.";

} // namespace

SimulatedKeyboard::SimulatedKeyboard(const SimulatedModel& model, std::string instance,
                                     std::string pathPrefix, MonotonicClock& clock, EventSink sink)
    : m_model(model), m_clock(clock), m_sink(std::move(sink)),
      m_firmware(model.Family(), model.firmwareVersion)
{
    for (const SimulatedMode& mode : m_model.modes)
        m_modes.push_back({mode.connectionMode, ModeState{}});
    BuildNodes(m_model.instance.empty() ? instance : m_model.instance, pathPrefix);
}

void SimulatedKeyboard::BuildNodes(const std::string& instance, const std::string& pathPrefix)
{
    for (const SimulatedMode& mode : m_model.modes) {
        const std::string modePrefix = pathPrefix + "/" + std::to_string(mode.connectionMode) + "/";
        HidInterfaceIdentity identity;
        identity.bus = mode.bus;
        identity.vendorId = m_model.vendorId;
        identity.productId = mode.productId;
        identity.releaseNumber = m_model.releaseNumber;
        identity.instance = instance + "&" + std::to_string(mode.connectionMode);

        auto collection = [&](uint16_t page, uint16_t usage, int interfaceNumber, const std::string& path) {
            HidInterfaceInfo info;
            info.path = path;
            info.name = SynthesiseInterfaceName(identity);
            info.vendorId = m_model.vendorId;
            info.productId = mode.productId;
            info.releaseNumber = m_model.releaseNumber;
            info.usagePage = page;
            info.usage = usage;
            info.interfaceNumber = interfaceNumber;
            info.bus = mode.bus;
            return info;
        };

        if (mode.bus == HidBus::BluetoothLowEnergy) {
            // One node, two top-level collections: the keyboard and the vendor one.
            Node node{mode.connectionMode, -1, SimInterfaceRole::Command, modePrefix + "0", {}};
            identity.collection = 1;
            node.collections.push_back(collection(kGenericDesktopPage, kKeyboardUsage, -1, node.path));
            identity.collection = 2;
            node.collections.push_back(collection(kVendorPage, kVendorUsage, -1, node.path));
            m_nodes.push_back(std::move(node));
            continue;
        }

        std::vector<std::pair<int, SimInterfaceRole>> interfaces = {
            {kBootInterface, SimInterfaceRole::Other}, {mode.commandInterface, SimInterfaceRole::Command}};
        if (mode.streamInterface)
            interfaces.push_back({kStreamInterface, SimInterfaceRole::Stream});
        std::stable_sort(interfaces.begin(), interfaces.end());
        for (const auto& [number, role] : interfaces) {
            Node node{mode.connectionMode, number, role, modePrefix + std::to_string(number), {}};
            identity.interfaceNumber = number;
            if (role == SimInterfaceRole::Other) {
                // The boot keyboard with the media keys' consumer control beside it.
                identity.collection = 1;
                node.collections.push_back(
                    collection(kGenericDesktopPage, kKeyboardUsage, number, node.path));
                identity.collection = 2;
                node.collections.push_back(
                    collection(kConsumerPage, kConsumerControlUsage, number, node.path));
                identity.collection = 0;
            } else {
                node.collections.push_back(collection(kVendorPage, kVendorUsage, number, node.path));
            }
            m_nodes.push_back(std::move(node));
        }
    }
}

SimulatedKeyboard::ModeState* SimulatedKeyboard::FindMode(int mode)
{
    for (auto& [value, state] : m_modes) {
        if (value == mode)
            return &state;
    }
    return nullptr;
}

const SimulatedKeyboard::ModeState* SimulatedKeyboard::FindMode(int mode) const
{
    return const_cast<SimulatedKeyboard*>(this)->FindMode(mode);
}

std::vector<SimDeviceEvent> SimulatedKeyboard::EventsOf(int mode, SimDeviceEventKind kind) const
{
    std::vector<SimDeviceEvent> events;
    for (const Node& node : m_nodes) {
        if (node.mode != mode)
            continue;
        for (const HidInterfaceInfo& info : node.collections)
            events.push_back({kind, info.name});
    }
    return events;
}

bool SimulatedKeyboard::Connect(int mode)
{
    std::vector<SimDeviceEvent> events;
    {
        std::lock_guard lock(m_lock);
        ModeState* state = FindMode(mode);
        if (!state || state->connected)
            return false;
        state->connected = true;
        ++state->connection;
        events = EventsOf(mode, SimDeviceEventKind::Arrival);
    }
    if (m_sink)
        m_sink(events);
    return true;
}

bool SimulatedKeyboard::Disconnect(int mode)
{
    std::vector<SimDeviceEvent> events;
    {
        std::lock_guard lock(m_lock);
        ModeState* state = FindMode(mode);
        if (!state || !state->connected)
            return false;
        state->connected = false;
        events = EventsOf(mode, SimDeviceEventKind::Removal);
    }
    if (m_sink)
        m_sink(events);
    return true;
}

void SimulatedKeyboard::DisconnectAll()
{
    for (const SimulatedMode& mode : m_model.modes)
        Disconnect(mode.connectionMode);
}

bool SimulatedKeyboard::SwitchTo(int mode)
{
    if (!FindMode(mode))
        return false;
    for (const SimulatedMode& other : m_model.modes) {
        if (other.connectionMode != mode)
            Disconnect(other.connectionMode);
    }
    Connect(mode);
    return true;
}

bool SimulatedKeyboard::IsConnected(int mode) const
{
    std::lock_guard lock(m_lock);
    const ModeState* state = FindMode(mode);
    return state && state->connected;
}

std::vector<std::string> SimulatedKeyboard::InterfaceNames(int mode) const
{
    std::vector<std::string> names;
    for (const SimDeviceEvent& event : EventsOf(mode, SimDeviceEventKind::Arrival))
        names.push_back(event.name);
    return names;
}

int SimulatedKeyboard::OpenHandles() const
{
    std::lock_guard lock(m_lock);
    return m_openHandles;
}

FirmwareState SimulatedKeyboard::State() const
{
    std::lock_guard lock(m_lock);
    return m_firmware.State();
}

void SimulatedKeyboard::LoadState(const FirmwareState& state)
{
    std::lock_guard lock(m_lock);
    m_firmware.LoadState(state);
}

void SimulatedKeyboard::SetFirmwareVersion(uint16_t version)
{
    std::lock_guard lock(m_lock);
    FirmwareState state = m_firmware.State();
    state.firmwareVersion = version;
    m_firmware.LoadState(state);
}

std::vector<SimLogEntry> SimulatedKeyboard::Log() const
{
    std::lock_guard lock(m_lock);
    return m_log;
}

std::vector<SimLogEntry> SimulatedKeyboard::Reports(SimReport report) const
{
    std::lock_guard lock(m_lock);
    std::vector<SimLogEntry> entries;
    std::copy_if(m_log.begin(), m_log.end(), std::back_inserter(entries),
                 [report](const SimLogEntry& entry) { return entry.report == report; });
    return entries;
}

uint64_t SimulatedKeyboard::NextTransferNumber() const
{
    std::lock_guard lock(m_lock);
    return m_nextNumber;
}

void SimulatedKeyboard::ClearLog()
{
    std::lock_guard lock(m_lock);
    m_log.clear();
}

void SimulatedKeyboard::AddFailure(const SimFailure& failure)
{
    std::lock_guard lock(m_lock);
    m_failures.push_back(failure);
}

void SimulatedKeyboard::FailTransfer(uint64_t number, SimFault fault)
{
    AddFailure({.transferNumber = number, .fault = fault});
}

void SimulatedKeyboard::FailReports(SimReport report, int times, SimFault fault)
{
    AddFailure({.report = report, .times = times, .fault = fault});
}

void SimulatedKeyboard::FailTransfers(SimTransfer transfer, int times, SimFault fault)
{
    AddFailure({.transfer = transfer, .times = times, .fault = fault});
}

void SimulatedKeyboard::FailOpens(int count)
{
    std::lock_guard lock(m_lock);
    m_failOpens = count;
}

void SimulatedKeyboard::ClearFailures()
{
    std::lock_guard lock(m_lock);
    m_failures.clear();
    m_failOpens = 0;
}

void SimulatedKeyboard::StopAnswering()
{
    std::lock_guard lock(m_lock);
    m_answering = false;
}

void SimulatedKeyboard::ResumeAnswering()
{
    std::lock_guard lock(m_lock);
    m_answering = true;
}

void SimulatedKeyboard::AppendInterfaces(std::vector<HidInterfaceInfo>& out) const
{
    std::lock_guard lock(m_lock);
    for (const Node& node : m_nodes) {
        const ModeState* state = FindMode(node.mode);
        if (state && state->connected)
            out.insert(out.end(), node.collections.begin(), node.collections.end());
    }
}

std::optional<SimulatedKeyboard::Handle> SimulatedKeyboard::Open(const std::string& path)
{
    std::lock_guard lock(m_lock);
    for (size_t i = 0; i < m_nodes.size(); ++i) {
        if (m_nodes[i].path != path)
            continue;
        const ModeState* state = FindMode(m_nodes[i].mode);
        if (!state || !state->connected)
            return std::nullopt;
        if (m_failOpens > 0) {
            --m_failOpens;
            return std::nullopt;
        }
        ++m_openHandles;
        return Handle{i, state->connection};
    }
    return std::nullopt;
}

void SimulatedKeyboard::Close(const Handle&)
{
    std::lock_guard lock(m_lock);
    --m_openHandles;
}

size_t SimulatedKeyboard::OutputReportLength(const Handle& handle) const
{
    return m_nodes[handle.node].role == SimInterfaceRole::Other ? 0 : m_model.outputReportLength;
}

std::optional<SimFault> SimulatedKeyboard::TakeFailure(const SimLogEntry& entry)
{
    for (auto rule = m_failures.begin(); rule != m_failures.end(); ++rule) {
        if ((rule->transferNumber != 0 && rule->transferNumber != entry.number) ||
            (rule->transfer && *rule->transfer != entry.transfer) ||
            (rule->report && *rule->report != entry.report))
            continue;
        if (rule->fault == SimFault::WrongReportId && entry.transfer != SimTransfer::GetFeature)
            continue;
        const SimFault fault = rule->fault;
        if (rule->times != SimFailure::kEveryTime && --rule->times <= 0)
            m_failures.erase(rule);
        return fault;
    }
    return std::nullopt;
}

int SimulatedKeyboard::Transfer(const Handle& handle, SimTransfer transfer, std::span<uint8_t> report,
                                std::chrono::milliseconds timeout, std::wstring& error, HidFault& hidFault)
{
    std::unique_lock lock(m_lock);
    const Node& node = m_nodes[handle.node];
    const ModeState* state = FindMode(node.mode);

    SimLogEntry entry;
    entry.number = m_nextNumber++;
    entry.time = m_clock.Now();
    entry.transfer = transfer;
    entry.connectionMode = node.mode;
    entry.interfaceNumber = node.interfaceNumber;
    if (transfer == SimTransfer::GetFeature) {
        entry.report = m_firmware.ClassifyRead(node.role, report.empty() ? 0 : report[0]);
    } else {
        entry.report = m_firmware.Classify(transfer, report);
        entry.bytes.assign(report.begin(), report.end());
    }

    if (!state || !state->connected || state->connection != handle.connection) {
        entry.outcome = SimOutcome::NoDevice;
        if (transfer == SimTransfer::GetFeature)
            entry.bytes.clear();
        m_log.push_back(std::move(entry));
        error = kNotConnectedText;
        hidFault = HidFault::Gone;
        return -1;
    }

    std::optional<SimFault> fault = TakeFailure(entry);
    if (!m_answering)
        fault = SimFault::TimedOut;
    if (fault == SimFault::TimedOut || fault == SimFault::Error) {
        entry.outcome = fault == SimFault::TimedOut ? SimOutcome::TimedOut : SimOutcome::Failed;
        if (transfer == SimTransfer::GetFeature)
            entry.bytes.clear();
        m_log.push_back(std::move(entry));
        lock.unlock();
        if (fault == SimFault::TimedOut) {
            m_clock.SleepFor(timeout);
            error = kHidTimedOutText;
            hidFault = HidFault::TimedOut;
        } else {
            error = kFailedText;
            hidFault = HidFault::Failed;
        }
        return -1;
    }

    if (transfer == SimTransfer::GetFeature) {
        entry.report = m_firmware.Answer(node.role, report);
        if (fault == SimFault::WrongReportId && !report.empty())
            report[0] = 0;
        entry.bytes.assign(report.begin(), report.end());
        entry.outcome = SimOutcome::Taken;
    } else {
        entry.outcome =
            m_firmware.Receive(transfer, node.role, report) ? SimOutcome::Taken : SimOutcome::Ignored;
    }
    m_log.push_back(std::move(entry));
    return static_cast<int>(report.size());
}
