#pragma once
// The base of popup windows that belong to a control (drop-down lists and the like): a frameless tool
// window (no task-bar entry) with its own paint manager, no window dragging, a transparency key of
// 0xF1F1F1 by default, and a link to the owning object it reports to.

#include "core/color.h"
#include "ui/framework/m_dialog.h"
#include "ui/framework/m_object.h"
#include "ui/framework/m_window.h"
#include "ui/framework/paint_manager.h"

class MPopupWnd : public MWindow, public MObject {
public:
    MPopupWnd() = default;
    ~MPopupWnd() override = default;

    // As in a dialog, the popup's own controls are heard in its OnMessage (all four values unchanged).
    long OnBaseMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    long OnControlUpdate(CRect rect, int redraw, MControl* control) override;

    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int PreTranslateMessage(MSG* msg) override;
    // As MDialog, and window dragging is switched off.
    int OnInitDialog() override;
    // Releases the paint manager's window data, then PostNcDestroy.
    void OnDestroyMessage(HWND hwnd) override;

    virtual MObject* GetParent() const { return m_pParent; }
    virtual int InitUI(CRect /*client*/) { return 0; }
    virtual int UISize(CRect /*client*/) { return 0; }
    virtual long OnMessage(unsigned /*id*/, unsigned /*code*/, unsigned /*wParam*/, long /*lParam*/)
    {
        return 0;
    }
    virtual long OnUserCloseWindow(unsigned wParam, long lParam);
    // Posts a close request.
    virtual void CloseWindow();
    // As MDialog, and the extended style becomes a tool window's.
    virtual int OnCreate(CREATESTRUCTW* cs);
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
    virtual int OnNcActivate(int /*active*/) { return 0; }
    virtual int OnWindowPosChanging(WINDOWPOS* /*pos*/) { return 1; }
    virtual int OnWindowPosChanged(WINDOWPOS* /*pos*/) { return 1; }
    virtual int OnPaint() { return 0; }
    virtual int OnTimer(unsigned /*id*/) { return 0; }
    virtual int OnClose() { return 1; }
    virtual int PostNcDestroy() { return 0; }
    virtual int OnDestroy() { return 0; }

    void SetParent(MObject* parent) { m_pParent = parent; }
    // The owner's OnMessage(0, msg, wParam, lParam) (a control's, or a dialog's); 0 without an owner.
    int SendMessageToParent(unsigned msg, unsigned wParam, long lParam);
    MControl* CreateControl(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title = L"",
                            int a = 1, int b = 1);
    MControl* CreateArea(const wchar_t* className, unsigned id, CRect rect, const wchar_t* title = L"",
                         int a = 1, int b = 1);
    MControl* GetControl(unsigned id) const;
    int LoadBKImage(const CString& file);
    void SetBackMode(enumBackMode mode, int border = PaintManager::kDefaultFrameBorder);
    void SetScrollResID(unsigned vertical, unsigned horizontal);
    void SetLayeredWindow(int layered);
    void SetupBackTranslucent();
    void SetTransparentColor(COLORREF key) { m_clrTransparent = key; }
    void SetAlpha(int alpha) { m_nAlpha = alpha; }
    PaintManager& GetPaintManager() { return m_paintManager; }

protected:
    PaintManager m_paintManager;
    CRect m_rcClient;
    COLORREF m_clrTransparent = 0xF1F1F1;
    int m_nAlpha = 255;
    MObject* m_pParent = nullptr;
};
