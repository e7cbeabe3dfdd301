#include "app/custom_key_dlg.h"

#include "app/assignment_texts.h"
#include "app/control_helpers.h"
#include "app/text_ids.h"
#include "app/ui_message_box.h"
#include "core/folders.h"
#include "core/virtual_keys.h"
#include "platform/file_chooser.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_combo_box.h"
#include "ui/controls/m_edit.h"
#include "ui/controls/m_text.h"
#include "ui/framework/c_area.h"

namespace {

constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr ARGB kLabelColour = 0xFFC8C8C8;
constexpr COLORREF kCaptionColour = 7884812;
constexpr COLORREF kKeyFieldColour = 0x1B80ED; // the theme's accent
constexpr unsigned kCodeClick = 2;
constexpr int kTextMacroTitle = 206;
constexpr int kTextMacroEmpty = 293;
constexpr int kTextFunctionType = 204;
constexpr int kTextClose = 1;
constexpr int kTextChooseProgram = 218;

// Where the text field goes for the types that take a text: a whole row under the type, wide enough
// for a path or an address.
const CRect kTextLabelRect(200, 206, 610, 236);
const CRect kTextFieldRect(200, 236, 610, 274);
const CRect kListLabelRect(410, 130, 610, 160);
const CRect kBrowseRect(620, 245, 640, 265);

int FieldLabelText(int mode)
{
    switch (mode) {
    case CustomKeyMode::kProgram:
        return kTextProgramField;
    case CustomKeyMode::kAddress:
        return kTextAddressField;
    case CustomKeyMode::kText:
        return kTextTypedTextField;
    case CustomKeyMode::kProfile:
        return kTextProfileField;
    default:
        return 0;
    }
}

} // namespace

CustomKeyDlg::CustomKeyDlg(ProfileDatabase& database, KeyAssignments& assignments, FileChooser* chooser,
                           int keyCode, CString keyCaption, int profile, int mode)
    : m_database(database), m_assignments(assignments), m_chooser(chooser), m_keyCode(keyCode),
      m_keyCaption(std::move(keyCaption)), m_profile(profile), m_mode(mode)
{
}

int CustomKeyDlg::DoModal(MWindow* owner)
{
    const HWND parent = owner ? owner->GetSafeHwnd() : nullptr;
    if (!Create(parent, L"CustomKeyDlg", kStyle, 0, CRect(0, 0, kWidth, kHeight)))
        return kClosed;
    CenterWindow(owner);
    return ShowModal(SW_SHOW) == kStored ? kStored : kClosed;
}

