#include "ui/controls/c_combo_box_list.h"

#include <algorithm>
#include <cairo.h>

#include "ui/controls/control_helpers.h"
#include "ui/controls/m_scroll.h"
#include "ui/framework/image.h"
#include "ui/framework/m_render.h"
#include "ui/framework/messages.h"

namespace {

constexpr int kTextInset = 10;
constexpr int kSwatchSize = 14;
constexpr int kMarkWidth = 3;

} // namespace

void DrawComboRow(Graphics* g, const ComboItem& item, const CRect& rect, const TextFont& font,
                  ARGB textColour, TextRenderingHint hint)
{
    int left = rect.left + kTextInset;
    if (item.picture) {
        const int w = std::min(item.picture->Width(), rect.Height());
        const int h = std::min(item.picture->Height(), rect.Height());
        const int top = rect.top + (rect.Height() - h) / 2;
        MRender::DrawImage(g, item.picture.get(), CRect(left, top, left + w, top + h),
                           CRect(0, 0, item.picture->Width(), item.picture->Height()));
        left += w + 6;
    }
    if (item.colour >> 24) {
        const int top = rect.top + (rect.Height() - kSwatchSize) / 2;
        MRender::DrawRoundRectange(g, static_cast<float>(left), static_cast<float>(top), kSwatchSize,
                                   kSwatchSize, 4, 0xFFC8C8C8, 1, true, item.colour);
        left += kSwatchSize + 6;
    }
    StringFormat format;
    format.lineAlignment = StringAlignmentCenter;
    format.flags = StringFormatFlagsNoWrap;
    format.ellipsis = true;
    MRender::DrawString(g, item.text, font, CRect(left, rect.top, rect.right - 4, rect.bottom), format,
                        textColour, hint);
}

CComboBoxList::CComboBoxList(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible)
{
    m_vScroll->SetStep(kRowHeight);
}

void CComboBoxList::SetItems(std::vector<ComboItem> items)
{
    m_items = std::move(items);
    m_current = m_hot = -1;
    SetVirtualSize(m_rect.Width(), static_cast<int>(m_items.size()) * kRowHeight);
}

void CComboBoxList::SetControlRect(CRect rect)
{
    MPanel::SetControlRect(rect);
    SetVirtualSize(m_rect.Width(), static_cast<int>(m_items.size()) * kRowHeight);
}

void CComboBoxList::SetCurSel(int index)
{
    m_current = index >= 0 && index < static_cast<int>(m_items.size()) ? index : -1;
    UpdateControl();
}

void CComboBoxList::SetHotItem(int index)
{
    const int hot = index >= 0 && index < static_cast<int>(m_items.size()) ? index : -1;
    if (hot == m_hot)
        return;
    m_hot = hot;
    Reveal(hot);
    UpdateControl();
}

int CComboBoxList::GetTopRow() const
{
    return GetScrollOffset().y / kRowHeight;
}

int CComboBoxList::RowAt(CPoint point) const
{
    if (!PtInRect(point) || (m_vScroll->IsVisible() && m_vScroll->GetRect().PtInRect(point)))
        return -1;
    const int row = (point.y - m_rect.top + GetScrollOffset().y) / kRowHeight;
    return row < static_cast<int>(m_items.size()) ? row : -1;
}

void CComboBoxList::Reveal(int index)
{
    if (index < 0 || m_virtualHeight <= m_rect.Height())
        return;
    const int offset = GetScrollOffset().y;
    const int top = index * kRowHeight;
    const int extra = m_virtualHeight - m_rect.Height();
    int wanted = offset;
    if (top < offset)
        wanted = top;
    else if (top + kRowHeight > offset + m_rect.Height())
        wanted = top + kRowHeight - m_rect.Height();
    // The bar's range is the content's extra height, so a pixel offset is a position.
    m_vScroll->SetScrollCurrentPos(std::clamp(wanted, 0, extra));
}

void CComboBoxList::Choose(int index)
{
    if (index >= 0 && index < static_cast<int>(m_items.size()))
        SendMessageW(kNotifyChosen, static_cast<unsigned>(index), kChosenLParam);
}

void CComboBoxList::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const int offset = GetScrollOffset().y;
        const int right = m_vScroll->IsVisible() ? w - m_scrollBarSize : w;
        const TextFont font = DrawFont();
        for (int i = std::max(offset / kRowHeight, 0); i < static_cast<int>(m_items.size()); ++i) {
            const int top = i * kRowHeight - offset;
            if (top >= h)
                break;
            const CRect row(0, top, right, top + kRowHeight);
            if (i == m_hot)
                MRender::DrawColor(&m_memDC, row, kHoverColour);
            if (i == m_current)
                MRender::DrawColor(&m_memDC, CRect(0, top + 4, kMarkWidth, top + kRowHeight - 4),
                                   kMarkColour);
            DrawComboRow(g, m_items[static_cast<size_t>(i)], row, font, m_textColor, m_hint);
        }
    }
    CopyMemDC(hdc, clip);
}

int CComboBoxList::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    const int row = RowAt(point);
    // Leaving the list keeps the lit row, so the keys go on from there.
    if (row >= 0 && row != m_hot) {
        m_hot = row;
        UpdateControl();
    }
    return 0;
}

int CComboBoxList::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    m_pressedRow = RowAt(point);
    return 1;
}

int CComboBoxList::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    const int pressed = m_pressedRow;
    m_pressedRow = -1;
    if (pressed >= 0 && RowAt(point) == pressed)
        Choose(pressed);
    return 1;
}

int CComboBoxList::OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned /*modifiers*/)
{
    const int count = static_cast<int>(m_items.size());
    if (count == 0)
        return 0;
    const int from = m_hot >= 0 ? m_hot : m_current;
    if (key == VK_RETURN) {
        Choose(from);
        return 1;
    }
    const std::optional<int> to = ListKeyMove(key, from, count, m_rect.Height() / kRowHeight);
    if (!to)
        return 0;
    SetHotItem(*to);
    return 1;
}
