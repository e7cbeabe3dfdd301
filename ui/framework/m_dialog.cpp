#include "ui/framework/m_dialog.h"

#include "ui/framework/dialog_dispatch.h"
#include "ui/framework/m_control.h"
#include "ui/framework/window_system.h"

namespace {

// The bubble mode dialogs ask for; it only takes part in the bubble's same-request check.
constexpr int kDialogBubbleMode = 3;

} // namespace

void ApplyBackTranslucency(MWindow& window, COLORREF key, int alpha)
{
    if (!window.IsLive())
        return;
    if (alpha != 255) {
        window.ModifyExStyle(0, WS_EX_LAYERED);
        WindowSystem::SetLayeredWindowAttributes(window.GetSafeHwnd(), 0, static_cast<uint8_t>(alpha),
                                                 LWA_ALPHA);
    } else if (key != 0xFFFFFF) {
        window.ModifyExStyle(0, WS_EX_LAYERED);
        WindowSystem::SetLayeredWindowAttributes(window.GetSafeHwnd(), key, 0, LWA_COLORKEY);
    }
}

long MDialog::OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    return OnMessage(id, code, wParam, lParam);
}

long MDialog::OnControlUpdate(CRect rect, int redraw, MControl* control)
{
    return m_paintManager.OnControlUpdate(rect, redraw, control);
}

LRESULT MDialog::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const HWND hwnd = m_hWnd;
    if (const auto answer = DispatchToHandlers(*this, msg, wParam, lParam))
        return *answer;
    if (const LRESULT result = m_paintManager.OnWindowMessage(msg, wParam, lParam))
        return result;
    return WindowSystem::CallWindowProcW(m_prevWndProc, hwnd, msg, wParam, lParam);
}

int MDialog::PreTranslateMessage(MSG* msg)
{
    return m_paintManager.PreTranslateMessage(msg);
}

int MDialog::OnInitDialog()
{
    m_paintManager.Init(m_hWnd, this);
    m_rcClient = CRect();
    GetClientRect(&m_rcClient);
    InitUI(m_rcClient);
    return 1;
}

void MDialog::OnDestroyMessage(HWND /*hwnd*/)
{
    m_paintManager.DestroyData();
    PostNcDestroy();
}

int MDialog::OnCreate(CREATESTRUCTW* /*cs*/)
{
    if (IsLive())
        WindowSystem::SetWindowLongPtrW(m_hWnd, GWL_STYLE, FramelessStyle(GetStyle()));
    return 0;
}

int MDialog::OnSize(unsigned /*type*/, int /*cx*/, int /*cy*/)
{
    RelayoutAfterSize(*this, m_rcClient);
    return 0;
}

int MDialog::OnMinimize()
{
    ShowWindow(SW_SHOWMINIMIZED);
    return 0;
}

int MDialog::OnMaximize()
{
    ShowWindow(IsLive() && WindowSystem::IsZoomed(m_hWnd) ? SW_RESTORE : SW_SHOWMAXIMIZED);
    return 0;
}

long MDialog::OnUserCloseWindow(unsigned wParam, long lParam)
{
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

unsigned MDialog::SetMTimer(unsigned ms)
{
    return m_paintManager.SetMTimer(ms);
}

void MDialog::KillMTimer(unsigned id)
{
    m_paintManager.KillMTimer(id);
}

void MDialog::DoOK()
{
    PostMessageW(WM_DIALOG_CLOSE, IDOK, 0);
}

void MDialog::DoCancel()
{
    PostMessageW(WM_DIALOG_CLOSE, IDCANCEL, 0);
}

void MDialog::DoClose()
{
    PostMessageW(WM_DIALOG_CLOSE, IDCANCEL, 0);
}

void MDialog::DoYes()
{
    PostMessageW(WM_DIALOG_CLOSE, IDYES, 0);
}

void MDialog::DoNo()
{
    PostMessageW(WM_DIALOG_CLOSE, IDNO, 0);
}

void MDialog::SetLayeredWindow(int layered)
{
    m_paintManager.SetLayeredWindow(layered);
}

void MDialog::SetupBackTranslucent()
{
    ApplyBackTranslucency(*this, m_clrTransparent, m_nAlpha);
}

void MDialog::EnableWndDrag(int enable)
{
    m_paintManager.EnableWndDrag(enable);
}

CPoint MDialog::GetAirBladderPoint(MControl* control, unsigned type)
{
    if (!control)
        return {};
    const CRect r = control->GetRect();
    CPoint point(r.CenterPoint().x, r.bottom);
    if (type == AIRBLADDER_LEFT)
        point = CPoint(r.right, r.CenterPoint().y);
    else if (type == AIRBLADDER_RIGHT)
        point = CPoint(r.left, r.CenterPoint().y);
    else if (type == AIRBLADDER_BOTTOM)
        point = CPoint(r.CenterPoint().x, r.top);
    ClientToScreen(&point);
    return point;
}

MControl* MDialog::CreateControl(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title,
                                 int a, int b)
{
    return m_paintManager.CreateControl(this, className, id, rect, title, a, b);
}

MControl* MDialog::CreateArea(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title, int a,
                              int b)
{
    return m_paintManager.CreateArea(this, className, id, rect, title, a, b);
}

MControl* MDialog::GetControl(unsigned id) const
{
    return m_paintManager.GetControl(id);
}

const ControlList& MDialog::GetControls() const
{
    return m_paintManager.GetControls();
}

void MDialog::SetFocusControl(MControl* control)
{
    m_paintManager.SetFocusControl(control);
}

int MDialog::LoadBKImage(const CString& file)
{
    return m_paintManager.LoadBKImage(file);
}

int MDialog::LoadBKImage(unsigned resId, const CString& type)
{
    return m_paintManager.LoadBKImage(resId, type);
}

void MDialog::SetBackMode(enumBackMode mode, int border)
{
    m_paintManager.SetBackMode(mode, border);
}

void MDialog::SetScrollResID(unsigned vertical, unsigned horizontal)
{
    m_paintManager.SetScrollResID(vertical, horizontal);
}

void MDialog::SetTooltip(const CString& text, CRect rect)
{
    m_paintManager.SetTooltip(text.c_str(), rect);
}

void MDialog::ClearTooltip()
{
    m_paintManager.ClearTooltip();
}

int MDialog::SetAirBladderMsg(const wchar_t* text, CPoint screenPoint, AIRBLADDER_TYPE type)
{
    if (screenPoint.x == 0 || screenPoint.y == 0)
        return 0;
    m_paintManager.SetAirBladderMsg(text, screenPoint, type, kDialogBubbleMode);
    return 1;
}

void MDialog::SetMessage(const CString& text, CRect rect, MsgLevel level)
{
    m_paintManager.SetMessage(text, rect, level);
}

void MDialog::SetProgress(int percent, const CString& text, CRect rect)
{
    m_paintManager.SetProgress(percent, text, rect);
}
