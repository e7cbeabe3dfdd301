#include "app/ui_message_box.h"

#include "app/control_helpers.h"
#include "app/language_text.h"
#include "core/virtual_keys.h"
#include "ui/controls/m_button.h"
#include "ui/controls/m_text.h"
#include "ui/framework/window_system.h"

namespace {

constexpr DWORD kStyle = 0x96000000;
constexpr DWORD kExStyle = WS_EX_TOOLWINDOW;
constexpr ARGB kWhite = 0xFFFFFFFF;

void StyleButton(MButton* button, int textId)
{
    if (!button)
        return;
    button->SetImage(L"btn_apply.png", 4);
    button->SetControlTitle(GetText(kDialogSection, textId).c_str());
    StyleText(button, kWhite, 14, FontStyleRegular, 1);
}

} // namespace

CUIMessageBox::CUIMessageBox(HWND owner, CString title, CString text, int kind)
    : m_owner(owner), m_title(std::move(title)), m_text(std::move(text)), m_kind(kind)
{
}

int CUIMessageBox::DoModal()
{
    if (!Create(m_owner, L"MessageBox", kStyle, kExStyle, CentredOnScreen(kWidth, kHeight)))
        return kRefused;
    return ShowModal(SW_SHOW) == kAccepted ? kAccepted : kRefused;
}

int CUIMessageBox::OnInitDialog()
{
    MDialog::OnInitDialog();
    BringToTop();
    return 1;
}

int CUIMessageBox::InitUI(CRect client)
{
    SetLayeredWindow(1);
    LoadBKImage(L"bk_prompt.png");
    SetBackMode(BACK_MODE_FRAME, 30);
    const int w = client.Width();
    const int h = client.Height();

    if (auto* title = MakeControl<MText>(*this, L"MText", kTitleId, m_title.c_str())) {
        StyleText(title, kWhite, 16, FontStyleRegular, 1);
        title->SetRect(CRect(20, 15, w - 20, 40));
    }
    if (auto* text = MakeControl<MText>(*this, L"MText", kTextId, m_text.c_str())) {
        StyleText(text, kWhite, 16, FontStyleRegular, 1);
        text->EnableMultiLine(1);
        text->EnableVCenter(1);
        text->SetVAlignment(4);
        text->SetRect(CRect(20, h / 2 - 30, w - 20, h / 2 + 30));
    }
    if (m_kind == kTwoButtons) {
        auto* yes = MakeControl<MButton>(*this, L"MButton", kFirstButton);
        StyleButton(yes, 23);
        if (yes)
            yes->SetRect(CRect(w / 2 - 120, h - 40, w / 2 - 20, h - 10));
        auto* no = MakeControl<MButton>(*this, L"MButton", kSecondButton);
        StyleButton(no, 25);
        if (no)
            no->SetRect(CRect(w / 2 + 20, h - 40, w / 2 + 120, h - 10));
    } else {
        auto* ok = MakeControl<MButton>(*this, L"MButton", kFirstButton);
        StyleButton(ok, 20);
        if (ok)
            ok->SetRect(CRect(60, h - 40, w - 60, h - 10));
    }
    return 0;
}

long CUIMessageBox::OnMessage(unsigned id, unsigned code, unsigned /*wParam*/, long /*lParam*/)
{
    if (code != 2)
        return 0;
    if (id == kFirstButton) {
        DoOK();
        return 1;
    }
    if (id == kSecondButton) {
        DoCancel();
        return 1;
    }
    return 0;
}

LRESULT CUIMessageBox::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        DoCancel();
        return 0;
    }
    return MDialog::OnWindowMessage(msg, wParam, lParam);
}
