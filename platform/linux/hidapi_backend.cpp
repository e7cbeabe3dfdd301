#include "platform/linux/hidapi_backend.h"

#include <hidapi/hidapi.h>

#include <algorithm>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <mutex>

#include "platform/linux/blocking_call_runner.h"
#include "platform/linux/hid_report_descriptor.h"
#include "platform/linux/hidraw_interface_name.h"

namespace {

std::string NodeName(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

HidBus BusOf(hid_bus_type type)
{
    switch (type) {
    case HID_API_BUS_USB:
        return HidBus::Usb;
    case HID_API_BUS_BLUETOOTH:
        return HidBus::Bluetooth;
    case HID_API_BUS_I2C:
        return HidBus::I2c;
    case HID_API_BUS_SPI:
        return HidBus::Spi;
    default:
        return HidBus::Unknown;
    }
}

std::wstring ErrorText(hid_device* device)
{
    const wchar_t* text = hid_error(device);
    return text && *text ? std::wstring(text) : std::wstring(L"The transfer failed.");
}

bool NodePresent(const std::string& path)
{
    std::error_code error;
    return std::filesystem::exists(path, error) || error;
}

// One opened hidraw interface. The hidapi handle belongs to the runner's thread: every transfer and the
// final close happen there, so a transfer that overran cannot race the close.
class HidapiDevice : public HidDevice {
public:
    HidapiDevice(hid_device* device, std::string path, size_t outputReportLength)
        : m_state(std::make_shared<State>()), m_outputReportLength(outputReportLength)
    {
        m_state->device = device;
        m_state->path = std::move(path);
        m_runner.SetFinalCall([state = m_state] { hid_close(state->device); });
    }

    int Write(std::span<const uint8_t> report, std::chrono::milliseconds timeout) override
    {
        return Transfer(report, timeout, [](hid_device* device, std::vector<uint8_t>& bytes) {
            return hid_write(device, bytes.data(), bytes.size());
        });
    }

    int SendFeatureReport(std::span<const uint8_t> report, std::chrono::milliseconds timeout) override
    {
        return Transfer(report, timeout, [](hid_device* device, std::vector<uint8_t>& bytes) {
            return hid_send_feature_report(device, bytes.data(), bytes.size());
        });
    }

    int GetFeatureReport(std::span<uint8_t> report, std::chrono::milliseconds timeout) override
    {
        auto answer = std::make_shared<std::vector<uint8_t>>();
        const int result =
            Transfer(report, timeout, [answer](hid_device* device, std::vector<uint8_t>& bytes) {
                const int received = hid_get_feature_report(device, bytes.data(), bytes.size());
                if (received > 0)
                    *answer = bytes;
                return received;
            });
        if (result > 0) {
            std::lock_guard lock(m_state->lock);
            std::copy(answer->begin(), answer->end(), report.begin());
        }
        return result;
    }

    size_t OutputReportLength() const override { return m_outputReportLength; }

    // A hidraw transfer cannot be cancelled; one that overran is left to finish on the runner's thread.
    void CancelIo() override {}

    std::wstring LastError() const override
    {
        std::lock_guard lock(m_state->lock);
        return m_state->lastError;
    }

    HidFault LastFault() const override
    {
        std::lock_guard lock(m_state->lock);
        return m_state->fault;
    }

private:
    struct State {
        hid_device* device = nullptr;
        std::string path;
        std::mutex lock; // guards the error, the fault and the answer copy against a late call
        std::wstring lastError;
        HidFault fault = HidFault::None;
    };

    template <typename Call>
    int Transfer(std::span<const uint8_t> report, std::chrono::milliseconds timeout, Call call)
    {
        {
            std::lock_guard lock(m_state->lock);
            if (m_state->fault == HidFault::Gone)
                return -1;
        }
        auto result = std::make_shared<int>(-1);
        auto bytes = std::make_shared<std::vector<uint8_t>>(report.begin(), report.end());
        const bool inTime = m_runner.Run(
            [state = m_state, result, bytes, call] {
                errno = 0;
                const int transferred = call(state->device, *bytes);
                // Taken at once: what hidapi does after the call must not change it.
                const int error = errno;
                if (transferred < 0) {
                    std::wstring text = ErrorText(state->device);
                    const HidFault fault = HidrawFaultOf(error, NodePresent(state->path));
                    std::lock_guard lock(state->lock);
                    state->lastError = std::move(text);
                    state->fault = fault;
                }
                *result = transferred;
            },
            timeout);
        if (!inTime) {
            std::lock_guard lock(m_state->lock);
            m_state->lastError = kHidTimedOutText;
            if (m_state->fault != HidFault::Gone)
                m_state->fault = HidFault::TimedOut;
            return -1;
        }
        return *result;
    }

    std::shared_ptr<State> m_state;
    size_t m_outputReportLength;
    BlockingCallRunner m_runner; // last: its thread ends (or is let go) before the rest is destroyed
};

} // namespace

HidFault HidrawFaultOf(int errorNumber, bool nodePresent)
{
    if (!nodePresent)
        return HidFault::Gone;
    switch (errorNumber) {
    case ENODEV:
    case ENXIO:
    case ESHUTDOWN:
        return HidFault::Gone;
    case ETIMEDOUT:
        return HidFault::TimedOut;
    default:
        return HidFault::Failed;
    }
}

HidapiBackend::HidapiBackend(std::string sysfsRoot) : m_sysfsRoot(std::move(sysfsRoot)) {}

bool HidapiBackend::Init()
{
    return hid_init() == 0;
}

void HidapiBackend::Exit()
{
    hid_exit();
}

std::vector<HidInterfaceInfo> HidapiBackend::Enumerate()
{
    std::vector<HidInterfaceInfo> interfaces;
    hid_device_info* first = hid_enumerate(0, 0);

    // hidapi lists each top-level collection of a hidraw node as its own entry with the same path;
    // Windows numbers such collections in the interface name.
    std::map<std::string, int> collections;
    for (const hid_device_info* info = first; info; info = info->next) {
        if (info->path)
            ++collections[info->path];
    }

    std::map<std::string, int> seen;
    for (const hid_device_info* info = first; info; info = info->next) {
        if (!info->path)
            continue;
        HidInterfaceInfo entry;
        entry.path = info->path;
        entry.vendorId = info->vendor_id;
        entry.productId = info->product_id;
        entry.releaseNumber = info->release_number;
        entry.usagePage = info->usage_page;
        entry.usage = info->usage;
        entry.interfaceNumber = info->interface_number;
        entry.bus = BusOf(info->bus_type);
        if (entry.bus == HidBus::Bluetooth && IsUhidDevice(entry.path))
            entry.bus = HidBus::BluetoothLowEnergy;

        const HidrawNode node{entry.path,      entry.bus,           entry.vendorId,
                              entry.productId, entry.releaseNumber, entry.interfaceNumber};
        const int index = ++seen[entry.path];
        entry.name = HidrawInterfaceName(node, index, collections[entry.path]);
        interfaces.push_back(std::move(entry));
    }
    hid_free_enumeration(first);
    return interfaces;
}

std::unique_ptr<HidDevice> HidapiBackend::Open(const std::string& path)
{
    hid_device* device = hid_open_path(path.c_str());
    if (!device)
        return nullptr;
    return std::make_unique<HidapiDevice>(device, path, OutputReportLength(path));
}

std::string HidapiBackend::SysfsDeviceFolder(const std::string& path) const
{
    return m_sysfsRoot + "/class/hidraw/" + NodeName(path) + "/device";
}

size_t HidapiBackend::OutputReportLength(const std::string& path) const
{
    std::ifstream file(SysfsDeviceFolder(path) + "/report_descriptor", std::ios::binary);
    if (!file)
        return 0;
    const std::vector<uint8_t> descriptor{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
    return OutputReportByteLength(descriptor);
}

bool HidapiBackend::IsUhidDevice(const std::string& path) const
{
    std::error_code error;
    const std::filesystem::path device = std::filesystem::canonical(SysfsDeviceFolder(path), error);
    if (error)
        return false;
    for (const auto& part : device) {
        if (part == "uhid")
            return true;
    }
    return false;
}
