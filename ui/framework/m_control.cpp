#include "ui/framework/m_control.h"

#include <algorithm>

#include "ui/framework/m_render.h"
#include "ui/framework/messages.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/region.h"
#include "ui/framework/window_system.h"

namespace {

bool Overlaps(const CRect& a, const CRect& b)
{
    CRect overlap;
    return overlap.IntersectRect(a, b);
}

CRect UnionOf(const CRect& a, const CRect& b)
{
    CRect u;
    u.UnionRect(a, b);
    return u;
}

} // namespace

void MarkLaterControlsStale(const ControlList& areas, const ControlList& controls, const MControl* from,
                            const CRect& rect, CRegion* region)
{
    // Drawing order is areas, then controls: everything after `from` in that order is above it.
    const bool inAreas = areas.Contains(from);
    const bool inControls = controls.Contains(from);
    bool after = !inAreas && !inControls;
    auto mark = [&](MControl* c) {
        if (c == from) {
            after = true;
            return;
        }
        if (!after || !c->IsVisible() || !Overlaps(c->GetRect(), rect))
            return;
        c->SetUpdate(0);
        if (region)
            region->Union(c->GetRect());
    };
    if (!inControls)
        areas.ForEach(mark);
    after = !inControls;
    controls.ForEach(mark);
}

MControl::MControl(MObject* parent, unsigned id, CRect rect, int visible, int enabled, int response)
    : m_parent(parent), m_id(id), m_rect(rect), m_visible(visible), m_enabled(enabled), m_response(response)
{
}

MControl::~MControl()
{
    if (m_manager)
        m_manager->ForgetControl(this);
}

// --- MObject ---

long MControl::OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    return OnMessage(id, code, wParam, lParam);
}

long MControl::OnControlUpdate(CRect rect, int redraw, MControl* control)
{
    if (redraw && control)
        control->SetUpdate(0);
    CRegion region(rect);
    MarkLaterControlsStale(m_areas, m_children, control, rect, &region);
    // This control's own picture is beneath its children and does not change; the window's later
    // controls above the area do.
    return m_parent ? m_parent->OnControlUpdate(region.Bounds(), 0, this) : 0;
}

// --- Virtual defaults ---

int MControl::InitControl(PaintManager* manager)
{
    m_manager = manager;
    return 1;
}

int MControl::PtInRect(CPoint point) const
{
    return m_visible && m_rect.PtInRect(point) ? 1 : 0;
}

void MControl::DrawSubControls(HDC& hdc, CRect clip)
{
    m_children.ForEach([&](MControl* c) {
        if (c->IsVisible())
            c->Draw(hdc, clip);
    });
}

void MControl::SetUpdate(int update, unsigned long /*reserved*/)
{
    m_update = update;
    auto pass = [&](MControl* c) {
        if (Overlaps(c->GetRect(), m_rect))
            c->SetUpdate(update);
    };
    m_areas.ForEach(pass);
    m_children.ForEach(pass);
}

void MControl::SetControlFocus(int focus)
{
    m_focused = focus;
    if (!focus)
        m_children.ForEach([](MControl* c) { c->SetControlFocus(0); });
}

void MControl::SetControlRect(CRect rect)
{
    m_rect = rect;
    OnPositionChange();
}

void MControl::SetControlVisible(int visible)
{
    m_visible = visible;
}

void MControl::SetControlEnabled(int enabled)
{
    m_enabled = enabled;
}

int MControl::OnControlSetCursor(unsigned /*flags*/, CPoint point)
{
    if (!m_hCursor)
        return 0;
    const bool inside = PtInRect(point) != 0;
    if (inside)
        WindowSystem::SetCursor(m_hCursor);
    else if (m_cursorShown)
        WindowSystem::SetCursor(WindowSystem::LoadCursorW(nullptr, IDC_ARROW));
    m_cursorShown = inside;
    return inside ? 1 : 0;
}

