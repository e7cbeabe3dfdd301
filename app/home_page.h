#pragma once
// The home page (page 50): the header ("Select your keyboard" / "Connect your keyboard"), the device
// list with one row per keyboard model of the description, the software version and the copyright.
// Ids 55–58.

#include <vector>

#include "app/main_page.h"
#include "app/software_data.h"
#include "core/wide_text.h"

class HomePage final : public MainPage {
public:
    // One row of the device list: a keyboard model and whether it is connected.
    struct DeviceRow {
        CString name;
        int deviceType = 0;
        int state = 2; // 0 not shown, 1 connected, 2 listed but not connected
    };

    using MainPage::MainPage;

    void Build(MPanel* page, const CRect& client) override;
    void Layout(const CRect& client) override;
    bool Owns(unsigned controlId) const override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;

    // "Ver: <version>" and the copyright line.
    void SetSoftwareData(const SoftwareData& software);
    // Text 60 while a keyboard is connected, 61 while none is.
    void SetHeaderText(int textId);

    // The device list, as the device list control shows it.
    void AddDevice(const CString& name, int deviceType);
    void ResetAllStates();
    void SetDeviceState(int deviceType, int state);
    const std::vector<DeviceRow>& Devices() const { return m_devices; }
    // The device type of the row the user picked; 0 when none.
    int ChosenDeviceType() const;

private:
    std::vector<DeviceRow> m_devices;
};
