#include "ui/controls/c_edit_window.h"

#include <algorithm>
#include <cairo.h>

#include "ui/controls/edit_layout.h"
#include "ui/framework/m_control_font.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"

namespace {

using WS = WindowSystem;

bool KeyHeld(int vk)
{
    return (WS::GetKeyState(vk) & 0x8000) != 0;
}

bool IsModifierKey(WPARAM vk)
{
    return vk == VK_SHIFT || vk == VK_CONTROL;
}

// The line height of an edit window's font is the control's font size + 6 pixels.
constexpr int kEditFontGrowth = 6;

} // namespace

CEditWindow::CEditWindow(EditWindowHost* host) : m_host(host) {}

CEditWindow::~CEditWindow()
{
    // The window goes with the base class; nothing may reach the host from here on.
    m_host = nullptr;
    m_open = false;
    if (IsLive())
        WS::KillTimer(m_hWnd, kCaretTimer);
}

bool CEditWindow::CreateEditor(HWND parent, CRect rect, bool popup)
{
    if (IsLive())
        return true;
    m_popup = popup;
    const DWORD style = popup ? WS_POPUP | WS_CLIPSIBLINGS : WS_CHILD | WS_CLIPSIBLINGS;
    return Create(parent, L"", style, popup ? WS_EX_TOOLWINDOW : 0, rect) != nullptr;
}

void CEditWindow::MoveEditor(CRect rect)
{
    if (IsLive())
        WS::SetWindowPos(m_hWnd, nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE);
    Reveal();
}

void CEditWindow::SetText(const CString& text)
{
    m_text.SetText(text);
    m_preferredX = -1;
    Changed(false);
}

void CEditWindow::SetSel(size_t anchor, size_t caret)
{
    m_text.Select(anchor, caret);
    Changed(false);
}

void CEditWindow::SetMultiLine(bool on)
{
    m_text.SetMultiLine(on);
    m_scroll = {};
    Changed(false);
}

void CEditWindow::SetPassword(bool on, wchar_t c)
{
    m_password = on;
    if (c)
        m_passwordChar = c;
    Changed(false);
}

void CEditWindow::SetAlignment(int h)
{
    m_align = h;
    Changed(false);
}

void CEditWindow::SetEditFont(const TextFont& font)
{
    m_font = font;
    Changed(false);
}

void CEditWindow::SetColors(ARGB back, ARGB text)
{
    m_back = back;
    m_fore = text;
    Changed(false);
}

void CEditWindow::SetSelectionColors(ARGB back, ARGB text)
{
    m_selBack = back;
    m_selFore = text;
    Changed(false);
}

CString CEditWindow::DisplayText() const
{
    if (!m_password)
        return m_text.Text();
    return CString(m_text.Length(), m_passwordChar);
}

// --- Opening and closing ---

void CEditWindow::Open(const CString& text, bool selectAll)
{
    if (!IsLive())
        return;
    m_original = text;
    m_text.SetText(text);
    if (selectAll)
        m_text.SelectAll();
    m_scroll = {};
    m_preferredX = -1;
    m_open = true;
    Reveal();
    ShowWindow(SW_SHOW);
    WS::SetFocus(m_hWnd);
    RestartCaret();
    InvalidateRect(nullptr, 0);
}

void CEditWindow::Close(EditCloseReason reason)
{
    if (!m_open)
        return;
    m_open = false;
    m_dragging = false;
    StopCaret();
    if (IsLive()) {
        if (WS::GetCapture() == m_hWnd)
            WS::ReleaseCapture();
        // The keyboard goes back to the window the editor sits on, unless it went elsewhere already.
        if (WS::GetFocus() == m_hWnd) {
            const HWND back = m_popup ? WS::GetParent(m_hWnd) : WS::GetTopLevel(m_hWnd);
            if (back)
                WS::SetFocus(back);
        }
        ShowWindow(SW_HIDE);
    }
    if (m_host)
        m_host->OnEditClosed(*this, reason);
}

// --- Layout and scrolling ---

std::unique_ptr<EditLayout> CEditWindow::Layout() const
{
    const CRect area = ClientArea();
    const int wrap = m_text.IsMultiLine() ? std::max(area.Width() - 2 * kPadding, 1) : 0;
    return std::make_unique<EditLayout>(DisplayText(), m_font, wrap);
}

