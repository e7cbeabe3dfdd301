#pragma once
// The dialog window every window of the program derives from: a frameless window whose content is drawn
// by its paint manager. Its MObject part receives the notifications of its controls (OnBaseMessage →
// OnMessage) and their repaint requests. The close protocol: DoOK … DoNo post WM_DIALOG_CLOSE with the
// result; OnUserCloseWindow turns it into a close message, which ends a modal loop with that result.
// Every handler returns int (nonzero = handled); the defaults do nothing unless stated.

#include "core/color.h"
#include "ui/framework/m_object.h"
#include "ui/framework/m_window.h"
#include "ui/framework/paint_manager.h"

class MDialog : public MWindow, public MObject {
public:
    MDialog() = default;
    ~MDialog() override = default;

    // --- MObject ---
    const wchar_t* GetClassNameW() const override { return L"MDialog"; }
    // The single place where a window reacts to its controls: the same four values go to OnMessage.
    long OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    long OnControlUpdate(CRect rect, int redraw, MControl* control) override;

    // --- MWindow ---
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // Asks the paint manager (keyboard focus moves).
    int PreTranslateMessage(MSG* msg) override;
    // Attaches the paint manager, reads the client rectangle and calls InitUI with it.
    int OnInitDialog() override;
    // Releases the paint manager's window data, then PostNcDestroy.
    void OnDestroyMessage(HWND hwnd) override;

