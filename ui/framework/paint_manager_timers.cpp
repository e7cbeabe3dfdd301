// PaintManager: control timers (window timers keyed by control and key), the animation tick, and the
// message and progress overlay with its timers.

#include <algorithm>

#include "ui/framework/m_control.h"
#include "ui/framework/paint_manager.h"
#include "ui/framework/window_system.h"

namespace {

// Window-timer ids cycle through 0…239.
constexpr unsigned kTimerIdCycle = 240;
constexpr unsigned kMessageHoldMs = 3000;
constexpr unsigned kFadeStepMs = 50;
constexpr int kFadeStep = 10;
constexpr int kFadeFloor = 20;
constexpr unsigned kProgressStepMs = 10;
constexpr int kProgressStep = 2;
// A progress target closer than this to the shown value is shown at once.
constexpr int kProgressJump = 6;
constexpr int kOverlayHeight = 60;

bool IsReservedTimerId(unsigned id)
{
    return id == 0 || id == PaintManager::kMessageHoldTimer || id == PaintManager::kMessageFadeTimer ||
           id == PaintManager::kProgressTimer || id == PaintManager::kCaretTimer;
}

} // namespace

// --- Control timers ---

unsigned PaintManager::NextTimerId()
{
    // Ids of the overlay and of live entries are passed over: a timer must reach only its own owner.
    for (unsigned tries = 0; tries < kTimerIdCycle; ++tries) {
        const unsigned id = ++m_timerCounter % kTimerIdCycle;
        const bool used =
            std::any_of(m_timers.begin(), m_timers.end(), [id](const ControlTimer& t) { return t.id == id; });
        if (!IsReservedTimerId(id) && !used)
            return id;
    }
    return 0;
}

int PaintManager::SetTimer(MControl* control, unsigned key, unsigned ms)
{
    if (!control || !m_initialized)
        return 0;
    std::lock_guard lock(m_timerLock);
    for (ControlTimer& t : m_timers) {
        if (t.control == control && t.key == key) {
            // The same window timer, restarted with the new period.
            if (!WindowSystem::SetTimer(m_hWnd, t.id, ms, nullptr))
                return 0;
            t.killed = false;
            return static_cast<int>(t.id);
        }
    }
    const unsigned id = NextTimerId();
    if (!id || !WindowSystem::SetTimer(m_hWnd, id, ms, nullptr))
        return 0;
    m_timers.push_back({control, key, id, false});
    return static_cast<int>(id);
}

int PaintManager::KillTimer(MControl* control, unsigned key)
{
    std::lock_guard lock(m_timerLock);
    for (ControlTimer& t : m_timers) {
        if (t.control == control && t.key == key) {
            if (!t.killed && m_initialized)
                WindowSystem::KillTimer(m_hWnd, t.id);
            t.killed = true;
            return 1;
        }
    }
    return 0;
}

int PaintManager::KillTimer(MControl* control)
{
    std::lock_guard lock(m_timerLock);
    int removed = 0;
    std::erase_if(m_timers, [&](const ControlTimer& t) {
        if (t.control != control)
            return false;
        if (!t.killed && m_initialized)
            WindowSystem::KillTimer(m_hWnd, t.id);
        ++removed;
        return true;
    });
    return removed;
}

void PaintManager::ClearTimers()
{
    std::lock_guard lock(m_timerLock);
    for (const ControlTimer& t : m_timers) {
        if (!t.killed && m_initialized)
            WindowSystem::KillTimer(m_hWnd, t.id);
    }
    m_timers.clear();
}

void PaintManager::OnTimer(unsigned id)
{
    switch (id) {
    case kMessageHoldTimer:
        StopWindowTimer(kMessageHoldTimer);
        StartWindowTimer(kMessageFadeTimer, kFadeStepMs);
        return;
    case kMessageFadeTimer:
        if (m_msgAlpha - kFadeStep < kFadeFloor) {
            m_msgAlpha = 0;
            m_shownProgress = m_targetProgress = 0;
            StopWindowTimer(kMessageFadeTimer);
            Invalidate();
        } else {
            m_msgAlpha -= kFadeStep;
            RepaintMessage();
        }
        return;
    case kProgressTimer:
        m_shownProgress = std::min(m_shownProgress + kProgressStep, m_targetProgress);
        RepaintMessage();
        if (m_shownProgress >= m_targetProgress) {
            StopWindowTimer(kProgressTimer);
            if (m_shownProgress >= 100)
                StartWindowTimer(kMessageFadeTimer, kFadeStepMs);
        }
        return;
    case kCaretTimer:
        // Kept clear of control timers; the rich edits' caret blinks in their editor window.
        return;
    default:
        break;
    }
    // Entries are read under the lock; each control is called without it, and only while its entry is
    // still live (a handler may kill or set timers, or remove controls).
    std::vector<std::pair<MControl*, unsigned>> due;
    {
        std::lock_guard lock(m_timerLock);
        for (const ControlTimer& t : m_timers) {
            if (t.id == id && !t.killed)
                due.emplace_back(t.control, t.key);
        }
    }
    for (const auto& [control, key] : due) {
        bool live = false;
        {
            std::lock_guard lock(m_timerLock);
            live = std::any_of(m_timers.begin(), m_timers.end(), [&](const ControlTimer& t) {
                return t.control == control && t.key == key && t.id == id && !t.killed;
            });
        }
        if (live)
            control->OnTimer(key);
    }
}