CRect CEditWindow::ClientArea() const
{
    CRect client;
    if (IsLive())
        GetClientRect(&client);
    return client;
}

CPoint CEditWindow::TextOrigin(const EditLayout& layout) const
{
    const CRect area = ClientArea();
    const CSize size = layout.Size();
    if (m_text.IsMultiLine())
        return {kPadding, kPadding - m_scroll.y};
    const int room = area.Width() - 2 * kPadding;
    int x = kPadding - m_scroll.x;
    // Alignment applies while the line fits; a longer line scrolls from the left.
    if (size.cx < room && m_align == 1)
        x = kPadding + (room - size.cx) / 2;
    else if (size.cx < room && m_align == 2)
        x = kPadding + room - size.cx - 1;
    return {x, (area.Height() - size.cy) / 2};
}

void CEditWindow::Reveal()
{
    if (!IsLive())
        return;
    const auto layout = Layout();
    const CRect area = ClientArea();
    const CRect caret = layout->CaretRect(m_text.Caret());
    if (m_text.IsMultiLine()) {
        const int room = std::max(area.Height() - 2 * kPadding, 1);
        const int bottomLimit = std::max(layout->Size().cy - room, 0);
        if (caret.top < m_scroll.y)
            m_scroll.y = caret.top;
        else if (caret.bottom > m_scroll.y + room)
            m_scroll.y = caret.bottom - room;
        m_scroll.y = std::clamp(m_scroll.y, 0, std::max(bottomLimit, caret.bottom - room));
        m_scroll.x = 0;
        return;
    }
    const int room = std::max(area.Width() - 2 * kPadding - 1, 1);
    const int width = layout->Size().cx;
    if (width <= room) {
        m_scroll.x = 0;
        return;
    }
    if (caret.left < m_scroll.x)
        m_scroll.x = caret.left;
    else if (caret.left > m_scroll.x + room)
        m_scroll.x = caret.left - room;
    // Deleting at the end pulls the text back rather than leaving empty room on the right.
    m_scroll.x = std::clamp(m_scroll.x, 0, std::max(width - room, 0));
}

size_t CEditWindow::HitTest(CPoint client) const
{
    const auto layout = Layout();
    const CPoint origin = TextOrigin(*layout);
    return layout->HitTest(CPoint(client.x - origin.x, client.y - origin.y));
}

// --- Changes ---

void CEditWindow::Changed(bool textChanged)
{
    Reveal();
    RestartCaret();
    if (IsLive())
        InvalidateRect(nullptr, 0);
    if (textChanged && m_open && m_host)
        m_host->OnEditChanged(*this);
}

void CEditWindow::MoveCaret(size_t pos, bool extend)
{
    m_text.MoveTo(pos, extend);
    Changed(false);
}

void CEditWindow::RestartCaret()
{
    m_caretOn = true;
    if (!m_open || !m_focused || !IsLive())
        return;
    // Each restart begins a full blink period, so the caret stays still while the user types.
    WS::SetTimer(m_hWnd, kCaretTimer, kCaretBlinkMs, nullptr);
    m_timerRunning = true;
}

void CEditWindow::StopCaret()
{
    m_caretOn = false;
    if (m_timerRunning && IsLive())
        WS::KillTimer(m_hWnd, kCaretTimer);
    m_timerRunning = false;
}

void CEditWindow::Copy()
{
    if (m_password || !m_text.HasSelection())
        return;
    WS::SetClipboardText(m_text.SelectedText());
}

void CEditWindow::Cut()
{
    if (m_password || m_text.IsReadOnly() || !m_text.HasSelection())
        return;
    WS::SetClipboardText(m_text.SelectedText());
    if (m_text.DeleteSelection())
        Changed(true);
}

void CEditWindow::Paste()
{
    if (m_text.IsReadOnly())
        return;
    if (const std::optional<CString> text = WS::GetClipboardText()) {
        if (m_text.Insert(*text))
            Changed(true);
    }
}

// --- Input ---

