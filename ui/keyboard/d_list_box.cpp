#include "ui/keyboard/d_list_box.h"

#include <algorithm>
#include <cairo.h>

#include "ui/controls/control_helpers.h"
#include "ui/controls/m_scroll.h"
#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"

namespace {

constexpr int kEditorFrames = 4;
constexpr int kEditorFrame = 1;
constexpr int kEditorFrameCorner = 6;
constexpr int kEditorFrameInset = 3;

// The list's editor: tells the list when its window goes with another window.
class ListEditor : public CEditWnd {
public:
    explicit ListEditor(DListBox* list) : CEditWnd(list), m_list(list) {}
    void OnDestroyMessage(HWND /*hwnd*/) override { m_list->OnEditorGone(); }

private:
    DListBox* m_list;
};

// The editor's height over a row for a font size, and whether it sits a pixel higher.
int EditorHeight(int fontSize, bool& raised)
{
    raised = fontSize == 14 || fontSize == 16;
    switch (fontSize) {
    case 8:
        return fontSize + 4;
    case 16:
        return fontSize + 8;
    default:
        return fontSize + 6;
    }
}

} // namespace

DListBox::DListBox(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible), m_hoverColor(Manager::GetSelectColor()),
      m_selectedColor(Manager::GetSelectColor())
{
    m_vScroll->SetStep(std::max(m_itemHeight / kWheelSteps, 1));
}

DListBox::~DListBox()
{
    if (m_editor)
        m_editor->SetHost(nullptr);
    // The editor's window ends here, while the list is whole.
    m_editor.reset();
}

int DListBox::InitControl(PaintManager* manager)
{
    MPanel::InitControl(manager);
    m_icon.Reload(manager);
    m_editFrame.Reload(manager);
    return 1;
}

// --- Rows ---

int DListBox::GetItemCount() const
{
    std::lock_guard lock(m_itemsLock);
    return static_cast<int>(m_items.size());
}

void DListBox::UpdateContent()
{
    SetVirtualSize(0, GetItemCount() * m_itemHeight);
}

int DListBox::Append(const wchar_t* text, int n, long data)
{
    EndEdit();
    int index;
    {
        std::lock_guard lock(m_itemsLock);
        m_items.push_back({text ? text : L"", n, data});
        index = static_cast<int>(m_items.size()) - 1;
    }
    UpdateContent();
    return index;
}

int DListBox::AddString(const wchar_t* text, long data, int n)
{
    const int index = Append(text, n, data);
    m_vScroll->SetScrollFinalPos();
    UpdateControl();
    return index;
}

int DListBox::AddString(const wchar_t* text, int n)
{
    return AddString(text, 0L, n);
}

int DListBox::AddItem(const wchar_t* text, long data)
{
    const int index = Append(text, 1, data);
    m_vScroll->SetScrollCurrentPos(0);
    UpdateControl();
    return index;
}

int DListBox::InsertString(int index, const wchar_t* text, int n, long data)
{
    const int count = GetItemCount();
    if (index == -1 || count == 0)
        index = count;
    else if (index < 0 || index >= count)
        return -1;
    EndEdit();
    int last;
    {
        std::lock_guard lock(m_itemsLock);
        m_items.insert(m_items.begin() + index, Item{text ? text : L"", n, data});
        last = static_cast<int>(m_items.size()) - 1;
    }
    // The selected row stays selected where it moved to.
    if (m_selected >= index)
        ++m_selected;
    m_hot = -1;
    UpdateContent();
    return last;
}

CString DListBox::GetItemText(int index) const
{
    std::lock_guard lock(m_itemsLock);
    return Valid(index) ? m_items[static_cast<size_t>(index)].text : CString();
}

long DListBox::GetItemData(int index) const
{
    std::lock_guard lock(m_itemsLock);
    return Valid(index) ? m_items[static_cast<size_t>(index)].data : 0;
}

int DListBox::SetItemData(int index, long data)
{
    std::lock_guard lock(m_itemsLock);
    if (!Valid(index))
        return 0;
    m_items[static_cast<size_t>(index)].data = data;
    return 1;
}

int DListBox::GetItemNumber(int index) const
{
    std::lock_guard lock(m_itemsLock);
    return Valid(index) ? m_items[static_cast<size_t>(index)].n : 0;
}

