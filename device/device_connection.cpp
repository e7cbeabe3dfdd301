#include "device/device_connection.h"

#include <algorithm>
#include <cctype>

#include "device/device_window_view.h"
#include "device/hid_device_manager.h"
#include "platform/hid_interface_name.h"

namespace {

std::string UpperCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

bool HoldsBluetoothService(const std::string& upperName)
{
    return upperName.find(kBluetoothLowEnergyHidService) != std::string::npos;
}

} // namespace

DeviceConnection::DeviceConnection(std::vector<DeviceRecord> modes) : m_modes(std::move(modes))
{
    for (const DeviceRecord& mode : m_modes)
        m_patterns.push_back(UpperCase(WideToUtf8(mode.interfacePattern)));
}

void DeviceConnection::Scan(HidDeviceManager& manager, DeviceWindowView& view)
{
    m_deviceKnown.store(false);
    manager.CloseAll();
    manager.Refresh();
    manager.SetOpened(1);
    manager.SelectDeviceType(0);
    std::vector<DeviceInterface> interfaces;
    manager.CollectInterfaces(interfaces);

    view.ResetDeviceStates();
    // The records never change but for their flags: match a copy, so that the UI thread's arrivals
    // and removals never wait for the manager.
    const std::vector<DeviceRecord> modes = Modes();
    std::vector<bool> found(modes.size(), false);
    for (size_t i = 0; i < modes.size(); ++i) {
        const DeviceRecord& mode = modes[i];
        found[i] = manager.FindInterface(mode.vendorId, mode.productId, mode.name, mode.modeValue) >= 0;
    }
    {
        std::lock_guard lock(m_lock);
        m_foundTypes.clear();
        for (size_t i = 0; i < m_modes.size(); ++i) {
            if (!found[i])
                continue;
            m_modes[i].connected = 1;
            m_foundTypes.push_back(m_modes[i].deviceType);
        }
    }
    for (size_t i = 0; i < modes.size(); ++i) {
        if (!found[i])
            continue;
        m_deviceKnown.store(true);
        view.SetDeviceConnected(modes[i].deviceType);
    }
    m_interfaceOpen.store(!interfaces.empty());
}

int DeviceConnection::ModelToUse(int preferred) const
{
    if (Found(preferred))
        return preferred;
    std::lock_guard lock(m_lock);
    return m_foundTypes.empty() ? 0 : m_foundTypes.front();
}

bool DeviceConnection::Found(int deviceType) const
{
    std::lock_guard lock(m_lock);
    return deviceType != 0 &&
           std::find(m_foundTypes.begin(), m_foundTypes.end(), deviceType) != m_foundTypes.end();
}

bool DeviceConnection::OnArrival(const std::string& interfaceName) const
{
    const std::string name = UpperCase(interfaceName);
    std::lock_guard lock(m_lock);
    for (const std::string& pattern : m_patterns) {
        if (HoldsBluetoothService(name))
            return false;
        if (name.find(pattern) != std::string::npos)
            return true;
    }
    return false;
}

bool DeviceConnection::OnRemoval(const std::string& interfaceName)
{
    const std::string name = UpperCase(interfaceName);
    std::lock_guard lock(m_lock);
    for (size_t i = 0; i < m_modes.size(); ++i) {
        if (m_modes[i].connected == 0)
            continue;
        if (HoldsBluetoothService(name))
            return false;
        if (name.find(m_patterns[i]) != std::string::npos) {
            m_modes[i].connected = 0;
            return true;
        }
    }
    return false;
}

std::vector<DeviceRecord> DeviceConnection::Modes() const
{
    std::lock_guard lock(m_lock);
    return m_modes;
}
