#include "app/home_page.h"

#include "app/control_helpers.h"
#include "app/keyboard_dlg.h"
#include "app/main_window_ids.h"
#include "ui/controls/m_text.h"
#include "ui/keyboard/c_device_ctrl.h"

namespace {

constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kGrey = 0xFF969696;
constexpr int kHeaderTextId = 60;
constexpr unsigned kCodeChosen = 1;
constexpr int kDeviceStateFrames = 2;

} // namespace

void HomePage::Build(MPanel* page, const CRect& /*client*/)
{
    m_page = page;
    StyleText(MakeControl<MText>(page, L"MText", MainId::kHomeHeader), kWhite, 20, FontStyleBold, 1);
    m_window.Texts().BindAndApply(m_window, MainId::kHomeHeader, kHeaderTextId);
    if (auto* list = MakeControl<CDeviceCtrl>(page, L"CDeviceCtrl", MainId::kDeviceList)) {
        list->SetImage(L"img_device_state.png", kDeviceStateFrames);
        StyleText(list, kWhite, 20, FontStyleBold, 1);
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

CDeviceCtrl* HomePage::DeviceList() const
{
    return FindControl<CDeviceCtrl>(m_window, MainId::kDeviceList);
}

void HomePage::AddDevice(const CString& name, int deviceType)
{
    if (CDeviceCtrl* list = DeviceList())
        list->AddDevice(name, 0, 0, deviceType, false);
}

void HomePage::ResetAllStates()
{
    if (CDeviceCtrl* list = DeviceList())
        list->ResetAllState();
}

void HomePage::SetDeviceState(int deviceType, int state)
{
    if (CDeviceCtrl* list = DeviceList())
        list->SetDeviceState(deviceType, state);
}

int HomePage::ChosenDeviceType() const
{
    const CDeviceCtrl* list = DeviceList();
    return list ? list->GetCurDeviceType() : 0;
}
