#include "sim/simulated_model.h"

#include <cwctype>

CommandFamily CommandFamilyOf(int deviceType)
{
    return deviceType <= 200 ? CommandFamily::OutputReports : CommandFamily::FeatureReports;
}

SimulatedModel SimulatedModel::FeatureKeyboard()
{
    SimulatedModel model;
    model.deviceType = 201;
    model.modes = {{0, 0x0001, HidBus::Usb, 2, false},
                   {1, 0x0002, HidBus::Usb, 2, false},
                   {2, 0x0003, HidBus::BluetoothLowEnergy, -1, false}};
    return model;
}

SimulatedModel SimulatedModel::OutputKeyboard()
{
    SimulatedModel model;
    model.deviceType = 101;
    model.modes = {{0, 0x0004, HidBus::Usb, 1, true}};
    return model;
}

SimulatedModel SimulatedModel::FromKnownDevices(const std::vector<KnownDeviceRow>& rows, int deviceType)
{
    SimulatedModel model;
    model.deviceType = deviceType;
    bool first = true;
    for (const KnownDeviceRow& row : rows) {
        if (row.deviceType != deviceType)
            continue;
        if (first)
            model.vendorId = static_cast<uint16_t>(row.vendorId);
        first = false;

        CString pattern = row.interfacePattern;
        for (wchar_t& c : pattern)
            c = static_cast<wchar_t>(std::towupper(static_cast<wint_t>(c)));
        SimulatedMode mode;
        mode.connectionMode = row.modeValue;
        mode.productId = static_cast<uint16_t>(row.productId);
        if (const size_t at = pattern.find(L"MI_"); at != CString::npos) {
            mode.commandInterface = static_cast<int>(std::wcstol(pattern.c_str() + at + 3, nullptr, 16));
        } else if (pattern.find(L"VID&02") != CString::npos) {
            mode.bus = HidBus::BluetoothLowEnergy;
            mode.commandInterface = -1;
        }
        mode.streamInterface = model.Family() == CommandFamily::OutputReports && mode.bus == HidBus::Usb &&
                               mode.commandInterface != 3;
        model.modes.push_back(mode);
    }
    return model;
}