int CustomKeyDlg::InitUI(CRect client)
{
    SetLayeredWindow(1);
    LoadBKImage(L"bk_prompt.png");
    SetBackMode(BACK_MODE_FRAME, 30);
    const int w = client.Width();
    const int h = client.Height();
    const int heading = CustomKeyHeadingText(m_mode);

    if (auto* band = MakeControl<CArea>(*this, L"CArea", kCaptionBand)) {
        band->SetTransparent(50, 50, kCaptionColour);
        band->SetRect(CRect(1, 1, w - 1, 51));
    }
    if (auto* title =
            MakeControl<MText>(*this, L"MText", kHeading, GetText(kDialogSection, heading).c_str())) {
        StyleText(title, kWhite, 18, FontStyleBold, 1);
        title->EnableVCenter(1);
        title->SetRect(CRect(w / 2 - 100, 1, w / 2 + 100, 51));
    }
    if (auto* close = MakeControl<CImageButton>(*this, L"CImageButton", kCloseButton)) {
        close->SetImage(L"main_sysbtn_close.png", 4);
        close->SetTooltip(GetText(kDialogSection, kTextClose).c_str());
        close->SetRect(CRect(w - 50, 10, w - 20, 40));
    }
    if (auto* back = MakeControl<CArea>(*this, L"CArea", kKeyBack)) {
        back->SetTransparent(30, 30, kKeyFieldColour);
        back->SetRect(CRect(50, 130, 170, 198));
    }
    if (auto* key = MakeControl<MText>(*this, L"MText", kKeyCaption, m_keyCaption.c_str())) {
        StyleText(key, kWhite, 20, FontStyleBold, 1);
        key->EnableVCenter(1);
        key->SetRect(CRect(50, 130, 170, 198));
    }
    if (auto* label = MakeControl<MText>(*this, L"MText", kTypeLabel,
                                         GetText(kDialogSection, kTextFunctionType).c_str())) {
        StyleText(label, kLabelColour, 14, FontStyleRegular, 0);
        label->EnableVCenter(1);
        label->SetRect(CRect(200, 130, 320, 160));
    }
    if (auto* type = MakeControl<MComboBox>(*this, L"MComboBox", kTypeBox)) {
        type->SetBackImage(L"img_combobox.png");
        StyleText(type, kWhite, 14, FontStyleRegular, 0);
        type->AddItem(GetText(kDialogSection, heading).c_str(), m_mode);
        type->SetCurSel(0);
        type->SetRect(CRect(200, 160, 400, 198));
    }
    if (auto* values = MakeControl<MComboBox>(*this, L"MComboBox", kValueList)) {
        values->SetBackImage(L"img_combobox.png");
        StyleText(values, kWhite, 14, FontStyleRegular, 0);
        values->SetRect(CRect(410, 160, 610, 198));
    }
    if (auto* label = MakeControl<MText>(*this, L"MText", kTextLabel)) {
        StyleText(label, kLabelColour, 14, FontStyleRegular, 0);
        label->EnableVCenter(1);
    }
    if (auto* field = MakeControl<MEdit>(*this, L"MEdit", kTextField)) {
        field->SetImage(L"img_edit.png", 4);
        StyleText(field, kWhite, 14, FontStyleRegular, 0);
        field->SetLimitText(kMaxTextLength);
        field->SetRect(CRect(410, 160, 610, 198));
    }
    static const wchar_t* const kModifierNames[] = {L"Shift", L"Ctrl", L"Win", L"Alt"};
    static const CRect kModifierRects[] = {
        {410, 200, 510, 238}, {510, 200, 610, 238}, {410, 236, 510, 274}, {510, 236, 610, 274}};
    for (unsigned id = kFirstModifier; id <= kLastModifier; ++id) {
        if (auto* box =
                MakeControl<MControlFont>(*this, L"CCheckButton", id, kModifierNames[id - kFirstModifier])) {
            box->SetImage(L"btn_checkbox.png", 8);
            box->SetTextColor(kWhite);
            box->SetRect(kModifierRects[id - kFirstModifier]);
        }
    }
    if (auto* browse = MakeControl<CImageButton>(*this, L"CImageButton", kBrowse)) {
        browse->SetImage(L"btn_openfile.png", 4);
        browse->SetTooltip(GetText(kDialogSection, kTextChooseProgram).c_str());
        browse->SetRect(CRect(620, 170, 640, 190));
    }
    if (auto* apply =
            MakeControl<MButton>(*this, L"MButton", kApply, GetText(kDialogSection, kTextApply).c_str())) {
        apply->SetImage(L"btn_apply.png", 4);
        StyleText(apply, kWhite, 14, FontStyleRegular, 1);
        apply->SetRect(CRect(w - 170, h - 50, w - 50, h - 12));
    }
    ShowType();
    return 0;
}

int CustomKeyDlg::SelectedMode() const
{
    const auto* type = FindControl<MComboBox>(*this, kTypeBox);
    return type ? static_cast<int>(type->GetCurData()) : m_mode;
}

