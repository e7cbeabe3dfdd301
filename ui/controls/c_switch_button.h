#pragma once
// CSwitchButton ("CSwitchButton"): an on/off switch. Its picture has two frames, off and on; without it a
// pill in the theme's colours stands in (drawn at the left, the title after it). A click (press and
// release inside), Space or Enter while focused, or its accelerator flips it and sends notification 2 with
// lParam = the new state; SetCheck flips it without a notification.

#include "ui/controls/m_push_control.h"

class CSwitchButton : public MPushControl {
public:
    static constexpr int kPillWidth = 36;
    static constexpr int kPillHeight = 20;

    CSwitchButton(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    void SetCheck(int on);
    int GetCheck() const { return m_on; }
    int CurrentFrame() const override { return m_state + (m_on ? 4 : 0); }

protected:
    int StateFrameCount() const override { return 8; }
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;
    void OnPress() override {}
    void OnClick() override;
    void OnKeyClick() override { OnClick(); }

private:
    int m_on = 0;
};
