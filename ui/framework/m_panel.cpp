#include "ui/framework/m_panel.h"

#include <cairo.h>

#include "ui/controls/m_scroll.h"
#include "ui/framework/control_factory.h"
#include "ui/framework/m_render.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/region.h"

namespace {

CRect VerticalBarRect(const CRect& r, int size)
{
    return {r.right - size, r.top, r.right, r.bottom};
}

CRect HorizontalBarRect(const CRect& r, int size)
{
    return {r.left, r.bottom - size, r.right, r.bottom};
}

} // namespace

MPanel::MPanel(MObject* parent, unsigned id, CRect rect, int visible)
    : MControlFont(parent, id, rect, L"", visible, 1, 1)
{
    m_vScroll = static_cast<MScroll*>(AddControl(
        std::make_unique<CScrollVertical>(this, kVScrollId, VerticalBarRect(rect, kScrollBarSize), 0)));
    m_hScroll = static_cast<MScroll*>(AddControl(
        std::make_unique<CScrollHorizontal>(this, kHScrollId, HorizontalBarRect(rect, kScrollBarSize), 0)));
}

int MPanel::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    auto attach = [manager](MControl* c) {
        c->SetManager(manager);
        c->InitControl(manager);
    };
    m_areas.ForEach(attach);
    m_children.ForEach(attach);
    return 1;
}

bool MPanel::IsScrolling() const
{
    return m_scrollOn && (m_virtualHeight > m_rect.Height() || m_virtualWidth > m_rect.Width());
}

CPoint MPanel::GetScrollOffset() const
{
    CPoint offset;
    const int hRange = m_hScroll->GetScrollMaxRange();
    const int vRange = m_vScroll->GetScrollMaxRange();
    if (hRange > 0 && m_virtualWidth > m_rect.Width())
        offset.x = static_cast<int>(static_cast<int64_t>(m_virtualWidth - m_rect.Width()) *
                                    m_hScroll->GetScrollCurrentPos() / hRange);
    if (vRange > 0 && m_virtualHeight > m_rect.Height())
        offset.y = static_cast<int>(static_cast<int64_t>(m_virtualHeight - m_rect.Height()) *
                                    m_vScroll->GetScrollCurrentPos() / vRange);
    return offset;
}

long MPanel::OnControlUpdate(CRect rect, int redraw, MControl* control)
{
    if (redraw && control)
        control->SetUpdate(0);
    CRegion region(rect);
    MarkLaterControlsStale(m_areas, m_children, control, rect, &region);
    CRect area = region.Bounds();
    const bool bar = control && (control == m_vScroll || control == m_hScroll);
    if (!bar) {
        const CPoint offset = GetScrollOffset();
        area.OffsetRect(-offset.x, -offset.y);
        // The panel draws its items itself while it scrolls: its own picture changes with them.
        if (IsScrolling())
            SetUpdate(0);
    }
    if (!area.IntersectRect(area, m_rect) || !m_parent)
        return 0;
    return m_parent->OnControlUpdate(area, 0, this);
}

long MPanel::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    const bool fromBar = (id == kVScrollId || id == kHScrollId) && code == MScroll::kNotifyPosition;
    if (fromBar) {
        // The content moved under the panel.
        UpdateControl(1, 0);
        return 1;
    }
    return m_parent ? m_parent->OnBaseMessage(id, code, wParam, lParam) : 0;
}

void MPanel::SetControlRect(CRect rect)
{
    m_rect = rect;
    m_vScroll->SetRect(VerticalBarRect(rect, m_scrollBarSize));
    m_hScroll->SetRect(HorizontalBarRect(rect, m_scrollBarSize));
    m_virtualWidth = m_virtualHeight = 0;
    UpdateScrollBars();
    OnPositionChange();
}

void MPanel::SetVirtualSize(int width, int height)
{
    m_virtualWidth = std::max(width, 0);
    m_virtualHeight = std::max(height, 0);
    UpdateScrollBars();
    UpdateControl(1, 0);
}

void MPanel::UpdateScrollBars()
{
    const int extraV = m_virtualHeight - m_rect.Height();
    const int extraH = m_virtualWidth - m_rect.Width();
    m_vScroll->SetScrollInfo(std::max(extraV, 0), m_rect.Height(), m_vScroll->GetScrollCurrentPos());
    m_hScroll->SetScrollInfo(std::max(extraH, 0), m_rect.Width(), m_hScroll->GetScrollCurrentPos());
    m_vScroll->SetVisible(extraV > 0 ? 1 : 0, 0);
    m_hScroll->SetVisible(extraH > 0 ? 1 : 0, 0);
}

void MPanel::OnMousePointChange(CPoint& point)
{
    const CPoint offset = GetScrollOffset();
    point.Offset(offset.x, offset.y);
}

void MPanel::DrawControl(HDC& hdc, CRect clip)
{
    if (!m_image || !hdc)
        return;
    GraphicsOn g(*hdc);
    CRect area;
    if (!area.IntersectRect(m_rect, clip))
        return;
    cairo_rectangle(g, area.left, area.top, area.Width(), area.Height());
    cairo_clip(g);
    MRender::DrawImageFrame(g, m_image.get(), m_rect, 0, 0, m_imageWidth, m_imageHeight, 4);
}

void MPanel::DrawSubControls(HDC& hdc, CRect clip)
{
    CRect inside;
    if (!inside.IntersectRect(clip, m_rect))
        return;
    if (!IsScrolling()) {
        MControlFont::DrawSubControls(hdc, inside);
        return;
    }
    for (MScroll* bar : {m_vScroll, m_hScroll}) {
        if (bar->IsVisible())
            bar->Draw(hdc, inside);
    }
}

int MPanel::OnControlScroll(int /*steps*/, unsigned down, CPoint /*point*/)
{
    if (m_virtualHeight <= m_rect.Height())
        return 0;
    const int before = m_vScroll->GetScrollCurrentPos();
    m_vScroll->SetScrollCurrentPos(before + (down ? 1 : -1) * m_vScroll->GetStep());
    if (m_vScroll->GetScrollCurrentPos() != before)
        UpdateControl(1, 0);
    return 1;
}

MControl* MPanel::CreateArea(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title, int a,
                             int b)
{
    return CreateControl(0, this, className, id, rect, title, a, b);
}

MControl* MPanel::CreateControl(unsigned kind, MObject* parent, const wchar_t* className, unsigned id,
                                CRect rect, const wchar_t* title, int a, int b)
{
    std::unique_ptr<MControl> control =
        CreateControlByName(className, kMadeByPanel, parent, id, rect, title, a, b);
    if (!control)
        return nullptr;
    control->SetManager(m_manager);
    MControl* added = kind == 0 ? AddArea(std::move(control)) : AddControl(std::move(control));
    // AddArea/AddControl make this panel the owner; the creator chose who hears the new control.
    added->SetParent(parent ? parent : this);
    if (!m_manager)
        added->InitControl(nullptr);
    return added;
}

MControl* MPanel::CreateControl(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title,
                                int a, int b)
{
    return CreateControl(1, this, className, id, rect, title, a, b);
}