void CustomKeyDlg::ShowType()
{
    const int mode = SelectedMode();
    const bool list = CustomKeyMode::PicksFromList(mode);
    for (unsigned id = kFirstModifier; id <= kBrowse; ++id)
        ShowControl(*this, id, false);
    ShowControl(*this, kValueList, list);
    ShowControl(*this, kTextField, !list);

    const int labelText = FieldLabelText(mode);
    if (auto* label = FindControl<MText>(*this, kTextLabel)) {
        label->SetTitle(labelText ? GetText(kDialogSection, labelText).c_str() : L"");
        label->SetRect(list ? kListLabelRect : kTextLabelRect);
        label->SetVisible(labelText != 0);
    }
    if (!list)
        PlaceControl(*this, kTextField, kTextFieldRect);
    // A program's file can be looked for rather than typed.
    if (mode == CustomKeyMode::kProgram && m_chooser) {
        PlaceControl(*this, kBrowse, kBrowseRect);
        ShowControl(*this, kBrowse, true);
    }

    m_choices = CustomKeyChoices(mode, m_database, CurrentAssignmentTexts());
    if (auto* values = FindControl<MComboBox>(*this, kValueList)) {
        values->DelAllItems();
        for (const CustomKeyChoice& choice : m_choices)
            values->AddItem(choice.text.c_str(), choice.data);
        values->SetCurSel(m_choices.empty() ? -1 : 0);
    }
}

long CustomKeyDlg::OnMessage(unsigned id, unsigned code, unsigned /*wParam*/, long /*lParam*/)
{
    switch (id) {
    case kTypeBox:
        if (code != kCodeClick)
            return 0;
        ShowType();
        return 1;
    case kCloseButton:
        if (code != kCodeClick)
            return 0;
        DoCancel();
        return 1;
    case kApply:
        if (code != kCodeClick)
            return 0;
        Apply();
        return 1;
    case kBrowse:
        if (code != kCodeClick)
            return 0;
        ChooseProgram();
        return 1;
    default:
        return 0;
    }
}

LRESULT CustomKeyDlg::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        DoCancel();
        return 0;
    }
    return MDialog::OnWindowMessage(msg, wParam, lParam);
}

void CustomKeyDlg::Apply()
{
    const int mode = SelectedMode();
    std::optional<CustomKeyChoice> choice;
    if (const auto* values = FindControl<MComboBox>(*this, kValueList)) {
        const int index = values->GetCurSel();
        if (index >= 0 && index < static_cast<int>(m_choices.size()))
            choice = m_choices[static_cast<size_t>(index)];
    }
    CString text;
    if (auto* field = FindControl<MEdit>(*this, kTextField)) {
        field->HideEdit();
        text = field->GetEditText();
    }
    const int heading = CustomKeyHeadingText(mode);
    switch (ApplyCustomKey(m_assignments, m_database, m_profile, m_keyCode, mode, choice, text)) {
    case CustomKeyResult::Stored:
        DoOK();
        return;
    case CustomKeyResult::MacroWithoutEvents:
        Tell(kTextMacroTitle, GetText(kDialogSection, kTextMacroEmpty));
        return;
    case CustomKeyResult::NothingChosen:
        Tell(heading, GetText(kDialogSection,
                              CustomKeyMode::PicksFromList(mode) ? kTextNothingToChoose : kTextFillInField));
        return;
    case CustomKeyResult::ProgramMissing:
        Tell(heading, GetText(kDialogSection, kTextProgramMissing) + L"\n" + text);
        return;
    case CustomKeyResult::NotStored:
        DoCancel();
        return;
    }
}

void CustomKeyDlg::ChooseProgram()
{
    auto* field = FindControl<MEdit>(*this, kTextField);
    if (!m_chooser || !field)
        return;
    field->HideEdit();
    FileChooserRequest request;
    request.kind = FileChooserRequest::Kind::Open;
    request.title = GetText(kDialogSection, kTextChooseProgram);
    request.owner = GetSafeHwnd();
    // Where the program already named lives, when it still does.
    const NativeFilePath typed = NativeFilePath::FromWide(field->GetEditText());
    const NativeFilePath folder = FolderOf(typed);
    if (!folder.empty() && PathExists(Utf8ToWide(folder.Native())))
        request.folder = folder;
    if (const std::optional<NativeFilePath> chosen = m_chooser->Choose(request))
        field->SetTitle(Utf8ToWide(chosen->Native()).c_str());
}

void CustomKeyDlg::Tell(int titleId, const CString& text)
{
    CUIMessageBox box(GetSafeHwnd(), GetText(kDialogSection, titleId), text, CUIMessageBox::kOneButton);
    box.DoModal();
}
