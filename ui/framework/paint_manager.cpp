// PaintManager: attachment, the window's messages, repaint requests and painting.

#include "ui/framework/paint_manager.h"

#include <cairo.h>

#include "core/folders.h"
#include "core/native_path.h"
#include "ui/framework/image.h"
#include "ui/framework/m_air_bladder.h"
#include "ui/framework/m_control.h"
#include "ui/framework/m_render.h"
#include "ui/framework/m_window.h"
#include "ui/framework/messages.h"
#include "ui/framework/region.h"
#include "ui/framework/resource_module.h"
#include "ui/framework/tooltip_wnd.h"
#include "ui/framework/window_system.h"

namespace {

// Background and border are drawn just short of opaque, as the per-pixel-alpha output expects.
constexpr uint8_t kBackgroundAlpha = 254;
// Window messages reflected to the child window that sent them.
constexpr UINT kReflectOffset = 0x2000;

} // namespace

PaintManager::PaintManager() = default;

PaintManager::~PaintManager()
{
    DestroyData();
    // Controls added to a manager that never had a window go before the lists they reach back into.
    ClearAllControls();
}

void PaintManager::Init(HWND hwnd, MWindow* owner)
{
    if (!WindowSystem::IsWindow(hwnd))
        return;
    m_hWnd = hwnd;
    m_owner = owner;
    // Drag and drop is not offered: no control of the program switches it on.
    const CString arial = FormatText(L"%s\\font\\%s", ApplicationFolder().c_str(), L"Arial.ttf");
    if (PathExists(arial))
        AddTempFont(L"Arial", arial.c_str());
    AddGDITempFont(kEmbeddedFontResId);
    m_initialized = true;
    m_scrollVID = kScrollVerticalResId;
    m_scrollHID = kScrollHorizontalResId;
}

void PaintManager::DestroyData()
{
    if (!m_initialized)
        return;
    WalkScope walk;
    m_bkImage.reset();
    m_bkImageSize = {};
    RKTimer::KillTimer();
    m_animationTimer = 0;
    ClearTimers();
    for (unsigned id : {kMessageHoldTimer, kMessageFadeTimer, kProgressTimer})
        StopWindowTimer(id);
    m_msgAlpha = 0;
    ClearAllControls();
    {
        std::lock_guard lock(m_animationLock);
        m_animated.clear();
    }
    m_hover = m_focus = nullptr;
    m_captured = m_leftPressed = m_rightPressed = m_doubleClicked = m_tracking = false;
    m_tooltip.reset();
    m_tooltipCtrlID = 0;
    m_airBladder.reset();
    ClearImgResInfo();
    ClearTempFont();
    m_surface = Surface();
    m_initialized = false;
}

// --- Messages ---

LRESULT PaintManager::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    WalkScope walk;
    // Controls see every message first; the first that answers ends its processing here.
    if (m_controls.FindIf([&](MControl* c) { return c->OnWindowMessage(msg, wParam, lParam) != 0; }))
        return 0;
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    const auto flags = static_cast<unsigned>(wParam);
    switch (msg) {
    case WM_PAINT:
        return OnPaint() ? 1 : 0;
    case WM_GETMINMAXINFO:
        if (auto* info = reinterpret_cast<MINMAXINFO*>(lParam)) {
            if (m_minSize.x > 0 && m_minSize.y > 0)
                info->ptMinTrackSize = m_minSize;
            if (m_maxSize.x > 0 && m_maxSize.y > 0)
                info->ptMaxTrackSize = info->ptMaxSize = m_maxSize;
        }
        return 1;
    case WM_CREATE:
    case WM_DESTROY:
    case WM_SIZE:
    case WM_CHAR:
    case WM_MOUSEHOVER:
        return 1;
    case WM_NCDESTROY:
        DestroyData();
        return 1;
    case WM_NCACTIVATE:
        OnActivate(wParam != 0);
        return 1;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        return OnKeyDown(flags);
    case WM_KEYUP:
    case WM_SYSKEYUP:
        return OnKeyUp(flags);
    case WM_COMMAND:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORSTATIC:
        if (lParam)
            return WindowSystem::SendMessageW(reinterpret_cast<HWND>(lParam), msg + kReflectOffset, wParam,
                                              lParam);
        return 0;
    case WM_TIMER:
        OnTimer(flags);
        return 0;
    case WM_MOUSEMOVE:
        return OnMouseMove(flags, point);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(flags, point);
    case WM_LBUTTONUP:
        return OnLButtonUp(flags, point);
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(flags, point);
    case WM_RBUTTONDOWN:
        return OnRButtonDown(flags, point);
    case WM_RBUTTONUP:
        return OnRButtonUp(flags, point);
    case WM_RBUTTONDBLCLK:
        return OnRButtonDblClk(flags, point);
    case WM_MOUSEWHEEL:
        return OnMouseWheel(wParam, lParam);
    case WM_MOUSELEAVE:
        return OnMouseLeave();
    default:
        return 0;
    }
}

