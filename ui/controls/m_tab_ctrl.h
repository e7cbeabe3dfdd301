#pragma once
// The tab bar and its pages. MTabCtrl ("MTabCtrl") lays its tabs out in a row (tab type 0) or a column
// (type 1) from its left/top plus the paddings, skipping hidden tabs. A tab's size comes, first to last,
// from SetItemWidth/SetItemHeight (the selected tab may have its own), its icon strip's frame, the width
// given to InsertItem, SetTabCtrlWidth/SetTabCtrlHeight, and last its text (row) or the bar's free
// width (column). Icon strips have 3 frames by default: normal, hovered, selected (a fourth is used while
// the bar is disabled). Each tab may own a page (usually an MTabLayout): selecting a tab shows its page
// and hides every other one.
//
//   press and release on one tab        → it is selected
//   press on a tab's small button area  → notification 9 with wParam = the tab (EnableItemButton)
//   keys while focused                  → Left/Up and PageUp the previous shown tab, Right/Down and
//                                         PageDown the next, Home the first, End the last
//   SetSelectItem(i), i valid and new   → notification 2 with wParam = i, pages shown and hidden; with
//                                         animated change on, the selection mark slides over in 30 ms
//                                         steps of a control timer; returns the previous selection
//
// MTabLayout ("MTabLayout"): a page; a panel whose run-timer flag is set, so that the animated controls
// on it get the window's animation tick while it is shown.

#include <vector>

#include "ui/controls/strip_picture.h"
#include "ui/framework/m_control_font.h"
#include "ui/framework/m_panel.h"

struct TabItemInfo {
    unsigned id = 0;
    CString text;
    CString tooltip;
    StripPicture icon;
    MControl* page = nullptr;
    int frames = 3;
    int width = 0; // as given to InsertItem; 0 for none
    int visible = 1;
    CRect rect; // where the tab is, in the bar's coordinates (those of its own rectangle)
};

class MTabCtrl : public MControlFont {
public:
    static constexpr unsigned kNotifySelect = 2;
    static constexpr unsigned kNotifyButton = 9;
    static constexpr unsigned kAnimateTimerKey = 1;
    static constexpr unsigned kAnimateStepMs = 30;
    static constexpr int kAnimateSteps = 5;
    static constexpr int kButtonSize = 14;
    static constexpr int kMarkThickness = 3;

    MTabCtrl(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnPositionChange() override;
    void SetControlEnabled(int enabled) override;
    // A hidden tab bar never hears the pointer leave, so it forgets the hovered tab when it hides.
    void SetControlVisible(int visible) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;
    int OnControlKeyDown(unsigned key, unsigned repeat, unsigned modifiers) override;
    int OnControlTimer(unsigned key) override;

    // Appends a tab; its index. frames ≤ 0 means the default 3.
    int InsertItem(unsigned id, const wchar_t* text, const wchar_t* icon, MControl* page, int frames = 3,
                   int width = 0);
    int SetSelectItem(int index);
    int GetSelectItem() const { return m_selected; }
    int GetPrevSelectItem() const { return m_previous; }
    int GetItemCount() const { return static_cast<int>(m_items.size()); }
    // The id given to InsertItem; 0 for an index out of range.
    unsigned GetItemID(int index) const;
    // The tab record (null out of range); its rect may be moved by the caller.
    TabItemInfo* GetItemInfo(int index);
    void SetItemVisible(int index, int visible);
    void SetItemText(int index, const wchar_t* text);
    void SetTabTooltip(int index, const wchar_t* text);
    // 0: a row, 1: a column.
    void SetTabType(int type);
    int GetTabType() const { return m_type; }
    void SetTabCtrlWidth(int width);
    void SetTabCtrlHeight(int height);
    void SetLeftRightPading(int left, int right);
    void SetTopBottomPading(int top, int bottom);
    // Every tab's width (height), the selected tab's own (0: the same), and whether to lay out now.
    void SetItemWidth(int width, int selectedWidth, int relayout);
    void SetItemHeight(int height, int selectedHeight, int relayout);
    void EnableItemButton(int on);
    void SetAnimateChange(int on);
    void SetSelectTextColor(ARGB colour);
    // Lays the tabs out again (sizes, paddings, visibility).
    void RelayoutItems();
    // The tab under a window point, or −1.
    int ItemAt(CPoint point) const;
    // A tab's small button area, in the bar's coordinates.
    CRect ButtonRect(int index) const;
    // The selection mark's rectangle now (it slides during an animated change).
    CRect MarkRect() const;
    bool IsAnimating() const { return m_animStep < kAnimateSteps; }

private:
    CSize ItemSize(const TabItemInfo& item, bool selected);
    CRect MarkFor(int index) const;
    int NextShown(int from, int step) const;
    void DrawItem(Graphics* g, int index, const CPoint& origin);

    std::vector<TabItemInfo> m_items;
    int m_selected = -1;
    int m_previous = -1;
    int m_hover = -1;
    int m_pressed = -1;
    int m_type = 0;
    int m_tabWidth = 0;
    int m_tabHeight = 0;
    int m_padLeft = 0;
    int m_padRight = 0;
    int m_padTop = 0;
    int m_padBottom = 0;
    int m_itemWidth = 0;
    int m_selectedItemWidth = 0;
    int m_itemHeight = 0;
    int m_selectedItemHeight = 0;
    int m_itemButton = 0;
    int m_animate = 0;
    ARGB m_selectTextColor = 0xFFFFFFFF;
    CRect m_animFrom;
    int m_animStep = kAnimateSteps;
};

class MTabLayout : public MPanel {
public:
    MTabLayout(MObject* parent, unsigned id, CRect rect, int visible);
};
