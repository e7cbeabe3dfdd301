#pragma once
// A set of periodic timers owned by one object (periods of 1 ms and up). Ticks run on the UI thread:
// the process's one timer thread only keeps the schedule and hands each due tick to the UI thread's
// queue, at most one waiting tick per timer. Create, kill and tick all happen on the UI thread, so the
// entries and the live-timer registry need no lock.

#include <vector>

#include "core/wide_text.h"

class RKTimer {
public:
    RKTimer();
    virtual ~RKTimer();
    RKTimer(const RKTimer&) = delete;
    RKTimer& operator=(const RKTimer&) = delete;

    // Starts a timer; its id, or 0 when it could not start (the entry is still recorded, with id 0).
    int SetTimer(unsigned periodMs, CString name = CString(), int appFlag = 0);
    // The same, paused from the start.
    int SetPausedTimer(unsigned periodMs, CString name = CString(), int appFlag = 0);
    // A paused timer keeps its id and entry (it still counts as running) but is off the schedule: no
    // tick, and nothing wakes for it. Resuming puts its next tick one period away. Unknown ids and
    // timers already in that state are left alone.
    void PauseTimer(unsigned id);
    void ResumeTimer(unsigned id);
    int IsTimerPaused(unsigned id) const;
    // Each stops the first matching timer and returns how many timers are left; an unknown id or name
    // changes nothing.
    int KillTimer(unsigned id);
    int KillTimer(const CString& name);
    void KillTimer();
    int GetTimerIsRun(unsigned id) const;
    int GetTimerIsRun(const CString& name) const;
    // The entry's application flag; 0 for an unknown id.
    int IsAppTimer(unsigned id) const;
    // Empty for an unknown id.
    CString GetTimerName(unsigned id) const;
    size_t TimerCount() const { return m_entries.size(); }

    // The live timer object that owns id, or null.
    static RKTimer* GetFSTimer(unsigned id);
    // A tick of timer id: the plain tick, then the named one when the entry's application flag is set.
    static void TimerCallProc(unsigned id);

    // The named tick, for entries with the application flag.
    virtual void OnMTimer(unsigned /*id*/, CString /*name*/) {}

protected:
    // The plain tick, for every entry.
    virtual void OnMTimer(unsigned /*id*/) {}

    // Whether the timer resolution has been set up, and the resolution in milliseconds.
    static int m_bIsTmierOK;
    static unsigned m_uAccuracy;

private:
    struct Entry {
        unsigned id = 0;
        CString name;
        int appFlag = 0;
        bool paused = false;
    };
    int Start(unsigned periodMs, CString name, int appFlag, bool paused);
    void SetPaused(unsigned id, bool paused);
    const Entry* FindEntry(unsigned id) const;

    std::vector<Entry> m_entries;
};
