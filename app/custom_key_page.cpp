#include "app/custom_key_page.h"

#include "app/assignment_texts.h"
#include "app/control_helpers.h"
#include "app/custom_key_dlg.h"
#include "app/key_menu.h"
#include "app/keyboard_dlg.h"
#include "app/keyboard_view_filling.h"
#include "app/main_window_ids.h"
#include "app/program_services.h"
#include "app/text_ids.h"
#include "app/ui_message_box.h"
#include "device/key_codes.h"
#include "store/profile_database.h"
#include "ui/controls/fallback_look.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_text.h"
#include "ui/framework/c_area.h"
#include "ui/framework/window_system.h"
#include "ui/keyboard/key_func_control.h"
#include "ui/keyboard/keyboard_ctrl.h"

namespace {

constexpr COLORREF kPanelColour = 0x646464;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kHintColour = 0xFFADADAD;
constexpr ARGB kWarningColour = FallbackLook::kAccent;
constexpr int kPickerFontSize = 10;
constexpr int kViewTitleText = 304;
constexpr int kTextHint = 363;
constexpr int kTextFnMessage = 365;
constexpr int kTextFnTitle = 366;

struct ProfileButton {
    unsigned id;
    const wchar_t* strip;
    int tooltipId;
};

constexpr ProfileButton kProfileButtons[] = {
    {60, L"imgbtn_add.png", 28},    {61, L"imgbtn_del.png", 30},    {62, L"imgbtn_edit.png", 29},
    {63, L"imgbtn_import.png", 26}, {64, L"imgbtn_export.png", 27},
};

// The special functions' descriptions in the picker (value, text id).
constexpr std::pair<int, int> kPickerDescriptions[] = {
    {249, 252}, {242, 270}, {240, 271}, {232, 272}, {238, 230}, {236, 231},
    {237, 232}, {239, 233}, {234, 234}, {233, 235}, {235, 236}, {241, 273},
    {246, 274}, {245, 275}, {243, 276}, {244, 277}, {248, 278}, {247, 279},
};

int StatusText(SoftwareKeyStatus status)
{
    switch (status) {
    case SoftwareKeyStatus::NoVirtualDevice:
        return kTextNoVirtualKeyboard;
    case SoftwareKeyStatus::NoKeyboardAccess:
        return kTextNoKeyboardAccess;
    case SoftwareKeyStatus::NoFilter:
        return kTextNoKeyFilter;
    case SoftwareKeyStatus::NotStarted:
    case SoftwareKeyStatus::Active:
        break;
    }
    return 0;
}

} // namespace

CustomKeyPage::CustomKeyPage(KeyboardDlg& window) : MainPage(window)
{
    ProgramServices& services = window.Services();
    m_assignments = std::make_unique<KeyAssignments>(*services.database);
    m_actions = std::make_unique<KeyExtraActions>(KeyExtraActions::Backends{
        *m_assignments,
        *services.database,
        *services.shell,
        window.LayoutCharacters(),
        [&window]() -> KeyTyper* { return window.SoftwareKeyExecution(); },
        services.log,
    });
}

CustomKeyPage::~CustomKeyPage() = default;

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
    // FIXME: the profile list's look and rows come with the profile work: "icon//icon_circle.png" (2
    // frames), EnableShowEdit(1) and SetEditImage("img_edit.png").
    MakeControl<MControl>(page, L"DListBox", MainId::kProfileList);
    if (auto* view = MakeControl<KeyboardCtrl>(page, L"KeyboardCtrl", MainId::kCustomKeyboard)) {
        view->SetKeyboardCtrlMode(KeyboardCtrl::kModeAssign);
        view->EnableKBTips(true);
    }
    m_window.Texts().BindAndApply(m_window, MainId::kCustomKeyboard, kViewTitleText);
    if (auto* line = MakeControl<MText>(page, L"MText", MainId::kKeyAssignmentLine)) {
        StyleText(line, kHintColour, 14, FontStyleRegular, 0);
        line->EnableVCenter(1);
    }
    if (auto* picker = MakeControl<KeyFuncControl>(page, L"KeyFuncControl", MainId::kKeyPicker)) {
        picker->SetImage(L"img_customkey.png", 4);
        StyleText(picker, kWhite, kPickerFontSize, FontStyleRegular, 1);
        picker->InitItemInfo();
    }
    ApplyTexts();
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
    // Between the keyboard (its layout places it) and the picker.
    PlaceControl(m_window, MainId::kKeyAssignmentLine, CRect(340, cy - 310, cx - 11, cy - 280));
    PlaceControl(m_window, MainId::kKeyPicker, CRect(330, cy - 270, cx - 1, cy - 1));
}

