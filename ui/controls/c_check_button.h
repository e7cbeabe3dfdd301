#pragma once
// CCheckButton ("CCheckButton"): a check box with its title. The 8-frame strip holds unchecked normal,
// hovered, pressed, disabled, then the same four checked; the frame stands at the left, vertically
// placed by the vertical alignment (centred by default), and the title follows it.
//
//   left press inside              → state 2 (6 while checked), no notification
//   release inside after the press → the check flips; notification 2 (wParam 0, lParam 0); state 1 / 5
//   release outside               → state 0 / 4, the check stays
//   Space (focused) or accelerator → the check flips; notification 7 with lParam = the new check
//   SetCheck                       → the check only, no notification

#include "ui/controls/m_push_control.h"

class CCheckButton : public MPushControl {
public:
    static constexpr unsigned kNotifyKeyCheck = 7;
    static constexpr int kTitleGap = 5;

    CCheckButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    void SetCheck(int check);
    int GetCheck() const { return m_check; }
    int CurrentFrame() const override { return m_state + (m_check ? 4 : 0); }

protected:
    int StateFrameCount() const override { return 8; }
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;
    void OnPress() override {}
    void OnClick() override;
    void OnKeyClick() override;

    int m_check = 0;
};

// The box of a check-style control and its title: frame `frame` of the control's strip (or a stand-in
// box) at the left, the title after it. Shared by check and radio buttons.
void DrawCheckFrame(MControlFont& control, Graphics* g, int frame, const CRect& rect, bool round,
                    ARGB titleColour);
