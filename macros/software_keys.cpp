#include "macros/software_keys.h"

#include <algorithm>
#include <array>

#include "device/key_codes.h"
#include "device/protocol_encoding.h"
#include "keys/key_assignments.h"
#include "macros/filter_key_list.h"

namespace {

constexpr int kAssignmentMouse = 5;
constexpr int kFirstMediaCode = 232;
constexpr int kLastMediaCode = 249;

// Mouse values of an assignment: 1 left, 2 middle, 3 right, 7 button 4, 8 button 5.
uint8_t MouseButtonOf(int value)
{
    switch (value) {
    case 1:
        return VHidev::kButtonLeft;
    case 2:
        return VHidev::kButtonMiddle;
    case 3:
        return VHidev::kButtonRight;
    case 7:
        return VHidev::kButton5;
    case 8:
        return VHidev::kButton4;
    default:
        return 0;
    }
}

bool IsMediaCode(int code)
{
    return code >= kFirstMediaCode && code <= kLastMediaCode;
}

} // namespace

SoftwareKeys::SoftwareKeys(const Backends& backends, std::string deviceName)
    : m_virtualDevice(backends.virtualDevice), m_filter(backends.filter), m_database(backends.database),
      m_clock(backends.clock), m_installer(backends.installer),
      m_vhidev(backends.virtualDevice, std::move(deviceName)), m_monitor(backends.filter)
{
    m_monitor.SetCrashHandler([this] { m_vhidev.ReleaseAll(); });
}

SoftwareKeys::~SoftwareKeys()
{
    Exit();
}

// --- Start, refresh and exit ---

SoftwareKeyStatus SoftwareKeys::StartVirtualDevice(const AskInstall& ask)
{
    if (m_closing)
        return m_status;
    bool found = FindVirtualDevice();
    if (!found && m_vhidev.LastAccess() != DeviceAccess::Failed && OfferDriverInstall(ask))
        return m_status; // the installation opened what it could
    {
        std::lock_guard lock(m_refreshLock);
        found = found || FindVirtualDevice();
        if (found) {
            m_vhidev.ReleaseAll();
            m_monitor.Register(
                std::make_unique<HidUsbFilter::MonitorProxy<SoftwareKeys>>(this, &SoftwareKeys::OnFilterKey));
            OpenFilterLocked();
        }
    }
    SetStatus(CurrentStatus());
    return m_status;
}

bool SoftwareKeys::OpenFilterLocked()
{
    return m_filter.IsOpen() || m_filter.Open();
}

bool SoftwareKeys::OfferDriverInstall(const AskInstall& ask)
{
    if (m_closing || !m_installer || m_installOffered.exchange(true))
        return false;
    if (!ask || !ask() || !m_installer->Install())
        return false;
    {
        std::lock_guard lock(m_refreshLock);
        if (FindVirtualDevice()) {
            m_vhidev.ReleaseAll();
            m_monitor.Register(
                std::make_unique<HidUsbFilter::MonitorProxy<SoftwareKeys>>(this, &SoftwareKeys::OnFilterKey));
            OpenFilterLocked();
            if (m_haveProfile)
                RefreshLocked(m_profile, m_fnLayer);
        }
    }
    SetStatus(CurrentStatus());
    return true;
}

bool SoftwareKeys::FindVirtualDevice()
{
    return m_vhidev.FindVirtualDevice();
}

void SoftwareKeys::RefreshSoftwareKeys(int profile, int fnLayer)
{
    if (m_closing)
        return;
    {
        std::lock_guard lock(m_refreshLock);
        m_haveProfile = true;
        m_profile = profile;
        m_fnLayer = fnLayer;
        RefreshLocked(profile, fnLayer);
    }
    SetStatus(CurrentStatus());
}

void SoftwareKeys::RefreshLocked(int profile, int fnLayer)
{
    StopMonitorLocked();
    SendClear();

    KeyAssignmentList rows;
    m_database.ListKeyAssignments(profile, fnLayer, rows);
    // A row the program cannot carry out (from an old or foreign profile file) leaves its key alone.
    const KeyExtraLookup records = KeyExtrasOf(m_database);
    std::erase_if(rows, [&](const auto& row) { return !IsSoundAssignment(*row, records); });
    if (rows.size() > kFilterListEntries)
        rows.resize(kFilterListEntries);
    {
        std::lock_guard lock(m_tableLock);
        m_table.clear();
        for (const auto& row : rows)
            m_table[row->key_code] = *row;
    }
    const FilterKeyList list = BuildFilterKeyList(rows);
    m_filter.Control(KeyFilterDevice::kSetKeyList, list);

    m_monitor.Stop();
    m_filter.Control(KeyFilterDevice::kArm, {});
    m_filter.Control(KeyFilterDevice::kStart, {});
    m_monitor.Start();
}

