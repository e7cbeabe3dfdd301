#include "sim/report_log_backend.h"

#include <chrono>

namespace {

std::string InterfaceName(const HidInterfaceInfo& info)
{
    if (info.interfaceNumber < 0)
        return info.bus == HidBus::BluetoothLowEnergy ? "BLE" : "-";
    char text[16];
    std::snprintf(text, sizeof text, "MI_%02X", static_cast<unsigned>(info.interfaceNumber) & 0xFFu);
    return text;
}

class LoggedDevice final : public HidDevice {
public:
    LoggedDevice(std::unique_ptr<HidDevice> inner, ReportLogBackend& log, std::string interfaceName)
        : m_inner(std::move(inner)), m_log(log), m_interface(std::move(interfaceName))
    {
    }

    int Write(std::span<const uint8_t> report, std::chrono::milliseconds timeout) override
    {
        const int result = m_inner->Write(report, timeout);
        if (result >= 0)
            m_log.Append(m_interface, report);
        return result;
    }
    int SendFeatureReport(std::span<const uint8_t> report, std::chrono::milliseconds timeout) override
    {
        const int result = m_inner->SendFeatureReport(report, timeout);
        if (result >= 0)
            m_log.Append(m_interface, report);
        return result;
    }
    int GetFeatureReport(std::span<uint8_t> report, std::chrono::milliseconds timeout) override
    {
        return m_inner->GetFeatureReport(report, timeout);
    }
    size_t OutputReportLength() const override { return m_inner->OutputReportLength(); }
    void CancelIo() override { m_inner->CancelIo(); }
    std::wstring LastError() const override { return m_inner->LastError(); }
    HidFault LastFault() const override { return m_inner->LastFault(); }

private:
    std::unique_ptr<HidDevice> m_inner;
    ReportLogBackend& m_log;
    std::string m_interface;
};

} // namespace

ReportLogBackend::ReportLogBackend(HidBackend& inner, MonotonicClock& clock)
    : m_inner(inner), m_clock(clock), m_start(clock.Now())
{
}

ReportLogBackend::~ReportLogBackend()
{
    if (m_file)
        std::fclose(m_file);
}

bool ReportLogBackend::OpenLog(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "we");
    if (!file)
        return false;
    const std::lock_guard lock(m_lock);
    if (m_file)
        std::fclose(m_file);
    m_file = file;
    return true;
}

bool ReportLogBackend::Init()
{
    return m_inner.Init();
}

void ReportLogBackend::Exit()
{
    m_inner.Exit();
}

std::vector<HidInterfaceInfo> ReportLogBackend::Enumerate()
{
    std::vector<HidInterfaceInfo> interfaces = m_inner.Enumerate();
    const std::lock_guard lock(m_lock);
    for (const HidInterfaceInfo& info : interfaces)
        m_interfaceOf[info.path] = InterfaceName(info);
    return interfaces;
}

std::unique_ptr<HidDevice> ReportLogBackend::Open(const std::string& path)
{
    std::unique_ptr<HidDevice> device = m_inner.Open(path);
    if (!device)
        return nullptr;
    std::string name;
    {
        const std::lock_guard lock(m_lock);
        const auto known = m_interfaceOf.find(path);
        name = known != m_interfaceOf.end() ? known->second : "-";
    }
    return std::make_unique<LoggedDevice>(std::move(device), *this, std::move(name));
}

std::string ReportLogBackend::FormatLine(int64_t milliseconds, const std::string& interfaceName,
                                         std::span<const uint8_t> report)
{
    static const char kDigits[] = "0123456789abcdef";
    std::string line = std::to_string(milliseconds) + ' ' + interfaceName + ' ';
    line.reserve(line.size() + report.size() * 2);
    for (const uint8_t byte : report) {
        line += kDigits[byte >> 4];
        line += kDigits[byte & 0x0F];
    }
    return line;
}

void ReportLogBackend::Append(const std::string& interfaceName, std::span<const uint8_t> report)
{
    const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(m_clock.Now() - m_start);
    const std::string line = FormatLine(elapsed.count(), interfaceName, report) + '\n';
    const std::lock_guard lock(m_lock);
    if (!m_file)
        return;
    std::fwrite(line.data(), 1, line.size(), m_file);
    std::fflush(m_file);
}
