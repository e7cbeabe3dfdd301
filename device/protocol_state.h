#pragma once
// What the command protocol remembers from one job to the next. Threads meet here: the lighting page
// (UI thread) clears the mode-sent flag, the worker runs the jobs that read and set the rest.
//
//   mode-sent flag    output-report family: clear -> the next lighting apply sends the mode (0x88),
//                     set -> it sends the parameters (0x89). Cleared when the user picks a mode, set
//                     after every lighting apply. Starts clear.
//   stream-started    set after the first F0 F4 01; it stays set for the rest of the process.
//   key-to-slot table output-report family: key code -> macro slot, rebuilt by every macro upload and
//                     read by the key map download that follows it.

#include <atomic>
#include <mutex>

#include "device/key_buffers.h"

class ProtocolState {
public:
    bool ModeSent() const { return m_modeSent.load(); }
    void ClearModeSent() { m_modeSent.store(false); }
    void SetModeSent() { m_modeSent.store(true); }

    bool StreamStarted() const { return m_streamStarted.load(); }
    void SetStreamStarted() { m_streamStarted.store(true); }

    KeySlotTable KeySlots() const;
    void ReplaceKeySlots(KeySlotTable slots);

private:
    std::atomic<bool> m_modeSent{false};
    std::atomic<bool> m_streamStarted{false};
    mutable std::mutex m_slotsLock;
    KeySlotTable m_keySlots;
};