int CEditWindow::OnEditKeyDown(unsigned vk)
{
    const bool shift = m_shiftDown;
    const bool ctrl = m_ctrlDown;
    const size_t caret = m_text.Caret();
    const bool multi = m_text.IsMultiLine();
    if (vk != VK_UP && vk != VK_DOWN)
        m_preferredX = -1;
    switch (vk) {
    case VK_LEFT:
        if (m_text.HasSelection() && !shift)
            MoveCaret(m_text.SelectionStart(), false);
        else
            MoveCaret(ctrl ? m_text.WordBefore(caret) : (caret > 0 ? caret - 1 : 0), shift);
        return 1;
    case VK_RIGHT:
        if (m_text.HasSelection() && !shift)
            MoveCaret(m_text.SelectionEnd(), false);
        else
            MoveCaret(ctrl ? m_text.WordAfter(caret) : caret + 1, shift);
        return 1;
    case VK_HOME:
        MoveCaret(ctrl || !multi ? 0 : Layout()->LineStart(caret), shift);
        return 1;
    case VK_END:
        MoveCaret(ctrl || !multi ? m_text.Length() : Layout()->LineEnd(caret), shift);
        return 1;
    case VK_UP:
    case VK_DOWN: {
        if (!multi)
            return 0;
        const auto layout = Layout();
        if (m_preferredX < 0)
            m_preferredX = layout->CaretRect(caret).left;
        const int keep = m_preferredX;
        MoveCaret(layout->LineMove(caret, vk == VK_UP ? -1 : 1, keep), shift);
        m_preferredX = keep;
        return 1;
    }
    case VK_BACK:
        if (m_text.Backspace(ctrl))
            Changed(true);
        return 1;
    case VK_DELETE:
        if (shift)
            Cut();
        else if (m_text.Delete(ctrl))
            Changed(true);
        return 1;
    case VK_INSERT:
        if (ctrl)
            Copy();
        else if (shift)
            Paste();
        return 1;
    case VK_RETURN:
        if (multi && !ctrl) {
            if (m_text.Insert(L"\n"))
                Changed(true);
        } else {
            Close(EditCloseReason::Enter);
        }
        return 1;
    case VK_ESCAPE: {
        const bool differs = m_text.Text() != m_original;
        m_text.SetText(m_original);
        if (differs)
            Changed(true);
        Close(EditCloseReason::Escape);
        return 1;
    }
    default:
        break;
    }
    if (!ctrl)
        return 0;
    switch (vk) {
    case 'A':
        m_text.SelectAll();
        Changed(false);
        return 1;
    case 'C':
        Copy();
        return 1;
    case 'X':
        Cut();
        return 1;
    case 'V':
        Paste();
        return 1;
    default:
        return 0;
    }
}

void CEditWindow::OnEditChar(wchar_t c)
{
    // Control characters come with Enter, Tab, Escape and Ctrl+letter; those keys act on key-down.
    if (c < 0x20 || c == 0x7F)
        return;
    if (!m_text.Insert(CString(1, c)))
        return;
    m_preferredX = -1;
    Changed(true);
    if (m_host && m_open)
        m_host->OnEditTyped(*this, c);
}

