#include "app/close_window_tip_dlg.h"

#include "app/control_helpers.h"
#include "app/language_text.h"
#include "app/program_settings.h"
#include "app/text_ids.h"
#include "core/virtual_keys.h"
#include "ui/controls/c_radio_button.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_text.h"
#include "ui/framework/window_system.h"

namespace {

constexpr DWORD kStyle = 0x96000000;
constexpr ARGB kWhite = 0xFFFFFFFF;
constexpr const wchar_t* kGroup = L"exit_mode";

} // namespace

CloseWindowTipDlg::CloseWindowTipDlg(ProgramSettings& settings) : m_settings(settings) {}

int CloseWindowTipDlg::DoModal(HWND owner)
{
    if (!Create(owner, L"CloseWindowTipDlg", kStyle, 0, CentredOnScreen(kWidth, kHeight)))
        return 0;
    return ShowModal(SW_SHOW) == kApplied ? kApplied : 0;
}

int CloseWindowTipDlg::OnInitDialog()
{
    MDialog::OnInitDialog();
    SetWindowPos(HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
    const bool exits = m_settings.ReadRegInt(kExitModeValue) == kExitModeExit;
    if (auto* hide = FindControl<CRadioButton>(*this, kHideId); hide && !exits)
        hide->SetCheck(1);
    if (auto* exit = FindControl<CRadioButton>(*this, kExitId); exit && exits)
        exit->SetCheck(1);
    return 1;
}

int CloseWindowTipDlg::InitUI(CRect client)
{
    // The message box's look: the prompt picture behind, white texts.
    SetLayeredWindow(1);
    LoadBKImage(L"bk_prompt.png");
    SetBackMode(BACK_MODE_FRAME, 30);
    const int w = client.Width();
    const int h = client.Height();

    if (auto* heading = MakeControl<MText>(*this, L"MText", kHeadingId,
                                           GetText(kDialogSection, kTextClosingHeading).c_str())) {
        StyleText(heading, kWhite, 16, FontStyleBold, 1);
        heading->SetRect(CRect(w / 2 - 130, 5, w / 2 + 130, 35));
    }
    const struct {
        unsigned id;
        int textId;
        CRect rect;
    } choices[] = {{kHideId, kTextHideToTray, CRect(30, 60, 355, 90)},
                   {kExitId, kTextExitProgram, CRect(30, 95, 355, 125)}};
    for (const auto& choice : choices) {
        auto* radio = MakeControl<CRadioButton>(*this, L"CRadioButton", choice.id,
                                                GetText(kDialogSection, choice.textId).c_str());
        if (!radio)
            continue;
        radio->SetImage(L"btn_radiobox.png", 8);
        radio->SetGroupName(kGroup);
        StyleText(radio, kWhite, 14, FontStyleRegular, 0);
        radio->SetRect(choice.rect);
    }
    if (auto* apply =
            MakeControl<MButton>(*this, L"MButton", kApplyId, GetText(kDialogSection, kTextApply).c_str())) {
        apply->SetImage(L"btn_apply.png", 4);
        StyleText(apply, kWhite, 14, FontStyleRegular, 1);
        apply->SetRect(CRect(w - 120, h - 50, w - 20, h - 20));
    }
    return 0;
}

long CloseWindowTipDlg::OnMessage(unsigned id, unsigned code, unsigned /*wParam*/, long /*lParam*/)
{
    if (code != 2)
        return 0;
    if (id == kApplyId) {
        const auto* hide = FindControl<CRadioButton>(*this, kHideId);
        m_settings.WriteRegString(kExitModeValue, hide && hide->GetCheck() ? L"1" : L"2");
        DoOK();
    }
    return 1;
}

LRESULT CloseWindowTipDlg::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    // Escape leaves the choice as it was, as closing by any other way does.
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        DoCancel();
        return 0;
    }
    return MDialog::OnWindowMessage(msg, wParam, lParam);
}
