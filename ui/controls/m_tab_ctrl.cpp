#include "ui/controls/m_tab_ctrl.h"

#include <algorithm>
#include <cairo.h>

#include "core/virtual_keys.h"
#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"
#include "ui/framework/messages.h"
#include "ui/framework/paint_manager.h"

namespace {

constexpr int kTextPadding = 24;
constexpr int kColumnTextPadding = 16;
constexpr int kIconTextGap = 4;
// A label over a tab picture keeps this far from its bottom edge.
constexpr int kLabelBottom = 8;
constexpr ARGB kSelectedFill = 0x26FFFFFF;
constexpr ARGB kHoverFill = 0x14FFFFFF;

CRect Interpolate(const CRect& a, const CRect& b, int step, int steps)
{
    auto mix = [&](int from, int to) { return from + (to - from) * step / steps; };
    return {mix(a.left, b.left), mix(a.top, b.top), mix(a.right, b.right), mix(a.bottom, b.bottom)};
}

} // namespace

MTabCtrl::MTabCtrl(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_tabStop = 1;
    SetCursorEx(IDC_HAND);
}

int MTabCtrl::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    for (TabItemInfo& item : m_items)
        item.icon.Reload(manager);
    RelayoutItems();
    return 1;
}

int MTabCtrl::InsertItem(unsigned id, const wchar_t* text, const wchar_t* icon, MControl* page, int frames,
                         int width)
{
    TabItemInfo item;
    item.id = id;
    item.text = text ? text : L"";
    item.page = page;
    item.frames = frames > 0 ? frames : 3;
    item.width = std::max(width, 0);
    if (icon && *icon)
        item.icon.Load(m_manager, icon, item.frames);
    m_items.push_back(std::move(item));
    RelayoutItems();
    return GetItemCount() - 1;
}

unsigned MTabCtrl::GetItemID(int index) const
{
    return index >= 0 && index < GetItemCount() ? m_items[static_cast<size_t>(index)].id : 0;
}

TabItemInfo* MTabCtrl::GetItemInfo(int index)
{
    return index >= 0 && index < GetItemCount() ? &m_items[static_cast<size_t>(index)] : nullptr;
}

void MTabCtrl::SetItemVisible(int index, int visible)
{
    TabItemInfo* item = GetItemInfo(index);
    if (!item || item->visible == (visible ? 1 : 0))
        return;
    item->visible = visible ? 1 : 0;
    RelayoutItems();
}

void MTabCtrl::SetItemText(int index, const wchar_t* text)
{
    if (TabItemInfo* item = GetItemInfo(index)) {
        item->text = text ? text : L"";
        RelayoutItems();
    }
}

void MTabCtrl::SetTabTooltip(int index, const wchar_t* text)
{
    if (TabItemInfo* item = GetItemInfo(index))
        item->tooltip = text ? text : L"";
}

void MTabCtrl::SetTabType(int type)
{
    m_type = type == 1 ? 1 : 0;
    RelayoutItems();
}

void MTabCtrl::SetTabCtrlWidth(int width)
{
    m_tabWidth = std::max(width, 0);
    RelayoutItems();
}

void MTabCtrl::SetTabCtrlHeight(int height)
{
    m_tabHeight = std::max(height, 0);
    RelayoutItems();
}

void MTabCtrl::SetLeftRightPading(int left, int right)
{
    m_padLeft = left;
    m_padRight = right;
    RelayoutItems();
}

void MTabCtrl::SetTopBottomPading(int top, int bottom)
{
    m_padTop = top;
    m_padBottom = bottom;
    RelayoutItems();
}

void MTabCtrl::SetItemWidth(int width, int selectedWidth, int relayout)
{
    m_itemWidth = std::max(width, 0);
    m_selectedItemWidth = std::max(selectedWidth, 0);
    if (relayout)
        RelayoutItems();
}

void MTabCtrl::SetItemHeight(int height, int selectedHeight, int relayout)
{
    m_itemHeight = std::max(height, 0);
    m_selectedItemHeight = std::max(selectedHeight, 0);
    if (relayout)
        RelayoutItems();
}

void MTabCtrl::EnableItemButton(int on)
{
    m_itemButton = on ? 1 : 0;
    UpdateControl();
}

void MTabCtrl::SetAnimateChange(int on)
{
    m_animate = on ? 1 : 0;
    UpdateControl();
}

void MTabCtrl::SetSelectTextColor(ARGB colour)
{
    m_selectTextColor = colour;
    UpdateControl();
}

CSize MTabCtrl::ItemSize(const TabItemInfo& item, bool selected)
{
    int w = selected && m_selectedItemWidth > 0 ? m_selectedItemWidth : m_itemWidth;
    int h = selected && m_selectedItemHeight > 0 ? m_selectedItemHeight : m_itemHeight;
    const CSize text = item.text.empty() ? CSize() : MRender::MeasureString(DrawFont(), item.text);
    if (w <= 0)
        w = item.icon ? item.icon.frameWidth : item.width > 0 ? item.width : m_tabWidth;
    if (w <= 0)
        w = m_type == 0 ? text.cx + kTextPadding : m_rect.Width() - m_padLeft - m_padRight;
    if (h <= 0)
        h = item.icon ? item.icon.frameHeight : m_tabHeight;
    if (h <= 0)
        h = m_type == 0 ? m_rect.Height() - m_padTop - m_padBottom : text.cy + kColumnTextPadding;
    return {std::max(w, 1), std::max(h, 1)};
}

