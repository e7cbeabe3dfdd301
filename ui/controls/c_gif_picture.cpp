#include "ui/controls/c_gif_picture.h"

#include <algorithm>
#include <cairo.h>
#include <cmath>
#include <numbers>

#include "ui/controls/fallback_look.h"
#include "ui/framework/image.h"
#include "ui/framework/m_render.h"
#include "ui/framework/window_system.h"

CGifPicture::CGifPicture(MObject* parent, unsigned id, CRect rect, int visible, int enabled)
    : MControlFont(parent, id, rect, L"", visible, enabled, 1)
{
    m_imageCount = 1;
    m_runTimer = 1;
    m_frameStart = WindowSystem::NowMs();
}

int CGifPicture::InitControl(PaintManager* manager)
{
    MControlFont::InitControl(manager);
    AddMTimer();
    return 1;
}

int CGifPicture::SetImage(unsigned resId, CString type, int count)
{
    const int loaded = MControlFont::SetImage(resId, std::move(type), count);
    m_frame = 0;
    UpdateRunTimer();
    return loaded;
}

int CGifPicture::SetImage(const wchar_t* file, int count)
{
    const int loaded = MControlFont::SetImage(file, count);
    m_frame = 0;
    UpdateRunTimer();
    return loaded;
}

int CGifPicture::GetFrameCount() const
{
    return m_image ? static_cast<int>(m_image->FrameCount()) : kSpinnerSteps;
}

int CGifPicture::DelayOf(int frame) const
{
    if (!m_image)
        return kSpinnerStepMs;
    const int delay = m_image->FrameDelayMs(static_cast<size_t>(frame));
    return delay >= kMinDelayMs ? delay : kDefaultDelayMs;
}

void CGifPicture::UpdateRunTimer()
{
    SetRunTimer(m_running && GetFrameCount() > 1 ? 1 : 0);
}

void CGifPicture::SetRunState(int run, int frame)
{
    m_running = run != 0;
    m_frame = std::clamp(frame, 0, std::max(GetFrameCount() - 1, 0));
    m_frameStart = WindowSystem::NowMs();
    UpdateRunTimer();
    UpdateControl();
}

void CGifPicture::SetMouseMoveActive(int on)
{
    m_mouseMoveActive = on ? 1 : 0;
    if (m_mouseMoveActive)
        SetRunState(0, 0);
}

void CGifPicture::Advance(int64_t now)
{
    const int n = GetFrameCount();
    if (n < 2)
        return;
    int64_t loop = 0;
    for (int i = 0; i < n; ++i)
        loop += DelayOf(i);
    // After a gap longer than the whole animation (hidden, or a busy window) the picture carries on from
    // the frame it shows instead of racing through the ones it missed.
    if (now - m_frameStart >= loop) {
        m_frameStart = now;
        return;
    }
    while (now - m_frameStart >= DelayOf(m_frame)) {
        m_frameStart += DelayOf(m_frame);
        m_frame = (m_frame + 1) % n;
    }
}

int CGifPicture::OnControlTimer(unsigned key)
{
    if (key != kAnimationTimerKey || !m_running)
        return 0;
    const int before = m_frame;
    Advance(WindowSystem::NowMs());
    if (m_frame != before)
        UpdateControl();
    return 1;
}

int CGifPicture::OnControlMouseMove(unsigned /*flags*/, CPoint point)
{
    if (!m_mouseMoveActive)
        return 0;
    const bool inside = PtInRect(point) != 0;
    if (inside != m_running)
        SetRunState(inside ? 1 : 0, inside ? m_frame : 0);
    return 0;
}

void CGifPicture::DrawSpinner(Graphics* g, const CRect& rect) const
{
    const double size = std::min(rect.Width(), rect.Height()) * 0.6;
    if (size < 6)
        return;
    const double cx = (rect.left + rect.right) / 2.0;
    const double cy = (rect.top + rect.bottom) / 2.0;
    cairo_save(g);
    cairo_set_line_width(g, std::max(2.0, size / 10));
    cairo_set_line_cap(g, CAIRO_LINE_CAP_ROUND);
    for (int i = 0; i < kSpinnerSteps; ++i) {
        const double angle = 2 * std::numbers::pi * i / kSpinnerSteps;
        // The spoke at the current step is brightest; the ones behind it fade out.
        const int behind = (m_frame - i + kSpinnerSteps) % kSpinnerSteps;
        const auto alpha = static_cast<uint8_t>(255 - behind * 200 / kSpinnerSteps);
        SetSourceARGB(g, (static_cast<ARGB>(alpha) << 24) | (FallbackLook::kAccent & 0x00FFFFFF));
        cairo_move_to(g, cx + std::sin(angle) * size * 0.25, cy - std::cos(angle) * size * 0.25);
        cairo_line_to(g, cx + std::sin(angle) * size * 0.5, cy - std::cos(angle) * size * 0.5);
        cairo_stroke(g);
    }
    cairo_restore(g);
}

void CGifPicture::DrawControl(HDC& hdc, CRect clip)
{
    const int w = m_rect.Width();
    const int h = m_rect.Height();
    if (UpdateMemDC(hdc, w, h)) {
        GraphicsOn g(m_memDC);
        if (!m_image) {
            DrawSpinner(g, CRect(0, 0, w, h));
        } else {
            const int iw = m_image->Width();
            const int ih = m_image->Height();
            // Natural size, or scaled down to fit with its proportions kept.
            const double scale = std::min(
                {1.0, static_cast<double>(w) / std::max(iw, 1), static_cast<double>(h) / std::max(ih, 1)});
            const int dw = static_cast<int>(iw * scale);
            const int dh = static_cast<int>(ih * scale);
            const CRect dest((w - dw) / 2, (h - dh) / 2, (w - dw) / 2 + dw, (h - dh) / 2 + dh);
            MRender::DrawImage(g, m_image.get(), dest, CRect(0, 0, iw, ih), static_cast<size_t>(m_frame));
        }
    }
    CopyMemDC(hdc, clip);
}
