// The devices page: the profile list with renaming in place (empty names and names with "admin" are
// refused and the old name comes back), the keyboard list with buttons that connect and disconnect the
// models, the battery gauge with its level and charging, the two update buttons with their badge, and a
// group of DPI levels. Every notification goes on to the gallery's status line.

#include <cwctype>
#include <map>
#include <memory>

#include "ui/controls/c_check_button.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_slider.h"
#include "ui/examples/gallery_pages.h"
#include "ui/keyboard/battery_ctrl.h"
#include "ui/keyboard/c_device_ctrl.h"
#include "ui/keyboard/d_list_box.h"
#include "ui/keyboard/dpi_control.h"
#include "ui/keyboard/upgrade_button.h"

namespace {

enum DeviceIds : unsigned {
    kPanel = kGalleryDevicesIds,
    kProfiles,
    kAdd,
    kDelete,
    kRename,
    kKeyboards,
    kConnect,
    kDisconnect,
    kBattery,
    kLevel,
    kCharging,
    kSoftware,
    kFirmware,
    kAvailable,
    kFirstDpi = kGalleryDevicesIds + 20, // 3 levels
    kLabels = kGalleryDevicesIds + 80,
};

struct Model {
    const wchar_t* name;
    int type;
    bool listed;
};
constexpr Model kModels[] = {{L"Z5 Wireless", 201, true}, {L"Z5 TKL", 101, true}, {L"Z5 Mini", 202, false}};

bool Refused(const CString& name)
{
    CString lower = name;
    for (wchar_t& c : lower)
        c = static_cast<wchar_t>(std::towlower(c));
    return name.empty() || lower.find(L"admin") != CString::npos;
}

// Holds the page's controls and acts as their owner, as the program's pages do.
class DevicesPanel : public MPanel {
public:
    DevicesPanel(MObject* parent, unsigned id, CRect rect) : MPanel(parent, id, rect, 1) {}

    void Build();
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    void DrawControl(HDC&, CRect) override {}

private:
    void AddProfile();
    void DeleteProfile();
    void Renamed(int row);

