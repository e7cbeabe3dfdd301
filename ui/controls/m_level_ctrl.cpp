#include "ui/controls/m_level_ctrl.h"

#include <algorithm>

#include "core/virtual_keys.h"
#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"
#include "ui/framework/messages.h"

MLevelCtrl::MLevelCtrl(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_tabStop = 1;
    m_imageCount = 2;
    SetCursorEx(IDC_HAND);
}

void MLevelCtrl::SetLevelCount(int count)
{
    m_count = std::max(count, 1);
    m_level = std::min(m_level, m_count);
    UpdateControl();
}

void MLevelCtrl::SetLevel(int level)
{
    level = std::clamp(level, 0, m_count);
    if (level == m_level)
        return;
    m_level = level;
    UpdateControl();
}

void MLevelCtrl::ChangeTo(int level)
{
    level = std::clamp(level, 0, m_count);
    if (level == m_level)
        return;
    m_level = level;
    UpdateControl();
    SendMessageW(kNotifyLevel, static_cast<unsigned>(m_level));
}

CRect MLevelCtrl::BarRect(int k) const
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    const int barWidth = std::max((w - (m_count - 1) * kBarGap) / m_count, 1);
    const int left = k * (barWidth + kBarGap);
    // Bars rise from a quarter of the height to the whole of it.
    const int barHeight = h / 4 + (h - h / 4) * (k + 1) / m_count;
    return {left, h - barHeight, left + barWidth, h};
}

int MLevelCtrl::BarAt(CPoint point) const
{
    if (!PtInRect(point))
        return -1;
    const int x = point.x - m_rect.left;
    for (int k = 0; k < m_count; ++k) {
        const CRect bar = BarRect(k);
        // The whole column of a bar counts, and the gap belongs to the bar before it.
        if (x >= bar.left && x < bar.right + kBarGap)
            return k;
    }
    return -1;
}

int MLevelCtrl::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    const int bar = m_enabled ? BarAt(point) : -1;
    if (bar != m_hoverBar) {
        m_hoverBar = bar;
        UpdateControl();
    }
    return 0;
}

int MLevelCtrl::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    const int bar = BarAt(point);
    if (bar < 0)
        return 0;
    ChangeTo(bar == 0 && m_level == 1 ? 0 : bar + 1);
    return 1;
}

int MLevelCtrl::OnControlScroll(int /*steps*/, unsigned down, CPoint /*point*/)
{
    if (!m_enabled)
        return 0;
    ChangeTo(m_level + (down ? -1 : 1));
    return 1;
}

int MLevelCtrl::OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned modifiers)
{
    if (!m_focused || !m_enabled || modifiers != 0)
        return 0;
    switch (key) {
    case VK_RIGHT:
    case VK_UP:
        ChangeTo(m_level + 1);
        return 1;
    case VK_LEFT:
    case VK_DOWN:
        ChangeTo(m_level - 1);
        return 1;
    case VK_HOME:
        ChangeTo(0);
        return 1;
    case VK_END:
        ChangeTo(m_count);
        return 1;
    default:
        return 0;
    }
}

void MLevelCtrl::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        for (int k = 0; k < m_count; ++k) {
            const CRect bar = BarRect(k);
            const bool lit = k < m_level;
            if (m_image) {
                DrawImageFrameAt(g, lit ? 1 : 0, bar);
                continue;
            }
            ARGB fill = lit ? (m_enabled ? FallbackLook::kAccent : FallbackLook::kDisabledText)
                            : FallbackLook::kPanel;
            if (!lit && k <= m_hoverBar)
                fill = FallbackLook::kHover;
            FallbackLook::RoundRect(g, bar, 2, fill, FallbackLook::kPanelEdge);
        }
    }
    CopyMemDC(hdc, clip);
}
