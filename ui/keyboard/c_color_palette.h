#pragma once
// CColorPalette ("CColorPalette", a panel): the composite picker. A row of eight preset swatches over an
// MPalette field, and to their right the selected-colour swatch, red/green/blue spinners and a hex box
// (six upper-case digits, red first). Whichever of them the user changes, the others follow, and the
// composite tells its owner notification 27 with lParam = the colour; while the selected-colour swatch is
// checked it takes the colour too.
//
//   27 from the field          → spinners and hex box follow (this one is not passed on)
//   28 from a spinner          → field and hex box follow
//   1 from the selected swatch → its colour everywhere
//   1 from a preset            → the first checked preset's colour (when not black) everywhere
//   26 from the hex box        → six hex digits: spinners and field follow (the text stays as typed);
//                                anything else is ignored
// Every other notification of its children goes on to its owner unchanged, with the child's id.

#include "ui/framework/m_panel.h"

class CColorButton;
class CSpinButton;
class MEdit;
class MPalette;
class MText;

class CColorPalette : public MPanel {
public:
    static constexpr unsigned kNotifyColor = 27;
    static constexpr unsigned kFieldId = 620;
    static constexpr unsigned kSelectedId = 622;
    static constexpr unsigned kFirstPresetId = 631;
    static constexpr int kPresetCount = 8;
    static constexpr unsigned kFirstLabelId = 650; // "R", "G", "B", "#"
    static constexpr unsigned kFirstSpinId = 654;  // red, green, blue
    static constexpr unsigned kHexId = 657;
    static constexpr COLORREF kSelectedColor = 0x00E1FF;
    static constexpr ARGB kHexBackColor = 0xFFDADADA;
    static constexpr ARGB kHexTextColor = 0xFF202020;

    CColorPalette(MObject* parent, unsigned id, CRect rect, int visible);

    // --- MControl ---
    // Makes the children, once.
    int InitControl(PaintManager* manager) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;

    // The field's colour; 0 before the children exist.
    COLORREF GetSelectColor() const;
    // Every view shows the colour; no notification.
    void SetSelectColor(unsigned long colour);
    int SetThumbImage(const wchar_t* file);
    // The spinners' picture; 1 when it loads for them.
    using MPanel::SetImage;
    int SetImage(const wchar_t* file, int count) override;
    // The labels and spinners; the hex box keeps dark text on its light field.
    void SetTextColor(ARGB colour) override;
    // A repaint request for the composite and every child.
    void UpdateControlEx(int redraw);

    MPalette* GetPalette() const { return m_palette; }
    CColorButton* GetSelectedSwatch() const { return m_selected; }
    CColorButton* GetPreset(int index) const;
    CSpinButton* GetSpin(int channel) const;
    MEdit* GetHexEdit() const { return m_hex; }
    // "%02X%02X%02X" of red, green, blue.
    static CString HexText(COLORREF colour);

private:
    void ShowInSpins(COLORREF colour);
    void ShowInHex(COLORREF colour);
    COLORREF SpinColor() const;
    // The selected swatch takes the colour when it is checked; the owner hears it.
    void SetSelItemColor(COLORREF colour);

    MPalette* m_palette = nullptr;
    CColorButton* m_selected = nullptr;
    CColorButton* m_presets[kPresetCount] = {};
    MText* m_labels[4] = {};
    CSpinButton* m_spins[3] = {};
    MEdit* m_hex = nullptr;
    bool m_built = false; // the children are made once
};