int DListBox::ModifyItemString(int index, const wchar_t* text)
{
    std::lock_guard lock(m_itemsLock);
    if (!Valid(index))
        return 0;
    m_items[static_cast<size_t>(index)].text = text ? text : L"";
    return 1;
}

int DListBox::DeleteItem(int index)
{
    if (!Valid(index))
        return 0;
    if (m_editRow == index)
        DropEdit();
    else
        EndEdit();
    {
        std::lock_guard lock(m_itemsLock);
        m_items.erase(m_items.begin() + index);
    }
    m_hot = m_selected = -1;
    UpdateContent();
    UpdateControl();
    return 1;
}

int DListBox::DeleteAllItems()
{
    DropEdit();
    {
        std::lock_guard lock(m_itemsLock);
        m_items.clear();
    }
    m_hot = m_selected = -1;
    m_vScroll->SetScrollCurrentPos(0);
    UpdateContent();
    UpdateControl();
    return 1;
}

int DListBox::SetCurSel(int index)
{
    if (index < -1 || index >= GetItemCount())
        return 0;
    if (index != m_selected) {
        m_selected = index;
        UpdateControl();
    }
    return 1;
}

int DListBox::SetCurData(long data)
{
    const int index = FindItemData(data);
    if (index >= 0)
        SetCurSel(index);
    return index;
}

long DListBox::GetCurData() const
{
    return GetItemData(m_selected);
}

