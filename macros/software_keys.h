#pragma once
// Software keys: the key assignments of the current profile carried out on the PC. The key filter
// reports the presses and releases of assigned keys to the monitor thread, which answers through the
// virtual HID keyboard (another key, a media function, a mouse button, a built-in shortcut) or queues
// the key's macro for the worker, which plays it here.
//
// Threads: RefreshSoftwareKeys and StopMonitor come from the UI thread or the worker, OnFilterKey and
// RunAssignment run on the monitor thread, PlayMacro on the worker. Refreshes, stops and the exit are
// serialised; the key table is read under its own lock; the playback state (loop type, stop flag) is
// atomic; the virtual keyboard serialises its channels itself.
//
// Playback rules: loop type 16 repeats until the key that queued the macro goes up (one pass when it
// was already up before playing began), 32 until the next press of any assigned key, any other type
// plays play_times passes (1-255). Every pass ends with every key released.
//
// Never a stuck key: everything is released after every macro pass and shortcut, when the monitor
// stops (every refresh), when a proxy throws on the monitor thread, and at exit. The system releases
// whatever the uinput device still holds if the process dies.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/device_window_view.h"
#include "keys/text_typing.h"
#include "macros/filter_monitor.h"
#include "macros/vhidev.h"
#include "platform/driver_installer.h"
#include "platform/key_filter_device.h"
#include "platform/monotonic_clock.h"
#include "platform/virtual_hid_device.h"
#include "store/profile_database.h"

// What the custom key page tells the user about software keys.
enum class SoftwareKeyStatus {
    NotStarted,
    Active,
    NoVirtualDevice,  // /dev/uinput cannot be used: no assignment is carried out
    NoKeyboardAccess, // the keyboard's input nodes cannot be read: assigned keys act as before
    NoFilter,         // the key filter could not be opened
};

class SoftwareKeys : public MacroPlayer, public KeyTyper {
public:
    // Appends the macro id to the worker's macro-play queue if that is empty; true when it did
    // (DeviceWorker::QueueMacroPlay). The worker keeps the entry until PlayMacro has returned, so a
    // macro key pressed while one plays queues nothing, and calls PlayMacro without holding the
    // queue's lock.
    using MacroQueue = std::function<bool(int macroId)>;
    // Assignment types this class does not carry out (8-11: program, address, text, profile), called
    // on the monitor thread; posting to the UI thread is the receiver's job. A handler must not refresh
    // the software keys itself: the refresh waits for the monitor thread it would be running on.
    using OtherAssignment = std::function<void(const KeyAssignmentRow& row, bool pressed)>;
    // Asks the user whether to install the access rule; true to install.
    using AskInstall = std::function<bool()>;
    // Called on the thread whose call changed the status.
    using StatusChanged = std::function<void(SoftwareKeyStatus status)>;

    struct Backends {
        VirtualHidDevice& virtualDevice;
        KeyFilterDevice& filter;
        ProfileDatabase& database;
        MonotonicClock& clock;
        DriverInstaller* installer = nullptr; // none: access problems are only reported
    };

    // A macro delay, a shortcut step and how soon a playing macro notices that it is to stop.
    static constexpr std::chrono::milliseconds kMinimumRecordDelay{5};
    static constexpr std::chrono::milliseconds kShortcutStepDelay{10};
    // Between the key changes of a typed text.
    static constexpr std::chrono::milliseconds kTypingStepDelay{4};
    static constexpr std::chrono::milliseconds kStopCheckInterval{20};
    static constexpr int kLoopUntilReleased = 16;
    static constexpr int kLoopUntilNextPress = 32;
    static constexpr int kMaxPlayTimes = 255;

    // `deviceName` (UTF-8) names the virtual keyboard.
    SoftwareKeys(const Backends& backends, std::string deviceName);
    // Exit; the worker must no longer call PlayMacro by then.
    ~SoftwareKeys() override;
    SoftwareKeys(const SoftwareKeys&) = delete;
    SoftwareKeys& operator=(const SoftwareKeys&) = delete;

