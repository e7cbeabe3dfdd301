#pragma once
// DListBox ("DListBox", made by panels only): the editable item list of the profile and macro pages. Rows
// of text with an int and a data value each, drawn by the list itself (a row icon: frame 0 normal, frame 1
// selected), one row hovered and one selected, and renaming in place in the standard edit window
// (CEditWnd), at most 10 characters unless the owner sets another limit. The owner decides whether a new
// name stands: on notification 29 it may put the old text back with ModifyItemString.
//
// Input:
//   move                          → the row under the pointer is lit (none outside)
//   left press on a row           → it becomes the selection, then notification 1 (wParam = the row)
//   left press anywhere           → afterwards, an open editor on a row that is no longer selected closes
//                                   (the edited row pressed again keeps it open)
//   left release over a row       → notification 2 (wParam = the row)
//   right release inside          → the row under the pointer (or none) becomes the selection;
//                                   notification 5 with it (−1 for none)
//   wheel (content taller)        → ten scroll steps of a tenth of a row; an open editor closes first
// Editor (ShowEdit, with renaming on, enabled, a row selected): the selected row's text, caret at its end.
//   each change                   → the list's title follows; notification 26
//   Enter, focus lost             → closes; a changed text goes into the row and notification 29
//                                   (lParam = the row) is sent
//   Escape                        → closes with the row's text unchanged (no 29)
//   the list loses the focus, is hidden, disabled, moved or scrolled, rows are added, inserted or
//   swapped → the editor closes as with Enter; the edited row deleted → it closes without a change

#include <memory>
#include <mutex>
#include <vector>

#include "ui/controls/c_edit_window.h"
#include "ui/controls/strip_picture.h"
#include "ui/framework/m_panel.h"

class MImageList;

class DListBox : public MPanel, public EditWindowHost {
public:
    static constexpr int kDefaultItemHeight = 32;
    static constexpr int kDefaultTextIndent = 50;
    static constexpr int kDefaultEditLimit = 10;
    static constexpr COLORREF kDefaultEditBack = 0x351806;
    static constexpr unsigned kNotifyPress = 1;
    static constexpr unsigned kNotifyRelease = 2;
    static constexpr unsigned kNotifyRightClick = 5;
    static constexpr unsigned kNotifyEditChanged = 26;
    static constexpr unsigned kNotifyEdited = 29;
    // The editor ends this far inside the row's right edge.
    static constexpr int kEditorRightInset = 10;
    static constexpr int kWheelSteps = 10;

    DListBox(MObject* parent, unsigned id, CRect rect, int visible);
    ~DListBox() override;

    // --- MControl ---
    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlRButtonUp(unsigned flags, CPoint point) override;
    int OnControlScroll(int steps, unsigned down, CPoint point) override;
    void SetControlFocus(int focus) override;
    void SetControlRect(CRect rect) override;
    void SetControlVisible(int visible) override;
    void SetControlEnabled(int enabled) override;
    // The row icon: frame 0 normal, frame 1 selected. 1 when the skin file loads.
    using MPanel::SetImage;
    int SetImage(const wchar_t* file, int count) override;

