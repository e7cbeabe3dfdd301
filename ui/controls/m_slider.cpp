#include "ui/controls/m_slider.h"

#include <algorithm>
#include <cairo.h>

#include "core/virtual_keys.h"
#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"

namespace {

constexpr int kTrackTop = 15;
constexpr int kTrackLeft = 12;
constexpr int kFilledLeft = 10;
constexpr int kStandInTrack = 6;

} // namespace

MSlider::MSlider(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_tabStop = 1;
    m_hAlign = 1;
    m_imageCount = 1;
}

int MSlider::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    m_thumb.Reload(manager);
    return 1;
}

int MSlider::SetThumbImage(const wchar_t* file)
{
    const bool loaded = m_thumb.Load(m_manager, file ? file : L"", 4);
    UpdateControl();
    return loaded ? 1 : 0;
}

CSize MSlider::GetThumbSize() const
{
    return m_thumb ? m_thumb.FrameSize() : CSize(kDefaultThumb, kDefaultThumb);
}

int MSlider::ThumbOffset() const
{
    const int track = m_rect.Width() - GetThumbSize().cx;
    if (track <= 0 || m_max <= m_min)
        return 0;
    const auto offset = static_cast<int64_t>(track) * (m_progress - m_min) / (m_max - m_min);
    return static_cast<int>(std::clamp<int64_t>(offset, 0, track));
}

int MSlider::ProgressAt(int x) const
{
    const int track = m_rect.Width() - GetThumbSize().cx;
    if (track <= 0 || m_max <= m_min)
        return m_min;
    const auto progress =
        m_min + static_cast<int64_t>(x - m_rect.left) * (static_cast<int64_t>(m_max) - m_min + 1) / track;
    return static_cast<int>(std::clamp<int64_t>(progress, m_min, m_max));
}

void MSlider::SetProgress(int progress)
{
    if (progress < 0)
        return;
    // Kept inside the range at both ends, so the thumb never leaves its track.
    progress = std::min(progress, m_max);
    progress = std::max(progress, m_min);
    if (progress == m_progress)
        return;
    m_progress = progress;
    UpdateControl();
}

void MSlider::SetMinProgress(int min)
{
    m_min = min;
    if (m_min <= m_max)
        m_progress = std::clamp(m_progress, m_min, m_max);
    UpdateControl();
}

void MSlider::SetMaxProgress(int max)
{
    m_max = max;
    if (m_min <= m_max)
        m_progress = std::clamp(m_progress, m_min, m_max);
    UpdateControl();
}

void MSlider::SetShowText(int on)
{
    m_showText = on ? 1 : 0;
    UpdateControl();
}

void MSlider::SetScale(int step)
{
    m_scale = std::max(step, 0);
    UpdateControl();
}

bool MSlider::MoveTo(int progress)
{
    if (m_min <= m_max)
        progress = std::clamp(progress, m_min, m_max);
    if (progress == m_progress)
        return false;
    m_progress = progress;
    UpdateControl();
    return true;
}

void MSlider::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    m_dragging = false;
}

int MSlider::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (m_dragging) {
        if (MoveTo(ProgressAt(point.x)))
            SendMessageW(kNotifyChanging, static_cast<unsigned>(m_progress));
        return 1;
    }
    const bool hover = m_enabled && PtInRect(point);
    if (hover != m_hover) {
        m_hover = hover;
        UpdateControl();
    }
    return 0;
}

int MSlider::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled || !PtInRect(point))
        return 0;
    m_dragging = true;
    if (!MoveTo(ProgressAt(point.x)))
        UpdateControl(); // the thumb shows it is held
    else
        SendMessageW(kNotifyChanging, static_cast<unsigned>(m_progress));
    return 1;
}

int MSlider::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    if (!m_dragging)
        return 0;
    m_dragging = false;
    m_hover = PtInRect(point) != 0;
    UpdateControl();
    SendMessageW(kNotifyCommitted, static_cast<unsigned>(m_progress));
    return 1;
}

int MSlider::OnControlScroll(int /*steps*/, unsigned down, CPoint /*point*/)
{
    if (!m_enabled)
        return 0;
    MoveTo(m_progress + (down ? -1 : 1));
    SendMessageW(kNotifyCommitted, static_cast<unsigned>(m_progress));
    return 1;
}

