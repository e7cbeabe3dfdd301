#pragma once
// CComboBoxList ("CComboBoxList", made by windows only): the list inside a combo box's popup. Rows are
// 30 pixels high, each with its text and optionally an icon and a colour swatch; the row under the
// pointer (or chosen with the arrow keys) is lit in the hover colour, the combo box's current row is
// marked at its left edge. More rows than fit scroll with the wheel or the panel's bar.
//
// Input:
//   pointer over a row          → that row is lit
//   press and release on a row  → notification 2 (wParam = the row, lParam = 19)
//   Up/Down, Home/End, PgUp/PgDn → the lit row moves (and is scrolled into view)
//   Enter                       → notification 2 for the lit row

#include <vector>

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_panel.h"

// One row of a combo box: what AddItem takes.
struct ComboItem {
    CString text;
    long data = 0;
    CString icon;     // skin file, may be empty
    ARGB colour = 0;  // a swatch when its alpha is not 0
    ImagePtr picture; // the icon once loaded
};

class CComboBoxList : public MPanel {
public:
    static constexpr int kRowHeight = 30;
    static constexpr unsigned kNotifyChosen = 2;
    static constexpr long kChosenLParam = 19;
    static constexpr ARGB kHoverColour = FallbackLook::kHover;
    static constexpr ARGB kMarkColour = FallbackLook::kAccent;

    CComboBoxList(MObject* parent, unsigned id, CRect rect, int visible);

    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
    void SetControlRect(CRect rect) override;

    void SetItems(std::vector<ComboItem> items);
    size_t GetCount() const { return m_items.size(); }
    // The marked row (the combo box's current one); −1 for none.
    void SetCurSel(int index);
    int GetCurSel() const { return m_current; }
    // The lit row; −1 for none. Scrolled into view.
    void SetHotItem(int index);
    int GetHotItem() const { return m_hot; }
    // The row at a point of the window (−1 outside the rows).
    int RowAt(CPoint point) const;
    // The first row shown at the top.
    int GetTopRow() const;

private:
    void Reveal(int index);
    void Choose(int index);

    std::vector<ComboItem> m_items;
    int m_current = -1;
    int m_hot = -1;
    int m_pressedRow = -1;
};

// Draws a combo row's contents (icon, swatch, text) in rect of a surface.
void DrawComboRow(Graphics* g, const ComboItem& item, const CRect& rect, const TextFont& font,
                  ARGB textColour, TextRenderingHint hint);