    // --- Rows (out-of-range indexes change nothing and give 0, −1 or an empty text) ---
    // Appends (n kept with the row) and scrolls to the end; the new row's index.
    int AddString(const wchar_t* text, long data, int n);
    int AddString(const wchar_t* text, int n);
    // Appends with n = 1 and scrolls back to the top; the new row's index.
    int AddItem(const wchar_t* text, long data);
    // Index −1 (or an empty list) appends, 0…count − 1 inserts before that row, anything else gives −1;
    // else the new count − 1.
    int InsertString(int index, const wchar_t* text, int n, long data);
    int GetItemCount() const;
    CString GetItemText(int index) const;
    long GetItemData(int index) const;
    int SetItemData(int index, long data);
    // The int kept with the row (what it means is the owner's).
    int GetItemNumber(int index) const;
    // Replaces the text; 1, or 0 out of range. No repaint request: the owner's next change shows it.
    int ModifyItemString(int index, const wchar_t* text);
    // 1, or 0 out of range; no row is hovered or selected afterwards.
    int DeleteItem(int index);
    int DeleteAllItems();
    // −1…count − 1: 1 (a repaint when it changed); else 0 and nothing changes.
    int SetCurSel(int index);
    int GetCurSel() const { return m_selected; }
    // Selects the first row with that data: its index, or −1 (the selection stays).
    int SetCurData(long data);
    // The selected row's data, 0 when none.
    long GetCurData() const;
    // The first row with exactly that text (or data), −1 when none.
    int FindString(const wchar_t* text) const;
    int FindItemData(long data) const;
    // Exchanges two rows without a repaint request; 1, or 0 when either is out of range.
    int SwapItem(int a, int b);
    // The row's place in the window's client coordinates as it scrolls now; empty out of range.
    CRect GetItemRect(int index) const;
    void SetItemHeight(int height);
    int GetItemHeight() const { return m_itemHeight; }
    void SetTextIndent(int indent);
    int GetTextIndent() const { return m_indent; }
    // With an image list the editor's text starts a second indent further right.
    void SetImageList(MImageList* list) { m_imageList = list; }
    void SetHoverColor(ARGB colour);
    void SetSelectedColor(ARGB colour);
    int GetHotItem() const { return m_hot; }
    // The row at a point of the list, −1 off the rows.
    int RowAt(CPoint point) const;

    // --- Renaming in place ---
    void EnableShowEdit(int on);
    int IsShowEdit() const { return m_showEdit; }
    // Opens the editor on the selected row; nothing with renaming off, disabled or no selection.
    void ShowEdit();
    // Closes the editor, keeping a changed text (notification 29). Without force nothing happens while
    // the edited row is still the selected one.
    void HideEdit(int force);
    // The strip behind the editor (4 frames; frame 1 is drawn); the count is not consulted.
    int SetEditImage(const wchar_t* file, int count);
    void SetEditBkColor(COLORREF colour) { m_editBack = colour; }
    void SetEditLimitText(int limit) { m_editLimit = limit; }
    int GetEditLimitText() const { return m_editLimit; }
    bool IsEditing() const { return m_editRow >= 0; }
    int GetEditItem() const { return m_editRow; }
    CEditWnd* GetEditWnd() const { return m_editor.get(); }
    // The editor's place over the selected row, in the window's client coordinates.
    CRect EditorRect() const;

    // --- EditWindowHost ---
    void OnEditChanged(CEditWindow& editor) override;
    void OnEditClosed(CEditWindow& editor, EditCloseReason reason) override;
    // The editor's window ended on its own (its window went with another one).
    void OnEditorGone();

private:
    struct Item {
        CString text;
        int n = 0;
        long data = 0;
    };
    bool Valid(int index) const { return index >= 0 && index < GetItemCount(); }
    int Append(const wchar_t* text, int n, long data);
    // Content height and scroll bar after the row count changed.
    void UpdateContent();
    int UsableWidth() const;
    int ScrollY() const;
    // In the list's coordinates, scrolled.
    CRect RowRect(int index) const;
    void EnsureVisible(int index);
    // Closes the editor keeping its text before the rows move under it.
    void EndEdit() { HideEdit(1); }
    // Closes the editor, leaving the row as it is.
    void DropEdit();
    // Puts the edited text into the row; 29 when it changed.
    void Commit(int row, const CString& text);

    mutable std::recursive_mutex m_itemsLock;
    std::vector<Item> m_items;
    int m_hot = -1;
    int m_selected = -1;
    int m_editRow = -1;
    int m_itemHeight = kDefaultItemHeight;
    int m_indent = kDefaultTextIndent;
    MImageList* m_imageList = nullptr;
    ARGB m_hoverColor;
    ARGB m_selectedColor;
    StripPicture m_icon;
    StripPicture m_editFrame;
    int m_showEdit = 0;
    int m_editLimit = kDefaultEditLimit;
    COLORREF m_editBack = kDefaultEditBack;
    std::unique_ptr<CEditWnd> m_editor;
};