void SoftwareKeys::StopMonitor()
{
    std::lock_guard lock(m_refreshLock);
    StopMonitorLocked();
}

// A key seen down by the stopped monitor would otherwise stay down until its release arrives, which
// may be never (the key may no longer be watched).
void SoftwareKeys::StopMonitorLocked()
{
    m_monitor.Stop();
    m_vhidev.ReleaseAll();
}

void SoftwareKeys::SendClear()
{
    const std::array<uint8_t, kFilterClearLength> zeros{};
    m_filter.Control(KeyFilterDevice::kSetKeyList, zeros);
}

void SoftwareKeys::Exit()
{
    if (m_closing.exchange(true))
        return;
    m_stop = true;
    {
        std::lock_guard lock(m_refreshLock);
        StopMonitorLocked();
        if (m_filter.IsOpen()) {
            SendClear();
            m_filter.Close();
        }
    }
    // A playing macro notices the exit within one stop check.
    {
        std::unique_lock lock(m_playLock);
        m_playEnded.wait_for(lock, std::chrono::seconds(1), [this] { return !m_playing; });
    }
    // A text being typed stops after its current step.
    if (m_typingThread.joinable())
        m_typingThread.join();
    m_vhidev.ReleaseAll();
    m_vhidev.Close();
}

SoftwareKeyStatus SoftwareKeys::CurrentStatus() const
{
    if (!m_virtualDevice.IsOpen())
        return SoftwareKeyStatus::NoVirtualDevice;
    if (!m_filter.IsOpen())
        return SoftwareKeyStatus::NoFilter;
    if (m_filter.KeyboardAccessDenied())
        return SoftwareKeyStatus::NoKeyboardAccess;
    return SoftwareKeyStatus::Active;
}

void SoftwareKeys::SetStatus(SoftwareKeyStatus status)
{
    if (m_status.exchange(status) != status && m_statusChanged)
        m_statusChanged(status);
}

// --- Key events ---

int SoftwareKeys::OnFilterKey(int keyCode, bool pressed)
{
    if (pressed && m_loopType == kLoopUntilNextPress) {
        m_stop = true;
        m_loopType = 0;
    }
    KeyAssignmentRow row;
    {
        std::lock_guard lock(m_tableLock);
        const auto it = m_table.find(keyCode);
        if (it == m_table.end())
            return 0;
        row = it->second;
    }
    RunAssignment(row, pressed);
    return 0;
}

void SoftwareKeys::RunAssignment(const KeyAssignmentRow& row, bool pressed)
{
    if (m_closing)
        return;
    const int value = row.macro_value;
    switch (row.macro_type) {
    case kAssignmentKey:
        if (!FindVirtualDevice())
            return;
        if (value >= 0 && value < kFirstMediaCode)
            m_vhidev.SetKey(static_cast<unsigned>(value), pressed);
        else if (IsMediaCode(value))
            m_vhidev.SetConsumerUsage(pressed ? ConsumerUsageOf(static_cast<unsigned>(value)) : 0);
        return;
    case kAssignmentMouse:
        if (!FindVirtualDevice())
            return;
        if (const uint8_t button = MouseButtonOf(value))
            m_vhidev.SetMouseButtons(button, pressed);
        return;
    case kAssignmentShortcut:
        if (!pressed || !FindVirtualDevice())
            return;
        PlayShortcut(value);
        m_vhidev.ReleaseAll();
        return;
    case kAssignmentMacro:
        if (pressed) {
            // Under the lock, so a worker that starts the macro at once finds its key held.
            std::lock_guard lock(m_queuedKeyLock);
            if (m_macroQueue && m_macroQueue(value)) {
                m_queuedMacroKey = row.key_code;
                m_queuedKeyHeld = true;
            }
        } else {
            {
                std::lock_guard lock(m_queuedKeyLock);
                if (row.key_code == m_queuedMacroKey)
                    m_queuedKeyHeld = false;
            }
            if (m_loopType == kLoopUntilReleased)
                m_stop = true;
        }
        return;
    case 8:
    case 9:
    case 10:
    case 11:
        if (m_otherAssignment)
            m_otherAssignment(row, pressed);
        return;
    default:
        return;
    }
}

void SoftwareKeys::ReleaseAll()
{
    m_vhidev.ReleaseAll();
}

// --- Typing ---

