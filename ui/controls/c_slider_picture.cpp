#include "ui/controls/c_slider_picture.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>

#include "core/virtual_keys.h"
#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"
#include "ui/framework/window_system.h"

namespace {

constexpr int kDot = 6;
constexpr int kDotGap = 6;
constexpr int kDotMargin = 8;

} // namespace

CSliderPicture::CSliderPicture(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_tabStop = 1;
}

int CSliderPicture::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    AddMTimer();
    return 1;
}

void CSliderPicture::SlideTo(int index, int animate)
{
    const int n = GetPictureCount();
    if (n <= 0)
        return;
    const int target = ((index % n) + n) % n;
    if (target == m_current && !m_sliding)
        return;
    m_direction = index > m_current ? 1 : -1;
    m_from = m_current;
    m_current = target;
    m_sliding = animate != 0 && n > 1;
    m_slideStart = WindowSystem::NowMs();
    SetRunTimer(m_sliding ? 1 : 0);
    UpdateControl();
    SendMessageW(kNotifyIndex, static_cast<unsigned>(m_current), 0);
}

double CSliderPicture::Progress() const
{
    if (!m_sliding)
        return 1.0;
    const double t =
        std::clamp(static_cast<double>(WindowSystem::NowMs() - m_slideStart) / kSlideMs, 0.0, 1.0);
    // Eases out: quick at first, settling at the end.
    return 1.0 - (1.0 - t) * (1.0 - t);
}

int CSliderPicture::OnControlTimer(unsigned key)
{
    if (key != kAnimationTimerKey || !m_sliding)
        return 0;
    if (WindowSystem::NowMs() - m_slideStart >= kSlideMs) {
        m_sliding = false;
        SetRunTimer(0);
    }
    UpdateControl();
    return 1;
}

int CSliderPicture::OnControlLButtonDown(unsigned /*flags*/, CPoint point)
{
    if (!m_enabled || !PtInRect(point))
        return 0;
    const int x = point.x - m_rect.left;
    if (x < m_rect.Width() / 3)
        Prev();
    else if (x >= m_rect.Width() * 2 / 3)
        Next();
    return 1;
}

int CSliderPicture::OnControlKeyDown(unsigned key, unsigned /*repeat*/, unsigned modifiers)
{
    if (!m_focused || !m_enabled || modifiers != 0)
        return 0;
    if (key == VK_LEFT)
        Prev();
    else if (key == VK_RIGHT)
        Next();
    else
        return 0;
    return 1;
}

void CSliderPicture::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        const CRect all(0, 0, w, h);
        const int n = GetPictureCount();
        if (n == 0) {
            FallbackLook::RoundRect(g, all, 4, FallbackLook::kPanel, FallbackLook::kPanelEdge);
        } else {
            cairo_save(g);
            cairo_rectangle(g, 0, 0, w, h);
            cairo_clip(g);
            auto picture = [&](int index, int dx) {
                const CRect source(index * m_imageWidth, 0, (index + 1) * m_imageWidth, m_imageHeight);
                MRender::DrawImage(g, m_image.get(), CRect(dx, 0, dx + w, h), source);
            };
            const int shift = static_cast<int>(std::lround(Progress() * w));
            if (m_sliding) {
                // The old picture leaves on one side while the new one comes in from the other.
                picture(m_from, -m_direction * shift);
                picture(m_current, m_direction * (w - shift));
            } else {
                picture(m_current, 0);
            }
            cairo_restore(g);
            const int dotsWidth = n * kDot + (n - 1) * kDotGap;
            int x = (w - dotsWidth) / 2;
            for (int i = 0; i < n; ++i, x += kDot + kDotGap) {
                const CRect dot(x, h - kDotMargin - kDot, x + kDot, h - kDotMargin);
                FallbackLook::RoundRect(g, dot, kDot / 2.0,
                                        i == m_current ? FallbackLook::kAccent : 0xB0FFFFFF, 0x60000000);
            }
        }
    }
    CopyMemDC(hdc, clip);
}
