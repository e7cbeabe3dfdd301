#include "ui/framework/paint_manager.h"

#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

namespace {

// Background and border are drawn just short of opaque, as the per-pixel-alpha output expects.
constexpr uint8_t kBackgroundAlpha = 254;

} // namespace

PaintManager::~PaintManager()
{
    DestroyData();
}

void PaintManager::Init(HWND hwnd, MWindow* owner)
{
    if (!WindowSystem::IsWindow(hwnd))
        return;
    m_hWnd = hwnd;
    m_owner = owner;
    m_initialized = true;
}

void PaintManager::DestroyData()
{
    if (!m_initialized)
        return;
    RKTimer::KillTimer();
    m_animationTimer = 0;
    m_surface = Surface();
    m_initialized = false;
}

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM /*wParam*/, LPARAM lParam)
{
    switch (msg) {
    case WM_PAINT:
        return OnPaint() ? 1 : 0;
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
        return 1;
    case WM_NCDESTROY:
        DestroyData();
        return 1;
    case WM_LBUTTONDOWN:
        // Without a control under the press, the press on empty area drags the frameless window.
        if (m_windowDrag && m_initialized) {
            WindowSystem::ReleaseCapture();
            WindowSystem::SendMessageW(m_hWnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(HTCAPTION), lParam);
        }
        return 0;
    default:
        return 0;
    }
}

int PaintManager::PreTranslateMessage(MSG* /*msg*/)
{
    return 0;
}

long PaintManager::OnControlUpdate(CRect rect, int /*redraw*/, MControl* /*control*/)
{
    InvalidateRect(rect, m_layered ? 1 : 0);
    return 0;
}

void PaintManager::Invalidate()
{
    if (m_initialized)
        WindowSystem::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void PaintManager::InvalidateRect(CRect rect, int erase)
{
    if (!m_initialized)
        return;
    // A layered window is always presented whole.
    WindowSystem::InvalidateRect(m_hWnd, m_layered ? nullptr : &rect, erase);
}

void PaintManager::SetBackColor(COLORREF back, COLORREF border)
{
    m_backColor = back;
    m_borderColor = border;
}

unsigned PaintManager::SetMTimer(unsigned ms)
{
    m_animationTimer = static_cast<unsigned>(RKTimer::SetTimer(ms, CString(), 0));
    return m_animationTimer;
}

void PaintManager::KillMTimer(unsigned id)
{
    RKTimer::KillTimer(id);
    if (id == m_animationTimer)
        m_animationTimer = 0;
}

void PaintManager::KillMTimer()
{
    if (m_animationTimer)
        KillMTimer(m_animationTimer);
}

void PaintManager::OnMTimer(unsigned id)
{
    if (id != m_animationTimer)
        return;
    ++m_animationTicks;
    // FIXME: each tick goes to the joined animated controls once the control tree exists.
}

bool PaintManager::OnPaint()
{
    if (!m_initialized || WindowSystem::IsIconic(m_hWnd))
        return false;
    CRect update;
    if (!WindowSystem::GetUpdateRect(m_hWnd, &update, FALSE))
        return false;
    const PaintPass pass = WindowSystem::BeginPaint(m_hWnd);
    CRect client;
    WindowSystem::GetClientRect(m_hWnd, &client);
    m_surface.Resize(client.Width(), client.Height());
    if (!m_surface.IsValid()) {
        WindowSystem::EndPaint(m_hWnd);
        return false;
    }
    m_surface.Fill(client, ColorRefToARGB(m_borderColor, kBackgroundAlpha));
    CRect inner = client;
    inner.DeflateRect(1, 1);
    m_surface.Fill(inner, ColorRefToARGB(m_backColor, kBackgroundAlpha));
    if (m_layered)
        WindowSystem::UpdateLayeredWindow(m_hWnd, m_surface);
    else
        WindowSystem::Present(m_hWnd, m_surface, pass.rcPaint);
    WindowSystem::EndPaint(m_hWnd);
    return true;
}