bool CustomKeyPage::Owns(unsigned controlId) const
{
    return controlId >= MainId::kProfileBar && controlId <= MainId::kKeyPicker;
}

long CustomKeyPage::OnMessage(unsigned id, unsigned code, unsigned /*wParam*/, long lParam)
{
    if (id >= MainId::kProfileButtonFirst && id <= MainId::kProfileButtonLast && code == 2) {
        // FIXME: profile actions (add, delete, rename, import, export).
        return 1;
    }
    if (id == MainId::kProfileList && (code == 2 || code == 29)) {
        // FIXME: select a profile (2), store an edited name (29).
        return 1;
    }
    if (id == MainId::kCustomKeyboard) {
        if (code == KeyboardCtrl::kNotifyClick) {
            OnKeyClick(lParam);
            return 1;
        }
        if (code == KeyboardCtrl::kNotifyRightClick) {
            OnKeyRightClick(lParam);
            return 1;
        }
        return 0;
    }
    if (id == MainId::kKeyPicker) {
        OnPickerPress();
        return 1;
    }
    return 0;
}

void CustomKeyPage::ApplyTexts()
{
    if (KeyFuncControl* picker = Picker()) {
        for (const auto& [value, textId] : kPickerDescriptions)
            picker->SetItemDesc(value, GetText(kDialogSection, textId));
    }
    ShowStatusLine();
    // Tips carry texts of the language too.
    if (View())
        ShowProfileAssignments(m_window.CurrentProfile().Profile());
}

KeyboardCtrl* CustomKeyPage::View() const
{
    return FindControl<KeyboardCtrl>(m_window, MainId::kCustomKeyboard);
}

KeyFuncControl* CustomKeyPage::Picker() const
{
    return FindControl<KeyFuncControl>(m_window, MainId::kKeyPicker);
}

// --- Showing assignments ---

void CustomKeyPage::ShowProfileAssignments(int profile)
{
    KeyboardCtrl* view = View();
    if (KeyFuncControl* picker = Picker())
        picker->SetItemCheckByItemData(0, 0, 0);
    if (!view)
        return;
    view->ResetAllItemCheck();
    view->ResetTipKey();
    const AssignmentTexts texts = CurrentAssignmentTexts();
    for (const KeyAssignmentRow& row :
         m_assignments->SoundRows(profile, m_window.CurrentProfile().FnLayer())) {
        view->SetKeyCheck(static_cast<unsigned long>(row.key_code), 1);
        if (const std::optional<KeyTip> tip = TipOf(row, texts))
            view->SetTipKey(static_cast<unsigned long>(row.key_code), tip->heading, tip->text);
    }
    // The current key stays current across a profile change; its mark in the picker follows it.
    if (m_currentKey > 0 && m_currentKey != kFnKey)
        MarkPickerFor(m_assignments->Find(profile, m_window.CurrentProfile().FnLayer(), m_currentKey));
}

void CustomKeyPage::ShowKeyRow(int keyCode, const std::optional<KeyAssignmentRow>& row)
{
    KeyboardCtrl* view = View();
    if (!view)
        return;
    const auto key = static_cast<unsigned long>(keyCode);
    if (!row) {
        view->SetKeyCheck(key, 0);
        view->SetTipKey(key, CString(), CString());
        view->SetSelectItem(-1);
        view->UpdateControl();
        return;
    }
    view->SetKeyCheck(key, 1);
    const std::optional<KeyTip> tip = TipOf(*row, CurrentAssignmentTexts());
    view->SetTipKey(key, tip ? tip->heading : CString(), tip ? tip->text : CString());
    view->UpdateControl();
}