bool SoftwareKeys::TypeKeys(std::vector<CharacterKey> keys)
{
    if (m_closing || keys.empty())
        return false;
    {
        std::lock_guard lock(m_typingLock);
        if (m_typing)
            return false;
    }
    // The last text has been typed: its thread is ending or gone.
    if (m_typingThread.joinable())
        m_typingThread.join();
    if (!FindVirtualDevice())
        return false;
    {
        std::lock_guard lock(m_typingLock);
        m_typing = true;
    }
    m_typingThread = std::thread([this, keys = std::move(keys)] {
        TypeKeysNow(keys);
        std::lock_guard lock(m_typingLock);
        m_typing = false;
    });
    return true;
}

bool SoftwareKeys::IsTyping() const
{
    std::lock_guard lock(m_typingLock);
    return m_typing;
}

void SoftwareKeys::TypeKeysNow(const std::vector<CharacterKey>& keys)
{
    const auto step = [this](unsigned usage, bool pressed) {
        m_vhidev.SetKey(usage, pressed);
        m_clock.SleepFor(kTypingStepDelay);
    };
    for (const CharacterKey& key : keys) {
        if (m_closing)
            return;
        if (key.shift)
            step(CharacterKeySource::kLeftShiftUsage, true);
        if (key.altGr)
            step(CharacterKeySource::kRightAltUsage, true);
        step(key.usage, true);
        step(key.usage, false);
        if (key.altGr)
            step(CharacterKeySource::kRightAltUsage, false);
        if (key.shift)
            step(CharacterKeySource::kLeftShiftUsage, false);
    }
}

// --- Playback ---

void SoftwareKeys::PlayShortcut(int value)
{
    for (const ShortcutEvent& event : ShortcutEvents(value)) {
        m_vhidev.SetKey(event.usage, !event.release);
        m_clock.SleepFor(kShortcutStepDelay);
    }
}

void SoftwareKeys::PlayMacro(int macroId)
{
    {
        std::lock_guard lock(m_playLock);
        if (m_closing || m_playing)
            return;
        m_playing = true;
    }
    PlayMacroPasses(macroId);
    std::lock_guard lock(m_playLock);
    m_playing = false;
    m_playEnded.notify_all();
}

void SoftwareKeys::PlayMacroPasses(int macroId)
{
    if (!FindVirtualDevice())
        return;
    m_vhidev.ReleaseAll();
    MacroRow macro;
    if (!m_database.GetMacro(macroId, macro))
        return;
    m_stop = false;
    m_loopType = macro.loop_type;
    bool loops = macro.loop_type == kLoopUntilReleased || macro.loop_type == kLoopUntilNextPress;
    int passes = std::clamp(macro.play_times, 1, kMaxPlayTimes);
    bool keyHeld;
    {
        std::lock_guard lock(m_queuedKeyLock);
        keyHeld = m_queuedKeyHeld;
    }
    // A tap shorter than the wait in the queue: the release that should stop the loop came first.
    if (macro.loop_type == kLoopUntilReleased && !keyHeld) {
        loops = false;
        passes = 1;
    }
    for (int pass = 0; loops || pass < passes; ++pass) {
        const bool complete = PlayPass(macroId);
        m_vhidev.ReleaseAll();
        if (!complete || StopRequested())
            break;
    }
    m_stop = false;
    m_loopType = 0;
}

bool SoftwareKeys::PlayPass(int macroId)
{
    MacroRecordList records;
    // Read anew for every pass: the macro may be edited while it loops. Without records there is
    // nothing to repeat.
    if (m_database.ListMacroRecords(macroId, records) == 0)
        return false;
    for (const auto& record : records) {
        const unsigned usage = VirtualKeyToKeyCode(static_cast<unsigned>(record->value));
        const bool pressed = record->type == 2;
        if (IsMediaCode(static_cast<int>(usage)))
            m_vhidev.SetConsumerUsage(pressed ? ConsumerUsageOf(usage) : 0);
        else if (usage != 0)
            m_vhidev.SetKey(usage, pressed);
        const auto delay = std::max(std::chrono::milliseconds(record->delay_time), kMinimumRecordDelay);
        if (!PausePlayback(delay) || StopRequested())
            return false;
    }
    return true;
}

bool SoftwareKeys::PausePlayback(std::chrono::milliseconds delay)
{
    const MonotonicClock::TimePoint end = m_clock.Now() + delay;
    while (true) {
        if (StopRequested())
            return false;
        const auto left = end - m_clock.Now();
        if (left <= MonotonicClock::Duration::zero())
            return true;
        m_clock.SleepFor(std::min<MonotonicClock::Duration>(left, kStopCheckInterval));
    }
}