void MTabCtrl::RelayoutItems()
{
    int x = m_rect.left + m_padLeft;
    int y = m_rect.top + m_padTop;
    for (int i = 0; i < GetItemCount(); ++i) {
        TabItemInfo& item = m_items[static_cast<size_t>(i)];
        if (!item.visible) {
            item.rect = CRect();
            continue;
        }
        const CSize size = ItemSize(item, i == m_selected);
        item.rect = CRect(CPoint(x, y), size);
        if (m_type == 0)
            x += size.cx;
        else
            y += size.cy;
    }
    UpdateControl();
}

int MTabCtrl::OnPositionChange()
{
    RelayoutItems();
    return 1;
}

int MTabCtrl::ItemAt(CPoint point) const
{
    if (!PtInRect(point))
        return -1;
    for (int i = 0; i < GetItemCount(); ++i) {
        const TabItemInfo& item = m_items[static_cast<size_t>(i)];
        if (item.visible && item.rect.PtInRect(point))
            return i;
    }
    return -1;
}

CRect MTabCtrl::ButtonRect(int index) const
{
    if (index < 0 || index >= GetItemCount())
        return {};
    const CRect& r = m_items[static_cast<size_t>(index)].rect;
    return {r.right - kButtonSize - 4, r.top + 4, r.right - 4, r.top + 4 + kButtonSize};
}

CRect MTabCtrl::MarkFor(int index) const
{
    if (index < 0 || index >= GetItemCount())
        return {};
    const CRect& r = m_items[static_cast<size_t>(index)].rect;
    if (m_type == 0)
        return {r.left, r.bottom - kMarkThickness, r.right, r.bottom};
    return {r.left, r.top, r.left + kMarkThickness, r.bottom};
}

CRect MTabCtrl::MarkRect() const
{
    const CRect to = MarkFor(m_selected);
    if (!IsAnimating() || m_animFrom.IsRectEmpty())
        return to;
    return Interpolate(m_animFrom, to, m_animStep, kAnimateSteps);
}

int MTabCtrl::SetSelectItem(int index)
{
    if (index < 0 || index >= GetItemCount())
        return 0;
    if (index == m_selected)
        return m_selected;
    const CRect from = m_selected >= 0 ? MarkRect() : CRect();
    m_previous = m_selected;
    m_selected = index;
    RelayoutItems();
    SendMessageW(kNotifySelect, static_cast<unsigned>(index));
    // The owner may have chosen another tab while it heard of this one; that choice stands.
    if (m_selected != index)
        return m_previous;
    MControl* shown = m_items[static_cast<size_t>(index)].page;
    for (const TabItemInfo& item : m_items) {
        if (item.page && item.page != shown)
            item.page->SetVisible(0);
    }
    if (shown)
        shown->SetVisible(1);
    if (m_animate && !from.IsRectEmpty() && m_manager) {
        m_animFrom = from;
        m_animStep = 0;
        if (!m_manager->SetTimer(this, kAnimateTimerKey, kAnimateStepMs))
            m_animStep = kAnimateSteps;
    }
    UpdateControl();
    return m_previous;
}

int MTabCtrl::OnControlTimer(unsigned key)
{
    if (key != kAnimateTimerKey)
        return 0;
    if (++m_animStep >= kAnimateSteps) {
        m_animStep = kAnimateSteps;
        if (m_manager)
            m_manager->KillTimer(this, kAnimateTimerKey);
    }
    UpdateControl();
    return 1;
}

void MTabCtrl::SetControlEnabled(int enabled)
{
    MControlFont::SetControlEnabled(enabled);
    m_hover = m_pressed = -1;
}

void MTabCtrl::SetControlVisible(int visible)
{
    MControlFont::SetControlVisible(visible);
    if (!visible)
        m_hover = m_pressed = -1;
}

int MTabCtrl::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    const int hover = m_enabled ? ItemAt(point) : -1;
    if (hover == m_hover)
        return 0;
    m_hover = hover;
    UpdateControl();
    const TabItemInfo* item = GetItemInfo(hover);
    const CString tip = item ? item->tooltip : CString();
    if (tip.empty()) {
        if (!m_tooltip.empty()) {
            m_tooltip.clear();
            ClearTooltip();
        }
    } else {
        SetTooltip(tip, item->rect);
    }
    return 0;
}

int MTabCtrl::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    m_pressed = -1;
    if (!m_enabled)
        return 0;
    const int index = ItemAt(point);
    if (index < 0)
        return 0;
    if (m_itemButton && ButtonRect(index).PtInRect(point)) {
        SendMessageW(kNotifyButton, static_cast<unsigned>(index));
        return 1;
    }
    m_pressed = index;
    return 1;
}

