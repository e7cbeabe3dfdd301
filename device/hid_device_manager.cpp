#include "device/hid_device_manager.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <utility>

#include "platform/linux/hidapi_backend.h"
#include "platform/linux/steady_monotonic_clock.h"

namespace {

constexpr char kAuxInterfaceMarker[] = "&MI_03";
constexpr int kModeSearchOrder[] = {0, 1, 2};

std::mutex& PendingBackendLock()
{
    static std::mutex lock;
    return lock;
}

// The backend the process-wide manager takes when it is created; emptied then.
std::unique_ptr<HidBackend>& PendingBackend()
{
    static std::unique_ptr<HidBackend> backend;
    return backend;
}

bool& InstanceCreated()
{
    static bool created = false;
    return created;
}

std::string UpperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

// The system's error texts end in a line break; only the first line is kept.
CString FirstLine(const std::wstring& text)
{
    return text.substr(0, text.find_first_of(L"\r\n"));
}

} // namespace

HidDeviceManager& HidDeviceManager::Instance()
{
    // A function-local static: created once whichever thread comes first, destroyed at exit.
    static const std::unique_ptr<HidDeviceManager> manager = [] {
        std::lock_guard lock(PendingBackendLock());
        InstanceCreated() = true;
        std::unique_ptr<HidBackend> backend = std::move(PendingBackend());
        if (!backend)
            backend = std::make_unique<HidapiBackend>();
        return std::unique_ptr<HidDeviceManager>(
            new HidDeviceManager(std::move(backend), SteadyMonotonicClock::Shared()));
    }();
    return *manager;
}

bool HidDeviceManager::UseBackend(std::unique_ptr<HidBackend> backend)
{
    std::lock_guard lock(PendingBackendLock());
    if (InstanceCreated())
        return false;
    PendingBackend() = std::move(backend);
    return true;
}

HidDeviceManager::HidDeviceManager(HidBackend& backend, MonotonicClock& clock)
    : m_backend(backend), m_clock(clock)
{
    EnsureInitialised();
}

HidDeviceManager::HidDeviceManager(std::unique_ptr<HidBackend> backend, MonotonicClock& clock)
    : m_ownedBackend(std::move(backend)), m_backend(*m_ownedBackend), m_clock(clock)
{
    EnsureInitialised();
}

HidDeviceManager::~HidDeviceManager()
{
    std::lock_guard lock(m_lock);
    m_activeInterface = nullptr;
    m_interfaces.clear();
    m_auxInterface.reset();
    if (m_initialised)
        m_backend.Exit();
}

bool HidDeviceManager::EnsureInitialised()
{
    if (!m_initialised)
        m_initialised = m_backend.Init();
    return m_initialised;
}

void HidDeviceManager::AddKnownDevice(int vendorId, int productId, const CString& productName, int deviceType,
                                      int connectionMode, const CString& interfacePattern)
{
    std::lock_guard lock(m_lock);
    m_knownDevices.push_back(
        {vendorId, productId, productName, deviceType, connectionMode, interfacePattern});
}

void HidDeviceManager::CloseAll()
{
    std::lock_guard lock(m_lock);
    if (m_opened == 0)
        return;
    m_opened = 0;
    for (const auto& entry : m_interfaces)
        entry->device->CancelIo();
    m_interfaces.clear();
    m_auxInterface.reset();
    m_activeInterface = nullptr;
}

const KnownDevice* HidDeviceManager::FirstKnownDevice(uint16_t vendorId, uint16_t productId) const
{
    for (const KnownDevice& known : m_knownDevices) {
        if (known.vendorId == vendorId && known.productId == productId)
            return &known;
    }
    return nullptr;
}

bool HidDeviceManager::IsKnown(const HidInterfaceInfo& info) const
{
    const CString productString; // not read from the interface
    return std::any_of(m_knownDevices.begin(), m_knownDevices.end(), [&](const KnownDevice& known) {
        return known.vendorId == info.vendorId && known.productId == info.productId &&
               (known.productName.empty() || known.productName == productString);
    });
}

