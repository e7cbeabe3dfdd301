#include "app/wait_dlg.h"

#include "app/control_helpers.h"
#include "ui/controls/c_gif_picture.h"

namespace {

constexpr DWORD kStyle = 0x96000000;
constexpr COLORREF kBackColour = 0x333333;
constexpr unsigned kTickMs = 10;

} // namespace

bool WaitDlg::CreateOver(MWindow* owner)
{
    const HWND parent = owner ? owner->GetSafeHwnd() : nullptr;
    if (!Create(parent, L"WaitDlg", kStyle, WS_EX_TOOLWINDOW | WS_EX_TOPMOST, CRect(0, 0, kSize, kSize)))
        return false;
    CenterWindow(owner);
    return true;
}

int WaitDlg::InitUI(CRect /*client*/)
{
    SetLayeredWindow(1);
    m_paintManager.SetBackColor(kBackColour, kBackColour);
    SetMTimer(kTickMs);
    if (auto* gif = MakeControl<CGifPicture>(*this, L"CGifPicture", kAnimationId)) {
        gif->SetImage(L"loading.gif", 1);
        gif->SetRect(CRect(1, 1, kSize - 1, kSize - 1));
    }
    return 0;
}
