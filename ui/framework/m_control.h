#pragma once
// MControl: the base of every windowless control. A control has a rectangle in its window's client
// coordinates (a panel's children: in the panel's content coordinates), state flags, two owned lists of
// children (areas drawn beneath it, children drawn above it), a cached drawing surface, and the routing
// of mouse, keyboard and timer input to its children and to its own OnControl… handlers.
//
// What a concrete control implements: DrawControl (usually UpdateMemDC, draw the state into the cached
// surface when asked to, then CopyMemDC), and the OnControl… handlers it needs. Changes of its look end
// in UpdateControl(), which asks the owner for a repaint; drawing happens only in the window's paint
// pass.
//
// Mouse routing inside a control (OnMouseMove and its siblings):
//   not visible or not responsive   → ignored
//   move, hot child holds the point → to the hot child alone (also while this control is pressed)
//   move, otherwise                 → tooltip, cursor, OnControlMouseMove; then (unless pressed) every
//                                     child, and the last child holding the point becomes the hot child
//   left down                       → pressed; the last enabled, responsive child holding the point
//                                     becomes the hot child and gets it; without one this control takes
//                                     the focus and OnControlLButtonDown runs
//   left up                         → not pressed; to the hot child, else OnControlLButtonUp
//   double click                    → to the hot child; else a second press, or (with double-click
//                                     reporting) notification 3 and OnControlLButtonDblClk
//   wheel                           → hot child, then OnControlScroll, then each child holding the point
// A panel's scroll bars (children 1 and 2) get points untranslated; other children get the point in the
// control's content coordinates (OnMousePointChange).

#include <memory>

#include "core/geometry.h"
#include "core/wide_text.h"
#include "ui/framework/control_list.h"
#include "ui/framework/m_object.h"
#include "ui/framework/render_types.h"
#include "ui/framework/surface.h"
#include "ui/framework/win_types.h"

class PaintManager;

// The key OnControlTimer receives for the window's animation tick; control timers pass their own key.
constexpr unsigned kAnimationTimerKey = 0xFFFFFFFFu;
// The notification a control with double-click reporting sends (wParam flags, lParam CPoint*).
constexpr unsigned kNotifyDoubleClick = 3;

class MControl : public MObject {
public:
    MControl(MObject* parent, unsigned id, CRect rect, int visible, int enabled, int response);
    ~MControl() override;
    MControl(const MControl&) = delete;
    MControl& operator=(const MControl&) = delete;

    // --- MObject ---
    const wchar_t* GetClassNameW() const override { return L"FSControl"; }
    // A child's notification goes to OnMessage.
    long OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    // A child's repaint request: later overlapping children become stale, then the owner is asked.
    long OnControlUpdate(CRect rect, int redraw, MControl* control) override;

