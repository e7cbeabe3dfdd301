#pragma once
// CIconButton ("CIconButton", class name "IconButton"): a button that is an icon (SetIconImage, one frame
// per state when it has four; the control's own strip is drawn behind it when set) with a key tip: while
// the pointer is over it, the window's tip bubble shows the tip (SetKeyTip, e.g. the key that does the
// same) below the button, and it goes when the pointer leaves. Notifications 1 and 2 as a push button.

#include "ui/controls/m_push_control.h"

class CIconButton : public MPushControl {
public:
    CIconButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    const wchar_t* GetClassNameW() const override { return L"IconButton"; }
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    void SetControlVisible(int visible) override;

    void SetKeyTip(const wchar_t* tip);
    const CString& GetKeyTip() const { return m_keyTip; }
    bool IsKeyTipShown() const { return m_tipShown; }

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;

private:
    void ShowKeyTip(bool show);

    CString m_keyTip;
    bool m_tipShown = false;
};