void PaintManager::StartWindowTimer(unsigned id, unsigned ms)
{
    if (m_initialized)
        WindowSystem::SetTimer(m_hWnd, id, ms, nullptr);
}

void PaintManager::StopWindowTimer(unsigned id)
{
    if (m_initialized)
        WindowSystem::KillTimer(m_hWnd, id);
}

// --- The animation tick ---

unsigned PaintManager::SetMTimer(unsigned ms)
{
    if (m_animationTimer)
        RKTimer::KillTimer(m_animationTimer);
    const int id = AnimationWanted() ? RKTimer::SetTimer(ms) : RKTimer::SetPausedTimer(ms);
    m_animationTimer = static_cast<unsigned>(id);
    return m_animationTimer;
}

void PaintManager::KillMTimer(unsigned id)
{
    RKTimer::KillTimer(id);
    if (id == m_animationTimer)
        m_animationTimer = 0;
}

void PaintManager::KillMTimer()
{
    if (m_animationTimer)
        KillMTimer(m_animationTimer);
}

void PaintManager::AddMTimer(MControl* control)
{
    if (!control)
        return;
    {
        std::lock_guard lock(m_animationLock);
        if (std::find(m_animated.begin(), m_animated.end(), control) != m_animated.end())
            return;
        m_animated.push_back(control);
    }
    CheckMTimer();
}

void PaintManager::DeleteFSTimer(MControl* control)
{
    {
        std::lock_guard lock(m_animationLock);
        if (std::erase(m_animated, control) == 0)
            return;
    }
    CheckMTimer();
}

bool PaintManager::AnimationWanted() const
{
    std::lock_guard lock(m_animationLock);
    return std::any_of(m_animated.begin(), m_animated.end(), [](const MControl* c) {
        return c->IsRunTimer() && c->IsVisible() && c->IsParentVisible();
    });
}

void PaintManager::CheckMTimer()
{
    if (!m_animationTimer)
        return;
    if (AnimationWanted())
        RKTimer::ResumeTimer(m_animationTimer);
    else
        RKTimer::PauseTimer(m_animationTimer);
}

bool PaintManager::IsMTimerRunning() const
{
    return m_animationTimer && !RKTimer::IsTimerPaused(m_animationTimer);
}

void PaintManager::OnMTimer(unsigned id)
{
    if (id != m_animationTimer)
        return;
    ++m_animationTicks;
    WalkScope walk;
    std::vector<MControl*> joined;
    {
        std::lock_guard lock(m_animationLock);
        joined = m_animated;
    }
    bool delivered = false;
    for (MControl* c : joined) {
        bool live = false;
        {
            std::lock_guard lock(m_animationLock);
            live = std::find(m_animated.begin(), m_animated.end(), c) != m_animated.end();
        }
        if (live && c->IsRunTimer() && c->IsVisible() && c->IsParentVisible()) {
            c->OnTimer(kAnimationTimerKey);
            delivered = true;
        }
    }
    // Every change that stops the animation pauses the timer at once; this catches any that did not
    // say so.
    if (!delivered && id == m_animationTimer)
        RKTimer::PauseTimer(id);
}

// --- Message and progress overlay ---

void PaintManager::RepaintMessage()
{
    InvalidateRect(m_msgRect, 0);
}

void PaintManager::SetMessage(const CString& text, CRect rect, MsgLevel level)
{
    StopWindowTimer(kMessageHoldTimer);
    StopWindowTimer(kMessageFadeTimer);
    m_msgAlpha = 255;
    m_shownProgress = m_targetProgress = 0;
    m_msgHasProgress = false;
    m_msgText = text;
    m_msgRect = rect;
    m_msgLevel = level;
    RepaintMessage();
    StartWindowTimer(kMessageHoldTimer, kMessageHoldMs);
}

void PaintManager::SetProgress(int percent, const CString& text, CRect rect)
{
    if (percent == m_targetProgress)
        return;
    if (percent < 5)
        StopWindowTimer(kMessageFadeTimer);
    m_msgAlpha = 255;
    m_msgHasProgress = true;
    m_msgText = text;
    m_targetProgress = percent;
    if (rect.IsRectEmpty()) {
        CRect client;
        GetClientRect(&client);
        rect = CRect(client.left, client.bottom - kOverlayHeight, client.right, client.bottom - 2);
    }
    m_msgRect = rect;
    if (m_targetProgress - m_shownProgress < kProgressJump) {
        m_shownProgress = m_targetProgress;
        RepaintMessage();
        if (m_targetProgress >= 100)
            StartWindowTimer(kMessageFadeTimer, kFadeStepMs);
        return;
    }
    StartWindowTimer(kProgressTimer, kProgressStepMs);
}
