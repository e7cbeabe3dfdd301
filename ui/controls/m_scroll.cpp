#include "ui/controls/m_scroll.h"

#include <algorithm>

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"

namespace {

constexpr int kThumbBorder = 3;

} // namespace

MScroll::MScroll(MObject* parent, unsigned id, CRect rect, int visible, bool vertical)
    : MControlFont(parent, id, rect, L"", visible, 1, 1), m_vertical(vertical)
{
}

CScrollVertical::CScrollVertical(MObject* parent, unsigned id, CRect rect, int visible)
    : MScroll(parent, id, rect, visible, true)
{
}

CScrollHorizontal::CScrollHorizontal(MObject* parent, unsigned id, CRect rect, int visible)
    : MScroll(parent, id, rect, visible, false)
{
}

int MScroll::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    if (!manager)
        return 1;
    const unsigned resId = m_vertical ? manager->GetScrollVID() : manager->GetScrollHID();
    if (resId)
        TakeImage(manager->AddImgResInfo(resId, L"PNG", 4, 0));
    else
        TakeImage(manager->AddImgResInfo(m_vertical ? L"img_scroll_v.png" : L"img_scroll_h.png", 1));
    return 1;
}

int MScroll::TrackLength() const
{
    return m_vertical ? m_rect.Height() : m_rect.Width();
}

int MScroll::ThumbLength() const
{
    const int track = TrackLength();
    const int page = m_page > 0 ? m_page : track;
    const int64_t total = static_cast<int64_t>(m_range) + page;
    const int length = total > 0 ? static_cast<int>(static_cast<int64_t>(track) * page / total) : track;
    return std::clamp(length, std::min(kMinThumb, track), track);
}

CRect MScroll::GetThumbRect() const
{
    const int track = TrackLength();
    const int thumb = ThumbLength();
    const int offset =
        m_range > 0 ? static_cast<int>(static_cast<int64_t>(track - thumb) * m_pos / m_range) : 0;
    if (m_vertical)
        return {m_rect.left, m_rect.top + offset, m_rect.right, m_rect.top + offset + thumb};
    return {m_rect.left + offset, m_rect.top, m_rect.left + offset + thumb, m_rect.bottom};
}

void MScroll::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        FallbackLook::RoundRect(g, CRect(0, 0, w, h), std::min(w, h) / 2.0, kTrackColour, 0);
        if (m_image) {
            CRect thumb = GetThumbRect();
            thumb.OffsetRect(-m_rect.left, -m_rect.top);
            const int frame = std::min(m_state, m_imageCount - 1);
            MRender::DrawImageFrame(g, m_image.get(), thumb, frame * m_imageWidth, 0, m_imageWidth,
                                    m_imageHeight, kThumbBorder);
        }
    }
    CopyMemDC(hdc, clip);
}

void MScroll::SetState(int state)
{
    if (!m_enabled)
        state = 3;
    if (state == m_state)
        return;
    m_state = state;
    UpdateControl();
}

void MScroll::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    m_state = enabled ? 0 : 3;
}

void MScroll::MoveTo(int pos, bool notify)
{
    pos = std::clamp(pos, 0, m_range);
    if (pos == m_pos)
        return;
    m_pos = pos;
    UpdateControl();
    if (notify)
        SendMessageW(kNotifyPosition, static_cast<unsigned>(m_pos), 0);
}

int MScroll::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (m_dragging) {
        const int track = TrackLength() - ThumbLength();
        const int along = m_vertical ? point.y - m_rect.top : point.x - m_rect.left;
        if (track > 0)
            MoveTo(static_cast<int>(static_cast<int64_t>(along - m_grab) * m_range / track), true);
        return 1;
    }
    SetState(GetThumbRect().PtInRect(point) && PtInRect(point) ? 1 : 0);
    return 0;
}

int MScroll::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    const CRect thumb = GetThumbRect();
    if (thumb.PtInRect(point)) {
        m_dragging = true;
        m_grab = m_vertical ? point.y - thumb.top : point.x - thumb.left;
        SetState(2);
        return 1;
    }
    const bool before = m_vertical ? point.y < thumb.top : point.x < thumb.left;
    const int page = m_page > 0 ? m_page : TrackLength();
    MoveTo(m_pos + (before ? -page : page), true);
    return 1;
}

int MScroll::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    m_dragging = false;
    SetState(GetThumbRect().PtInRect(point) ? 1 : 0);
    return 1;
}

int MScroll::OnControlScroll(int /*steps*/, unsigned down, CPoint /*point*/)
{
    if (m_range <= 0)
        return 0;
    ScrollRow(down ? 1 : -1);
    return 1;
}

void MScroll::SetScrollMaxRange(int range)
{
    m_range = std::max(range, 0);
    m_pos = std::min(m_pos, m_range);
    UpdateControl();
}

void MScroll::SetScrollSize(int page)
{
    m_page = std::max(page, 0);
    UpdateControl();
}

void MScroll::SetScrollCurrentPos(int pos)
{
    MoveTo(pos, false);
}

void MScroll::SetScrollFinalPos()
{
    MoveTo(m_range, false);
}

void MScroll::ScrollRow(int rows)
{
    MoveTo(m_pos + rows * m_step, true);
}

void MScroll::SetScrollInfo(int range, int page, int pos)
{
    m_range = std::max(range, 0);
    m_page = std::max(page, 0);
    m_pos = std::clamp(pos, 0, m_range);
    UpdateControl();
}