    // Set before StartVirtualDevice.
    void SetMacroQueue(MacroQueue queue) { m_macroQueue = std::move(queue); }
    void SetOtherAssignmentHandler(OtherAssignment handler) { m_otherAssignment = std::move(handler); }
    void SetStatusHandler(StatusChanged handler) { m_statusChanged = std::move(handler); }

    // From the main window's initialisation: opens the virtual keyboard (offering the access rule once
    // when it may not be opened), releases everything, registers OnFilterKey with the monitor and opens
    // the filter. Without a virtual keyboard the program runs on without software keys.
    SoftwareKeyStatus StartVirtualDevice(const AskInstall& ask);
    // Offers the access rule (at most once per process); after an installation opens what could not be
    // opened and refreshes the last profile. True when it was installed.
    bool OfferDriverInstall(const AskInstall& ask);

    bool FindVirtualDevice();
    // Rebuilds the key table from the profile's sound assignments in the Fn layer (a row the program
    // cannot carry out leaves its key alone), hands the keys to the filter and restarts the monitor.
    void RefreshSoftwareKeys(int profile, int fnLayer);
    // Stops the monitor thread and releases everything.
    void StopMonitor();
    // The monitor's handler; always 0, so later proxies see the event too.
    int OnFilterKey(int keyCode, bool pressed);
    void RunAssignment(const KeyAssignmentRow& row, bool pressed);
    // On the worker, for the first entry of the macro-play queue; returns when the macro has ended.
    // One macro at a time: a call while one plays returns at once.
    void PlayMacro(int macroId) override;
    void PlayShortcut(int value);
    // Types the keys on a thread of its own (each with its modifiers, pressed and released). False
    // while another text is being typed, without a virtual keyboard, or after the exit.
    bool TypeKeys(std::vector<CharacterKey> keys) override;
    bool IsTyping() const;
    void ReleaseAll();
    // Stops the monitor, clears the filter's keys, closes the filter, releases everything and ends a
    // playing macro (waiting for it up to a second). Later calls do nothing.
    void Exit();

    SoftwareKeyStatus Status() const { return m_status; }
    // The loop type of the macro playing now, 0 when none.
    int PlayingLoopType() const { return m_loopType; }

private:
    void RefreshLocked(int profile, int fnLayer);
    void StopMonitorLocked();
    bool OpenFilterLocked();
    void SendClear();
    void SetStatus(SoftwareKeyStatus status);
    SoftwareKeyStatus CurrentStatus() const;
    void PlayMacroPasses(int macroId);
    bool PlayPass(int macroId);
    void TypeKeysNow(const std::vector<CharacterKey>& keys);
    // Sleeps `delay` on the clock; false when told to stop meanwhile (the rest is not slept).
    bool PausePlayback(std::chrono::milliseconds delay);
    bool StopRequested() const { return m_stop || m_closing; }

    VirtualHidDevice& m_virtualDevice;
    KeyFilterDevice& m_filter;
    ProfileDatabase& m_database;
    MonotonicClock& m_clock;
    DriverInstaller* m_installer;
    VHidev m_vhidev;
    HidUsbFilter::Monitor m_monitor;

    MacroQueue m_macroQueue;
    OtherAssignment m_otherAssignment;
    StatusChanged m_statusChanged;

    std::mutex m_refreshLock; // refreshes, stops, starts and the exit, one at a time
    bool m_haveProfile = false;
    int m_profile = 0;
    int m_fnLayer = 0;

    mutable std::mutex m_tableLock;
    std::map<int, KeyAssignmentRow> m_table;

    std::atomic<SoftwareKeyStatus> m_status{SoftwareKeyStatus::NotStarted};
    std::atomic<bool> m_installOffered{false};
    std::atomic<bool> m_closing{false};

    std::atomic<int> m_loopType{0};
    std::atomic<bool> m_stop{false};
    std::mutex m_queuedKeyLock; // the macro queue's answer and the key that queued the macro
    int m_queuedMacroKey = 0;
    bool m_queuedKeyHeld = false;
    mutable std::mutex m_typingLock;
    bool m_typing = false;
    std::thread m_typingThread; // started and joined on the UI thread

    std::mutex m_playLock;
    std::condition_variable m_playEnded;
    bool m_playing = false; // PlayMacro is running
};
