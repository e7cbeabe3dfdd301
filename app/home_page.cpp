#include "app/home_page.h"

#include "app/control_helpers.h"
#include "app/keyboard_dlg.h"
#include "app/main_window_ids.h"
#include "ui/controls/m_text.h"

namespace {

constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kGrey = 0xFF969696;
constexpr int kHeaderTextId = 60;
constexpr unsigned kCodeChosen = 1;

} // namespace

void HomePage::Build(MPanel* page, const CRect& /*client*/)
{
    m_page = page;
    StyleText(MakeControl<MText>(page, L"MText", MainId::kHomeHeader), kWhite, 20, FontStyleBold, 1);
    m_window.Texts().BindAndApply(m_window, MainId::kHomeHeader, kHeaderTextId);
    // FIXME: CDeviceCtrl is not built yet. Once it is: picture "img_device_state.png" with 2 frames, white
    // bold text of size 20, and the rows of m_devices pushed into it (AddDevice, SetDeviceState,
    // ResetAllState), with ChosenDeviceType reading GetCurDeviceType.
    if (auto* list = MakeControl<MControlFont>(page, L"CDeviceCtrl", MainId::kDeviceList)) {
        list->SetImage(L"img_device_state.png", 2);
        StyleText(list, kWhite, 20, FontStyleBold, 0);
    }
    for (unsigned id : {MainId::kVersion, MainId::kCopyright}) {
        if (auto* text = MakeControl<MText>(page, L"MText", id)) {
            text->SetTextColor(kGrey);
            text->SetAlignment(id == MainId::kCopyright ? 1 : 0);
        }
    }
}

void HomePage::Layout(const CRect& client)
{
    const int cx = client.Width();
    const int cy = client.Height();
    const int left = (cx - 360) / 2;
    PlaceControl(m_window, MainId::kHomeHeader, CRect(left, 280, left + 372, 318));
    PlaceControl(m_window, MainId::kDeviceList, CRect(left, 318, left + 372, 580));
    PlaceControl(m_window, MainId::kVersion, CRect(10, cy - 40, 170, cy - 5));
    PlaceControl(m_window, MainId::kCopyright, CRect(cx / 2 - 350, cy - 40, cx / 2 + 350, cy - 5));
}

bool HomePage::Owns(unsigned controlId) const
{
    return controlId >= MainId::kHomeHeader && controlId <= MainId::kVersion;
}

long HomePage::OnMessage(unsigned id, unsigned code, unsigned /*wParam*/, long /*lParam*/)
{
    if (id == MainId::kDeviceList && code == kCodeChosen) {
        m_window.OnModelChosen(ChosenDeviceType());
        return 1;
    }
    return 0;
}

void HomePage::SetSoftwareData(const SoftwareData& software)
{
    if (auto* version = FindControl<MControlFont>(m_window, MainId::kVersion))
        version->SetControlTitle(FormatText(L"Ver: %s", software.version.c_str()).c_str());
    if (auto* copyright = FindControl<MControlFont>(m_window, MainId::kCopyright))
        copyright->SetControlTitle(software.copyright.c_str());
}

void HomePage::SetHeaderText(int textId)
{
    m_window.Texts().BindAndApply(m_window, MainId::kHomeHeader, textId);
}

void HomePage::AddDevice(const CString& name, int deviceType)
{
    m_devices.push_back({name, deviceType, 2});
}

void HomePage::ResetAllStates()
{
    for (DeviceRow& row : m_devices)
        row.state = 2;
}

void HomePage::SetDeviceState(int deviceType, int state)
{
    for (DeviceRow& row : m_devices) {
        if (row.deviceType == deviceType)
            row.state = state;
    }
}

int HomePage::ChosenDeviceType() const
{
    // FIXME: the device list control's current row (CDeviceCtrl::GetCurDeviceType) once it exists.
    return 0;
}
