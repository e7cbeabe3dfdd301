#pragma once
// An in-memory main window for the device worker: what it shows (WindowState), every call the worker
// made, in order, and the worker's view calls done as the real window does them: posted calls applied
// on a UI thread of closures, page reloads waited for. Used by the tests, the worker's benchmark and
// the console run.

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "device/closure_loop.h"
#include "device/device_window_view.h"
#include "device/keyboard_model_selection.h"

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
    explicit MemoryWindowView(ClosureLoop& ui) : m_ui(ui) {}

    // --- What a test sets ---
    int rememberedTab = 1;
    CString publishedFirmwareVersion = L"";
    DeviceJobSettings settings;
    std::vector<KeyColour> reactiveColours;
    // Where SelectKeyboardModel selects, on the UI thread; nothing is selected while it is null.
    KeyboardModelSelection* selection = nullptr;
    // Called on the UI thread after a posted call changed what the window shows.
    std::function<void(const WindowState& state)> onChange;

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
    void SelectKeyboardModel(int deviceType) override;
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
    // Waits: recorded, `onUi` run on the UI thread, and the worker waits until it is done.
    void Waited(const std::string& call, std::function<void()> onUi = nullptr);
    // On the worker's own thread.
    void OnWorker(const std::string& call);
    void Record(const std::string& call);
    void Apply(const std::function<void(WindowState&)>& apply);

    ClosureLoop& m_ui;
    mutable std::mutex m_lock;
    WindowState m_state;
    std::vector<std::string> m_calls;
};