int MSlider::OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned modifiers)
{
    if (!m_focused || !m_enabled || modifiers != 0)
        return 0;
    const int page = std::max((m_max - m_min) / 10, 1);
    int target = m_progress;
    switch (key) {
    case VK_RIGHT:
    case VK_UP:
        target += 1;
        break;
    case VK_LEFT:
    case VK_DOWN:
        target -= 1;
        break;
    case VK_PRIOR:
        target += page;
        break;
    case VK_NEXT:
        target -= page;
        break;
    case VK_HOME:
        target = m_min;
        break;
    case VK_END:
        target = m_max;
        break;
    default:
        return 0;
    }
    if (MoveTo(target))
        SendMessageW(kNotifyCommitted, static_cast<unsigned>(m_progress));
    return 1;
}

int MSlider::ThumbFrame() const
{
    if (!m_enabled)
        return 3;
    return m_hover || m_dragging ? 1 : 0;
}

void MSlider::DrawTrack(Graphics* g, int thumbLeft) const
{
    const int w = m_rect.Width();
    if (m_image && m_imageWidth > 0) {
        const int half = m_imageHeight / 2;
        // Lower half: the empty track, stretched; upper half: the filled part, cut at the thumb.
        MRender::DrawImage(g, m_image.get(),
                           CRect(kTrackLeft, kTrackTop, kTrackLeft + w - 20, kTrackTop + half),
                           CRect(0, half, m_imageWidth, 2 * half));
        const int filled = std::min(thumbLeft, m_imageWidth);
        if (filled > 0)
            MRender::DrawImage(g, m_image.get(),
                               CRect(kFilledLeft, kTrackTop, kFilledLeft + filled, kTrackTop + half),
                               CRect(0, 0, filled, half));
        return;
    }
    const int thumbHeight = GetThumbSize().cy;
    const int top = std::max(thumbHeight / 2 - kStandInTrack / 2, 0);
    const int centre = thumbLeft + GetThumbSize().cx / 2;
    FallbackLook::RoundRect(g, CRect(kTrackLeft, top, w - kTrackLeft, top + kStandInTrack),
                            kStandInTrack / 2.0, FallbackLook::kPanelEdge, 0);
    if (centre > kTrackLeft)
        FallbackLook::RoundRect(g, CRect(kTrackLeft, top, centre, top + kStandInTrack), kStandInTrack / 2.0,
                                m_enabled ? FallbackLook::kAccent : FallbackLook::kDisabledText, 0);
}

void MSlider::DrawThumb(Graphics* g, int thumbLeft) const
{
    const CSize size = GetThumbSize();
    const CRect thumb(thumbLeft, 0, thumbLeft + size.cx, size.cy);
    if (m_thumb) {
        m_thumb.Draw(g, ThumbFrame(), thumb);
        return;
    }
    const int knob = size.cy / 2;
    CRect k(thumb.left + (size.cx - knob) / 2, (size.cy - knob) / 2, 0, 0);
    k.right = k.left + knob;
    k.bottom = k.top + knob;
    const int frame = ThumbFrame();
    const ARGB fill = frame == 3   ? FallbackLook::kDisabledText
                      : frame == 1 ? FallbackLook::kTextHot
                                   : FallbackLook::kText;
    FallbackLook::RoundRect(g, k, knob / 2.0, fill, frame == 1 ? FallbackLook::kAccent : 0);
}

void MSlider::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const int thumbLeft = ThumbOffset();
        DrawTrack(g, thumbLeft);
        if (m_scale > 0 && m_max > m_min) {
            const int track = w - GetThumbSize().cx;
            const int y = GetThumbSize().cy - 6;
            for (int v = m_min; v <= m_max; v += m_scale) {
                const int x = GetThumbSize().cx / 2 +
                              static_cast<int>(static_cast<int64_t>(track) * (v - m_min) / (m_max - m_min));
                MRender::DrawColor(&m_memDC, CRect(x, y, x + 1, y + 4), 0xFF808080);
            }
        }
        DrawThumb(g, thumbLeft);
        if (m_showText) {
            const CString text = FormatText(L"%s%d", m_title.c_str(), m_progress);
            StringFormat format = TitleFormat();
            format.lineAlignment = StringAlignmentCenter;
            MRender::DrawString(g, text, DrawFont(), CRect(0, h - kTextBand, w, h), format, m_textColor,
                                m_hint);
        }
    }
    CopyMemDC(hdc, clip);
}
