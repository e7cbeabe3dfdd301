#pragma once
// BatteryCtrl ("BatteryCtrl", made by windows only): the keyboard's battery in the caption: the outline
// picture at its natural size, the level picture's left level % over it and the level as "%d%%" (also the
// control's title); while charging, the charge icon beside the outline instead of the level. Without its
// pictures it draws a plain battery of the theme's colours.

#include "ui/controls/strip_picture.h"
#include "ui/framework/m_control_font.h"

class BatteryCtrl : public MControlFont {
public:
    static constexpr int kDefaultLevel = 100;
    static constexpr int kFontSize = 14;
    static constexpr int kChargeGap = 5;

    BatteryCtrl(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    // --- MControl ---
    int InitControl(PaintManager* manager) override;
    void DrawControl(HDC& hdc, CRect clip) override;
    // The outline (one frame; the count is not consulted).
    using MControlFont::SetImage;
    int SetImage(const wchar_t* file, int count) override;

    // The level picture and the charge icon (skin files); 1 whether or not they load.
    int SetBatteryIcon(const wchar_t* levelFile, const wchar_t* chargeFile);
    // Level in percent (kept within 0…100) and whether it charges; a repaint when either changes.
    void SetBatteryInfo(int level, int charging);
    int GetBatteryLevel() const { return m_level; }
    int IsCharging() const { return m_charging; }

private:
    // The outline's size: its picture's, or the stand-in's.
    CSize OutlineSize() const;

    StripPicture m_levelPicture;
    StripPicture m_chargeIcon;
    int m_level = kDefaultLevel;
    int m_charging = 0;
};
