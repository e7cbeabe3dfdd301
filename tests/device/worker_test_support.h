#pragma once
// The device worker as the program runs it, without the window: a UI thread of closures, an in-memory
// main window that posts every call to it (and waits for the reloads), the shipped device description
// and layouts, a real profile database, and the keyboard simulator announcing its connections through
// the UI thread. Pauses run on a manual clock that a test can hook.

#include <atomic>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/command_protocol.h"
#include "device/device_description.h"
#include "device/device_window_view.h"
#include "device/device_worker.h"
#include "device/keyboard_model_selection.h"
#include "device/ui_thread_call.h"
#include "platform/fake/manual_monotonic_clock.h"
#include "sim/keyboard_simulator.h"
#include "store/profile_database.h"
#include "tests/support/scoped_folders.h"

// A thread that runs posted closures in order, as the UI thread runs PostClosure's.
class UiLoop {
public:
    UiLoop();
    ~UiLoop();
    void Post(std::function<void()> closure);
    // Returns once everything posted before it has run.
    void Drain();
    bool OnLoop() const { return std::this_thread::get_id() == m_thread.get_id(); }
    UiPoster Poster()
    {
        return [this](std::function<void()> closure) { Post(std::move(closure)); };
    }

private:
    std::mutex m_lock;
    std::condition_variable m_changed;
    std::deque<std::function<void()>> m_closures;
    bool m_stopping = false;
    std::thread m_thread;
};

// The main window's part: what it shows, as the UI thread sets it. Reads from the test thread are
// locked; call UiLoop::Drain first so that posted calls have landed.
struct WindowState {
    int headerText = 61;
    bool tabBarVisible = false;
    bool pagesVisible = false;
    bool tabItemVisible[5] = {true, false, false, false, false};
    int selectedTab = 0;
    int pageTitle = 0;
    CString pagePicture;
    bool restoreDefaultsShown = false;
    std::map<int, bool> deviceConnected; // by device type
    bool enabled = true;
    bool waitDialogOpen = false;
    CString shownFirmwareVersion;
    bool firmwareUpdateMarked = false;

    bool Present() const { return tabBarVisible && pagesVisible && pageTitle == 51; }
    bool Absent() const
    {
        return headerText == 61 && !tabBarVisible && !pagesVisible && selectedTab == 0 && pageTitle == 0 &&
               pagePicture.empty();
    }
};

class MemoryWindowView : public DeviceWindowView, public ModelSelectionView {
public:
    explicit MemoryWindowView(UiLoop& ui) : m_ui(ui) {}

    // --- What a test sets ---
    int rememberedTab = 1;
    CString publishedFirmwareVersion = L"";
    DeviceJobSettings settings;
    std::vector<KeyColour> reactiveColours;

    // --- What the window went through ---
    WindowState State() const;
    // Every call in the order the worker made it ("EnableWindow 0", "ReloadMacroPage", ...).
    std::vector<std::string> Calls() const;
    void ClearCalls();
    int Count(const std::string& call) const;
    void OpenWaitDialog();

    // DeviceWindowView
    void SetHeaderText(int textId) override;
    void SetTabBarVisible(bool visible) override;
    void SetKeyboardPagesVisible(bool visible) override;
    void SetTabItemVisible(int position, bool visible) override;
    void SelectTab(int index) override;
    void SelectRememberedTab() override;
    void SetPageTitle(int textId) override;
    void SetPagePicture(const CString& picture) override;
    void ShowRestoreDefaults() override;
    void ResetDeviceStates() override;
    void SetDeviceConnected(int deviceType) override;
    void EnableWindow(bool enabled) override;
    void CloseWaitDialog() override;
    void ApplyCurrentLightingMode() override;
    void ReloadMacroPage() override;
    void ReloadProfileList() override;
    void RefreshSoftwareKeys() override;
    void ReloadLightingPage() override;
    void ReloadMusicLayer() override;
    void StartMusicAnalyserPaused() override;
    void CheckSoftwareVersion() override;
    CString FetchPublishedFirmwareVersion() override;
    void SetShownFirmwareVersion(const CString& version) override;
    void MarkFirmwareUpdateAvailable() override;
    void UpdateSoftware() override;
    void UpdateFirmwareTool() override;
    DeviceJobSettings JobSettings() override;
    std::vector<KeyColour> ReactiveKeyColours() override;

    // ModelSelectionView: done at once, as on the UI thread.
    void ShowFirmwareUpdate(bool) override {}
    void SetLightingMaxima(int, int) override {}
    void ClearKeyboardView(KeyboardView) override {}
    void PlaceKeyboardView(KeyboardView, const CRect&, const CString&, int, int) override {}
    void AddKeyItem(KeyboardView, const LayoutKeyItem&) override {}

private:
    // Posted: recorded and applied on the UI thread.
    void Posted(const std::string& call, std::function<void(WindowState&)> apply);
    // Waits: the same, and the worker waits until it is done.
    void Waited(const std::string& call);
    // On the worker's own thread.
    void OnWorker(const std::string& call);
    void Record(const std::string& call);
    void Apply(const std::function<void(WindowState&)>& apply);

    UiLoop& m_ui;
    mutable std::mutex m_lock;
    WindowState m_state;
    std::vector<std::string> m_calls;
};

class RecordingMacroPlayer : public MacroPlayer {
public:
    void PlayMacro(int macroId) override;
    std::vector<int> Played() const;
    std::function<void(int macroId)> whilePlaying;

private:
    mutable std::mutex m_lock;
    std::vector<int> m_played;
};

// Manual time; `afterPause` runs after every pause with the time slept so far.
class HookedClock : public ManualMonotonicClock {
public:
    void SleepFor(Duration duration) override;
    std::function<void(Duration elapsed)> afterPause;
};

// Everything the worker needs, the way the program wires it.
class WorkerRig {
public:
    explicit WorkerRig(int deviceType = 201);
    ~WorkerRig();

    // A simulated keyboard of a model of the shipped description, not connected.
    SimulatedKeyboard& AddKeyboard(int deviceType);
    // Connects without announcing it, as a keyboard plugged in before the program started.
    void ConnectUnannounced(SimulatedKeyboard& keyboard, int mode);
    // Lets the UI thread's posted work land, then takes steps until the queue is empty.
    void RunUntilIdle(int maxSteps = 50);
    void Settle() { ui.Drain(); }

    ScopedFolders folders;
    DeviceDescription description;
    ProfileDatabase database;
    HookedClock clock;
    KeyboardSimulator sim{clock};
    HidDeviceManager manager{sim, clock};
    CommandProtocol protocol{manager, database, clock};
    UiLoop ui;
    MemoryWindowView view{ui};
    RecordingMacroPlayer player;
    std::unique_ptr<KeyboardModelSelection> selection;
    std::unique_ptr<DeviceWorker> worker;

private:
    void Announce();
};