    DListBox* m_profiles = nullptr;
    CDeviceCtrl* m_keyboards = nullptr;
    BatteryCtrl* m_battery = nullptr;
    MSlider* m_level = nullptr;
    CCheckButton* m_charging = nullptr;
    UpgradeButton* m_updates[2] = {};
    std::map<long, CString> m_names; // the stored name of each profile
    long m_nextId = 1;
    int m_connected = 0;
};

void DevicesPanel::Build()
{
    unsigned label = kLabels;
    GalleryHeading(this, label++, GalleryRect(this, 24, 16, 300, 24), L"Profiles");
    m_profiles = GalleryControl<DListBox>(this, L"DListBox", kProfiles, GalleryRect(this, 24, 50, 240, 220));
    m_profiles->SetImage(L"icon//icon_circle.png", 2);
    m_profiles->SetEditImage(L"img_edit.png", 4);
    m_profiles->EnableShowEdit(1);
    m_profiles->SetTextColor(0xFFC8C8C8);
    for (const wchar_t* name :
         {L"Profile 1", L"Profile 2", L"Profile 3", L"Games", L"Office", L"Night", L"Music"}) {
        m_names[m_nextId] = name;
        m_profiles->AddItem(name, m_nextId++);
    }
    m_profiles->SetCurSel(0);
    const wchar_t* buttons[] = {L"imgbtn_add.png", L"imgbtn_del.png", L"imgbtn_edit.png"};
    const wchar_t* tips[] = {L"Add a profile", L"Delete the profile", L"Rename the profile"};
    for (int i = 0; i < 3; ++i) {
        auto* button = GalleryControl<CImageButton>(this, L"CImageButton", kAdd + i,
                                                    GalleryRect(this, 24 + i * 35, 280, 30, 30));
        button->SetImage(buttons[i], 4);
        button->SetTooltip(tips[i]);
    }
    GalleryCaption(
        this, label++, GalleryRect(this, 24, 320, 260, 72),
        L"Rename with the pencil or a right click: Enter keeps, Escape drops; an empty name or one "
        L"with \"admin\" is refused.");

    GalleryHeading(this, label++, GalleryRect(this, 320, 16, 300, 24), L"Keyboards");
    m_keyboards =
        GalleryControl<CDeviceCtrl>(this, L"CDeviceCtrl", kKeyboards, GalleryRect(this, 320, 50, 372, 150));
    m_keyboards->SetImage(L"img_device_state.png", 2);
    m_keyboards->SetFont(nullptr, 20, FontStyleBold);
    for (const Model& m : kModels)
        m_keyboards->AddDevice(m.name, 0x1209, 0x0001, m.type, m.listed);
    m_keyboards->SetDeviceState(201, CDeviceCtrl::kConnected);
    m_connected = 1;
    GalleryControl<MButton>(this, L"MButton", kConnect, GalleryRect(this, 320, 210, 180, 38), L"Connect next")
        ->SetImage(L"btn_apply.png", 4);
    GalleryControl<MButton>(this, L"MButton", kDisconnect, GalleryRect(this, 512, 210, 180, 38),
                            L"Disconnect all")
        ->SetImage(L"btn_apply.png", 4);
    GalleryCaption(this, label++, GalleryRect(this, 320, 256, 372, 36),
                   L"Connected models first, listed ones in grey; nothing shows while none is connected.");

    GalleryHeading(this, label++, GalleryRect(this, 740, 16, 300, 24), L"Battery");
    // A caption control: made by windows only, so the page adds it itself.
    m_battery = static_cast<BatteryCtrl*>(
        AddControl(std::make_unique<BatteryCtrl>(this, kBattery, GalleryRect(this, 740, 50, 80, 24), 1, 1)));
    m_battery->SetImage(L"icon\\icon_battery_bkg.png", 1);
    m_battery->SetBatteryIcon(L"icon\\icon_batteryvalue.png", L"icon\\icon_charge.png");
    m_battery->SetFont(nullptr, 11, FontStyleBold);
    m_level = GalleryControl<MSlider>(this, L"MSlider", kLevel, GalleryRect(this, 840, 40, 260, 44));
    m_level->SetImage(L"img_slider.png", 1);
    m_level->SetThumbImage(L"img_slider_thumb.png");
    m_level->SetMaxProgress(100);
    m_level->SetProgress(100);
    m_charging = GalleryControl<CCheckButton>(this, L"CCheckButton", kCharging,
                                              GalleryRect(this, 740, 90, 200, 30), L"Charging");
    m_charging->SetImage(L"btn_checkbox.png", 8);

    GalleryHeading(this, label++, GalleryRect(this, 740, 140, 300, 24), L"Updates");
    const wchar_t* titles[] = {L"Software update", L"Firmware update"};
    for (int i = 0; i < 2; ++i) {
        m_updates[i] = GalleryControl<UpgradeButton>(
            this, L"UpgradeButton", kSoftware + i, GalleryRect(this, 740, 174 + i * 50, 210, 38), titles[i]);
        m_updates[i]->SetImage(L"btn_apply.png", 4);
    }
    m_updates[1]->SetUpgradeStatus(1);
    GalleryControl<CCheckButton>(this, L"CCheckButton", kAvailable, GalleryRect(this, 970, 180, 240, 30),
                                 L"Software update available")
        ->SetImage(L"btn_checkbox.png", 8);

    GalleryHeading(this, label++, GalleryRect(this, 740, 290, 300, 24), L"DPI levels");
    const int dpis[] = {800, 1600, 3200};
    const COLORREF colours[] = {0x0000FF, 0x00FF00, 0xFF0000};
    for (int i = 0; i < 3; ++i) {
        auto* dpi = static_cast<DPIControl*>(AddControl(std::make_unique<DPIControl>(
            this, kFirstDpi + i, GalleryRect(this, 740, 324 + i * 34, 160, 30), 1)));
        dpi->SetTextColor(0xFFC8C8C8);
        dpi->SetGroupName(L"dpi");
        dpi->SetDPIValue(dpis[i]);
        dpi->SetColor(colours[i]);
    }
    static_cast<DPIControl*>(GetControl(kFirstDpi + 1))->SetCheck(1);
}

void DevicesPanel::AddProfile()
{
    // The first "Profile n" not in the list.
    CString name;
    for (int n = 1; n <= 1000; ++n) {
        name = FormatText(L"Profile %d", n);
        if (m_profiles->FindString(name.c_str()) < 0)
            break;
    }
    m_names[m_nextId] = name;
    m_profiles->SetCurSel(m_profiles->AddString(name.c_str(), m_nextId++, 0));
}

void DevicesPanel::DeleteProfile()
{
    const int row = m_profiles->GetCurSel();
    if (row < 0 || m_profiles->GetItemCount() <= 1)
        return;
    m_names.erase(m_profiles->GetItemData(row));
    m_profiles->DeleteItem(row);
    m_profiles->SetCurSel(row > 0 ? row - 1 : 0);
}

void DevicesPanel::Renamed(int row)
{
    const long id = m_profiles->GetItemData(row);
    const CString name = m_profiles->GetItemText(row);
    if (Refused(name))
        m_profiles->ModifyItemString(row, m_names[id].c_str());
    else
        m_names[id] = name;
}

long DevicesPanel::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    if (id == kAdd && code == 2)
        AddProfile();
    else if (id == kDelete && code == 2)
        DeleteProfile();
    else if (id == kRename && code == 2)
        m_profiles->ShowEdit();
    else if (id == kProfiles && code == DListBox::kNotifyRightClick)
        m_profiles->ShowEdit();
    else if (id == kProfiles && code == DListBox::kNotifyEdited)
        Renamed(static_cast<int>(lParam));
    else if (id == kConnect && code == 2 && m_connected < 3)
        m_keyboards->SetDeviceState(kModels[m_connected++].type, CDeviceCtrl::kConnected);
    else if (id == kDisconnect && code == 2) {
        m_keyboards->ResetAllState();
        m_connected = 0;
    } else if (id == kLevel && (code == 8 || code == 2))
        m_battery->SetBatteryInfo(static_cast<int>(wParam), m_charging->GetCheck());
    else if (id == kCharging && (code == 2 || code == CCheckButton::kNotifyKeyCheck))
        m_battery->SetBatteryInfo(m_level->GetProgress(), m_charging->GetCheck());
    else if (id == kAvailable && (code == 2 || code == CCheckButton::kNotifyKeyCheck))
        m_updates[0]->SetUpgradeStatus(static_cast<CCheckButton*>(GetControl(kAvailable))->GetCheck());
    return MPanel::OnMessage(id, code, wParam, lParam);
}

} // namespace

void BuildDevicesGalleryPage(MPanel* page)
{
    if (!page)
        return;
    auto* panel = static_cast<DevicesPanel*>(
        page->AddControl(std::make_unique<DevicesPanel>(page, kPanel, page->GetRect())));
    panel->Build();
}
