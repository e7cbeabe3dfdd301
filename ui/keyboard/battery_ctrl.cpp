#include "ui/keyboard/battery_ctrl.h"

#include <algorithm>
#include <cairo.h>

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"

namespace {

constexpr CSize kStandInOutline(40, 20);

CString LevelText(int level)
{
    return FormatText(L"%d%%", level);
}

} // namespace

BatteryCtrl::BatteryCtrl(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, LevelText(kDefaultLevel).c_str(), visible, enabled, 1)
{
    m_fontSize = kFontSize;
    m_imageCount = 1;
}

int BatteryCtrl::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    m_levelPicture.Reload(manager);
    m_chargeIcon.Reload(manager);
    return 1;
}

int BatteryCtrl::SetImage(const wchar_t* file, int /*count*/)
{
    return MControlFont::SetImage(file, 1);
}

int BatteryCtrl::SetBatteryIcon(const wchar_t* levelFile, const wchar_t* chargeFile)
{
    m_levelPicture.Load(m_manager, levelFile ? levelFile : L"", 1);
    m_chargeIcon.Load(m_manager, chargeFile ? chargeFile : L"", 1);
    UpdateControl();
    return 1;
}

void BatteryCtrl::SetBatteryInfo(int level, int charging)
{
    level = std::clamp(level, 0, 100);
    charging = charging ? 1 : 0;
    if (level == m_level && charging == m_charging)
        return;
    m_level = level;
    m_charging = charging;
    if (!m_charging && m_level != 0)
        m_title = LevelText(m_level);
    UpdateControl();
}

CSize BatteryCtrl::OutlineSize() const
{
    if (m_image && m_imageWidth > 0)
        return {m_imageWidth, m_imageHeight};
    return {kStandInOutline.cx, std::min(kStandInOutline.cy, m_rect.Height())};
}

void BatteryCtrl::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h) && m_memDC.IsValid()) {
        GraphicsOn g(m_memDC);
        const CSize outline = OutlineSize();
        if (m_image && m_imageWidth > 0)
            DrawImageFrameAt(g, 0, CRect(0, 0, outline.cx, outline.cy));
        else
            FallbackLook::RoundRect(g, CRect(0, 0, outline.cx, outline.cy), 3, 0, FallbackLook::kText);
        if (m_charging) {
            if (m_chargeIcon) {
                const CSize icon = m_chargeIcon.FrameSize();
                const int x = outline.cx + kChargeGap;
                const int y = (h - icon.cy) / 2;
                m_chargeIcon.Draw(g, 0, CRect(x, y, x + icon.cx, y + icon.cy));
            } else {
                // A bolt beside the outline.
                const double x = outline.cx + kChargeGap;
                const double y = (h - outline.cy) / 2.0;
                cairo_move_to(g, x + 7, y);
                cairo_line_to(g, x + 1, y + outline.cy * 0.55);
                cairo_line_to(g, x + 5, y + outline.cy * 0.55);
                cairo_line_to(g, x + 3, y + outline.cy);
                cairo_line_to(g, x + 10, y + outline.cy * 0.4);
                cairo_line_to(g, x + 6, y + outline.cy * 0.4);
                cairo_close_path(g);
                SetSourceARGB(g, FallbackLook::kAccent);
                cairo_fill(g);
            }
        } else if (m_levelPicture) {
            const CSize level = m_levelPicture.FrameSize();
            const int shown = m_level * level.cx / 100;
            MRender::DrawImage(g, m_levelPicture.image.get(), CRect(0, 0, shown, level.cy),
                               CRect(0, 0, shown, level.cy));
        } else {
            const int shown = m_level * (outline.cx - 4) / 100;
            MRender::DrawColor(&m_memDC, CRect(2, 2, 2 + shown, outline.cy - 2), FallbackLook::kAccent);
        }
        if (!m_charging && m_level != 0) {
            StringFormat format;
            format.alignment = StringAlignmentCenter;
            format.lineAlignment = StringAlignmentCenter;
            format.flags = StringFormatFlagsNoWrap;
            MRender::DrawString(g, LevelText(m_level), DrawFont(), CRect(0, 0, outline.cx, h), format,
                                m_textColor, m_hint);
        }
    }
    CopyMemDC(hdc, clip);
}
