#pragma once
// The home page (page 50): the header ("Select your keyboard" / "Connect your keyboard"), the device
// list with one row per keyboard model of the description, the software version and the copyright.
// Ids 55–58.
//
// The device list shows only the connected models: every model is added hidden, and each scan hides
// them all again before it marks the ones it found. A press on a shown row is the way back from the
// home page to the keyboard pages.

#include "app/main_page.h"
#include "app/software_data.h"
#include "core/wide_text.h"

class CDeviceCtrl;

class HomePage final : public MainPage {
public:
    using MainPage::MainPage;

    void Build(MPanel* page, const CRect& client) override;
    void Layout(const CRect& client) override;
    bool Owns(unsigned controlId) const override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;

    // "Ver: <version>" and the copyright line.
    void SetSoftwareData(const SoftwareData& software);
    // Text 60 while a keyboard is connected, 61 while none is.
    void SetHeaderText(int textId);

    // A keyboard model of the description, hidden until a scan finds it.
    void AddDevice(const CString& name, int deviceType);
    // After a scan: every model hidden, then the found ones connected (state 1).
    void ResetAllStates();
    void SetDeviceState(int deviceType, int state);
    // The device type of the row the user picked; 0 when none is or nothing is connected.
    int ChosenDeviceType() const;
    // Null while the class is missing.
    CDeviceCtrl* DeviceList() const;
};
