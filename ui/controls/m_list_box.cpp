#include "ui/controls/m_list_box.h"

#include <algorithm>
#include <cairo.h>

#include "ui/controls/edit_field.h"
#include "ui/controls/m_scroll.h"
#include "ui/framework/image.h"
#include "ui/framework/img_res_info.h"
#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"
#include "ui/framework/messages.h"
#include "ui/framework/paint_manager.h"

namespace {

constexpr int kTextInset = 10;
constexpr int kMarkWidth = 3;
constexpr int kEditorInset = 3;
constexpr unsigned kKeyF2 = VK_F1 + 1;

} // namespace

MListBox::MListBox(MObject* parent, unsigned id, CRect rect, int visible) : MPanel(parent, id, rect, visible)
{
    m_tabStop = 1;
    // Double clicks are reported with the row (ReportDoubleClick).
    m_dblClk = 1;
    m_vScroll->SetStep(m_rowHeight);
}

MListBox::~MListBox()
{
    if (m_editor)
        m_editor->SetHost(nullptr);
}

// --- Rows ---

void MListBox::UpdateContent()
{
    SetVirtualSize(m_rect.Width(), static_cast<int>(m_rows.size()) * m_rowHeight);
}

int MListBox::AddString(const wchar_t* text, long data, const wchar_t* icon)
{
    Row row;
    row.text = text ? text : L"";
    row.data = data;
    if (icon && *icon && m_manager) {
        if (const ImgResInfo* info = m_manager->AddImgResInfo(icon, 2)) {
            row.icon = info->image;
            row.iconWidth = info->width;
            row.iconHeight = info->height;
        }
    }
    m_rows.push_back(std::move(row));
    UpdateContent();
    return GetCount() - 1;
}

int MListBox::InsertString(int index, const wchar_t* text, long data)
{
    HideEdit();
    const int at = std::clamp(index, 0, GetCount());
    Row row;
    row.text = text ? text : L"";
    row.data = data;
    m_rows.insert(m_rows.begin() + at, std::move(row));
    if (m_selected >= at)
        ++m_selected;
    m_hot = -1;
    UpdateContent();
    return at;
}

int MListBox::DeleteString(int index)
{
    if (index < 0 || index >= GetCount())
        return -1;
    HideEdit();
    m_rows.erase(m_rows.begin() + index);
    if (m_selected == index)
        m_selected = -1;
    else if (m_selected > index)
        --m_selected;
    m_hot = -1;
    UpdateContent();
    return GetCount();
}

void MListBox::DeleteAllItems()
{
    HideEdit();
    m_rows.clear();
    m_selected = m_hot = m_pressedRow = -1;
    UpdateContent();
}

int MListBox::SetCurSel(int index)
{
    if (index < -1 || index >= GetCount())
        return 0;
    Select(index, false);
    return 1;
}

void MListBox::Select(int index, bool notify)
{
    const bool changed = index != m_selected;
    m_selected = index;
    EnsureVisible(index);
    if (changed)
        UpdateControl();
    if (notify && index >= 0)
        SendMessageW(kNotifyClick, static_cast<unsigned>(index));
}

CString MListBox::GetItemText(int index) const
{
    return index >= 0 && index < GetCount() ? m_rows[static_cast<size_t>(index)].text : CString();
}

int MListBox::SetItemText(int index, const wchar_t* text)
{
    if (index < 0 || index >= GetCount())
        return 0;
    m_rows[static_cast<size_t>(index)].text = text ? text : L"";
    UpdateControl();
    return 1;
}

long MListBox::GetItemData(int index) const
{
    return index >= 0 && index < GetCount() ? m_rows[static_cast<size_t>(index)].data : 0;
}

int MListBox::SetItemData(int index, long data)
{
    if (index < 0 || index >= GetCount())
        return 0;
    m_rows[static_cast<size_t>(index)].data = data;
    return 1;
}

void MListBox::SetItemHeight(int height)
{
    m_rowHeight = std::max(height, 1);
    m_vScroll->SetStep(m_rowHeight);
    UpdateContent();
}