void HidDeviceManager::Refresh()
{
    std::lock_guard lock(m_lock);
    if (!EnsureInitialised())
        return;
    m_activeInterface = nullptr;
    for (const HidInterfaceInfo& info : m_backend.Enumerate()) {
        if (!IsKnown(info))
            continue;
        // A name or path that does not fit the fixed field is skipped: a cut name could match a pattern
        // that the whole name does not.
        if (info.name.size() > kMaxPathLength || info.path.size() > kMaxPathLength)
            continue;
        if (!EnsureInitialised())
            continue;
        std::unique_ptr<HidDevice> device = m_backend.Open(info.path);
        if (!device)
            continue;
        if (info.usagePage != kVendorUsagePage || info.usage != kVendorUsage)
            continue;

        auto entry = std::make_unique<OpenInterface>();
        DeviceInterface& record = entry->info;
        record.id = ++m_lastId;
        record.vendorId = info.vendorId;
        record.productId = info.productId;
        record.path = info.name;
        record.devicePath = info.path;
        record.releaseNumber = info.releaseNumber;
        if (const KnownDevice* known = FirstKnownDevice(info.vendorId, info.productId)) {
            record.deviceType = known->deviceType;
            record.connectionMode = known->connectionMode;
        }
        record.wired = record.connectionMode == 0;
        entry->device = std::move(device);

        if (UpperCase(info.name).find(kAuxInterfaceMarker) != std::string::npos) {
            record.index = -1;
            m_auxInterface = std::move(entry);
            continue;
        }
        record.index = static_cast<int>(m_interfaces.size());
        m_interfaces.push_back(std::move(entry));
    }
}

void HidDeviceManager::SetOpened(int opened)
{
    std::lock_guard lock(m_lock);
    m_opened = opened;
}

int HidDeviceManager::Opened() const
{
    std::lock_guard lock(m_lock);
    return m_opened;
}

void HidDeviceManager::SelectDeviceType(int deviceType)
{
    std::lock_guard lock(m_lock);
    m_selectedDeviceType = deviceType;
    m_activeInterface = nullptr;
}

bool HidDeviceManager::CollectInterfaces(std::vector<DeviceInterface>& out)
{
    std::lock_guard lock(m_lock);
    if (m_interfaces.empty())
        return false;
    for (const auto& entry : m_interfaces) {
        if (m_selectedDeviceType == 0 || entry->info.deviceType == m_selectedDeviceType)
            out.push_back(entry->info);
    }
    return true;
}

int HidDeviceManager::FindInterface(int vendorId, int productId, const CString& productName,
                                    int connectionMode)
{
    std::lock_guard lock(m_lock);
    for (size_t i = 0; i < m_interfaces.size(); ++i) {
        const DeviceInterface& entry = m_interfaces[i]->info;
        if (entry.vendorId == vendorId && entry.productId == productId &&
            entry.connectionMode == connectionMode &&
            (productName.empty() || entry.productString == productName))
            return static_cast<int>(i);
    }
    return -1;
}

int HidDeviceManager::ConnectedMode()
{
    std::lock_guard lock(m_lock);
    bool present[3] = {};
    for (const auto& entry : m_interfaces) {
        const DeviceInterface& info = entry->info;
        if (info.deviceType == m_selectedDeviceType && info.connectionMode >= 0 && info.connectionMode <= 2)
            present[info.connectionMode] = true;
    }
    // Wired first; of the wireless modes 2 before 1, unlike the order in which commands are routed.
    for (int mode : {0, 2, 1}) {
        if (present[mode])
            return mode;
    }
    return -1;
}

std::optional<DeviceInterface> HidDeviceManager::ActiveInterface()
{
    std::lock_guard lock(m_lock);
    if (const OpenInterface* active = ActiveInterfaceLocked())
        return active->info;
    return std::nullopt;
}

