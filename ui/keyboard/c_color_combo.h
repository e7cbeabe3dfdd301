#pragma once
// CColorCombo (no class-name entry; constructed directly): a framed colour swatch. Four frames, each the
// area colour inside a 1-pixel frame (dark; grey when disabled, frame 3 also crossed by a red line); the
// frame shown is the state.
//
//   pointer over / away (not pressed) → state 1 / 0
//   left press inside                 → state 2, notification 1
//   release inside                    → state 1, notification 2; outside → state 0
//   disabled                          → state 3

#include "ui/controls/m_push_control.h"

class CColorCombo : public MPushControl {
public:
    static constexpr ARGB kDefaultAreaColor = 0xFEFFFF00;
    static constexpr ARGB kFrame = 0xFE050505;
    static constexpr ARGB kDisabledFrame = 0xFE808080;
    static constexpr ARGB kDisabledCross = 0xFEFF0000;

    CColorCombo(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    // Only stores the rectangle.
    void SetControlRect(CRect rect) override;

    void SetAreaColor(ARGB colour);
    ARGB GetAreaColor() const { return m_areaColor; }
    // Stored only: the swatch shows no list of its own.
    void SetIsOpen(bool open) { m_open = open; }
    bool IsOpen() const { return m_open; }

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;

private:
    ARGB m_areaColor = kDefaultAreaColor;
    bool m_open = false;
};
