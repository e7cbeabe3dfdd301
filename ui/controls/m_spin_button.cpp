#include "ui/controls/m_spin_button.h"

#include <algorithm>
#include <cwchar>

#include "core/virtual_keys.h"
#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"
#include "ui/framework/messages.h"
#include "ui/framework/paint_manager.h"

namespace {

constexpr int kTextInset = 6;
constexpr int kPageSteps = 10;
constexpr unsigned kVkOemMinus = 0xBD;

// The character a key types into a number, or 0.
wchar_t DigitOf(unsigned key)
{
    if (key >= '0' && key <= '9')
        return static_cast<wchar_t>(key);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD0 + 9)
        return static_cast<wchar_t>(L'0' + (key - VK_NUMPAD0));
    if (key == kVkOemMinus || key == VK_SUBTRACT)
        return L'-';
    return 0;
}

} // namespace

// --- MSpinButton ---

MSpinButton::MSpinButton(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MPanel(parent, id, rect, visible)
{
    m_enabled = enabled;
    m_tabStop = 1;
    m_hAlign = 1;
    EnableScroll(0);
}

void MSpinButton::SetValue(int value)
{
    value = std::clamp(value, m_min, m_max);
    if (value == m_value)
        return;
    m_value = value;
    UpdateControl();
}

void MSpinButton::SetRange(int min, int max)
{
    m_min = std::min(min, max);
    m_max = std::max(min, max);
    m_value = std::clamp(m_value, m_min, m_max);
    UpdateControl();
}

void MSpinButton::SetStep(int step)
{
    m_step = std::max(step, 1);
}

void MSpinButton::ChangeTo(int value)
{
    value = std::clamp(value, m_min, m_max);
    if (value == m_value)
        return;
    m_value = value;
    UpdateControl();
    SendMessageW(kNotifyValue, static_cast<unsigned>(m_value));
}

CRect MSpinButton::UpArrowRect() const
{
    return {m_rect.right - kArrowWidth, m_rect.top, m_rect.right, m_rect.top + m_rect.Height() / 2};
}

CRect MSpinButton::DownArrowRect() const
{
    return {m_rect.right - kArrowWidth, m_rect.top + m_rect.Height() / 2, m_rect.right, m_rect.bottom};
}

CString MSpinButton::ShownText() const
{
    return FormatText(L"%d", m_value);
}

void MSpinButton::SetControlEnabled(int enabled)
{
    MPanel::SetControlEnabled(enabled);
    m_heldArrow = m_hoverArrow = 0;
    if (m_manager)
        m_manager->KillTimer(this, kRepeatTimerKey);
}

int MSpinButton::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    const int arrow = !m_enabled                        ? 0
                      : UpArrowRect().PtInRect(point)   ? 1
                      : DownArrowRect().PtInRect(point) ? -1
                                                        : 0;
    if (arrow != m_hoverArrow) {
        m_hoverArrow = arrow;
        UpdateControl();
    }
    return 0;
}

int MSpinButton::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    const int arrow = UpArrowRect().PtInRect(point) ? 1 : DownArrowRect().PtInRect(point) ? -1 : 0;
    if (!arrow)
        return 1;
    m_heldArrow = arrow;
    ChangeTo(m_value + arrow * m_step);
    if (m_manager)
        m_manager->SetTimer(this, kRepeatTimerKey, kRepeatFirstMs);
    UpdateControl();
    return 1;
}

int MSpinButton::OnControlLButtonUp(unsigned /*flags*/, CPoint /*point*/)
{
    if (!m_heldArrow)
        return 0;
    m_heldArrow = 0;
    if (m_manager)
        m_manager->KillTimer(this, kRepeatTimerKey);
    UpdateControl();
    return 1;
}

int MSpinButton::OnControlTimer(unsigned key)
{
    if (key != kRepeatTimerKey || !m_heldArrow)
        return 0;
    ChangeTo(m_value + m_heldArrow * m_step);
    // After the first wait the repeat runs faster; at either end it stops.
    if (m_manager) {
        if (m_value == m_min || m_value == m_max)
            m_manager->KillTimer(this, kRepeatTimerKey);
        else
            m_manager->SetTimer(this, kRepeatTimerKey, kRepeatMs);
    }
    return 1;
}

int MSpinButton::OnControlScroll(int /*steps*/, unsigned down, CPoint /*point*/)
{
    if (!m_enabled)
        return 0;
    ChangeTo(m_value + (down ? -m_step : m_step));
    return 1;
}

int MSpinButton::OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned modifiers)
{
    if (!m_focused || !m_enabled || modifiers != 0)
        return 0;
    switch (key) {
    case VK_UP:
        ChangeTo(m_value + m_step);
        return 1;
    case VK_DOWN:
        ChangeTo(m_value - m_step);
        return 1;
    case VK_PRIOR:
        ChangeTo(m_value + kPageSteps * m_step);
        return 1;
    case VK_NEXT:
        ChangeTo(m_value - kPageSteps * m_step);
        return 1;
    case VK_HOME:
        ChangeTo(m_min);
        return 1;
    case VK_END:
        ChangeTo(m_max);
        return 1;
    default:
        return 0;
    }
}