CString HidDeviceManager::LastError(uint64_t interfaceId) const
{
    std::lock_guard lock(m_lock);
    for (const auto& entry : m_interfaces) {
        if (entry->info.id == interfaceId)
            return entry->lastError;
    }
    if (m_auxInterface && m_auxInterface->info.id == interfaceId)
        return m_auxInterface->lastError;
    return {};
}

bool HidDeviceManager::CanTransfer()
{
    std::lock_guard lock(m_lock);
    const OpenInterface* target = TransferTarget();
    return target && Usable(*target);
}

HidDeviceManager::OpenInterface* HidDeviceManager::ActiveInterfaceLocked()
{
    if (m_activeInterface)
        return m_activeInterface;
    for (int mode : kModeSearchOrder) {
        for (const auto& entry : m_interfaces) {
            if (entry->info.deviceType == m_selectedDeviceType && entry->info.connectionMode == mode) {
                m_activeInterface = entry.get();
                return m_activeInterface;
            }
        }
    }
    return nullptr;
}

HidDeviceManager::OpenInterface* HidDeviceManager::TransferTarget()
{
    return m_opened ? ActiveInterfaceLocked() : nullptr;
}

bool HidDeviceManager::Usable(const OpenInterface& target) const
{
    return !target.gone && !m_stalled;
}

void HidDeviceManager::PauseFor(const OpenInterface& target, std::chrono::milliseconds duration)
{
    if (Usable(target))
        m_clock.SleepFor(duration);
}

void HidDeviceManager::NoteFailure(OpenInterface& target)
{
    target.lastError = FirstLine(target.device->LastError());
    switch (target.device->LastFault()) {
    case HidFault::Gone:
        target.gone = true;
        break;
    case HidFault::TimedOut:
        m_stalled = true;
        break;
    case HidFault::None:
    case HidFault::Failed:
        break;
    }
}

bool HidDeviceManager::SendFeatureTo(OpenInterface& target, std::span<const uint8_t> report)
{
    if (!Usable(target))
        return false;
    const int sent = target.device->SendFeatureReport(report.first(kFeatureReportLength), kTransferTimeout);
    if (sent <= 0)
        NoteFailure(target);
    return sent > 0;
}

bool HidDeviceManager::GetFeatureFrom(OpenInterface& target, std::span<uint8_t> report)
{
    if (!Usable(target))
        return false;
    const int received =
        target.device->GetFeatureReport(report.first(kFeatureReportLength), kTransferTimeout);
    if (received <= 0)
        NoteFailure(target);
    return received > 0;
}

bool HidDeviceManager::WriteTo(OpenInterface& target, std::span<const uint8_t, kOutputReportLength> report)
{
    if (!Usable(target))
        return false;
    // An interface with longer output reports gets the report padded with zeros; a shorter one still
    // gets all 65 bytes.
    std::vector<uint8_t> bytes(std::max(kOutputReportLength, target.device->OutputReportLength()), 0);
    std::copy(report.begin(), report.end(), bytes.begin());
    const int written = target.device->Write(bytes, kTransferTimeout);
    if (written <= 0)
        NoteFailure(target);
    return written > 0;
}

bool HidDeviceManager::WriteWithRetry(OpenInterface& target,
                                      std::span<const uint8_t, kOutputReportLength> report,
                                      std::chrono::milliseconds retryPause)
{
    if (WriteTo(target, report))
        return true;
    // Retrying a device that is gone or stalled would only wait for the same answer.
    if (!Usable(target))
        return false;
    m_clock.SleepFor(retryPause);
    return WriteTo(target, report);
}

bool HidDeviceManager::SendFeatureDelayed(std::span<const uint8_t, kFeatureReportLength> report)
{
    TransferLock lock(*this);
    if (OpenInterface* target = TransferTarget()) {
        PauseFor(*target, kFeaturePause);
        SendFeatureTo(*target, report);
    }
    return false;
}

bool HidDeviceManager::SendFeature(std::span<const uint8_t, kFeatureReportLength> report)
{
    TransferLock lock(*this);
    OpenInterface* target = TransferTarget();
    return target && SendFeatureTo(*target, report);
}