    // --- Virtual operations ---
    // Called once the control has its manager (after creation by class name).
    virtual int InitControl(PaintManager* manager);
    // Visible and inside the rectangle.
    virtual int PtInRect(CPoint point) const;
    virtual void DrawControl(HDC& hdc, CRect clip) = 0;
    // Draws the visible children.
    virtual void DrawSubControls(HDC& hdc, CRect clip);
    virtual int IsDraw(CPoint /*point*/) { return 0; }
    // Stores the update flag (0 = the cached surface is stale) and passes it to every overlapping child.
    virtual void SetUpdate(int update, unsigned long reserved = 0);
    // Sets the focused flag; losing the focus passes the loss to every child.
    virtual void SetControlFocus(int focus);
    virtual int InitUI(CRect /*rect*/) { return 0; }
    // Turns a point into the control's content coordinates (panels add their scroll offset).
    virtual void OnMousePointChange(CPoint& /*point*/) {}
    // Whether the control takes the mouse at this point; the default takes it everywhere in its
    // rectangle. A control with holes answers 0 where the pointer should fall through.
    virtual int OnCheckMouseResponse(unsigned /*flags*/, CPoint /*point*/) { return 1; }
    // Every window message, before the paint manager handles it; nonzero ends its processing.
    virtual long OnWindowMessage(UINT /*msg*/, WPARAM /*wParam*/, LPARAM /*lParam*/) { return 0; }
    // A notification from a child (or, with id 0, from a popup window the control owns).
    virtual long OnMessage(unsigned /*id*/, unsigned /*code*/, unsigned /*wParam*/, long /*lParam*/)
    {
        return 0;
    }
    // Stores the rectangle, then OnPositionChange.
    virtual void SetControlRect(CRect rect);
    virtual void SetControlVisible(int visible);
    // For controls that own a real window (edit boxes): show or hide it.
    virtual void SetControlWndVisible(int /*visible*/) {}
    virtual void SetControlEnabled(int enabled);
    // A timer: a control timer's key, or kAnimationTimerKey for the animation tick.
    virtual int OnControlTimer(unsigned /*key*/) { return 0; }
    // Drag and drop is not offered; no control has a picture to drag.
    virtual Surface* GetControlDropBitmap() { return nullptr; }
    virtual int OnControlMouseMove(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    // Shows the control's cursor (SetCursorEx) while the point is inside, and the arrow when it leaves.
    virtual int OnControlSetCursor(unsigned flags, CPoint point);
    virtual int OnControlLButtonDown(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnControlLButtonUp(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnControlLButtonDblClk(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    // How a control with double-click reporting tells its owner: notification 3 with the mouse flags and
    // a pointer to the point; lists report the row instead.
    virtual void ReportDoubleClick(unsigned flags, CPoint point);
    // One wheel step; down is 1 for a step towards the user. Nonzero takes it.
    virtual int OnControlScroll(int /*steps*/, unsigned /*down*/, CPoint /*point*/) { return 0; }
    virtual int OnControlRButtonDown(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnControlRButtonUp(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnControlRButtonDblClk(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    // modifiers: 0, 16 (Shift), 18 (Alt), with 17 or-ed in for Ctrl.
    virtual int OnControlKeyDown(unsigned /*key*/, unsigned /*repeat*/, unsigned /*modifiers*/) { return 0; }
    virtual int OnControlKeyUp(unsigned /*key*/, unsigned /*repeat*/, unsigned /*modifiers*/) { return 0; }
    virtual int OnPositionChange() { return 0; }
    // Invalidates the rectangle (the control's own when null) in the window; the whole window when it is
    // layered.
    virtual void InvalidateRect(const CRect* rect, int erase);

    // --- Geometry and state ---
    void SetRect(CRect rect);
    void SetRect(int x, int y, int width, int height);
    CRect GetRect() const { return m_rect; }
    // Both ask for a repaint of the old and new area; SetVisible(v, 0) changes the state only.
    void SetVisible(int visible);
    void SetVisible(int visible, int notify);
    int IsVisible() const { return m_visible; }
    void SetEnabled(int enabled);
    int IsEnabled() const { return m_enabled; }
    int GetRresponse() const { return m_response; }
    void SetRresponse(int response) { m_response = response; }
    int IsPressed() const { return m_pressed; }
    int IsTabStop() const { return m_tabStop; }
    void SetTabStop(int on) { m_tabStop = on; }
    int IsDragDrop() const { return m_dragDrop; }
    void SetDragDrop(int on) { m_dragDrop = on; }
    int IsRunTimer() const { return m_runTimer; }
    // Asks for the window's animation tick (once joined with AddMTimer) or gives it up.
    void SetRunTimer(int on);
    int IsFocused() const { return m_focused; }
    int GetDblClk() const { return m_dblClk; }
    void SetDblClk(int on) { m_dblClk = on; }
    int GetUpdate() const { return m_update; }
    unsigned GetID() const { return m_id; }
    // Whether every owner up to the window is visible.
    int IsParentVisible() const;
    // The rectangle in the window's client coordinates: the owners' scroll offsets taken off.
    CRect GetWindowRect() const;

    // --- Repaint requests ---
    // Asks the owner to repaint the control's rectangle, when visible or forced; redraw marks the
    // cached surface stale.
    void UpdateControl(int redraw = 1, int force = 0);
    void UpdateControl(CRect rect, int redraw, int force);
    // The same, with the control's areas marked stale as well.
    void UpdateAControl(int redraw, int force);

    // --- Owner, manager, children ---
    // Reports to the owner: OnBaseMessage(id, code, wParam, lParam).
    long SendMessageW(unsigned code, unsigned wParam = 0, long lParam = 0);
    void SetManager(PaintManager* manager) { m_manager = manager; }
    PaintManager* GetManager() const { return m_manager; }
    void SetParent(MObject* parent) { m_parent = parent; }
    MObject* GetParantObject() const { return m_parent; }
    // Depth-first among the children and areas (not this control itself).
    MControl* GetControl(unsigned id) const;
    // Adds a child drawn above (AddControl) or beneath (AddArea) this control; it gets this control's
    // manager.
    MControl* AddControl(std::unique_ptr<MControl> child);
    MControl* AddArea(std::unique_ptr<MControl> area);
    const ControlList& GetControls() const { return m_children; }
    const ControlList& GetAreas() const { return m_areas; }
    // Removes and deletes a child (or area).
    void RemoveControl(MControl* child);
    void RemoveAllControl();
    MControl* GetHotChild() const { return m_hot; }

    // --- Tooltip, cursor, timers, focus ---
    void SetTooltip(const wchar_t* text);
    // Sets the text and shows it now.
    void SetTooltip(const CString& text, CRect rect);
    void ClearTooltip();
    const CString& GetTooltip() const { return m_tooltip; }
    // A cursor by id (IDC_HAND, …) shown while the pointer is over the control.
    void SetCursorEx(const wchar_t* cursorId);
    // Joins the window's animation tick.
    void AddMTimer();
    int IsFocusControl() const;
    MControl* GetFocusControl() const;
    // The next (previous) visible, enabled tab-stop child after (before) from, wrapping around.
    MControl* GetNextFocusableControl(MControl* from) const;
    MControl* GetPrevFocusableControl(MControl* from) const;

    // --- Drawing ---
    // Prepares the cached surface for a cx × cy control. When it is stale or was resized, it is filled
    // with the window's pixels under the control, the control is marked up to date and the answer is
    // true: draw the state now. False: the surface still shows the control.
    bool UpdateMemDC(HDC& hdc, int cx, int cy);
    // The second surface of animating controls: true when it was (re)made.
    bool UpdateAnimateDC(HDC& hdc, int cx, int cy);
    // Copies the cached surface into the window's surface, within clip.
    void CopyMemDC(HDC& hdc, const CRect& clip) const;
    Surface& GetMemDC() { return m_memDC; }
    Surface& GetAnimateDC() { return m_animateDC; }
    // Nothing when invisible or outside clip; else the areas, DrawControl, DrawSubControls.
    void Draw(HDC& hdc, CRect clip);

    // --- Routing entry points (see the table above); nonzero when handled ---
    int OnMouseMove(unsigned flags, CPoint point);
    int OnLButtonDown(unsigned flags, CPoint point);
    int OnLButtonUp(unsigned flags, CPoint point);
    int OnLButtonDblClk(unsigned flags, CPoint point);
    int OnRButtonDown(unsigned flags, CPoint point);
    int OnRButtonUp(unsigned flags, CPoint point);
    int OnRButtonDblClk(unsigned flags, CPoint point);
    int OnScroll(int steps, unsigned down, CPoint point);
    // Focused child, hot child, OnControlKeyDown, then every child, until one takes it.
    int OnKeyDown(unsigned key, unsigned repeat, unsigned modifiers);
    int OnKeyUp(unsigned key, unsigned repeat, unsigned modifiers);
    // OnControlTimer; for the animation tick also every visible child with the run-timer flag.
    int OnTimer(unsigned key);
    int OnFocus(int focus);

protected:
    // The point a child receives: scroll bars (ids 1 and 2) the window point, others the content point.
    static CPoint PointFor(const MControl* child, CPoint windowPoint, CPoint contentPoint);
    // The last enabled, responsive child under the point: the one a press goes to.
    MControl* PressedChild(CPoint windowPoint, CPoint contentPoint) const;
    // Takes the focus in the window (the previous focus control is told it lost it).
    void TakeFocus();

    MObject* m_parent = nullptr;
    PaintManager* m_manager = nullptr;
    unsigned m_id = 0;
    CRect m_rect;
    int m_visible = 0;
    int m_enabled = 0;
    int m_response = 0;
    int m_pressed = 0;
    int m_tabStop = 0;
    int m_dragDrop = 0;
    int m_runTimer = 0;
    int m_focused = 0;
    int m_dblClk = 0;
    ControlList m_areas;
    ControlList m_children;
    MControl* m_hot = nullptr;
    Surface m_memDC;
    Surface m_animateDC;
    int m_update = 1;
    HCURSOR m_hCursor = nullptr;
    bool m_cursorShown = false;
    CString m_tooltip;

private:
    friend class ControlList;
    const ControlList* m_list = nullptr; // the list that holds this control, if any
};

// The next (previous) visible, enabled tab stop after (before) from in items, wrapping around; from the
// start (end) when from is not among them.
MControl* NextFocusableControl(const std::vector<MControl*>& items, const MControl* from, bool forward);

// Marks stale every visible control after `from` (areas first, then controls; all of them when from is
// in neither list or null) that overlaps rect, and adds their rectangles to *region when given.
class CRegion;
void MarkLaterControlsStale(const ControlList& areas, const ControlList& controls, const MControl* from,
                            const CRect& rect, CRegion* region);