void CustomKeyPage::MarkPickerFor(const std::optional<KeyAssignmentRow>& row)
{
    KeyFuncControl* picker = Picker();
    if (!picker)
        return;
    if (row && (row->macro_type == AssignmentType::kKey || row->macro_type == AssignmentType::kPickerExtra))
        picker->SetItemCheckByItemData(row->macro_value, row->macro_value2, row->macro_value3);
    else
        picker->SetItemCheckByItemData(0, 0, 0);
}

// --- Input ---

void CustomKeyPage::SelectKey(long keyValue)
{
    m_currentKey = static_cast<int>(keyValue);
    if (m_currentKey < 1)
        return;
    if (m_currentKey == kFnKey) {
        if (KeyboardCtrl* view = View())
            view->SetSelectItem(-1);
        ShowFnKeyMessage();
        return;
    }
    const ProfileState& state = m_window.CurrentProfile();
    MarkPickerFor(m_assignments->Find(state.Profile(), state.FnLayer(), m_currentKey));
}

void CustomKeyPage::OnKeyClick(long keyValue)
{
    SelectKey(keyValue);
}

void CustomKeyPage::OnKeyRightClick(long keyValue)
{
    SelectKey(keyValue);
    if (m_currentKey < 1 || m_currentKey == kFnKey)
        return;
    CPoint at;
    WindowSystem::GetCursorPos(&at);
    KeyMenu menu;
    if (menu.Open(m_window.GetSafeHwnd(), at))
        menu.ShowModal();
}

void CustomKeyPage::OnPickerPress()
{
    if (m_currentKey == kFnKey) {
        ShowFnKeyMessage();
        return;
    }
    KeyFuncControl* picker = Picker();
    int first = 0;
    int value = 0;
    int data2 = 0;
    int data3 = 0;
    CString label;
    if (!picker || !picker->GetCurItemData(first, value, data2, data3, label))
        return;
    AssignToCurrentKey(PickerAssignment(value, data2, data3, label));
}

void CustomKeyPage::ShowFnKeyMessage()
{
    m_window.ShowMessageBox(GetText(kDialogSection, kTextFnTitle), GetText(kDialogSection, kTextFnMessage),
                            CUIMessageBox::kOneButton);
}

void CustomKeyPage::AssignToCurrentKey(KeyAssignmentRow row)
{
    // Without a key (none clicked yet, or a click between keys) there is nothing to change.
    if (m_currentKey < 1)
        return;
    const ProfileState& state = m_window.CurrentProfile();
    const int stored = m_assignments->Assign(state.Profile(), state.FnLayer(), m_currentKey, row);
    if (stored == 0) {
        ShowKeyRow(m_currentKey, std::nullopt);
        MarkPickerFor(std::nullopt);
    } else {
        row.key_code = m_currentKey;
        ShowKeyRow(m_currentKey, row);
        MarkPickerFor(row);
    }
    m_window.RefreshSoftwareKeys();
}

long CustomKeyPage::OnKeyMenuCommand(long itemId)
{
    // The menu is for a key that can take a function; the message may also come from elsewhere.
    if (m_currentKey < 1 || m_currentKey == kFnKey)
        return 0;
    switch (itemId) {
    case KeyMenu::kRestoreDefault:
        AssignToCurrentKey(DefaultAssignment());
        return 1;
    case KeyMenu::kDisable:
        AssignToCurrentKey(DisabledAssignment(CurrentAssignmentTexts()));
        return 1;
    default:
        break;
    }
    const int mode = KeyMenu::DialogModeOf(itemId);
    if (mode == 0)
        return 0;
    RunCustomKeyDialog(mode);
    return 1;
}

