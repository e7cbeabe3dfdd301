#include "app/custom_key_page.h"

#include "app/control_helpers.h"
#include "app/keyboard_dlg.h"
#include "app/main_window_ids.h"
#include "ui/controls/m_button.h"
#include "ui/framework/c_area.h"

namespace {

constexpr COLORREF kPanelColour = 0x646464;

struct ProfileButton {
    unsigned id;
    const wchar_t* strip;
    int tooltipId;
};

constexpr ProfileButton kProfileButtons[] = {
    {60, L"imgbtn_add.png", 28},    {61, L"imgbtn_del.png", 30},    {62, L"imgbtn_edit.png", 29},
    {63, L"imgbtn_import.png", 26}, {64, L"imgbtn_export.png", 27},
};

} // namespace

void CustomKeyPage::Build(MPanel* page, const CRect& /*client*/)
{
    m_page = page;
    for (unsigned id : {MainId::kProfileBar, MainId::kProfileListBack}) {
        if (auto* area = MakeControl<CArea>(page, L"CArea", id))
            area->SetTransparent(40, 40, kPanelColour);
    }
    for (const ProfileButton& b : kProfileButtons) {
        if (auto* button = MakeControl<CImageButton>(page, L"CImageButton", b.id))
            button->SetImage(b.strip, 4);
        m_window.Texts().BindAndApply(m_window, b.id, b.tooltipId, TextBindings::Kind::Tooltip);
    }
    // FIXME: DListBox, KeyboardCtrl and KeyFuncControl are not built yet. Once they are: the profile
    // list gets "icon//icon_circle.png" (2 frames), EnableShowEdit(1) and SetEditImage("img_edit.png");
    // the keyboard view title text 304, mode 101 and key tips on; the picker "img_customkey.png", font
    // size 10 and the descriptions of the media functions (ApplyTexts).
    MakeControl<MControl>(page, L"DListBox", MainId::kProfileList);
    MakeControl<MControl>(page, L"KeyboardCtrl", MainId::kCustomKeyboard);
    if (auto* picker = MakeControl<MControlFont>(page, L"KeyFuncControl", MainId::kKeyPicker))
        picker->SetImage(L"img_customkey.png", 4);
    m_window.Texts().Bind(MainId::kCustomKeyboard, 304);
}

void CustomKeyPage::Layout(const CRect& client)
{
    const int cx = client.Width();
    const int cy = client.Height();
    PlaceControl(m_window, MainId::kProfileBar, CRect(80, 50, 320, 100));
    for (unsigned id = MainId::kProfileButtonFirst; id <= MainId::kProfileButtonLast; ++id) {
        const int left = 110 + 35 * static_cast<int>(id - MainId::kProfileButtonFirst);
        PlaceControl(m_window, id, CRect(left, 60, left + 30, 90));
    }
    PlaceControl(m_window, MainId::kProfileListBack, CRect(80, 100, 320, cy - 1));
    PlaceControl(m_window, MainId::kProfileList, CRect(80, 100, 320, cy - 1));
    PlaceControl(m_window, MainId::kKeyPicker, CRect(330, cy - 270, cx - 1, cy - 1));
    // The keyboard view is placed by the layout file of the model (PlaceKeyboard).
}

bool CustomKeyPage::Owns(unsigned controlId) const
{
    return controlId >= MainId::kProfileBar && controlId <= MainId::kKeyPicker;
}

long CustomKeyPage::OnMessage(unsigned id, unsigned code, unsigned /*wParam*/, long /*lParam*/)
{
    if (id >= MainId::kProfileButtonFirst && id <= MainId::kProfileButtonLast && code == 2) {
        // FIXME: profile actions (add, delete, rename, import, export).
        return 1;
    }
    if (id == MainId::kProfileList && (code == 2 || code == 29)) {
        // FIXME: select a profile (2), store an edited name (29).
        return 1;
    }
    if (id == MainId::kCustomKeyboard || id == MainId::kKeyPicker) {
        // FIXME: a key clicked on the view, a function picked in the picker.
        return 1;
    }
    return 0;
}

void CustomKeyPage::ApplyTexts()
{
    // FIXME: the picker's media descriptions and the profile list's default names.
}

long CustomKeyPage::OnKeyMenuCommand(long /*itemId*/)
{
    // FIXME: the key menu items 606–609.
    return 0;
}

long CustomKeyPage::OnProfileCommand(long /*command*/)
{
    // FIXME: delete, rename in place, import and export of profiles.
    return 0;
}

void CustomKeyPage::RunKeyAction(long /*recordId*/)
{
    // FIXME: the program-run actions of key extra records.
}

void CustomKeyPage::OnOtherAssignment(const KeyAssignmentRow& /*row*/, bool /*pressed*/)
{
    // FIXME: start a program, open an address, type a text, switch the profile.
}

void CustomKeyPage::SetSoftwareKeyStatus(SoftwareKeyStatus status)
{
    m_softwareKeyStatus = status;
    // FIXME: the page says why assignments are not carried out when the status is not Active.
}

void CustomKeyPage::ClearKeyboard()
{
    // FIXME: KeyboardCtrl::DeleteAllKeys once the keyboard view exists.
}

void CustomKeyPage::PlaceKeyboard(const CRect& rect, const CString& /*picture*/, int /*width*/,
                                  int /*height*/)
{
    PlaceControl(m_window, MainId::kCustomKeyboard, rect);
    // FIXME: the view's picture and its size once the keyboard view exists.
}

void CustomKeyPage::AddKeyItem(const LayoutKeyItem& /*key*/)
{
    // FIXME: KeyboardCtrl::AddKeyItem once the keyboard view exists.
}
