#include "app/simulated_keyboard_run.h"

#include <cwctype>
#include <memory>

#include "core/number_text.h"
#include "device/device_description.h"
#include "device/hid_device_manager.h"
#include "platform/linux/steady_monotonic_clock.h"
#include "sim/keyboard_simulator.h"
#include "sim/report_log_backend.h"

namespace {

constexpr int kStartupDeviceType = 201;

bool SameText(const CString& a, const CString& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (std::towlower(a[i]) != std::towlower(b[i]))
            return false;
    }
    return true;
}

// The simulator and its log as one backend, so the HID manager that owns it keeps both alive.
class SimulatedHid final : public HidBackend {
public:
    SimulatedHid()
        : m_simulator(SteadyMonotonicClock::Shared()), m_log(m_simulator, SteadyMonotonicClock::Shared())
    {
    }

    KeyboardSimulator& Simulator() { return m_simulator; }
    ReportLogBackend& Log() { return m_log; }

    bool Init() override { return m_log.Init(); }
    void Exit() override { m_log.Exit(); }
    std::vector<HidInterfaceInfo> Enumerate() override { return m_log.Enumerate(); }
    std::unique_ptr<HidDevice> Open(const std::string& path) override { return m_log.Open(path); }

private:
    KeyboardSimulator m_simulator;
    ReportLogBackend m_log;
};

} // namespace

std::optional<int> SimulatedDeviceType(const DeviceDescription& description, const std::string& model)
{
    if (model.empty())
        return kStartupDeviceType;
    const bool numeric = model.find_first_not_of("0123456789") == std::string::npos;
    if (numeric) {
        const int type = static_cast<int>(LeadingDecimal(Utf8ToWide(model)));
        if (description.FindModel(type))
            return type;
        return std::nullopt;
    }
    const CString name = Utf8ToWide(model);
    for (const DeviceRecord& record : description.models) {
        if (SameText(record.name, name))
            return record.deviceType;
    }
    return std::nullopt;
}

KeyboardSimulator* StartSimulatedKeyboard(const DeviceDescription& description, int deviceType,
                                          const std::string& logPath, std::string& error)
{
    const SimulatedModel model = SimulatedModel::FromKnownDevices(description.KnownDeviceRows(), deviceType);
    if (model.modes.empty()) {
        error = "the keyboard model of device type " + std::to_string(deviceType) +
                " has no connection modes in config.xml";
        return nullptr;
    }
    auto hid = std::make_unique<SimulatedHid>();
    if (!logPath.empty() && !hid->Log().OpenLog(logPath)) {
        error = "cannot write the report log '" + logPath + "'";
        return nullptr;
    }
    KeyboardSimulator& simulator = hid->Simulator();
    SimulatedKeyboard& keyboard = simulator.AddKeyboard(model);
    int mode = model.modes.front().connectionMode;
    for (const SimulatedMode& m : model.modes) {
        if (m.connectionMode == 0)
            mode = 0;
    }
    keyboard.Connect(mode);
    if (!HidDeviceManager::UseBackend(std::move(hid))) {
        error = "the HID manager was in use before the simulator could be installed";
        return nullptr;
    }
    return &simulator;
}
