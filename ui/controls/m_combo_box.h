#pragma once
// MComboBox ("MComboBox"): a closed box showing the current item (text, icon, colour swatch) that opens
// a popup list of its items, and CComboBoxWnd, that popup: a "ComboWnd" tool popup (style 0x96000000)
// just below the box, from its left + 4 to its right − 6, min(items, 5) × 30 + 12 pixels high, or above
// the box when it would pass the bottom of the work area. It holds a CComboBoxList, is destroyed when it
// closes and made anew on the next opening.
//
// The box's picture (SetBackImage) holds its states side by side: 0 normal, 1 hovered, 2 open, 3
// disabled, nine-sliced with the margins of SetShowModeMID; without one a panel-coloured box with a drop
// arrow is drawn.
//
// Input:
//   click (press and release)      → the popup opens (a box without items stays closed)
//   Enter, Space, F4 or Alt+Down   → the same while the box has the focus
//   Up/Down while focused          → the previous/next item becomes current, notification 2
//   a row chosen in the popup      → the popup closes, that row is current (SetCurSel), notification 2
//                                    with wParam = its index
//   Escape (or Enter with no row lit) in the popup, or the popup losing the activation → it closes,
//                                    nothing changes
//   the popup's window ends        → the box hears notification 22 (id 0)
// A press on the open box takes the activation from the popup and so closes it; that press does not open
// it again.

#include <memory>
#include <vector>

#include "ui/controls/c_combo_box_list.h"
#include "ui/framework/m_control_font.h"
#include "ui/framework/m_popup_wnd.h"

class MComboBox;

class CComboBoxWnd : public MPopupWnd {
public:
    static constexpr unsigned kListId = 1000;
    static constexpr DWORD kStyle = 0x96000000;
    static constexpr int kMargin = 6;

    explicit CComboBoxWnd(MComboBox* combo);

    int InitUI(CRect client) override;
    // Closing on purpose: the activation it loses on the way is not a click elsewhere.
    void CloseWindow() override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    int OnNcActivate(int active) override;
    int PostNcDestroy() override;
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;

    CComboBoxList* GetList() const { return m_list; }

private:
    MComboBox* m_combo;
    CComboBoxList* m_list = nullptr;
    bool m_closing = false;
};

class MComboBox : public MControlFont {
public:
    static constexpr unsigned kNotifyChanged = 2;
    static constexpr unsigned kNotifyPopupClosed = 22;
    static constexpr int kMaxShownRows = 5;

    MComboBox(MObject* parent, unsigned id, CRect rect, int visible, int enabled);
    ~MComboBox() override;

    // --- MControl ---
    void DrawControl(HDC& hdc, CRect clip) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
    void SetControlVisible(int visible) override;
    void SetControlEnabled(int enabled) override;

    // --- Items ---
    // The new item's index. The icon is a skin file (may be null or empty); the colour shows as a
    // swatch when its alpha is not 0.
    int AddItem(const wchar_t* text, long data = 0, const wchar_t* icon = nullptr, ARGB colour = 0);
    void DelAllItems();
    int GetCount() const { return static_cast<int>(m_items.size()); }
    // −1 … count − 1: the item becomes current and its text the title (empty for −1); 1. Otherwise 0
    // and nothing changes. No notification.
    int SetCurSel(int index);
    int GetCurSel() const { return m_curSel; }
    // The current item's data; 0 when none is current.
    long GetCurData() const;
    // The first item with that data becomes current; its index, or −1 (nothing changes) when none has it.
    int SelectData(long data);
    int FindData(long data) const;
    // 1 when the index is valid.
    int SetItemText(int index, CString text);
    CString GetItemText(int index) const;
    long GetItemData(int index) const;
    const std::vector<ComboItem>& GetItems() const { return m_items; }

    // --- Look ---
    int SetBackImage(const wchar_t* file, int count = 4);
    // Margins of the picture kept unscaled when it is stretched over the box.
    void SetShowModeMID(int left, int top, int right, int bottom);

    // --- The popup ---
    void ShowDropDown();
    void CloseDropDown();
    bool IsDroppedDown() const;
    CComboBoxWnd* GetDropDown() const { return m_popup.get(); }
    // Where the popup opens for the box's place now, in screen coordinates.
    CRect DropDownRect() const;

private:
    friend class CComboBoxWnd;
    // The popup chose a row.
    void Choose(int index);
    // The popup is closing because the activation left it, with the pointer at this screen point.
    void PopupDeactivated(CPoint screen);
    ImagePtr LoadIcon(const CString& file) const;
    int VisualState() const;

    std::vector<ComboItem> m_items;
    int m_curSel = -1;
    std::unique_ptr<CComboBoxWnd> m_popup;
    bool m_hover = false;
    bool m_clickPending = false;
    // A press at this point of the window was the one that closed the popup: it must not reopen it.
    std::optional<CPoint> m_closingPress;
    CRect m_margins{4, 4, 4, 4};
};