long PaintManager::OnControlUpdate(CRect rect, int redraw, MControl* control)
{
    if (redraw && control)
        control->SetUpdate(0);
    CRegion region(rect);
    MarkLaterControlsStale(m_areas, m_controls, control, rect, &region);
    if (!m_initialized)
        return 0;
    // A focus control that went out of sight takes its mark, which stands outside it, along.
    if (m_focusMarked && m_focus && (!m_focus->IsVisible() || !m_focus->IsParentVisible()))
        InvalidateFocusMark(m_focus);
    if (m_layered) {
        WindowSystem::InvalidateRect(m_hWnd, nullptr, TRUE);
        return 0;
    }
    for (const CRect& r : region.Rects())
        WindowSystem::InvalidateRect(m_hWnd, &r, FALSE);
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
    WindowSystem::InvalidateRect(m_hWnd, m_layered ? nullptr : &rect, m_layered ? TRUE : erase);
}

// --- Painting ---

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
    // Everything inside the update's bounds is drawn anew, so the bounds serve as the clip.
    const CRect clip = m_layered ? client : pass.rcPaint;
    if (m_layered)
        m_surface.Fill(clip, 0);
    DrawBackground(clip);
    HDC hdc = &m_surface;
    auto draw = [&](MControl* c) {
        if (c->IsVisible())
            c->Draw(hdc, clip);
    };
    m_areas.ForEach(draw);
    m_controls.ForEach(draw);
    DrawFocusMark(clip);
    // The rich edits' caret is drawn by their editor window (CEditWindow), not here.
    DrawOverlay();
    if (m_layered)
        WindowSystem::UpdateLayeredWindow(m_hWnd, m_surface);
    else
        WindowSystem::Present(m_hWnd, m_surface, pass.rcPaint);
    WindowSystem::EndPaint(m_hWnd);
    return true;
}

void PaintManager::DrawBackground(const CRect& clip)
{
    const CRect client = m_surface.Bounds();
    if (m_bkImage) {
        const bool covers = m_backMode == BACK_MODE_FRAME ||
                            (m_bkImageSize.cx >= client.Width() && m_bkImageSize.cy >= client.Height());
        // The surface still holds the last frame (a layered one was cleared already): a translucent
        // picture drawn over it would pile up.
        if (!m_layered)
            m_surface.Fill(clip, covers ? 0 : ColorRefToARGB(m_backColor, kBackgroundAlpha));
        GraphicsOn g(m_surface);
        cairo_rectangle(g, clip.left, clip.top, clip.Width(), clip.Height());
        cairo_clip(g);
        if (m_backMode == BACK_MODE_FRAME) {
            MRender::DrawImageFrame(g, m_bkImage.get(), client, 0, 0, m_bkImageSize.cx, m_bkImageSize.cy,
                                    m_frameBorder);
        } else {
            const CRect whole(0, 0, m_bkImageSize.cx, m_bkImageSize.cy);
            MRender::DrawImage(g, m_bkImage.get(), whole, whole);
        }
        return;
    }
    CRect border;
    if (border.IntersectRect(client, clip))
        m_surface.Fill(border, ColorRefToARGB(m_borderColor, kBackgroundAlpha));
    CRect inner = client;
    inner.DeflateRect(1, 1);
    if (inner.IntersectRect(inner, clip))
        m_surface.Fill(inner, ColorRefToARGB(m_backColor, kBackgroundAlpha));
}