int MListBox::UsableWidth() const
{
    return m_vScroll->IsVisible() ? m_rect.Width() - m_scrollBarSize : m_rect.Width();
}

int MListBox::GetTopRow() const
{
    return GetScrollOffset().y / m_rowHeight;
}

CRect MListBox::RowRect(int index) const
{
    const int top = m_rect.top + index * m_rowHeight - GetScrollOffset().y;
    return {m_rect.left, top, m_rect.left + UsableWidth(), top + m_rowHeight};
}

CRect MListBox::TextRect(int index) const
{
    CRect r = RowRect(index);
    r.left += kTextInset;
    const Row& row = m_rows[static_cast<size_t>(index)];
    if (row.icon)
        r.left += row.iconWidth + 6;
    r.right -= 4;
    return r;
}

int MListBox::RowAt(CPoint point) const
{
    if (!PtInRect(point) || point.x >= m_rect.left + UsableWidth())
        return -1;
    const int row = (point.y - m_rect.top + GetScrollOffset().y) / m_rowHeight;
    return row < GetCount() ? row : -1;
}

void MListBox::EnsureVisible(int index)
{
    if (index < 0 || m_virtualHeight <= m_rect.Height())
        return;
    const int wanted = OffsetShowing(GetScrollOffset().y, index * m_rowHeight, m_rowHeight, m_rect.Height());
    m_vScroll->SetScrollCurrentPos(std::clamp(wanted, 0, m_virtualHeight - m_rect.Height()));
    UpdateControl();
}

// --- Drawing ---

void MListBox::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        DrawEditField(g, *this, CRect(0, 0, w, h), m_enabled ? 0 : 3, false);
        cairo_rectangle(g, 1, 1, w - 2, h - 2);
        cairo_clip(g);
        const TextFont font = DrawFont();
        StringFormat format;
        format.lineAlignment = StringAlignmentCenter;
        format.flags = StringFormatFlagsNoWrap;
        format.ellipsis = true;
        for (int i = std::max(GetTopRow(), 0); i < GetCount(); ++i) {
            CRect row = RowRect(i);
            row.OffsetRect(-m_rect.left, -m_rect.top);
            if (row.top >= h)
                break;
            if (i == m_selected)
                MRender::DrawColor(&m_memDC, row, Manager::GetSelectColor());
            else if (i == m_hot)
                MRender::DrawColor(&m_memDC, row, kHoverColour);
            if (i == m_selected)
                MRender::DrawColor(&m_memDC,
                                   CRect(row.left, row.top + 4, row.left + kMarkWidth, row.bottom - 4),
                                   kMarkColour);
            const Row& item = m_rows[static_cast<size_t>(i)];
            if (item.icon && item.iconWidth > 0) {
                const int frame = i == m_selected ? std::min(1, item.icon->Width() / item.iconWidth - 1) : 0;
                const int top = row.top + (m_rowHeight - item.iconHeight) / 2;
                MRender::DrawImage(
                    g, item.icon.get(),
                    CRect(kTextInset, top, kTextInset + item.iconWidth, top + item.iconHeight),
                    CRect(frame * item.iconWidth, 0, (frame + 1) * item.iconWidth, item.iconHeight));
            }
            // The edited row's text is under its editor.
            if (i != m_editRow) {
                CRect text = TextRect(i);
                text.OffsetRect(-m_rect.left, -m_rect.top);
                MRender::DrawString(g, item.text, font, text, format, m_textColor, m_hint);
            }
        }
    }
    CopyMemDC(hdc, clip);
}

// --- Input ---

long MListBox::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    // The content moves under an open editor.
    if ((id == kVScrollId || id == kHScrollId) && code == MScroll::kNotifyPosition)
        HideEdit();
    return MPanel::OnMessage(id, code, wParam, lParam);
}

int MListBox::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    const int row = m_enabled ? RowAt(point) : -1;
    if (row != m_hot) {
        m_hot = row;
        UpdateControl();
    }
    return 0;
}