bool HidDeviceManager::ReadSlotTable(std::span<uint8_t, kSlotTableLength> table)
{
    TransferLock lock(*this);
    OpenInterface* target = TransferTarget();
    if (!target)
        return false;
    SendFeatureTo(*target, table.first<kFeatureReportLength>());

    constexpr size_t kChunk = 7;
    std::array<uint8_t, kOutputReportLength> work{};
    for (size_t k = 0; k < kSlotTableLength / kChunk; ++k) {
        work[0] = kFeatureReportId;
        work[1] = 0xFB;
        work[2] = 0x01;
        PauseFor(*target, kFeaturePause);
        if (GetFeatureFrom(*target, work))
            std::copy_n(work.begin() + 1, kChunk, table.begin() + kChunk * k);
    }
    return true;
}

bool HidDeviceManager::ReadFirmwareVersion(int& version)
{
    TransferLock lock(*this);
    OpenInterface* target = TransferTarget();
    if (!target)
        return false;
    std::array<uint8_t, kFeatureReportLength> report{kFeatureReportId, 0xFD};
    PauseFor(*target, kFeaturePause);
    if (!SendFeatureTo(*target, report))
        return false;

    PauseFor(*target, kFeaturePause);
    bool answered = GetFeatureFrom(*target, report);
    if (answered && report[0] != kFeatureReportId) {
        // Another report's answer came first. The next read asks for the version's report again (not for
        // the id that came back) and is taken whatever it is.
        report[0] = kFeatureReportId;
        PauseFor(*target, kFeaturePause);
        answered = GetFeatureFrom(*target, report);
    }
    // A failed read would otherwise pass the request's own bytes off as a version.
    if (!answered)
        return false;
    version = report[1] * 256 + report[2];
    return true;
}

bool HidDeviceManager::WriteReport(std::span<const uint8_t, kOutputReportLength> report)
{
    TransferLock lock(*this);
    OpenInterface* target = TransferTarget();
    return target && WriteWithRetry(*target, report, kWriteRetryPause);
}

bool HidDeviceManager::WriteAuxReport(std::span<const uint8_t, kOutputReportLength> report)
{
    TransferLock lock(*this);
    // An auxiliary interface that is gone counts as missing, so that a stream stops at once.
    if (!m_opened || !m_auxInterface || m_auxInterface->gone)
        return false;
    WriteWithRetry(*m_auxInterface, report, kWriteRetryPause);
    return !m_auxInterface->gone;
}

bool HidDeviceManager::WritePayload(std::span<const uint8_t, kPayloadLength> data)
{
    TransferLock lock(*this);
    OpenInterface* target = TransferTarget();
    if (!target)
        return false;
    std::array<uint8_t, kOutputReportLength> report{};
    std::copy(data.begin(), data.end(), report.begin() + 1);
    return WriteWithRetry(*target, report, kPayloadRetryPause);
}

HidDeviceManager::TransferLock HidDeviceManager::LockTransfers()
{
    return TransferLock(*this);
}

HidDeviceManager::TransferLock::TransferLock(HidDeviceManager& manager) : m_manager(&manager)
{
    m_manager->m_lock.lock();
    ++m_manager->m_lockDepth;
}

HidDeviceManager::TransferLock::TransferLock(TransferLock&& other) noexcept
    : m_manager(std::exchange(other.m_manager, nullptr))
{
}

HidDeviceManager::TransferLock& HidDeviceManager::TransferLock::operator=(TransferLock&& other) noexcept
{
    if (this != &other) {
        Release();
        m_manager = std::exchange(other.m_manager, nullptr);
    }
    return *this;
}

HidDeviceManager::TransferLock::~TransferLock()
{
    Release();
}

void HidDeviceManager::TransferLock::Release()
{
    if (!m_manager)
        return;
    if (--m_manager->m_lockDepth == 0)
        m_manager->m_stalled = false;
    m_manager->m_lock.unlock();
    m_manager = nullptr;
}