void MSpinButton::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const CRect all(0, 0, w, h);
        if (m_image)
            MRender::DrawImageFrame(g, m_image.get(), all, 0, 0, m_imageWidth, m_imageHeight, 4);
        else
            FallbackLook::RoundRect(g, all, 3, FallbackLook::kPanel, FallbackLook::kPanelEdge);
        const CRect up(w - kArrowWidth, 0, w, h / 2);
        const CRect down(w - kArrowWidth, h / 2, w, h);
        auto arrow = [&](const CRect& r, int which) {
            if (m_heldArrow == which)
                FallbackLook::RoundRect(g, r, 2, FallbackLook::kAccent, 0);
            else if (m_hoverArrow == which)
                FallbackLook::RoundRect(g, r, 2, FallbackLook::kHover, 0);
            const bool atEnd = which > 0 ? m_value >= m_max : m_value <= m_min;
            const ARGB colour = !m_enabled || atEnd ? FallbackLook::kDisabledText : m_textColor;
            FallbackLook::Arrow(g, r, which > 0, colour);
        };
        arrow(up, 1);
        arrow(down, -1);
        MRender::DrawColor(&m_memDC, CRect(w - kArrowWidth, 2, w - kArrowWidth + 1, h - 2), 0x40FFFFFF);
        const CRect text(kTextInset, 0, w - kArrowWidth - kTextInset, h);
        StringFormat format = TitleFormat();
        format.lineAlignment = StringAlignmentCenter;
        MRender::DrawString(g, ShownText(), DrawFont(), text, format,
                            m_enabled ? m_textColor : FallbackLook::kDisabledText, m_hint);
        DrawCaret(g, text);
    }
    CopyMemDC(hdc, clip);
}

// --- CSpinButton ---

CSpinButton::CSpinButton(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MSpinButton(parent, id, rect, visible, enabled)
{
    SetCursorEx(IDC_IBEAM);
}

CString CSpinButton::ShownText() const
{
    return m_editing ? m_edit : MSpinButton::ShownText();
}

void CSpinButton::DrawCaret(Graphics* /*g*/, const CRect& text)
{
    if (!m_editing)
        return;
    const CSize size = MRender::MeasureString(DrawFont(), m_edit.empty() ? CString(L"0") : m_edit);
    const int width = m_edit.empty() ? 0 : size.cx;
    const CPoint at = MRender::GetOriginPoint(text, width, size.cy, static_cast<unsigned>(m_hAlign), 4);
    const int x = at.x + width + 1;
    MRender::DrawColor(&m_memDC, CRect(x, at.y, x + 1, at.y + size.cy), m_textColor);
}

void CSpinButton::Commit()
{
    if (!m_editing)
        return;
    m_editing = false;
    const CString text = m_edit;
    m_edit.clear();
    wchar_t* end = nullptr;
    const long long parsed = std::wcstoll(text.c_str(), &end, 10);
    // Nothing typed, or only a sign, keeps the value.
    if (text.empty() || end == text.c_str()) {
        UpdateControl();
        return;
    }
    const long long within = std::clamp<long long>(parsed, m_min, m_max);
    const int before = m_value;
    ChangeTo(static_cast<int>(within));
    if (m_value == before)
        UpdateControl();
}

void CSpinButton::Cancel()
{
    m_editing = false;
    m_edit.clear();
    UpdateControl();
}

void CSpinButton::SetControlFocus(int focus)
{
    MSpinButton::SetControlFocus(focus);
    if (!focus)
        Commit();
}

int CSpinButton::OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers)
{
    if (!m_focused || !m_enabled)
        return 0;
    if (modifiers == 0) {
        const wchar_t c = DigitOf(key);
        if (c == L'-') {
            // A minus only starts a number, and only where the range has negative values.
            if (m_min >= 0 || (m_editing && !m_edit.empty()))
                return 1;
        }
        if (c) {
            if (!m_editing) {
                m_editing = true;
                m_edit.clear();
            }
            if (m_edit.size() < kMaxDigits)
                m_edit.push_back(c);
            UpdateControl();
            return 1;
        }
        if (m_editing) {
            switch (key) {
            case VK_BACK:
                if (!m_edit.empty())
                    m_edit.pop_back();
                UpdateControl();
                return 1;
            case VK_RETURN:
                Commit();
                return 1;
            case VK_ESCAPE:
                Cancel();
                return 1;
            default:
                // Any other key first takes what was typed, then does its own work.
                Commit();
                break;
            }
        }
    }
    return MSpinButton::OnControlKeyDown(key, repeat, modifiers);
}