void MControl::InvalidateRect(const CRect* rect, int erase)
{
    if (m_manager)
        m_manager->InvalidateRect(rect ? *rect : m_rect, erase);
}

// --- Geometry and state ---

void MControl::SetRect(CRect rect)
{
    const CRect old = m_rect;
    SetControlRect(rect);
    UpdateControl(UnionOf(old, m_rect), 1, 0);
}

void MControl::SetRect(int x, int y, int width, int height)
{
    SetRect(CRect(x, y, x + width, y + height));
}

void MControl::SetVisible(int visible)
{
    SetVisible(visible, 1);
}

void MControl::SetVisible(int visible, int notify)
{
    const int was = m_visible;
    SetControlVisible(visible);
    // The animation tick runs only while a visible control wants it.
    if (m_manager && m_visible != was)
        m_manager->CheckMTimer();
    // A control that just went away must still have its area repainted.
    if (notify)
        UpdateControl(m_rect, 1, 1);
}

void MControl::SetEnabled(int enabled)
{
    SetControlEnabled(enabled);
    UpdateControl(m_rect, 1, 0);
}

void MControl::SetRunTimer(int on)
{
    const int was = m_runTimer;
    m_runTimer = on;
    if (m_manager && (on != 0) != (was != 0))
        m_manager->CheckMTimer();
}

int MControl::IsParentVisible() const
{
    for (const MObject* p = m_parent; p;) {
        const auto* control = dynamic_cast<const MControl*>(p);
        if (!control)
            return 1; // the walk ends at the window
        if (!control->IsVisible())
            return 0;
        p = control->m_parent;
    }
    return 1;
}

CRect MControl::GetWindowRect() const
{
    CRect rect = m_rect;
    const MControl* child = this;
    for (MObject* p = m_parent; p;) {
        auto* owner = dynamic_cast<MControl*>(p);
        if (!owner)
            break;
        // An owner turns window points into its content points; its scroll bars live in window points.
        if (child->m_id != 1 && child->m_id != 2) {
            CPoint offset;
            owner->OnMousePointChange(offset);
            rect.OffsetRect(-offset.x, -offset.y);
        }
        child = owner;
        p = owner->m_parent;
    }
    return rect;
}

// --- Repaint requests ---

void MControl::UpdateControl(int redraw, int force)
{
    UpdateControl(m_rect, redraw, force);
}

void MControl::UpdateControl(CRect rect, int redraw, int force)
{
    if ((m_visible || force) && m_parent)
        m_parent->OnControlUpdate(rect, redraw, this);
    // The focus mark stands outside the control and follows it (shown, hidden, moved).
    if (m_manager && m_manager->IsFocusMarked() && m_manager->GetFocusControl() == this)
        m_manager->InvalidateFocusMark(this);
}

void MControl::UpdateAControl(int redraw, int force)
{
    if (redraw)
        m_areas.ForEach([](MControl* a) { a->SetUpdate(0); });
    UpdateControl(m_rect, redraw, force);
}

// --- Owner, manager, children ---

long MControl::SendMessageW(unsigned code, unsigned wParam, long lParam)
{
    return m_parent ? m_parent->OnBaseMessage(m_id, code, wParam, lParam) : 0;
}

MControl* MControl::GetControl(unsigned id) const
{
    MControl* found = nullptr;
    auto search = [&](MControl* c) {
        if (c->GetID() == id)
            found = c;
        else
            found = c->GetControl(id);
        return found != nullptr;
    };
    if (!m_areas.FindIf(search))
        m_children.FindIf(search);
    return found;
}

MControl* MControl::AddControl(std::unique_ptr<MControl> child)
{
    if (!child)
        return nullptr;
    child->SetParent(this);
    if (m_manager)
        child->InitControl(m_manager);
    return m_children.Append(std::move(child));
}

MControl* MControl::AddArea(std::unique_ptr<MControl> area)
{
    if (!area)
        return nullptr;
    area->SetParent(this);
    if (m_manager)
        area->InitControl(m_manager);
    return m_areas.Append(std::move(area));
}

