#pragma once
// MListBox ("MListBox"): a list of rows (text, data, optional icon) that it draws itself, 30 pixels high
// by default, scrolling with the wheel and its bar. One row is selected, the row under the pointer is
// lit; with editing switched on a row can be renamed in place in the edit window (CEditWnd).
//
// Input:
//   press on a row (or between rows) → it becomes selected (or none); notification 1 (wParam = the row,
//                                      −1 for none); an open editor on another row closes first
//   release on the pressed row       → notification 2 (wParam = the row)
//   double click on a row            → notification 3 (wParam = the row); with editing on, its editor opens
//   right press                      → the row under the pointer is selected; notification 5 (wParam = it)
//   Up/Down, Home/End, PgUp/PgDn     → while focused: the selection moves (into view), notification 2
//   F2 or Enter while focused        → with editing on: the selected row's editor opens
//   wheel, scroll bar, lost focus    → an open editor closes first, keeping its text
//   editor closes                    → Enter or focus loss: the row takes the text and, when it changed,
//                                      notification 29 (wParam 0, lParam = the row); Escape keeps the row

#include <memory>
#include <vector>

#include "ui/controls/c_edit_window.h"
#include "ui/controls/fallback_look.h"
#include "ui/framework/m_panel.h"

class MListBox : public MPanel, public EditWindowHost {
public:
    static constexpr int kDefaultRowHeight = 30;
    static constexpr unsigned kNotifyPress = 1;
    static constexpr unsigned kNotifyClick = 2;
    static constexpr unsigned kNotifyDoubleClick = 3;
    static constexpr unsigned kNotifyRightClick = 5;
    static constexpr unsigned kNotifyEdited = 29;
    static constexpr ARGB kHoverColour = FallbackLook::kHover;
    static constexpr ARGB kMarkColour = FallbackLook::kAccent;

    MListBox(MObject* parent, unsigned id, CRect rect, int visible);
    ~MListBox() override;

    // --- MControl ---
    void DrawControl(HDC& hdc, CRect clip) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlLButtonDblClk(unsigned flags, CPoint point) override;
    void ReportDoubleClick(unsigned flags, CPoint point) override;
    int OnControlRButtonDown(unsigned flags, CPoint point) override;
    int OnControlScroll(int steps, unsigned down, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
    void SetControlFocus(int focus) override;
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    void SetControlEnabled(int enabled) override;

    // --- Rows ---
    // The new row's index. The icon is a skin file (frames: normal, selected).
    int AddString(const wchar_t* text, long data = 0, const wchar_t* icon = nullptr);
    // Before index (at the end when index is past it); the new row's index.
    int InsertString(int index, const wchar_t* text, long data = 0);
    // The rows left, or −1 for an index out of range.
    int DeleteString(int index);
    void DeleteAllItems();
    int GetCount() const { return static_cast<int>(m_rows.size()); }
    // −1 … count − 1; 1, or 0 when out of range (nothing changes). No notification.
    int SetCurSel(int index);
    int GetCurSel() const { return m_selected; }
    int GetHotItem() const { return m_hot; }
    CString GetItemText(int index) const;
    int SetItemText(int index, const wchar_t* text);
    long GetItemData(int index) const;
    int SetItemData(int index, long data);
    void SetItemHeight(int height);
    int GetItemHeight() const { return m_rowHeight; }
    // The row at a point of the window; −1 between or past the rows.
    int RowAt(CPoint point) const;
    // Scrolls so that the row is in view.
    void EnsureVisible(int index);
    int GetTopRow() const;

    // --- Renaming in place ---
    void EnableEdit(int on) { m_editable = on != 0; }
    int IsEditEnabled() const { return m_editable ? 1 : 0; }
    void SetLimitText(int limit) { m_limit = limit; }
    // Opens the editor on a row (the selected one for −1); false when editing is off or there is no row.
    bool EditItem(int index = -1);
    // Closes the editor, keeping its text.
    void HideEdit();
    bool IsEditing() const { return m_editRow >= 0; }
    int GetEditItem() const { return m_editRow; }
    CEditWnd* GetEditWnd() const { return m_editor.get(); }

    // --- EditWindowHost ---
    void OnEditChanged(CEditWindow& editor) override;
    void OnEditClosed(CEditWindow& editor, EditCloseReason reason) override;

private:
    struct Row {
        CString text;
        long data = 0;
        ImagePtr icon;
        int iconWidth = 0;
        int iconHeight = 0;
    };
    CRect RowRect(int index) const; // in the window's (content) coordinates, scrolled
    CRect TextRect(int index) const;
    int UsableWidth() const;
    void UpdateContent();
    void Select(int index, bool notify);

    std::vector<Row> m_rows;
    int m_rowHeight = kDefaultRowHeight;
    int m_selected = -1;
    int m_hot = -1;
    int m_pressedRow = -1;
    bool m_editable = false;
    int m_limit = 0;
    int m_editRow = -1;
    std::unique_ptr<CEditWnd> m_editor;
};