int MTabCtrl::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    const int pressed = m_pressed;
    m_pressed = -1;
    if (pressed < 0 || ItemAt(point) != pressed)
        return 0;
    SetSelectItem(pressed);
    return 1;
}

int MTabCtrl::NextShown(int from, int step) const
{
    for (int i = from + step; i >= 0 && i < GetItemCount(); i += step) {
        if (m_items[static_cast<size_t>(i)].visible)
            return i;
    }
    return -1;
}

int MTabCtrl::OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned modifiers)
{
    if (!m_focused || !m_enabled || modifiers != 0)
        return 0;
    int target = -1;
    switch (key) {
    case VK_LEFT:
    case VK_UP:
    case VK_PRIOR:
        target = NextShown(m_selected < 0 ? GetItemCount() : m_selected, -1);
        break;
    case VK_RIGHT:
    case VK_DOWN:
    case VK_NEXT:
        target = NextShown(m_selected, 1);
        break;
    case VK_HOME:
        target = NextShown(-1, 1);
        break;
    case VK_END:
        target = NextShown(GetItemCount(), -1);
        break;
    default:
        return 0;
    }
    if (target >= 0)
        SetSelectItem(target);
    return 1;
}

void MTabCtrl::DrawItem(Graphics* g, int index, const CPoint& origin)
{
    TabItemInfo& item = m_items[static_cast<size_t>(index)];
    CRect r = item.rect;
    r.OffsetRect(-origin.x, -origin.y);
    const bool selected = index == m_selected;
    const bool hovered = index == m_hover;
    if (!item.icon && (selected || hovered))
        FallbackLook::RoundRect(g, r, 3, selected ? kSelectedFill : kHoverFill, 0);
    const TextFont font = DrawFont();
    const CSize text = item.text.empty() ? CSize() : MRender::MeasureString(font, item.text);
    if (item.icon) {
        const CSize icon = item.icon.FrameSize();
        const int last = item.icon.count - 1;
        const int frame = !m_enabled && last >= 3 ? 3
                          : selected              ? std::min(2, last)
                          : hovered               ? std::min(1, last)
                                                  : 0;
        // With room for both, the icon stands above the text; otherwise the icon fills the tab and the
        // text goes over its lower part, where tab pictures leave room for a label.
        const bool stacked = !item.text.empty() && icon.cy + kIconTextGap + text.cy <= r.Height();
        const int groupHeight = icon.cy + (stacked ? kIconTextGap + text.cy : 0);
        const int left = r.left + (r.Width() - icon.cx) / 2;
        const int top = r.top + (r.Height() - groupHeight) / 2;
        item.icon.Draw(g, frame, CRect(left, top, left + icon.cx, top + icon.cy));
        if (stacked) {
            r.top = top + icon.cy + kIconTextGap;
            r.bottom = r.top + text.cy;
        } else {
            r.top = r.bottom - text.cy - kLabelBottom;
            r.bottom -= kLabelBottom / 2;
        }
    }
    const bool drawText = !item.text.empty();
    if (drawText) {
        StringFormat format;
        format.alignment = StringAlignmentCenter;
        format.lineAlignment = StringAlignmentCenter;
        format.flags = StringFormatFlagsNoWrap;
        format.ellipsis = true;
        const ARGB colour = !m_enabled            ? FallbackLook::kDisabledText
                            : selected || hovered ? m_selectTextColor
                                                  : m_textColor;
        MRender::DrawString(g, item.text, font, r, format, colour, m_hint);
    }
    if (m_itemButton) {
        CRect b = ButtonRect(index);
        b.OffsetRect(-origin.x, -origin.y);
        b.DeflateRect(3, 3);
        cairo_save(g);
        SetSourceARGB(g, hovered ? FallbackLook::kAccent : FallbackLook::kText);
        cairo_set_line_width(g, 1.5);
        cairo_move_to(g, b.left, b.top);
        cairo_line_to(g, b.right, b.bottom);
        cairo_move_to(g, b.right, b.top);
        cairo_line_to(g, b.left, b.bottom);
        cairo_stroke(g);
        cairo_restore(g);
    }
}

void MTabCtrl::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        cairo_rectangle(g, 0, 0, w, h);
        cairo_clip(g);
        const CPoint origin = m_rect.TopLeft();
        for (int i = 0; i < GetItemCount(); ++i) {
            if (m_items[static_cast<size_t>(i)].visible)
                DrawItem(g, i, origin);
        }
        if (m_animate && m_selected >= 0) {
            CRect mark = MarkRect();
            mark.OffsetRect(-origin.x, -origin.y);
            FallbackLook::RoundRect(g, mark, 1,
                                    m_enabled ? FallbackLook::kAccent : FallbackLook::kDisabledText, 0);
        }
    }
    CopyMemDC(hdc, clip);
}

MTabLayout::MTabLayout(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible)
{
    m_runTimer = 1;
}