void MControl::RemoveControl(MControl* child)
{
    ControlList::Owned taken = m_children.Take(child);
    if (!taken)
        taken = m_areas.Take(child);
    if (!taken)
        return;
    if (m_hot == child)
        m_hot = nullptr;
    if (m_manager)
        m_manager->DetachControl(taken.get());
    RetireControl(std::move(taken));
}

void MControl::RemoveAllControl()
{
    for (MControl* c : m_children.Snapshot())
        RemoveControl(c);
    for (MControl* c : m_areas.Snapshot())
        RemoveControl(c);
}

// --- Tooltip, cursor, timers, focus ---

void MControl::SetTooltip(const wchar_t* text)
{
    m_tooltip = text ? text : L"";
}

void MControl::SetTooltip(const CString& text, CRect rect)
{
    m_tooltip = text;
    if (m_manager) {
        m_manager->SetTooltip(text.c_str(), rect);
        m_manager->SetTooltipCtrlID(m_id);
    }
}

void MControl::ClearTooltip()
{
    if (m_manager)
        m_manager->ClearTooltip();
}

void MControl::SetCursorEx(const wchar_t* cursorId)
{
    m_hCursor = cursorId ? WindowSystem::LoadCursorW(nullptr, cursorId) : nullptr;
}

void MControl::AddMTimer()
{
    if (m_manager)
        m_manager->AddMTimer(this);
}

int MControl::IsFocusControl() const
{
    return m_manager && m_manager->GetFocusControl() == this ? 1 : 0;
}

MControl* MControl::GetFocusControl() const
{
    return m_manager ? m_manager->GetFocusControl() : nullptr;
}

MControl* NextFocusableControl(const std::vector<MControl*>& items, const MControl* from, bool forward)
{
    auto focusable = [](const MControl* c) { return c->IsVisible() && c->IsEnabled() && c->IsTabStop(); };
    const auto n = static_cast<std::ptrdiff_t>(items.size());
    const auto at = std::find(items.begin(), items.end(), from);
    const std::ptrdiff_t start = at == items.end() ? -1 : at - items.begin();
    // From the control after (before) the current one to the end (start) of the list, then around from
    // the start (end) up to the current one.
    for (std::ptrdiff_t step = 1; step <= n; ++step) {
        const std::ptrdiff_t i = forward ? (start < 0 ? step - 1 : (start + step) % n)
                                         : (start < 0 ? n - step : (start - step + n) % n);
        if (focusable(items[static_cast<size_t>(i)]))
            return items[static_cast<size_t>(i)];
    }
    return nullptr;
}

MControl* MControl::GetNextFocusableControl(MControl* from) const
{
    return NextFocusableControl(m_children.Snapshot(), from, true);
}

MControl* MControl::GetPrevFocusableControl(MControl* from) const
{
    return NextFocusableControl(m_children.Snapshot(), from, false);
}

void MControl::TakeFocus()
{
    if (m_manager)
        m_manager->SetFocusControl(this);
}

// --- Drawing ---

bool MControl::UpdateMemDC(HDC& hdc, int cx, int cy)
{
    const bool resized = !m_memDC.IsValid() || m_memDC.Width() != cx || m_memDC.Height() != cy;
    if (resized)
        m_memDC.Resize(cx, cy);
    if (!m_memDC.IsValid())
        return false;
    if (!resized && m_update)
        return false;
    m_memDC.Fill(m_memDC.Bounds(), 0);
    if (hdc)
        MRender::BitBlt(&m_memDC, 0, 0, cx, cy, hdc, m_rect.left, m_rect.top);
    m_update = 1;
    return true;
}

bool MControl::UpdateAnimateDC(HDC& /*hdc*/, int cx, int cy)
{
    if (m_animateDC.IsValid() && m_animateDC.Width() == cx && m_animateDC.Height() == cy)
        return false;
    m_animateDC.Resize(cx, cy);
    return m_animateDC.IsValid();
}

