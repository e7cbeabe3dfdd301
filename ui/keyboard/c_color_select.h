#pragma once
// CColorSelect ("CColorSelect", a panel): a column of seven preset swatches (red, green, blue, yellow,
// magenta, cyan, white; white with the bordered look), one checked at a time. A press on one sends
// notification 27 with wParam = the checked swatch's index (0–6) and lParam = its colour (not for
// black); every notification of the swatches also goes on to the owner with the swatch's id.

#include "ui/framework/m_panel.h"

class CColorButton;

class CColorSelect : public MPanel {
public:
    static constexpr unsigned kNotifyColor = 27;
    static constexpr unsigned kFirstSwatchId = 631;
    static constexpr int kSwatchCount = 7;
    static constexpr int kSwatchSize = 20;
    static constexpr int kPitch = 25;

    CColorSelect(MObject* parent, unsigned id, CRect rect, int visible);

    // --- MControl ---
    int InitControl(PaintManager* manager) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    // The swatches follow.
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;

    // 0–6 checks that swatch (the others are unchecked), −1 unchecks all; other values do nothing.
    void SetColorIndex(int index);
    // The checked swatch's index, or −1.
    int GetColorIndex() const;
    // The checked swatch's colour, 0 when none is checked.
    COLORREF GetSelectColor() const;
    // Checks the first swatch of that colour, or none when no swatch has it; no notification.
    void SetSelectColor(unsigned long colour);
    CColorButton* GetSwatch(int index) const;

private:
    void Layout();

    CColorButton* m_swatches[kSwatchCount] = {};
    bool m_built = false; // the children are made once
};
