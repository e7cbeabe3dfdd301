#pragma once
// Push buttons. MButton ("MButton"): its strip frame (normal, hovered, pressed, disabled) stretched over
// the control, an optional icon from the skin folder at the left, and the title in the control's font,
// colour and alignment. CImageButton ("CImageButton"): the strip frame with an optional icon centred
// (2 pixels right of the middle and 4 above it), for picture-only buttons such as a window's close
// button. Both render their four frames once and afterwards only copy the frame of the state; input as
// in MPushControl. Without a strip a flat rounded face in the theme's colours stands in.

#include "ui/controls/fallback_look.h"
#include "ui/controls/m_push_control.h"

class MButton : public MPushControl {
public:
    MButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;
    // The strip frame, or the flat face without one.
    void DrawFace(Graphics* g, int frame, const CRect& rect) const;
    // The stand-in face has its own text colours.
    ARGB FaceTextColour(int state) const
    {
        return m_image ? TitleColour(state) : FallbackLook::ButtonText(state);
    }
};

class CImageButton : public MButton {
public:
    CImageButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;
};
