#pragma once
// The device worker: one thread that runs every device job of the main window from a queue of task
// codes, keeps the window in step with the keyboard's presence, streams colours while a reactive mode
// of the output-report family shows, and plays queued macros.
//
// Task codes:
//   1  first connect (start-up, after 12): scan and page update once per process, then the music
//      analyser is started, paused
//   2  an interface arrived: scan and page update        3  an interface went: scan and page update
//   4  another model was picked (ChooseModel): while the last scan found its keyboard, it becomes the
//      model in use in a disabled window and the pages follow as after a scan; otherwise nothing
//   5  page reload (queued by the page update): by the feature flags, macros (bit 1), then profile list
//      and software keys (bit 0), then lighting page and music layer (bit 2)
//   6  key map download        7  lighting apply        8  per-key colours        10  reset
//   12 software version check (runs without a keyboard too)        13 firmware version check
//   14 software update         15 firmware update
// Tasks other than 1, 2, 3 and 12 run only while a known keyboard is connected (otherwise they are
// dropped, one per step) and with the window disabled; it is enabled again after every one of them.
// Jobs 6, 7, 8 and 10 then close the wait dialog and pause 100 ms.
//
// The page update uses the model of the keyboard found: the model in use stays while its keyboard is
// there, otherwise the first mode record found (document order) names it, and 201 when none matched. So
// commands, the layout and the database are always those of the connected keyboard; the window
// selects the model on the UI thread, and only when it changes.
//
// The step: the first task runs (it stays queued while it runs) and is removed; with no task, while an
// interface is open and a reactive mode of the output-report family shows, one frame of colours is
// streamed. Then, while an interface is open, the first macro-play request is played and removed.
//
// Between steps the thread sleeps until there is something to do: a task, a macro to play with an
// interface open, or Stop. Only while a reactive mode streams does it step every 16 ms. An idle
// program's worker does not wake at all.
//
// Threads: QueueTask, ChooseModel, OnDeviceEvent and SetReactiveShowing come from the UI thread;
// QueueMacroPlay from any thread (the key filter's); the rest is the worker's. Everything the worker
// asks of the window goes through DeviceWindowView.

#include <atomic>
#include <memory>
#include <optional>
#include <vector>

#include "device/command_protocol.h"
#include "device/device_connection.h"
#include "device/device_window_view.h"
#include "device/hid_device_manager.h"
#include "device/keyboard_model_selection.h"
#include "device/thread_basic.h"
#include "device/worker_queues.h"
#include "platform/hid_device_events.h"
#include "platform/monotonic_clock.h"

namespace WorkerTask {
constexpr int kFirstConnect = 1;
constexpr int kArrival = 2;
constexpr int kRemoval = 3;
constexpr int kModelChange = 4;
constexpr int kPageReload = 5;
constexpr int kKeyMapDownload = 6;
constexpr int kLightingApply = 7;
constexpr int kKeyColours = 8;
constexpr int kReset = 10;
constexpr int kSoftwareCheck = 12;
constexpr int kFirmwareCheck = 13;
constexpr int kSoftwareUpdate = 14;
constexpr int kFirmwareUpdate = 15;
} // namespace WorkerTask

// Texts and the picture of the connection state.
constexpr int kTextSelectKeyboard = 60;  // header once a keyboard is there
constexpr int kTextConnectKeyboard = 61; // header while none is
constexpr int kTextKeysPage = 51;        // page title of the present state
constexpr wchar_t kKeyboardPagePicture[] = L"icon\\icon_keyboard.png";
// Feature flags of a connected keyboard of the feature-report family: every page.
constexpr int kFeaturesOfConnectedKeyboard = 0x47;

class DeviceWorker : public CThreadBasic {
public:
    static constexpr std::chrono::milliseconds kAfterJobPause{100};

    // Nothing is owned; everything must outlive the worker. `modes` are the description's mode records.
    // `clock` paces the pause after a job.
    DeviceWorker(HidDeviceManager& manager, CommandProtocol& protocol, KeyboardModelSelection& selection,
                 std::vector<DeviceRecord> modes, DeviceWindowView& view, MacroPlayer& player,
                 MonotonicClock& clock);
    // Stops the thread and waits for its step to end.
    ~DeviceWorker() override;

    // Start-up: the thread starts, then tasks 12 and 1 are queued.
    void StartUp();

    // --- UI thread ---

    void QueueTask(int code);
    // Appends only when the queue is empty; true when appended.
    bool QueueTaskIfIdle(int code);
    // The user picked this model in the device list: task 4 makes it the model in use (when its
    // keyboard is still connected).
    void ChooseModel(int deviceType);
    // The system's arrival and removal of a HID interface (the window's device-change entry).
    void OnDeviceEvent(const HidDeviceEvent& event);
    // Whether the window is visible with the lighting page showing a music- or screen-reactive mode
    // (config_func bit 0x200 or 0x400). While it is, and the keyboard is of the output-report family
    // (device type below 200), the worker streams colours every 16 ms.
    void SetReactiveShowing(bool showing);

    // --- Any thread ---

    // Queues a macro to play, only when none is queued or playing; true when queued.
    bool QueueMacroPlay(int macroId);
    // Queues a macro to play after those queued.
    void AppendMacroPlay(int macroId);

    bool InterfaceOpen() const { return m_connection.InterfaceOpen(); }
    bool DeviceKnown() const { return m_connection.DeviceKnown(); }
    int ConnectionMode() const { return m_connection.ConnectionMode(); }
    std::vector<int> QueuedTasks() const { return m_queues.Tasks(); }
    size_t QueuedMacros() const { return m_queues.MacroCount(); }
    std::vector<DeviceRecord> Modes() const { return m_connection.Modes(); }
    // Steps taken so far (a measure of how often the thread wakes).
    uint64_t Steps() const { return m_steps.load(); }

    // One step, as the thread takes it; tests take steps without starting the thread.
    void Step();

protected:
    void Run() override { Step(); }
    void WaitBeforeNextStep(std::chrono::milliseconds interval) override;
    void OnStopRequested() override { m_queues.Wake(); }

private:
    void ScanAndUpdatePages();
    void ShowAbsentState();
    // `preferred`: the model to keep when its keyboard was found.
    void UpdatePages(int preferred);
    void RunJob(int code);
    DeviceJobContext JobContext() const;
    void CheckFirmwareVersion();
    void StreamReactiveColours();
    void ServeMacroQueue();
    // Whether a step streams colours now.
    bool Streaming() const;

    HidDeviceManager& m_manager;
    CommandProtocol& m_protocol;
    KeyboardModelSelection& m_selection;
    DeviceWindowView& m_view;
    MacroPlayer& m_player;
    MonotonicClock& m_clock;

    DeviceConnection m_connection;
    WorkerQueues m_queues;
    bool m_firstConnectDone = false;   // the worker's own
    std::atomic<int> m_chosenModel{0}; // the last model picked in the device list, taken by task 4
    std::atomic<bool> m_reactiveShowing{false};
    std::atomic<uint64_t> m_wakeRequests{0}; // the window's state changed: the next wait returns
    std::atomic<uint64_t> m_steps{0};
};