    // --- Handlers ---
    // Where a tip bubble for a control points from, in screen coordinates: beside the control on the
    // side the type's arrow is on (AIRBLADDER_LEFT: right edge, AIRBLADDER_RIGHT: left edge), else
    // below its middle.
    virtual CPoint GetAirBladderPoint(MControl* control, unsigned type);
    virtual int OnMinimize();
    virtual int OnMaximize();
    // Where a derived dialog creates its controls.
    virtual int InitUI(CRect /*client*/) { return 0; }
    // Where a derived dialog lays them out; only for client areas wider and taller than 1 pixel.
    virtual int UISize(CRect /*client*/) { return 0; }
    virtual long OnMessage(unsigned /*id*/, unsigned /*code*/, unsigned /*wParam*/, long /*lParam*/)
    {
        return 0;
    }
    // Posts a close message with the same values; a dialog may override it to veto or to hide instead.
    virtual long OnUserCloseWindow(unsigned wParam, long lParam);
    // Removes caption and sizing border, adds clip-children and clip-siblings.
    virtual int OnCreate(CREATESTRUCTW* cs);
    // Re-applies the transparency (unless minimised), re-reads the client rectangle, calls UISize and
    // invalidates the whole client area.
    virtual int OnSize(unsigned type, int cx, int cy);
    virtual int OnMouseMove(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnMouseLeave(unsigned /*wParam*/, long /*lParam*/) { return 0; }
    virtual int OnMouseHover(unsigned /*wParam*/, long /*lParam*/) { return 0; }
    virtual int OnMouseWheel(unsigned /*flags*/, short /*delta*/, CPoint /*point*/) { return 0; }
    virtual int OnLButtonDown(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnLButtonUp(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnLButtonDblClk(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnRButtonDown(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnRButtonUp(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnRButtonDblClk(unsigned /*flags*/, CPoint /*point*/) { return 0; }
    virtual int OnKeyDown(unsigned /*key*/, unsigned /*repeat*/, unsigned /*flags*/) { return 0; }
    virtual int OnNcHitTest(CPoint /*point*/) { return 0; }
    virtual int OnGetMinMaxInfo(MINMAXINFO* /*info*/) { return 0; }
    virtual int OnNcCalcSize(int /*calcValid*/, NCCALCSIZE_PARAMS* /*params*/) { return 0; }
    virtual int OnNcActivate(int /*active*/) { return 0; }
    virtual int OnWindowPosChanging(WINDOWPOS* /*pos*/) { return 1; }
    virtual int OnWindowPosChanged(WINDOWPOS* /*pos*/) { return 1; }
    virtual int OnPaint() { return 0; }
    virtual int OnTimer(unsigned /*id*/) { return 0; }
    virtual int OnNcPaint() { return 0; }
    virtual int OnClose() { return 1; }
    virtual int OnDestroy() { return 0; }
    virtual int PostNcDestroy() { return 0; }

    // --- Controls ---
    // A top-level control of the named class (the paint manager's table); a and b are the class's two
    // trailing constructor flags. Null for an unknown name.
    MControl* CreateControl(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title = L"",
                            int a = 1, int b = 1);
    // The same in the area layer, drawn beneath every ordinary control.
    MControl* CreateArea(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title = L"",
                         int a = 1, int b = 1);
    // Depth-first through the control tree.
    MControl* GetControl(unsigned id) const;
    const ControlList& GetControls() const;
    // The old focus control gets SetControlFocus(0), the new one SetControlFocus(1).
    void SetFocusControl(MControl* control);

    // --- Look ---
    int LoadBKImage(const CString& file);
    int LoadBKImage(unsigned resId, const CString& type);
    void SetBackMode(enumBackMode mode, int border = PaintManager::kDefaultFrameBorder);
    void SetScrollResID(unsigned vertical, unsigned horizontal);
    // FIXME: the drop shadow (MShadow: CreateShadow, SetShadowShow, SetSize, SetSharpness, SetDarkness,
    // SetPosition, SetShadowColor, SetShadowImage) is not built; no window of the program uses it.

    // --- Tooltip, bubble, overlay ---
    void SetTooltip(const CString& text, CRect rect);
    void ClearTooltip();
    // 0 (and nothing shown) when either coordinate of the point is 0; else the paint manager's bubble
    // shows the text (mode 3) and the answer is 1.
    int SetAirBladderMsg(const wchar_t* text, CPoint screenPoint, AIRBLADDER_TYPE type);
    void SetMessage(const CString& text, CRect rect, MsgLevel level);
    void SetProgress(int percent, const CString& text, CRect rect);

    // --- Operations ---
    // The window's animation tick (the paint manager's periodic timer).
    unsigned SetMTimer(unsigned ms);
    void KillMTimer(unsigned id);
    void DoOK();
    void DoCancel();
    void DoClose();
    void DoYes();
    void DoNo();
    // Switches the paint manager to per-pixel-alpha output.
    void SetLayeredWindow(int layered);
    // Constant alpha (255 = opaque) when not 255, else the key colour (0xFFFFFF = none) as transparency.
    void SetupBackTranslucent();
    void SetTransparentColor(COLORREF key) { m_clrTransparent = key; }
    void SetAlpha(int alpha) { m_nAlpha = alpha; }
    // Whether a press on empty window area drags the window; on by default.
    void EnableWndDrag(int enable);
    // The control whose tooltip shows (kept by the paint manager).
    void SetTooltipCtrlID(unsigned id) { m_paintManager.SetTooltipCtrlID(id); }
    unsigned GetTooltipCtrlID() const { return m_paintManager.GetTooltipCtrlID(); }
    PaintManager& GetPaintManager() { return m_paintManager; }
    const CRect& GetClientArea() const { return m_rcClient; }

protected:
    PaintManager m_paintManager;
    CRect m_rcClient;
    COLORREF m_clrTransparent = 0xFFFFFF;
    int m_nAlpha = 255;
};

// Shared by MDialog and MPopupWnd.
// The frame-removing style rewrite of OnCreate.
constexpr DWORD FramelessStyle(DWORD style)
{
    return (style & 0xFF3BFFFF) | 0x06000008;
}
// The transparency rule of SetupBackTranslucent.
void ApplyBackTranslucency(MWindow& window, COLORREF key, int alpha);
// What OnSize does with the client rectangle: re-read it, lay out when larger than 1 pixel, invalidate.
template <class Window> void RelayoutAfterSize(Window& window, CRect& client)
{
    if (!window.IsIconic())
        window.SetupBackTranslucent();
    client = CRect();
    window.GetClientRect(&client);
    if (client.Width() > 1 && client.Height() > 1)
        window.UISize(client);
    window.InvalidateRect(nullptr, 0);
}
