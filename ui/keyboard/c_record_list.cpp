#include "ui/keyboard/c_record_list.h"

#include <algorithm>
#include <climits>

#include "core/number_text.h"
#include "core/wide_text.h"
#include "ui/controls/control_helpers.h"
#include "ui/controls/fallback_look.h"
#include "ui/controls/m_scroll.h"
#include "ui/framework/m_render.h"
#include "ui/framework/manager.h"
#include "ui/framework/window_system.h"

namespace {

// A notch of the wheel moves the bar ten steps: about three rows.
int BarStep(int rowHeight)
{
    return std::max(rowHeight * 3 / 10, 1);
}

bool AllDigits(const CString& text)
{
    return std::all_of(text.begin(), text.end(), [](wchar_t c) { return c >= L'0' && c <= L'9'; });
}

} // namespace

CRecordList::CRecordList(MObject* parent, unsigned id, CRect rect, int visible)
    : MPanel(parent, id, rect, visible), m_hoverColour(Manager::GetSelectColor()),
      m_selectColour(Manager::GetSelectColor())
{
    // The editor takes the control's alignment: centred, as the columns are.
    m_hAlign = 1;
    m_normalText = m_hotText = m_textColor;
    m_vScroll->SetStep(BarStep(m_rowHeight));
}

CRecordList::~CRecordList()
{
    if (m_editor)
        m_editor->SetHost(nullptr);
}

// --- Rows ---

int CRecordList::AddString(CString text, int kind, int code, int delay)
{
    int index = 0;
    {
        std::lock_guard lock(m_rowsLock);
        m_rows.push_back(RecordItem{std::move(text), kind, code, delay, {}});
        index = static_cast<int>(m_rows.size()) - 1;
    }
    RowsChanged(true);
    return index;
}

bool CRecordList::UpdateDelayTime(int delay)
{
    {
        std::lock_guard lock(m_rowsLock);
        if (m_rows.empty())
            return false;
        m_rows.back().delay = delay;
    }
    RowsChanged(false);
    return true;
}

int CRecordList::GetItemCount() const
{
    std::lock_guard lock(m_rowsLock);
    return static_cast<int>(m_rows.size());
}

std::vector<RecordItem> CRecordList::GetRecordItems() const
{
    std::lock_guard lock(m_rowsLock);
    return m_rows;
}

void CRecordList::RowsChanged(bool toEnd)
{
    if (WindowSystem::IsUiThread()) {
        ApplyRows(toEnd);
        return;
    }
    if (toEnd)
        m_refreshToEnd = true;
    // One refresh waits at a time: a fast recorder does not flood the UI thread.
    if (m_refreshPosted.exchange(true))
        return;
    std::weak_ptr<int> alive = m_alive;
    WindowSystem::PostClosure([this, alive] {
        if (alive.expired())
            return;
        m_refreshPosted = false;
        ApplyRows(m_refreshToEnd.exchange(false));
    });
}

void CRecordList::ApplyRows(bool toEnd)
{
    const int64_t content = static_cast<int64_t>(GetItemCount()) * m_rowHeight;
    SetVirtualSize(m_rect.Width(), static_cast<int>(std::min<int64_t>(content, INT_MAX)));
    if (toEnd) {
        const int before = m_vScroll->GetScrollCurrentPos();
        m_vScroll->SetScrollFinalPos();
        // The rows move under an open editor.
        if (m_vScroll->GetScrollCurrentPos() != before)
            HideEdit(true);
    }
    UpdateControl();
}

int CRecordList::SetCurSel(int index)
{
    const int count = GetItemCount();
    if (index < -1 || index >= count)
        return 0;
    if (index != m_selected) {
        m_selected = index;
        HideEdit(false);
        UpdateControl();
    }
    if (index >= 0 && m_virtualHeight > m_rect.Height()) {
        const int offset = GetScrollOffset().y;
        const int wanted = OffsetShowing(offset, index * m_rowHeight, m_rowHeight, m_rect.Height());
        if (wanted != offset) {
            HideEdit(true);
            m_vScroll->SetScrollCurrentPos(wanted);
            UpdateControl();
        }
    }
    return 1;
}

int CRecordList::DeleteItem(int index)
{
    if (index < 0 || index >= GetItemCount())
        return 0;
    // What was typed belongs to the rows as they are now.
    HideEdit(true);
    {
        std::lock_guard lock(m_rowsLock);
        if (index >= static_cast<int>(m_rows.size()))
            return 0;
        m_rows.erase(m_rows.begin() + index);
    }
    m_hotRow = m_selected = -1;
    ApplyRows(false);
    return 1;
}