void MControl::CopyMemDC(HDC& hdc, const CRect& clip) const
{
    CRect area;
    if (!hdc || !m_memDC.IsValid() || !area.IntersectRect(m_rect, clip))
        return;
    MRender::BitBlt(hdc, area.left, area.top, area.Width(), area.Height(), const_cast<Surface*>(&m_memDC),
                    area.left - m_rect.left, area.top - m_rect.top);
}

void MControl::Draw(HDC& hdc, CRect clip)
{
    CRect area;
    if (!m_visible || !area.IntersectRect(m_rect, clip))
        return;
    m_areas.ForEach([&](MControl* a) {
        if (a->IsVisible())
            a->Draw(hdc, clip);
    });
    DrawControl(hdc, clip);
    DrawSubControls(hdc, clip);
}

// --- Routing ---

CPoint MControl::PointFor(const MControl* child, CPoint windowPoint, CPoint contentPoint)
{
    const unsigned id = child->GetID();
    return id == 1 || id == 2 ? windowPoint : contentPoint;
}

MControl* MControl::PressedChild(CPoint windowPoint, CPoint contentPoint) const
{
    return m_children.FindLastIf([&](MControl* c) {
        return c->PtInRect(PointFor(c, windowPoint, contentPoint)) && c->IsEnabled() && c->GetRresponse();
    });
}

int MControl::OnMouseMove(unsigned flags, CPoint point)
{
    if (!m_visible || !m_response)
        return 0;
    CPoint inner = point;
    OnMousePointChange(inner);
    if (m_hot && m_children.Contains(m_hot)) {
        const CPoint p = PointFor(m_hot, point, inner);
        if (m_pressed || (m_hot->PtInRect(p) && m_hot->OnCheckMouseResponse(flags, p)))
            return m_hot->OnMouseMove(flags, p);
    }
    m_hot = nullptr;
    if (!m_tooltip.empty() && m_manager && PtInRect(point) && OnCheckMouseResponse(flags, point) &&
        m_manager->GetTooltipCtrlID() != m_id) {
        m_manager->SetTooltip(m_tooltip.c_str(), m_rect);
        m_manager->SetTooltipCtrlID(m_id);
    }
    OnControlSetCursor(flags, point);
    OnControlMouseMove(flags, point);
    if (!m_pressed) {
        MControl* hot = nullptr;
        m_children.ForEach([&](MControl* c) {
            const CPoint p = PointFor(c, point, inner);
            c->OnMouseMove(flags, p);
            if (c->PtInRect(p))
                hot = c;
        });
        if (m_children.Contains(hot))
            m_hot = hot;
    }
    return PtInRect(point);
}

int MControl::OnLButtonDown(unsigned flags, CPoint point)
{
    if (!m_visible || !m_response)
        return 0;
    CPoint inner = point;
    OnMousePointChange(inner);
    if (PtInRect(point))
        m_pressed = 1;
    MControl* hit = PressedChild(point, inner);
    if (hit) {
        m_hot = hit;
        return hit->OnLButtonDown(flags, PointFor(hit, point, inner));
    }
    TakeFocus();
    OnControlLButtonDown(flags, point);
    return 1;
}

int MControl::OnLButtonUp(unsigned flags, CPoint point)
{
    if (!m_visible || !m_response)
        return 0;
    m_pressed = 0;
    CPoint inner = point;
    OnMousePointChange(inner);
    if (m_hot && m_children.Contains(m_hot))
        return m_hot->OnLButtonUp(flags, PointFor(m_hot, point, inner));
    OnControlLButtonUp(flags, point);
    return 1;
}

int MControl::OnLButtonDblClk(unsigned flags, CPoint point)
{
    if (!m_visible || !m_response)
        return 0;
    CPoint inner = point;
    OnMousePointChange(inner);
    if (m_hot && m_children.Contains(m_hot))
        return m_hot->OnLButtonDblClk(flags, PointFor(m_hot, point, inner));
    if (!m_dblClk)
        return OnLButtonDown(flags, point);
    m_pressed = 1;
    ReportDoubleClick(flags, point);
    OnControlLButtonDblClk(flags, point);
    return 1;
}