void PaintManager::DrawFocusMark(const CRect& clip)
{
    MControl* focus = m_focus;
    if (!m_focusMarked || !focus || !focus->IsVisible() || !focus->IsParentVisible())
        return;
    CRect mark = focus->GetWindowRect();
    mark.InflateRect(kFocusMarkMargin, kFocusMarkMargin);
    GraphicsOn g(m_surface);
    cairo_rectangle(g, clip.left, clip.top, clip.Width(), clip.Height());
    cairo_clip(g);
    MRender::DrawRoundRectange(g, static_cast<float>(mark.left) + 0.5f, static_cast<float>(mark.top) + 0.5f,
                               static_cast<float>(mark.Width() - 1), static_cast<float>(mark.Height() - 1), 8,
                               kFocusMarkColour, 1.0f);
}

void PaintManager::InvalidateFocusMark(MControl* control)
{
    if (!control)
        return;
    CRect mark = control->GetWindowRect();
    mark.InflateRect(kFocusMarkMargin + 1, kFocusMarkMargin + 1);
    InvalidateRect(mark, 0);
}

void PaintManager::DrawOverlay()
{
    if (m_msgAlpha <= 10 || m_msgText.empty() || m_msgRect.IsRectEmpty())
        return;
    const auto alpha = static_cast<uint8_t>(m_msgAlpha);
    const CRect& r = m_msgRect;
    GraphicsOn g(m_surface);
    auto fill = [&](const CRect& box, ARGB colour) {
        SetSourceARGB(g, colour);
        cairo_rectangle(g, box.left, box.top, box.Width(), box.Height());
        cairo_fill(g);
    };
    fill(r, MakeARGB(alpha, 0xE6, 0xE6, 0xE6));
    CRect inner = r;
    inner.DeflateRect(2, 2);
    fill(inner, MakeARGB(alpha, 0xFE, 0xFE, 0xFE));
    TextFont font{FindTempFont() ? FindTempFont()->name : CString(), 12.0f, FontStyleRegular};
    StringFormat format;
    const ARGB textColour = MakeARGB(alpha, 0x05, 0x05, 0x05);
    if (!m_msgHasProgress) {
        MRender::DrawString(g, m_msgText, font, CRect(r.left + 5, r.top + 5, r.left + 195, r.top + 55),
                            format, textColour);
        return;
    }
    format.alignment = StringAlignmentCenter;
    format.lineAlignment = StringAlignmentCenter;
    format.flags = StringFormatFlagsNoWrap;
    MRender::DrawString(g, m_msgText, font, CRect(r.left + 5, r.top + 5, r.right - 5, r.top + 35), format,
                        textColour);
    fill(CRect(r.left + 10, r.bottom - 15, r.right - 20, r.bottom - 14), 0xC8C8C8C8);
    const int width = m_shownProgress * (r.Width() - 20) / 100;
    fill(CRect(r.left + 10, r.bottom - 16, r.left + 10 + width, r.bottom - 13), 0xFEFFE100);
}

// --- The window ---

LRESULT PaintManager::SendMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return m_initialized ? WindowSystem::SendMessageW(m_hWnd, msg, wParam, lParam) : 0;
}

BOOL PaintManager::PostMessageW(UINT msg, WPARAM wParam, LPARAM lParam)
{
    return m_initialized ? WindowSystem::PostMessageW(m_hWnd, msg, wParam, lParam) : FALSE;
}

BOOL PaintManager::GetClientRect(CRect* rect) const
{
    return m_initialized ? WindowSystem::GetClientRect(m_hWnd, rect) : FALSE;
}

BOOL PaintManager::GetWindowRect(CRect* rect) const
{
    return m_initialized ? WindowSystem::GetWindowRect(m_hWnd, rect) : FALSE;
}

void PaintManager::GetClientSize(int& cx, int& cy) const
{
    CRect client;
    GetClientRect(&client);
    cx = client.Width();
    cy = client.Height();
}

// --- Look ---

void PaintManager::SetBackColor(COLORREF back, COLORREF border)
{
    m_backColor = back;
    m_borderColor = border;
}

void PaintManager::SetBackMode(enumBackMode mode, int border)
{
    m_backMode = mode;
    m_frameBorder = border;
}

void PaintManager::SetLayeredWindow(int layered)
{
    m_layered = layered != 0;
}

void PaintManager::SetScrollResID(unsigned vertical, unsigned horizontal)
{
    m_scrollVID = vertical;
    m_scrollHID = horizontal;
}
