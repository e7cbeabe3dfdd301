#include "ui/framework/rk_timer.h"

#include <algorithm>

#include "ui/framework/window_system.h"

int RKTimer::m_bIsTmierOK = 0;
unsigned RKTimer::m_uAccuracy = 1;

namespace {

std::vector<RKTimer*>& Registry()
{
    static std::vector<RKTimer*> registry;
    return registry;
}

} // namespace

RKTimer::RKTimer()
{
    Registry().push_back(this);
}

RKTimer::~RKTimer()
{
    KillTimer();
    std::erase(Registry(), this);
    if (Registry().empty())
        m_bIsTmierOK = 0;
}

int RKTimer::SetTimer(unsigned periodMs, CString name, int appFlag)
{
    return Start(periodMs, std::move(name), appFlag, false);
}

int RKTimer::SetPausedTimer(unsigned periodMs, CString name, int appFlag)
{
    return Start(periodMs, std::move(name), appFlag, true);
}

int RKTimer::Start(unsigned periodMs, CString name, int appFlag, bool paused)
{
    if (!m_bIsTmierOK) {
        // The schedule runs on a millisecond clock: the finest period it can keep is 1 ms.
        m_uAccuracy = 1;
        m_bIsTmierOK = 1;
    }
    const unsigned id = WindowSystem::StartMmTimer(periodMs, &RKTimer::TimerCallProc, paused);
    m_entries.push_back({id, std::move(name), appFlag, paused});
    return static_cast<int>(id);
}

void RKTimer::PauseTimer(unsigned id)
{
    SetPaused(id, true);
}

void RKTimer::ResumeTimer(unsigned id)
{
    SetPaused(id, false);
}

void RKTimer::SetPaused(unsigned id, bool paused)
{
    const auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [id](const Entry& e) { return e.id == id; });
    if (!id || it == m_entries.end() || it->paused == paused)
        return;
    it->paused = paused;
    WindowSystem::PauseMmTimer(id, paused);
}

int RKTimer::IsTimerPaused(unsigned id) const
{
    const Entry* e = FindEntry(id);
    return e && e->paused ? 1 : 0;
}

int RKTimer::KillTimer(unsigned id)
{
    const auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [id](const Entry& e) { return e.id == id; });
    if (it != m_entries.end()) {
        if (it->id)
            WindowSystem::StopMmTimer(it->id);
        m_entries.erase(it);
    }
    return static_cast<int>(m_entries.size());
}

int RKTimer::KillTimer(const CString& name)
{
    const auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [&name](const Entry& e) { return e.name == name; });
    if (it != m_entries.end()) {
        if (it->id)
            WindowSystem::StopMmTimer(it->id);
        m_entries.erase(it);
    }
    return static_cast<int>(m_entries.size());
}

void RKTimer::KillTimer()
{
    for (const Entry& e : m_entries) {
        if (e.id)
            WindowSystem::StopMmTimer(e.id);
    }
    m_entries.clear();
}

const RKTimer::Entry* RKTimer::FindEntry(unsigned id) const
{
    const auto it =
        std::find_if(m_entries.begin(), m_entries.end(), [id](const Entry& e) { return e.id == id; });
    return it == m_entries.end() ? nullptr : &*it;
}

int RKTimer::GetTimerIsRun(unsigned id) const
{
    return id && FindEntry(id) ? 1 : 0;
}

int RKTimer::GetTimerIsRun(const CString& name) const
{
    return std::any_of(m_entries.begin(), m_entries.end(),
                       [&name](const Entry& e) { return e.id && e.name == name; })
               ? 1
               : 0;
}

int RKTimer::IsAppTimer(unsigned id) const
{
    const Entry* e = FindEntry(id);
    return e ? e->appFlag : 0;
}

CString RKTimer::GetTimerName(unsigned id) const
{
    const Entry* e = FindEntry(id);
    return e ? e->name : CString();
}

RKTimer* RKTimer::GetFSTimer(unsigned id)
{
    if (!id)
        return nullptr;
    for (RKTimer* timer : Registry()) {
        if (timer->FindEntry(id))
            return timer;
    }
    return nullptr;
}

void RKTimer::TimerCallProc(unsigned id)
{
    RKTimer* timer = GetFSTimer(id);
    if (!timer)
        return;
    timer->OnMTimer(id);
    // The plain tick may have killed the timer or even its owner.
    timer = GetFSTimer(id);
    if (!timer)
        return;
    const Entry* e = timer->FindEntry(id);
    if (e && e->appFlag) {
        const CString name = e->name;
        timer->OnMTimer(id, name);
    }
}