int DListBox::FindString(const wchar_t* text) const
{
    const CString wanted = text ? text : L"";
    std::lock_guard lock(m_itemsLock);
    const auto it =
        std::find_if(m_items.begin(), m_items.end(), [&](const Item& i) { return i.text == wanted; });
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

int DListBox::FindItemData(long data) const
{
    std::lock_guard lock(m_itemsLock);
    const auto it =
        std::find_if(m_items.begin(), m_items.end(), [&](const Item& i) { return i.data == data; });
    return it == m_items.end() ? -1 : static_cast<int>(it - m_items.begin());
}

int DListBox::SwapItem(int a, int b)
{
    if (!Valid(a) || !Valid(b))
        return 0;
    EndEdit();
    std::lock_guard lock(m_itemsLock);
    std::swap(m_items[static_cast<size_t>(a)], m_items[static_cast<size_t>(b)]);
    return 1;
}

void DListBox::SetItemHeight(int height)
{
    EndEdit();
    m_itemHeight = std::max(height, 1);
    // Ten wheel steps make about a row.
    m_vScroll->SetStep(std::max(m_itemHeight / kWheelSteps, 1));
    UpdateContent();
}

void DListBox::SetTextIndent(int indent)
{
    m_indent = std::max(indent, 0);
    UpdateControl();
}

void DListBox::SetHoverColor(ARGB colour)
{
    m_hoverColor = colour;
    UpdateControl();
}

void DListBox::SetSelectedColor(ARGB colour)
{
    m_selectedColor = colour;
    UpdateControl();
}

int DListBox::SetImage(const wchar_t* file, int count)
{
    const bool loaded = m_icon.Load(m_manager, file ? file : L"", count);
    UpdateControl();
    return loaded ? 1 : 0;
}

int DListBox::SetEditImage(const wchar_t* file, int /*count*/)
{
    const bool loaded = m_editFrame.Load(m_manager, file ? file : L"", kEditorFrames);
    UpdateControl();
    return loaded ? 1 : 0;
}

// --- Geometry ---

int DListBox::UsableWidth() const
{
    return m_vScroll->IsVisible() ? m_rect.Width() - m_scrollBarSize : m_rect.Width();
}

int DListBox::ScrollY() const
{
    return GetScrollOffset().y;
}

CRect DListBox::RowRect(int index) const
{
    const int top = m_rect.top + index * m_itemHeight - ScrollY();
    return {m_rect.left, top, m_rect.left + UsableWidth(), top + m_itemHeight};
}

CRect DListBox::GetItemRect(int index) const
{
    return Valid(index) ? ControlRectInWindow(*this, RowRect(index)) : CRect();
}

int DListBox::RowAt(CPoint point) const
{
    if (!PtInRect(point) || point.x >= m_rect.left + UsableWidth())
        return -1;
    const int row = (point.y - m_rect.top + ScrollY()) / m_itemHeight;
    return row < GetItemCount() ? row : -1;
}

void DListBox::EnsureVisible(int index)
{
    const int h = m_rect.Height();
    if (!Valid(index) || m_virtualHeight <= h)
        return;
    const int offset = ScrollY();
    const int wanted = OffsetShowing(offset, index * m_itemHeight, m_itemHeight, h);
    if (wanted == offset)
        return;
    m_vScroll->SetScrollCurrentPos(std::clamp(wanted, 0, m_virtualHeight - h));
    UpdateControl();
}

void DListBox::SetControlRect(CRect rect)
{
    EndEdit();
    MPanel::SetControlRect(rect);
    UpdateContent();
}

void DListBox::SetControlVisible(int visible)
{
    if (!visible)
        EndEdit();
    MPanel::SetControlVisible(visible);
}

void DListBox::SetControlEnabled(int enabled)
{
    if (!enabled)
        EndEdit();
    MPanel::SetControlEnabled(enabled);
    if (!enabled)
        m_hot = -1;
}

// --- Drawing ---

void DListBox::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h) && m_memDC.IsValid()) {
        GraphicsOn g(m_memDC);
        cairo_rectangle(g, 0, 0, w, h);
        cairo_clip(g);
        const int usable = UsableWidth();
        const int offset = ScrollY();
        const TextFont font = DrawFont();
        StringFormat format;
        format.lineAlignment = StringAlignmentCenter;
        format.flags = StringFormatFlagsNoWrap;
        std::lock_guard lock(m_itemsLock);
        const int count = static_cast<int>(m_items.size());
        const int first = std::max(offset / m_itemHeight, 0);
        const int last = std::min((h + offset) / m_itemHeight, count - 1);
        for (int i = first; i <= last; ++i) {
            const int top = i * m_itemHeight - offset;
            const int bottom = top + m_itemHeight;
            const bool edited = m_showEdit && i == m_editRow;
            if (edited) {
                if (m_editFrame && m_editFrame.count > kEditorFrame)
                    MRender::DrawImageFrame(g, m_editFrame.image.get(),
                                            CRect(m_indent - kEditorFrameInset, top, usable - 6, bottom),
                                            kEditorFrame * m_editFrame.frameWidth, 0, m_editFrame.frameWidth,
                                            m_editFrame.frameHeight, kEditorFrameCorner);
            } else if (i == m_hot) {
                MRender::DrawColor(&m_memDC, CRect(1, top, usable, bottom), m_hoverColor);
            } else if (i == m_selected) {
                MRender::DrawColor(&m_memDC, CRect(1, top, usable, bottom), m_selectedColor);
            }
            if (m_icon) {
                const CSize icon = m_icon.FrameSize();
                const int x = (m_indent - icon.cx) / 2;
                const int y = top + (m_itemHeight - icon.cy) / 2;
                m_icon.Draw(g, i == m_selected ? 1 : 0, CRect(x, y, x + icon.cx, y + icon.cy));
            }
            const CString& text = m_items[static_cast<size_t>(i)].text;
            if (!edited && !text.empty())
                MRender::DrawString(g, text, font, CRect(m_indent, top, usable, bottom), format, m_textColor,
                                    m_hint);
        }
    }
    CopyMemDC(hdc, clip);
}

// --- Input ---

long DListBox::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    // The rows move under an open editor.
    if ((id == kVScrollId || id == kHScrollId) && code == MScroll::kNotifyPosition)
        EndEdit();
    return MPanel::OnMessage(id, code, wParam, lParam);
}

int DListBox::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    int row = -1;
    if (m_enabled && GetItemCount() > 0) {
        if (Valid(m_hot) && RowRect(m_hot).PtInRect(point) && point.x < m_rect.left + UsableWidth())
            return 0;
        row = RowAt(point);
    }
    if (row != m_hot) {
        m_hot = row;
        UpdateControl();
    }
    return 0;
}

int DListBox::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    const int row = RowAt(point);
    if (row >= 0)
        SetCurSel(row);
    // A press on another row ends the renaming; on the edited row it goes on.
    HideEdit(0);
    if (row >= 0)
        SendMessageW(kNotifyPress, static_cast<unsigned>(row));
    return 1;
}