LRESULT CEditWindow::OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const CPoint point(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
    switch (msg) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_SETFOCUS:
        // From here on the key messages themselves tell which modifiers are held, in their order: the
        // display's current state may already be past the key being handled.
        m_shiftDown = KeyHeld(VK_SHIFT);
        m_ctrlDown = KeyHeld(VK_CONTROL);
        m_focused = true;
        RestartCaret();
        InvalidateRect(nullptr, 0);
        return 0;
    case WM_KILLFOCUS:
        m_focused = false;
        StopCaret();
        InvalidateRect(nullptr, 0);
        Close(EditCloseReason::FocusLost);
        return 0;
    case WM_TIMER:
        if (wParam == kCaretTimer) {
            m_caretOn = !m_caretOn;
            InvalidateRect(nullptr, 0);
            return 0;
        }
        break;
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (IsModifierKey(wParam)) {
            (wParam == VK_SHIFT ? m_shiftDown : m_ctrlDown) = msg == WM_KEYDOWN;
            return 0;
        }
        if (msg == WM_KEYDOWN && m_open && OnEditKeyDown(static_cast<unsigned>(wParam)))
            return 0;
        break;
    case WM_CHAR:
        if (m_open)
            OnEditChar(static_cast<wchar_t>(wParam));
        return 0;
    case WM_LBUTTONDOWN:
        if (!m_open)
            return 0;
        if (WS::GetFocus() != m_hWnd)
            WS::SetFocus(m_hWnd);
        m_preferredX = -1;
        MoveCaret(HitTest(point), (wParam & MK_SHIFT) != 0);
        m_dragging = true;
        SetCapture();
        return 0;
    case WM_LBUTTONDBLCLK:
        if (!m_open)
            return 0;
        m_text.SelectWordAt(HitTest(point));
        Changed(false);
        return 0;
    case WM_MOUSEMOVE:
        WS::SetCursor(WS::LoadCursorW(nullptr, IDC_IBEAM));
        if (m_dragging && (wParam & MK_LBUTTON))
            MoveCaret(HitTest(point), true);
        return 0;
    case WM_LBUTTONUP:
        if (m_dragging) {
            m_dragging = false;
            ReleaseCapture();
        }
        return 0;
    case WM_MOUSEWHEEL:
        if (m_text.IsMultiLine()) {
            const int lineStep = Layout()->CaretRect(0).Height();
            m_scroll.y += GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? -lineStep : lineStep;
            m_scroll.y = std::clamp(
                m_scroll.y, 0, std::max(Layout()->Size().cy - (ClientArea().Height() - 2 * kPadding), 0));
            InvalidateRect(nullptr, 0);
        }
        return 0;
    default:
        break;
    }
    return MWindow::OnWindowMessage(msg, wParam, lParam);
}

// --- Drawing ---

void CEditWindow::Paint()
{
    WS::BeginPaint(m_hWnd);
    const CRect client = ClientArea();
    m_surface.Resize(client.Width(), client.Height());
    if (m_surface.IsValid()) {
        m_surface.Fill(client, m_back);
        const auto layout = Layout();
        const CPoint origin = TextOrigin(*layout);
        GraphicsOn g(m_surface);
        cairo_rectangle(g, 0, 0, client.Width(), client.Height());
        cairo_clip(g);
        layout->Draw(g, origin, m_fore);
        // The selection: its background, then its characters again in their own colour on top.
        const std::vector<CRect> selection =
            layout->RangeRects(m_text.SelectionStart(), m_text.SelectionEnd());
        if (!selection.empty()) {
            cairo_save(g);
            for (CRect r : selection) {
                r.OffsetRect(origin);
                cairo_rectangle(g, r.left, r.top, r.Width(), r.Height());
            }
            cairo_clip(g);
            SetSourceARGB(g, m_selBack);
            cairo_paint(g);
            layout->Draw(g, origin, m_selFore);
            cairo_restore(g);
        }
        if (IsCaretShown()) {
            CRect caret = layout->CaretRect(m_text.Caret());
            caret.OffsetRect(origin);
            SetSourceARGB(g, m_fore);
            cairo_rectangle(g, caret.left, caret.top, 1, caret.Height());
            cairo_fill(g);
        }
        WS::Present(m_hWnd, m_surface, client);
    }
    WS::EndPaint(m_hWnd);
}

// --- CEditWnd ---

bool CEditWnd::PlaceOver(MControlFont& control, CRect rect)
{
    PaintManager* manager = control.GetManager();
    if (!manager || !manager->IsInitialized())
        return false;
    const HWND window = manager->GetPaintWnd();
    const bool layered = manager->IsLayered() != 0;
    CRect place = rect;
    if (layered) {
        CPoint topLeft = place.TopLeft();
        WS::ClientToScreen(window, &topLeft);
        place = CRect(topLeft, rect.Size());
    }
    if (!IsLive() && !CreateEditor(window, place, layered))
        return false;
    MoveEditor(place);
    const TextFont font = control.DrawFont();
    SetEditFont(TextFont{
        font.family,
        EditLayout::EmSizeForCellHeight(font.family, control.GetFontSize() + kEditFontGrowth, font.style),
        font.style});
    SetColors(GetBackColor(), control.GetTextColor());
    return true;
}

bool CEditWnd::OpenOver(MControlFont& control, CRect rect, const CString& text, bool selectAll)
{
    if (!PlaceOver(control, rect))
        return false;
    Open(text, selectAll);
    return true;
}
