#pragma once
// CRecordList ("CRecordList", made only inside a panel): the steps of one macro as a scrolling list of
// rows 41 pixels high — the step's name, its event ("Key Down" for kind 2, "Key Up" for kind 3, nothing
// otherwise) and its delay in milliseconds, each centred in its column (x 0–160, 180–280, 300–420). The
// delay is edited in place in the standard edit window (digits only, at most 5).
//
// Input (while enabled):
//   move                      → the row under the pointer is lit (a 1-pixel frame)
//   left press                → the row under the pointer (or none) is selected; on its delay column
//                               the editor opens on it, elsewhere an editor on another row closes;
//                               then notification 1 (wParam = the row, −1 between rows)
//   right release             → the row under the pointer is selected; on a row, notification 5
//                               (wParam = the row)
//   wheel                     → while the rows are taller than the list: 10 steps of the bar, the
//                               editor closes first
//   scroll bar moved          → the list follows; the editor closes first
//   editor closes             → Enter, the list losing the focus, the wheel, a press on another row:
//                               the text is the row's delay (empty counts as 10); when that changed,
//                               notification 29 (wParam 0, lParam = the row). Escape puts the opening
//                               text back, so nothing changes.
//
// Threads: the rows are behind the list's own lock. AddString, UpdateDelayTime, GetItemCount and
// GetRecordItems may be called from any thread (a recorder appending as keys arrive); the scroll range
// and the repaint then follow on the UI thread, one refresh for however many rows came meanwhile.
// Everything else is for the UI thread. The owner stops any other thread that appends before it
// destroys the list.

#include <algorithm>
#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

#include "ui/controls/c_edit_window.h"
#include "ui/framework/m_panel.h"

class MImageList;

// One row, in the order the program reads them.
struct RecordItem {
    CString text;  // the step's name
    int kind = 0;  // 2 key down, 3 key up; others show no event
    int code = 0;  // the caller's code, kept and handed back, not shown
    int delay = 0; // milliseconds
    CRect rect;    // where the row was last drawn, inside the list's visible part
};

class CRecordList : public MPanel, public EditWindowHost {
public:
    static constexpr int kDefaultRowHeight = 41;
    static constexpr int kKindKeyDown = 2;
    static constexpr int kKindKeyUp = 3;
    static constexpr unsigned kNotifyPress = 1;
    static constexpr unsigned kNotifyRightClick = 5;
    static constexpr unsigned kNotifyEdited = 29;
    // Columns, from the list's left edge.
    static constexpr int kNameLeft = 0;
    static constexpr int kNameWidth = 160;
    static constexpr int kEventLeft = 180;
    static constexpr int kEventWidth = 100;
    static constexpr int kDelayLeft = 300;
    static constexpr int kDelayWidth = 120;
    // The editor: at most 5 digits; an emptied editor means the shortest usual delay.
    static constexpr int kDelayDigits = 5;
    static constexpr int kMaxDelay = 99999;
    static constexpr int kEmptyDelay = 10;
    static constexpr ARGB kEditorBack = 0xFF440062;
    static constexpr ARGB kEditorText = 0xFFFFFFFF;
    static constexpr int kWheelSteps = 10;

    CRecordList(MObject* parent, unsigned id, CRect rect, int visible);
    ~CRecordList() override;

    // --- MControl ---
    const wchar_t* GetClassNameW() const override { return L"CRecordList"; }
    void DrawControl(HDC& hdc, CRect clip) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlRButtonUp(unsigned flags, CPoint point) override;
    int OnControlScroll(int steps, unsigned down, CPoint point) override;
    void SetControlFocus(int focus) override;
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    void SetControlEnabled(int enabled) override;
    // Both text colours (normal and highlighted rows) follow the control's.
    void SetTextColor(ARGB colour) override;

    // --- Rows ---
    // Appends a row, scrolls to the end so that it shows and repaints; the new row's index. Any thread.
    int AddString(CString text, int kind, int code, int delay);
    // The delay of the last row; false (nothing changes) when there is none. Any thread.
    bool UpdateDelayTime(int delay);
    int GetItemCount() const;
    int GetCurSel() const { return m_selected; }
    // −1 … count − 1 (the row is scrolled into view); 0 for anything else, 1 otherwise.
    int SetCurSel(int index);
    // 1, or 0 out of range. Hover and selection are cleared. An open editor commits first.
    int DeleteItem(int index);
    // Always 1. An open editor is dropped without a commit: its row is gone.
    int DeleteAllItems();
    // Exchanges two valid, different rows; no repaint and the selection stays (the owner sets both).
    void SwapItem(int a, int b);
    // A copy of every row, in display order. Any thread.
    std::vector<RecordItem> GetRecordItems() const;
    void SetItemHeight(int height);
    int GetItemHeight() const { return m_rowHeight; }
    // Kept for the owner; rows are drawn without pictures.
    void SetImageList(MImageList* images) { m_imageList = images; }
    MImageList* GetImageList() const { return m_imageList; }

    // --- Editing the delay in place ---
    // Opens the editor on the row under the pointer (which becomes the selected row), when editing is
    // allowed, the list is enabled and a row is selected.
    void ShowEdit();
    void EnableEdit(int on) { m_editable = on != 0; }
    int IsEditEnabled() const { return m_editable ? 1 : 0; }
    // Closes the editor keeping its text, unless force is off and its row is still the selected one.
    void HideEdit(bool force = true);
    bool IsEditing() const { return m_editRow >= 0; }
    int GetEditItem() const { return m_editRow; }
    CEditWnd* GetEditWnd() const { return m_editor.get(); }

    // --- State ---
    int GetHotItem() const { return m_hotRow; }
    // The row at a point of the list's space (as its rectangle is), −1 between or past the rows.
    int RowAt(CPoint point) const;
    // The rows the last paint showed (last < first when none).
    int GetFirstVisible() const { return m_firstVisible; }
    int GetLastVisible() const { return m_lastVisible; }
    // Where a row is now, in the list's space.
    CRect GetRowRect(int index) const;

    // --- EditWindowHost ---
    void OnEditChanged(CEditWindow& editor) override;
    void OnEditClosed(CEditWindow& editor, EditCloseReason reason) override;

private:
    int SurfaceWidth() const { return std::max(m_rect.Width() - m_scrollBarSize, 0); }
    // The scroll range after the row count; scrolls to the end when asked.
    void ApplyRows(bool toEnd);
    // From any thread: now on the UI thread, else once on it for every change made meanwhile.
    void RowsChanged(bool toEnd);
    void Commit(int row, const CString& text);
    void SetHot(int row);

    mutable std::mutex m_rowsLock;
    std::vector<RecordItem> m_rows;
    int m_hotRow = -1;
    int m_selected = -1;
    int m_editRow = -1;
    int m_rowHeight = kDefaultRowHeight;
    MImageList* m_imageList = nullptr;
    ARGB m_hoverColour;
    ARGB m_selectColour;
    ARGB m_normalText = 0xFFFFFFFF;
    ARGB m_hotText = 0xFFFFFFFF;
    int m_firstVisible = 0;
    int m_lastVisible = -1;
    bool m_editable = true;
    bool m_dropEdit = false; // the editor's row is going: close it without a commit
    std::unique_ptr<CEditWnd> m_editor;

    // A refresh posted from another thread, and whether it should scroll to the end.
    std::atomic<bool> m_refreshPosted{false};
    std::atomic<bool> m_refreshToEnd{false};
    // Closures posted to the UI thread check it is still alive before they touch the list.
    std::shared_ptr<int> m_alive = std::make_shared<int>(0);
};