int DListBox::OnControlLButtonUp(unsigned /*flags*/, CPoint point)
{
    const int row = m_enabled ? RowAt(point) : -1;
    if (row >= 0)
        SendMessageW(kNotifyRelease, static_cast<unsigned>(row));
    return 1;
}

int DListBox::OnControlRButtonUp(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled || !PtInRect(point))
        return 0;
    SetCurSel(RowAt(point));
    HideEdit(0);
    SendMessageW(kNotifyRightClick, static_cast<unsigned>(m_selected));
    return 1;
}

int DListBox::OnControlScroll(int /*steps*/, unsigned down, CPoint /*point*/)
{
    if (m_virtualHeight <= m_rect.Height())
        return 0;
    EndEdit();
    m_vScroll->ScrollRow(down == 1 ? kWheelSteps : -kWheelSteps);
    return 1;
}

void DListBox::SetControlFocus(int focus)
{
    MPanel::SetControlFocus(focus);
    if (!focus)
        HideEdit(1);
}

// --- Renaming in place ---

void DListBox::EnableShowEdit(int on)
{
    if (!on)
        EndEdit();
    m_showEdit = on ? 1 : 0;
}

CRect DListBox::EditorRect() const
{
    CRect r = GetItemRect(m_selected);
    if (r.IsRectEmpty())
        return r;
    r.left += m_indent + (m_imageList ? m_indent : 0);
    r.right -= kEditorRightInset;
    bool raised = false;
    const int height = EditorHeight(m_fontSize, raised);
    r.top += (m_itemHeight - height) / 2 - (raised ? 1 : 0);
    r.bottom = r.top + height;
    return r;
}

void DListBox::ShowEdit()
{
    if (!m_showEdit || !m_enabled || !Valid(m_selected))
        return;
    // The list counts as focused while its editor has the keyboard, so a press elsewhere ends it. Taken
    // first: a page that held the focus passes its loss down to the list.
    TakeFocus();
    if (m_editRow >= 0 && m_editRow != m_selected)
        EndEdit();
    EnsureVisible(m_selected);
    if (!m_editor)
        m_editor = std::make_unique<ListEditor>(this);
    if (!m_editor->PlaceOver(*this, EditorRect()))
        return;
    m_editor->SetLimitText(m_editLimit);
    m_editor->SetColors(ColorRefToARGB(m_editBack), m_textColor);
    m_editRow = m_selected;
    UpdateControl();
    m_editor->Open(GetItemText(m_editRow), false);
}

void DListBox::Commit(int row, const CString& text)
{
    bool changed = false;
    {
        std::lock_guard lock(m_itemsLock);
        if (Valid(row) && m_items[static_cast<size_t>(row)].text != text) {
            m_items[static_cast<size_t>(row)].text = text;
            changed = true;
        }
    }
    if (changed)
        SendMessageW(kNotifyEdited, 0, row);
    UpdateControl();
}

void DListBox::HideEdit(int force)
{
    if (!m_showEdit || (m_editRow == m_selected && !force))
        return;
    const int row = m_editRow;
    if (!m_editor || row < 0)
        return;
    m_editRow = -1;
    const CString text = m_editor->GetText();
    // Hidden before the owner hears of it: its answer may be a message box.
    m_editor->Close(EditCloseReason::Closed);
    Commit(row, text);
}

void DListBox::DropEdit()
{
    if (m_editRow < 0)
        return;
    m_editRow = -1;
    if (m_editor)
        m_editor->Close(EditCloseReason::Closed);
    UpdateControl();
}

void DListBox::OnEditChanged(CEditWindow& editor)
{
    if (m_editRow < 0)
        return;
    m_title = editor.GetText();
    SendMessageW(kNotifyEditChanged);
}

void DListBox::OnEditClosed(CEditWindow& editor, EditCloseReason reason)
{
    // Closed by the list itself: already handled.
    const int row = m_editRow;
    if (row < 0)
        return;
    m_editRow = -1;
    if (reason == EditCloseReason::Escape) {
        UpdateControl();
        return;
    }
    Commit(row, editor.GetText());
}

void DListBox::OnEditorGone()
{
    if (m_editRow < 0)
        return;
    m_editRow = -1;
    UpdateControl();
}