void CustomKeyPage::RunCustomKeyDialog(int mode)
{
    const int profile = m_window.CurrentProfile().Profile();
    CustomKeyDlg dialog(*m_window.Services().database, *m_assignments, m_window.Services().fileChooser,
                        m_currentKey, KeyCaption(m_currentKey), profile, mode);
    if (dialog.DoModal(&m_window) != CustomKeyDlg::kStored)
        return;
    ShowProfileAssignments(profile);
    m_window.RefreshSoftwareKeys();
}

CString CustomKeyPage::KeyCaption(int keyCode) const
{
    CString caption = KeyCodeShortName(static_cast<unsigned>(keyCode));
    if (!caption.empty())
        return caption;
    // Keys without a short caption show what the keyboard view shows on them.
    if (KeyboardCtrl* view = View()) {
        for (const KEY_INFO* key : view->GetKeyItems()) {
            if (key->keyValue == static_cast<unsigned long>(keyCode))
                return key->name;
        }
    }
    return {};
}

long CustomKeyPage::OnProfileCommand(long /*command*/)
{
    // FIXME: delete, rename in place, import and export of profiles.
    return 0;
}

// --- Program-run actions ---

void CustomKeyPage::RunKeyAction(long recordId)
{
    const KeyExtraActions::Outcome outcome = m_actions->Run(static_cast<int>(recordId));
    switch (outcome.result) {
    case KeyExtraActions::Result::ProgramMissing:
        m_window.ShowMessageBox(GetText(kDialogSection, TipHeadingText(AssignmentType::kProgram)),
                                GetText(kDialogSection, kTextProgramMissing) + L"\n" + outcome.detail,
                                CUIMessageBox::kOneButton);
        break;
    case KeyExtraActions::Result::NotStarted:
        m_window.ShowMessageBox(GetText(kDialogSection, TipHeadingText(AssignmentType::kProgram)),
                                GetText(kDialogSection, kTextCannotOpen) + L"\n" + outcome.detail,
                                CUIMessageBox::kOneButton);
        break;
    case KeyExtraActions::Result::SwitchProfile:
        SwitchToProfile(outcome.profile);
        break;
    default:
        break;
    }
}

void CustomKeyPage::OnOtherAssignment(const KeyAssignmentRow& row, bool pressed)
{
    if (!pressed || !AssignmentType::IsProgramRun(row.macro_type) || !m_assignments->IsSound(row))
        return;
    RunKeyAction(row.macro_value);
}

void CustomKeyPage::SwitchToProfile(int profile)
{
    m_window.CurrentProfile().SetProfile(profile);
    m_window.Services().database->SetActiveProfile(profile);
    // FIXME: the profile list selects the profile too, once it exists.
    ShowProfileAssignments(profile);
    m_window.RefreshSoftwareKeys();
}

// --- Software key status ---

void CustomKeyPage::SetSoftwareKeyStatus(SoftwareKeyStatus status)
{
    m_softwareKeyStatus = status;
    ShowStatusLine();
}

void CustomKeyPage::ShowStatusLine()
{
    auto* line = FindControl<MText>(m_window, MainId::kKeyAssignmentLine);
    if (!line)
        return;
    const int problem = StatusText(m_softwareKeyStatus);
    line->SetTextColor(problem ? kWarningColour : kHintColour);
    line->SetTitle(GetText(kDialogSection, problem ? problem : kTextHint).c_str());
}

// --- The keyboard view ---

void CustomKeyPage::ClearKeyboard()
{
    KeyboardViewFilling::Clear(m_window, MainId::kCustomKeyboard);
}

void CustomKeyPage::PlaceKeyboard(const CRect& rect, const CString& picture, int width, int height)
{
    KeyboardViewFilling::Place(m_window, MainId::kCustomKeyboard, rect, picture, width, height);
}

void CustomKeyPage::AddKeyItem(const LayoutKeyItem& key)
{
    KeyboardViewFilling::AddKey(m_window, MainId::kCustomKeyboard, key);
}
