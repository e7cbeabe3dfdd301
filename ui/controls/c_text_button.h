#pragma once
// CTextButton ("CTextButton"): a button drawn as its text alone, like a link: the text colour while
// normal, the hover colour (underlined) while hovered or pressed, grey while disabled. Notifications 1
// and 2 as a push button.

#include "ui/controls/m_push_control.h"

class CTextButton : public MPushControl {
public:
    static constexpr ARGB kDefaultHoverColour = 0xFFED801B;

    CTextButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    void SetHoverColor(ARGB colour);

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;

private:
    ARGB m_hoverColour = kDefaultHoverColour;
};