int MListBox::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    const int row = RowAt(point);
    if (m_editRow >= 0 && row != m_editRow)
        HideEdit();
    m_pressedRow = row;
    Select(row, false);
    SendMessageW(kNotifyPress, static_cast<unsigned>(row));
    return 1;
}

int MListBox::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    const int pressed = m_pressedRow;
    m_pressedRow = -1;
    if (pressed >= 0 && RowAt(point) == pressed)
        SendMessageW(kNotifyClick, static_cast<unsigned>(pressed));
    return 1;
}

void MListBox::ReportDoubleClick(unsigned /*flags*/, CPoint point)
{
    const int row = RowAt(point);
    if (row >= 0)
        SendMessageW(kNotifyDoubleClick, static_cast<unsigned>(row));
}

int MListBox::OnControlLButtonDblClk(unsigned /*flags*/, CPoint point)
{
    const int row = RowAt(point);
    if (row >= 0 && m_editable)
        EditItem(row);
    return 1;
}

int MListBox::OnControlRButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    HideEdit();
    const int row = RowAt(point);
    Select(row, false);
    SendMessageW(kNotifyRightClick, static_cast<unsigned>(row));
    return 1;
}

int MListBox::OnControlScroll(int steps, unsigned down, CPoint point)
{
    HideEdit();
    return MPanel::OnControlScroll(steps, down, point);
}

int MListBox::OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned modifiers)
{
    if (!IsFocusControl() || !m_enabled || IsEditing() || modifiers != 0 || m_rows.empty())
        return 0;
    if (key == VK_RETURN || key == kKeyF2)
        return EditItem(-1) ? 1 : 0;
    const std::optional<int> to = ListKeyMove(key, m_selected, GetCount(), m_rect.Height() / m_rowHeight);
    if (!to)
        return 0;
    if (*to != m_selected)
        Select(*to, true);
    return 1;
}

void MListBox::SetControlFocus(int focus)
{
    MPanel::SetControlFocus(focus);
    if (!focus)
        HideEdit();
}

void MListBox::SetControlRect(CRect rect)
{
    HideEdit();
    MPanel::SetControlRect(rect);
    UpdateContent();
}

void MListBox::SetControlVisible(int visible)
{
    MPanel::SetControlVisible(visible);
    if (!visible)
        HideEdit();
}

void MListBox::SetControlEnabled(int enabled)
{
    MPanel::SetControlEnabled(enabled);
    if (!enabled)
        HideEdit();
}

// --- Renaming in place ---

bool MListBox::EditItem(int index)
{
    const int row = index < 0 ? m_selected : index;
    if (!m_editable || !m_enabled || !m_visible || row < 0 || row >= GetCount())
        return false;
    if (m_editRow == row)
        return true;
    HideEdit();
    EnsureVisible(row);
    Select(row, false);
    CRect place = TextRect(row);
    place.InflateRect(CEditWindow::kPadding, -kEditorInset);
    if (!m_editor)
        m_editor = std::make_unique<CEditWnd>(this);
    if (!m_editor->PlaceOver(*this, ControlRectInWindow(*this, place)))
        return false;
    m_editor->SetLimitText(m_limit);
    m_editor->SetColors(Manager::GetSelectColor(), m_textColor);
    m_editRow = row;
    m_editor->Open(m_rows[static_cast<size_t>(row)].text, true);
    UpdateControl();
    return true;
}

void MListBox::HideEdit()
{
    if (m_editor && m_editRow >= 0)
        m_editor->Close(EditCloseReason::Closed);
}

void MListBox::OnEditChanged(CEditWindow& /*editor*/) {}

void MListBox::OnEditClosed(CEditWindow& editor, EditCloseReason reason)
{
    const int row = m_editRow;
    m_editRow = -1;
    UpdateControl();
    if (row < 0 || row >= GetCount() || reason == EditCloseReason::Escape)
        return;
    const CString text = editor.GetText();
    if (text == m_rows[static_cast<size_t>(row)].text)
        return;
    m_rows[static_cast<size_t>(row)].text = text;
    SendMessageW(kNotifyEdited, 0, row);
}
