#include "app/settings_page.h"

#include "app/app_messages.h"
#include "app/control_helpers.h"
#include "app/keyboard_dlg.h"
#include "app/keyboard_view_filling.h"
#include "app/language_text.h"
#include "app/main_window_ids.h"
#include "ui/controls/c_check_button.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_text.h"
#include "ui/framework/c_area.h"
#include "ui/keyboard/keyboard_ctrl.h"

namespace {

constexpr COLORREF kPanelColour = 0x646464;
constexpr unsigned kCodeClick = 2;
// A check box toggled from the keyboard reports this instead of a click.
constexpr unsigned kCodeKeyCheck = 7;

} // namespace

void SettingsPage::Build(MPanel* page, const CRect& /*client*/)
{
    m_page = page;
    TextBindings& texts = m_window.Texts();
    if (auto* back = MakeControl<CArea>(page, L"CArea", MainId::kSettingsBack))
        back->SetTransparent(40, 40, kPanelColour);
    MakeControl<MText>(page, L"MText", MainId::kLanguageLabel);
    texts.BindAndApply(m_window, MainId::kLanguageLabel, 150);

    if (auto* language = MakeControl<MComboBox>(page, L"MComboBox", MainId::kLanguage)) {
        language->SetBackImage(L"img_combobox.png");
        language->AddItem(L"Polish(polski)", kLanguagePolish);
        language->AddItem(L"English", kLanguageEnglish);
        language->SelectData(GetLanguageId());
    }
    if (auto* autostart = MakeControl<CCheckButton>(page, L"CCheckButton", MainId::kAutostart)) {
        autostart->SetImage(L"btn_checkbox.png", 8);
        autostart->SetCheck(m_window.Settings().IsAutostartChecked() ? 1 : 0);
    }
    texts.BindAndApply(m_window, MainId::kAutostart, 151);

    if (auto* restore = MakeControl<MButton>(page, L"MButton", MainId::kRestoreDefaults))
        restore->SetImage(L"btn_apply.png", 4);
    texts.BindAndApply(m_window, MainId::kRestoreDefaults, 153);

    // FIXME: UpgradeButton is not built yet; the two update buttons appear once it is.
    for (const auto& [id, textId] :
         {std::pair{MainId::kSoftwareUpdate, 156}, std::pair{MainId::kFirmwareUpdate, 157}}) {
        if (auto* button = MakeControl<MControlFont>(page, L"UpgradeButton", id))
            button->SetImage(L"btn_apply.png", 4);
        texts.BindAndApply(m_window, id, textId);
    }
    if (auto* view = MakeControl<KeyboardCtrl>(page, L"KeyboardCtrl", MainId::kSettingsKeyboard))
        view->SetKeyboardCtrlMode(KeyboardCtrl::kModeLightPreview);
}

void SettingsPage::Layout(const CRect& client)
{
    const int cy = client.Height();
    PlaceControl(m_window, MainId::kSettingsBack, CRect(80, 50, 320, cy - 1));
    PlaceControl(m_window, MainId::kLanguageLabel, CRect(105, 120, 260, 150));
    PlaceControl(m_window, MainId::kLanguage, CRect(100, 150, 300, 188));
    PlaceControl(m_window, MainId::kAutostart, CRect(100, 200, 1100, 238));
    PlaceControl(m_window, MainId::kRestoreDefaults, CRect(100, 360, 310, 398));
    PlaceControl(m_window, MainId::kSoftwareUpdate, CRect(100, 415, 310, 453));
    PlaceControl(m_window, MainId::kFirmwareUpdate, CRect(100, 470, 310, 508));
    // The keyboard view is placed by the layout file of the model (PlaceKeyboard).
}

bool SettingsPage::Owns(unsigned controlId) const
{
    return controlId >= MainId::kSettingsBack && controlId <= MainId::kSettingsKeyboard;
}

long SettingsPage::OnMessage(unsigned id, unsigned code, unsigned wParam, long /*lParam*/)
{
    switch (id) {
    case MainId::kLanguage:
        if (code != kCodeClick)
            return 0;
        OnLanguageChosen(static_cast<int>(wParam));
        return 1;
    case MainId::kAutostart:
        if (code != kCodeClick && code != kCodeKeyCheck)
            return 0;
        OnAutostartToggled();
        return 1;
    case MainId::kRestoreDefaults:
        // FIXME: restore defaults (database, keyboard reset, closing behaviour, pages).
        return code == kCodeClick ? 1 : 0;
    case MainId::kSoftwareUpdate:
    case MainId::kFirmwareUpdate:
        // FIXME: the software and firmware updates.
        return code == kCodeClick ? 1 : 0;
    default:
        return 0;
    }
}

void SettingsPage::OnLanguageChosen(int index)
{
    auto* language = FindControl<MComboBox>(m_window, MainId::kLanguage);
    if (!language)
        return;
    const long id = language->GetItemData(index);
    if (id != kLanguageEnglish && id != kLanguagePolish)
        return;
    SetLanguageId(static_cast<int>(id));
    m_window.Settings().SaveLanguageId(static_cast<int>(id));
    m_window.SendMessageW(WM_APPLY_TEXTS);
}

void SettingsPage::OnAutostartToggled()
{
    if (auto* autostart = FindControl<CCheckButton>(m_window, MainId::kAutostart))
        m_window.Settings().ApplyAutostart(autostart->GetCheck() != 0);
}

void SettingsPage::ShowFirmwareUpdate(bool visible)
{
    ShowControl(m_window, MainId::kFirmwareUpdate, visible);
}

void SettingsPage::ShowRestoreDefaults(bool visible)
{
    ShowControl(m_window, MainId::kRestoreDefaults, visible);
}

void SettingsPage::ClearKeyboard()
{
    KeyboardViewFilling::Clear(m_window, MainId::kSettingsKeyboard);
}

void SettingsPage::PlaceKeyboard(const CRect& rect, const CString& picture, int width, int height)
{
    KeyboardViewFilling::Place(m_window, MainId::kSettingsKeyboard, rect, picture, width, height);
}

void SettingsPage::AddKeyItem(const LayoutKeyItem& key)
{
    KeyboardViewFilling::AddKey(m_window, MainId::kSettingsKeyboard, key);
}