int CRecordList::DeleteAllItems()
{
    // The owner empties the list to show other rows (another macro): a commit now would land there.
    if (m_editor && m_editRow >= 0) {
        m_dropEdit = true;
        m_editor->Close(EditCloseReason::Closed);
        m_dropEdit = false;
    }
    {
        std::lock_guard lock(m_rowsLock);
        m_rows.clear();
    }
    m_hotRow = m_selected = -1;
    m_firstVisible = 0;
    m_lastVisible = -1;
    m_vScroll->SetScrollCurrentPos(0);
    ApplyRows(false);
    return 1;
}

void CRecordList::SwapItem(int a, int b)
{
    const auto valid = [this](int a, int b) {
        const int count = static_cast<int>(m_rows.size());
        return a >= 0 && b >= 0 && a < count && b < count && a != b;
    };
    {
        std::lock_guard lock(m_rowsLock);
        if (!valid(a, b))
            return;
    }
    if (m_editRow == a || m_editRow == b)
        HideEdit(true);
    std::lock_guard lock(m_rowsLock);
    if (valid(a, b))
        std::swap(m_rows[static_cast<size_t>(a)], m_rows[static_cast<size_t>(b)]);
}

void CRecordList::SetItemHeight(int height)
{
    HideEdit(true);
    m_rowHeight = std::max(height, 1);
    m_vScroll->SetStep(BarStep(m_rowHeight));
    ApplyRows(false);
}

CRect CRecordList::GetRowRect(int index) const
{
    const int top = m_rect.top + index * m_rowHeight - GetScrollOffset().y;
    return {m_rect.left, top, m_rect.left + SurfaceWidth(), top + m_rowHeight};
}

int CRecordList::RowAt(CPoint point) const
{
    if (!PtInRect(point) || point.x >= m_rect.left + SurfaceWidth())
        return -1;
    const int row = (point.y - m_rect.top + GetScrollOffset().y) / m_rowHeight;
    return row < GetItemCount() ? row : -1;
}

// --- Drawing ---

void CRecordList::DrawControl(HDC& hdc, CRect clip)
{
    const int w = SurfaceWidth();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const TextFont font = DrawFont();
        StringFormat format;
        format.alignment = StringAlignmentCenter;
        format.lineAlignment = StringAlignmentCenter;
        format.flags = StringFormatFlagsNoWrap;
        format.ellipsis = true;
        const int offset = GetScrollOffset().y;
        std::lock_guard lock(m_rowsLock);
        const int count = static_cast<int>(m_rows.size());
        m_firstVisible = std::max(offset / m_rowHeight, 0);
        m_lastVisible = count > 0 ? std::clamp((h + offset) / m_rowHeight, 0, count - 1) : -1;
        for (int i = m_firstVisible; i <= m_lastVisible; ++i) {
            RecordItem& row = m_rows[static_cast<size_t>(i)];
            const int k = i - m_firstVisible;
            row.rect = CRect(0, k * m_rowHeight, w, (k + 1) * m_rowHeight);
            const int top = i * m_rowHeight - offset;
            const bool selected = i == m_selected;
            const bool hot = i == m_hotRow;
            if (selected || hot)
                FallbackLook::RoundRect(g, CRect(0, top, w - 1, top + m_rowHeight), 0, 0,
                                        selected ? m_selectColour : m_hoverColour);
            const ARGB colour = selected || hot ? m_hotText : m_normalText;
            const auto column = [&](const CString& text, int left, int width) {
                MRender::DrawString(g, text, font, CRect(left, top, left + width, top + m_rowHeight), format,
                                    colour, m_hint);
            };
            column(row.text, kNameLeft, kNameWidth);
            if (row.kind == kKindKeyDown || row.kind == kKindKeyUp)
                column(row.kind == kKindKeyDown ? L"Key Down" : L"Key Up", kEventLeft, kEventWidth);
            column(FormatText(L"%d", row.delay), kDelayLeft, kDelayWidth);
        }
    }
    CopyMemDC(hdc, clip);
}

// --- Input ---

long CRecordList::OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    // The rows move under an open editor.
    if ((id == kVScrollId || id == kHScrollId) && code == MScroll::kNotifyPosition)
        HideEdit(true);
    return MPanel::OnMessage(id, code, wParam, lParam);
}

void CRecordList::SetHot(int row)
{
    if (row == m_hotRow)
        return;
    m_hotRow = row;
    UpdateControl();
}

int CRecordList::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled || !PtInRect(point)) {
        SetHot(-1);
        return 0;
    }
    if (m_hotRow >= 0 && m_hotRow < GetItemCount() && GetRowRect(m_hotRow).PtInRect(point))
        return 1;
    SetHot(RowAt(point));
    return 1;
}

