#include "ui/controls/c_timer_button.h"

#include <algorithm>

#include "ui/controls/fallback_look.h"
#include "ui/framework/m_render.h"
#include "ui/framework/window_system.h"

namespace {

constexpr int kBarHeight = 3;

} // namespace

CTimerButton::CTimerButton(MObject* parent, unsigned id, CRect rect, const wchar_t* title, int visible,
                           int enabled)
    : MPushControl(parent, id, rect, title, visible, enabled)
{
    m_hAlign = 1;
}

int CTimerButton::InitControl(PaintManager* manager)
{
    MPushControl::InitControl(manager);
    AddMTimer();
    return 1;
}

void CTimerButton::StartTimer()
{
    m_running = true;
    m_start = WindowSystem::NowMs();
    SetRunTimer(1);
    Redraw();
}

void CTimerButton::StopTimer()
{
    if (!m_running)
        return;
    m_running = false;
    SetRunTimer(0);
    Redraw();
}

void CTimerButton::SetControlEnabled(int enabled)
{
    MPushControl::SetControlEnabled(enabled);
    if (!enabled)
        StopTimer();
}

int64_t CTimerButton::RemainingMs() const
{
    return m_running ? std::max<int64_t>(kDurationMs - (WindowSystem::NowMs() - m_start), 0) : 0;
}

int CTimerButton::OnControlTimer(unsigned key)
{
    if (key != kAnimationTimerKey || !m_running)
        return 0;
    if (RemainingMs() == 0) {
        StopTimer();
        SendMessageW(kNotifyClick);
        return 1;
    }
    Redraw();
    return 1;
}

void CTimerButton::DrawStateFrame(Graphics* g, int frame, const CRect& rect)
{
    if (m_image)
        DrawImageFrameAt(g, frame, rect);
    else
        FallbackLook::ButtonFace(g, rect, frame);
    const ARGB colour = m_image ? TitleColour(frame) : FallbackLook::ButtonText(frame);
    if (!m_running) {
        DrawTitleIn(g, rect, colour);
        return;
    }
    const int64_t left = RemainingMs();
    const CString text = FormatText(L"%d s", static_cast<int>((left + 999) / 1000));
    MRender::DrawString(g, text, DrawFont(), rect, TitleFormat(), colour, m_hint);
    const int width = static_cast<int>((rect.Width() - 8) * left / kDurationMs);
    FallbackLook::RoundRect(
        g, CRect(rect.left + 4, rect.bottom - 4 - kBarHeight, rect.left + 4 + width, rect.bottom - 4), 1,
        FallbackLook::kAccent, 0);
}
