#include "ui/framework/m_popup_wnd.h"

#include "ui/framework/dialog_dispatch.h"
#include "ui/framework/m_control.h"
#include "ui/framework/window_system.h"

long MPopupWnd::OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    return OnMessage(id, code, wParam, lParam);
}

long MPopupWnd::OnControlUpdate(CRect rect, int redraw, MControl* control)
{
    return m_paintManager.OnControlUpdate(rect, redraw, control);
}

LRESULT MPopupWnd::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const HWND hwnd = m_hWnd;
    if (const auto answer = DispatchToHandlers(*this, msg, wParam, lParam))
        return *answer;
    if (const LRESULT result = m_paintManager.OnWindowMessage(msg, wParam, lParam))
        return result;
    return WindowSystem::CallWindowProcW(m_prevWndProc, hwnd, msg, wParam, lParam);
}

int MPopupWnd::PreTranslateMessage(MSG* msg)
{
    return m_paintManager.PreTranslateMessage(msg);
}

int MPopupWnd::OnInitDialog()
{
    m_paintManager.Init(m_hWnd, this);
    m_rcClient = CRect();
    GetClientRect(&m_rcClient);
    InitUI(m_rcClient);
    m_paintManager.EnableWndDrag(0);
    return 1;
}

void MPopupWnd::OnDestroyMessage(HWND /*hwnd*/)
{
    // The window procedure handles the last message itself, so this is where a popup's last message
    // reaches it.
    m_paintManager.DestroyData();
    PostNcDestroy();
}

long MPopupWnd::OnUserCloseWindow(unsigned wParam, long lParam)
{
    PostMessageW(WM_CLOSE, wParam, lParam);
    return 1;
}

void MPopupWnd::CloseWindow()
{
    PostMessageW(WM_CLOSE, 0, 0);
}

int MPopupWnd::OnCreate(CREATESTRUCTW* /*cs*/)
{
    if (IsLive()) {
        WindowSystem::SetWindowLongPtrW(m_hWnd, GWL_STYLE, FramelessStyle(GetStyle()));
        WindowSystem::SetWindowLongPtrW(m_hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW);
    }
    return 0;
}

int MPopupWnd::OnSize(unsigned /*type*/, int /*cx*/, int /*cy*/)
{
    RelayoutAfterSize(*this, m_rcClient);
    return 0;
}

int MPopupWnd::SendMessageToParent(unsigned msg, unsigned wParam, long lParam)
{
    if (auto* control = dynamic_cast<MControl*>(m_pParent))
        return static_cast<int>(control->OnMessage(0, msg, wParam, lParam));
    // A window owner hears it through its notification entry, which a dialog forwards to its OnMessage.
    return m_pParent ? static_cast<int>(m_pParent->OnBaseMessage(0, msg, wParam, lParam)) : 0;
}

MControl* MPopupWnd::CreateControl(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title,
                                   int a, int b)
{
    return m_paintManager.CreateControl(this, className, id, rect, title, a, b);
}

MControl* MPopupWnd::CreateArea(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title,
                                int a, int b)
{
    return m_paintManager.CreateArea(this, className, id, rect, title, a, b);
}

MControl* MPopupWnd::GetControl(unsigned id) const
{
    return m_paintManager.GetControl(id);
}

int MPopupWnd::LoadBKImage(const CString& file)
{
    return m_paintManager.LoadBKImage(file);
}

void MPopupWnd::SetBackMode(enumBackMode mode, int border)
{
    m_paintManager.SetBackMode(mode, border);
}

void MPopupWnd::SetScrollResID(unsigned vertical, unsigned horizontal)
{
    m_paintManager.SetScrollResID(vertical, horizontal);
}

void MPopupWnd::SetLayeredWindow(int layered)
{
    m_paintManager.SetLayeredWindow(layered);
}

void MPopupWnd::SetupBackTranslucent()
{
    ApplyBackTranslucency(*this, m_clrTransparent, m_nAlpha);
}