int CRecordList::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    SetHot(RowAt(point));
    const int before = m_selected;
    m_selected = m_hotRow;
    const int x = point.x - m_rect.left;
    if (m_selected >= 0 && x >= kDelayLeft && x < kDelayLeft + kDelayWidth)
        ShowEdit();
    else
        HideEdit(false);
    if (m_selected != before)
        UpdateControl();
    SendMessageW(kNotifyPress, static_cast<unsigned>(m_selected));
    return 1;
}

int CRecordList::OnControlRButtonUp(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled)
        return 0;
    SetHot(RowAt(point));
    const int before = m_selected;
    m_selected = m_hotRow;
    if (m_selected != before) {
        HideEdit(false);
        UpdateControl();
    }
    if (m_selected >= 0)
        SendMessageW(kNotifyRightClick, static_cast<unsigned>(m_selected));
    return 1;
}

int CRecordList::OnControlScroll(int /*steps*/, unsigned down, CPoint /*point*/)
{
    if (m_virtualHeight <= m_rect.Height())
        return 0;
    HideEdit(true);
    const int move = kWheelSteps * m_vScroll->GetStep();
    m_vScroll->SetScrollCurrentPos(m_vScroll->GetScrollCurrentPos() + (down ? move : -move));
    UpdateControl();
    return 1;
}

void CRecordList::SetControlFocus(int focus)
{
    MPanel::SetControlFocus(focus);
    if (!focus)
        HideEdit(true);
}

void CRecordList::SetControlRect(CRect rect)
{
    HideEdit(true);
    MPanel::SetControlRect(rect);
    ApplyRows(false);
}

void CRecordList::SetControlVisible(int visible)
{
    MPanel::SetControlVisible(visible);
    if (!visible)
        HideEdit(true);
}

void CRecordList::SetControlEnabled(int enabled)
{
    MPanel::SetControlEnabled(enabled);
    if (!enabled) {
        HideEdit(true);
        SetHot(-1);
    }
}

void CRecordList::SetTextColor(ARGB colour)
{
    MPanel::SetTextColor(colour);
    m_normalText = m_hotText = colour;
}

// --- Editing the delay in place ---

void CRecordList::ShowEdit()
{
    if (!m_editable || !m_enabled || m_selected < 0 || m_hotRow < 0)
        return;
    const int row = m_hotRow;
    if (m_editRow == row && m_editor && m_editor->IsOpen())
        return;
    HideEdit(true);
    int delay = 0;
    {
        std::lock_guard lock(m_rowsLock);
        if (row >= static_cast<int>(m_rows.size()))
            return;
        delay = m_rows[static_cast<size_t>(row)].delay;
    }
    m_selected = row;
    // Centred on the text's height rather than the row's.
    const int top = GetRowRect(row).top + (m_rowHeight - m_fontSize) / 2 - 3;
    const CRect place(m_rect.left + kDelayLeft, top, m_rect.left + kDelayLeft + kDelayWidth,
                      top + m_fontSize + 3);
    if (!m_editor)
        m_editor = std::make_unique<CEditWnd>(this);
    if (!m_editor->PlaceOver(*this, ControlRectInWindow(*this, place)))
        return;
    m_editor->SetLimitText(kDelayDigits);
    m_editor->SetNumberOnly(true);
    m_editor->SetAlignment(m_hAlign);
    m_editor->SetColors(kEditorBack, kEditorText);
    m_editRow = row;
    m_editor->Open(FormatText(L"%d", delay), true);
    UpdateControl();
}

void CRecordList::HideEdit(bool force)
{
    if (!m_editor || m_editRow < 0)
        return;
    if (!force && m_editRow == m_selected)
        return;
    m_editor->Close(EditCloseReason::Closed);
}

void CRecordList::OnEditChanged(CEditWindow& /*editor*/) {}

void CRecordList::OnEditClosed(CEditWindow& editor, EditCloseReason /*reason*/)
{
    const int row = m_editRow;
    m_editRow = -1;
    UpdateControl();
    if (!m_dropEdit && row >= 0)
        Commit(row, editor.GetText());
}

void CRecordList::Commit(int row, const CString& text)
{
    // Only digits can be typed; a text that is something else leaves the delay alone.
    if (!AllDigits(text))
        return;
    const int value = text.empty() ? kEmptyDelay : std::min(LeadingDecimal(text), kMaxDelay);
    {
        std::lock_guard lock(m_rowsLock);
        if (row >= static_cast<int>(m_rows.size()) || m_rows[static_cast<size_t>(row)].delay == value)
            return;
        m_rows[static_cast<size_t>(row)].delay = value;
    }
    UpdateControl();
    SendMessageW(kNotifyEdited, 0, row);
}
