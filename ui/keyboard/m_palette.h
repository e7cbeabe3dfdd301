#pragma once
// MPalette ("MPalette"): a hue × lightness field with a saturation bar to its right. Hue runs 0–360
// across the field, lightness 20–200 (of 200) down it, saturation 0–200 down the bar; the colour is the
// HSL model of color_math.h. The field's thumb is drawn as the wheel's; the bar's is a picture
// (SetThumbImage, frame 0 of a 4-frame strip) beside the bar.
//
// Input (enabled; presses outside the control are ignored):
//   press in the field        → hue, lightness and the thumb follow the point; field drag begins
//   press in the bar          → saturation follows the point; bar drag begins
//   after a press             → notification 27 (wParam = the colour) when the colour differs from the
//                               last one reported or set
//   move, field drag (held)   → as a press in the field; points outside the field are ignored
//   move, bar drag            → saturation follows; notification 27 with wParam 0 on every move
//   release                   → both drags end
// Owners read GetSelectColor on every 27.

#include "ui/framework/m_control_font.h"

class MPalette : public MControlFont {
public:
    static constexpr unsigned kNotifyColor = 27;
    static constexpr int kDefaultHue = 180;
    static constexpr int kDefaultSaturation = 200;
    static constexpr int kDefaultLightness = 120;
    static constexpr int kMinLightness = 20;
    static constexpr int kDefaultFieldHeight = 150;
    static constexpr int kDefaultBarWidth = 16;
    static constexpr ARGB kDisabledCover = 0x0A808080;

    MPalette(MObject* parent, unsigned id, CRect rect, int visible);

    // --- MControl ---
    int InitControl(PaintManager* manager) override;
    void SetControlRect(CRect rect) override;
    void SetControlEnabled(int enabled) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    int OnControlMouseMove(unsigned flags, CPoint point) override;
    int OnControlLButtonDown(unsigned flags, CPoint point) override;
    int OnControlLButtonUp(unsigned flags, CPoint point) override;

    COLORREF GetSelectColor() const;
    // Takes the colour's hue, saturation and lightness (a colour read back may differ by rounding), puts
    // the thumb over it and remembers it as reported; no notification.
    void SetSelectColor(unsigned long colour);
    // The bar's thumb: a skin file of 4 frames, read directly (not through the window's cache); 1 when it
    // loads.
    int SetThumbImage(const wchar_t* file);
    void SetPalletHeight(int height);
    int GetPalletHeight() const { return m_fieldHeight; }

    int GetHue() const { return m_hue; }
    int GetSaturation() const { return m_saturation; }
    int GetLightness() const { return m_lightness; }
    CRect GetFieldRect() const { return m_field; }
    CRect GetBarRect() const { return m_bar; }
    CPoint GetThumbPos() const { return m_thumb; }

private:
    void Layout();
    void PlaceThumb();
    void UpdateFieldData();
    void UpdateBarData();
    void FollowField(CPoint point);
    void FollowBar(CPoint point);
    void ReportIfChanged();
    void DrawBarThumb(Graphics* g, int left, int centreY) const;

    int m_hue = kDefaultHue;
    int m_saturation = kDefaultSaturation;
    int m_lightness = kDefaultLightness;
    int m_fieldHeight = kDefaultFieldHeight;
    int m_barWidth = kDefaultBarWidth;
    CRect m_field;
    CRect m_bar;
    CPoint m_thumb;
    COLORREF m_lastColor = 0;
    bool m_dragField = false;
    bool m_dragBar = false;
    // The field (columns 0–359, rows: lightness 0–199) and, from column kBarColumn, the bar (rows:
    // saturation 0–199), computed once and stretched when drawn.
    Surface m_pixels;
    ImagePtr m_thumbImage;
};
