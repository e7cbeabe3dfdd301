#pragma once
// UpgradeButton ("UpgradeButton", made by panels only): the settings page's update buttons. A push button
// (states, press and release as MPushControl) whose picture frames are drawn as they are when their size is
// the button's, else nine-sliced; the title centred and bold. While the upgrade status is nonzero every
// frame carries a badge: a red disc with "1" at the top-right corner.

#include "ui/controls/m_push_control.h"

class UpgradeButton : public MPushControl {
public:
    static constexpr int kDefaultCorner = 8;
    static constexpr int kBadgeSize = 16;
    static constexpr ARGB kBadgeColor = 0xFFFF0000;
    static constexpr int kBadgeFontSize = 8;

    UpgradeButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible, int enabled);

    // A repaint when it changes.
    void SetUpgradeStatus(int status);
    int GetUpgradeStatus() const { return m_status; }
    // The nine-slice corner size.
    void SetFrameSize(int size);

protected:
    void DrawStateFrame(Graphics* g, int frame, const CRect& rect) override;

private:
    void DrawBadge(Graphics* g, const CRect& rect);

    int m_corner = kDefaultCorner;
    int m_status = 0;
};