void MControl::ReportDoubleClick(unsigned flags, CPoint point)
{
    CPoint reported = point;
    SendMessageW(kNotifyDoubleClick, flags, reinterpret_cast<long>(&reported));
}

int MControl::OnRButtonDown(unsigned flags, CPoint point)
{
    if (!m_visible || !m_response)
        return 0;
    CPoint inner = point;
    OnMousePointChange(inner);
    MControl* hit = PressedChild(point, inner);
    if (hit) {
        m_hot = hit;
        return hit->OnRButtonDown(flags, PointFor(hit, point, inner));
    }
    TakeFocus();
    OnControlRButtonDown(flags, point);
    return 1;
}

int MControl::OnRButtonUp(unsigned flags, CPoint point)
{
    if (!m_visible || !m_response)
        return 0;
    CPoint inner = point;
    OnMousePointChange(inner);
    if (m_hot && m_children.Contains(m_hot))
        return m_hot->OnRButtonUp(flags, PointFor(m_hot, point, inner));
    OnControlRButtonUp(flags, point);
    return 1;
}

int MControl::OnRButtonDblClk(unsigned flags, CPoint point)
{
    if (!m_visible || !m_response)
        return 0;
    CPoint inner = point;
    OnMousePointChange(inner);
    if (m_hot && m_children.Contains(m_hot))
        return m_hot->OnRButtonDblClk(flags, PointFor(m_hot, point, inner));
    OnControlRButtonDblClk(flags, point);
    return 1;
}

int MControl::OnScroll(int steps, unsigned down, CPoint point)
{
    if (!m_visible || !m_response)
        return 0;
    CPoint inner = point;
    OnMousePointChange(inner);
    if (m_hot && m_children.Contains(m_hot) && m_hot->OnScroll(steps, down, PointFor(m_hot, point, inner)))
        return 1;
    if (OnControlScroll(steps, down, point))
        return 1;
    return m_children.FindIf([&](MControl* c) {
        const CPoint p = PointFor(c, point, inner);
        return c->PtInRect(p) && c->OnScroll(steps, down, p);
    }) != nullptr;
}

int MControl::OnKeyDown(unsigned key, unsigned repeat, unsigned modifiers)
{
    if (!m_visible)
        return 0;
    if (m_children.FindIf(
            [&](MControl* c) { return c->IsFocused() && c->OnKeyDown(key, repeat, modifiers); }))
        return 1;
    if (m_hot && m_children.Contains(m_hot) && m_hot->OnKeyDown(key, repeat, modifiers))
        return 1;
    if (OnControlKeyDown(key, repeat, modifiers))
        return 1;
    return m_children.FindIf([&](MControl* c) { return c->OnKeyDown(key, repeat, modifiers) != 0; }) !=
           nullptr;
}

int MControl::OnKeyUp(unsigned key, unsigned repeat, unsigned modifiers)
{
    if (!m_visible)
        return 0;
    if (m_children.FindIf([&](MControl* c) { return c->IsFocused() && c->OnKeyUp(key, repeat, modifiers); }))
        return 1;
    if (m_hot && m_children.Contains(m_hot) && m_hot->OnKeyUp(key, repeat, modifiers))
        return 1;
    return OnControlKeyUp(key, repeat, modifiers);
}

int MControl::OnTimer(unsigned key)
{
    const int handled = OnControlTimer(key);
    if (key == kAnimationTimerKey) {
        m_children.ForEach([](MControl* c) {
            if (c->IsVisible() && c->IsRunTimer())
                c->OnTimer(kAnimationTimerKey);
        });
    }
    return handled;
}

int MControl::OnFocus(int focus)
{
    SetControlFocus(focus);
    return 1;
}
