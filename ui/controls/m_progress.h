#pragma once
// MProgress ("MProgress"): a progress bar. Its strip has two frames, the empty bar and the full one,
// nine-sliced over the control (corner 4); the full one is shown over the left progress ÷ max of the
// width. With text on, "%d%%" is drawn centred. Without a strip a flat bar in the theme's colours stands
// in. It sends nothing.

#include "ui/framework/m_control_font.h"

class MProgress : public MControlFont {
public:
    static constexpr int kCorner = 4;

    MProgress(MObject* parent, unsigned id, CRect rect, int visible, int enabled);

    void DrawControl(HDC& hdc, CRect clip) override;

    // Kept within 0…max.
    void SetProgress(int progress);
    int GetProgress() const { return m_progress; }
    // At least 1; the progress is kept within it.
    void SetMaxProgress(int max);
    int GetMaxProgress() const { return m_max; }
    void SetShowText(int on);
    // The width of the filled part for a bar of the given width.
    int FilledWidth(int width) const;

private:
    int m_progress = 0;
    int m_max = 100;
    int m_showText = 0;
};
