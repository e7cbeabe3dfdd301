#pragma once
// CHelpButton ("CHelpButton"): a round "?" button (its title, "?" when empty), usually with a tooltip
// that says what the help is about. Its strip, when set, replaces the round face. Notifications 1 and 2
// as a push button.

#include "ui/controls/m_push_control.h"

class CHelpButton : public MPushControl {
public:
    CHelpButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;
};
