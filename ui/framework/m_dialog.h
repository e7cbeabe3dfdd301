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
    void SetTooltipCtrlID(unsigned id) { m_nTooltipCtrlID = id; }
    unsigned GetTooltipCtrlID() const { return m_nTooltipCtrlID; }
    PaintManager& GetPaintManager() { return m_paintManager; }
    const CRect& GetClientArea() const { return m_rcClient; }

protected:
    PaintManager m_paintManager;
    CRect m_rcClient;
    COLORREF m_clrTransparent = 0xFFFFFF;
    int m_nAlpha = 255;
    unsigned m_nTooltipCtrlID = 0;
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
