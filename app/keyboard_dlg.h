#pragma once
// KeyboardDlg: the program's main window, a borderless 1280 × 720 dialog. It is a thin owner and
// dispatcher: the frame (caption, caption buttons, tab bar) is MainFrame's, each page is its own class,
// and the window routes every window message and control notification to the one place that handles it.
// Its own state: the device description, the software data, the model selection, the wait dialog, and
// the links to the device worker and the OS layers (ProgramServices).
//
// The device worker drives the window through DeviceWindowView (keyboard_dlg_device_view.cpp): its
// posted calls are posted to the UI thread, its page reloads run there while the worker waits.
//
// Threads: everything here runs on the UI thread except CloseWaitDialog, QueueTask, CurrentDeviceType
// and the DeviceWindowView calls, which say on which terms they run. Other threads reach the window
// with WindowSystem::PostClosure.

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "app/program_settings.h"
#include "app/software_data.h"
#include "app/text_bindings.h"
#include "device/device_description.h"
#include "device/device_window_view.h"
#include "device/keyboard_model_selection.h"
#include "keys/profile_state.h"
#include "platform/hid_device_events.h"
#include "ui/framework/m_dialog.h"

class CharacterKeySource;
class CommandProtocol;
class CustomKeyPage;
class DeviceWorker;
class HomePage;
class LightingPage;
class MacroPage;
class MainFrame;
class MainPage;
class SettingsPage;
class SoftwareKeys;
class TrayMenu;
class WaitDlg;
struct ProgramServices;

class KeyboardDlg : public MDialog, public ModelSelectionView, public DeviceWindowView {
public:
    static constexpr int kWidth = 1280;
    static constexpr int kHeight = 720;
    static constexpr DWORD kStyle = 0x96000000;
    static constexpr int kStartupDeviceType = ::kStartupDeviceType;

    // Reads last_tab_index (1 when it is not positive, and 1 is written back).
    explicit KeyboardDlg(ProgramServices& services);
    ~KeyboardDlg() override;

    // The window: no owner, titled by WindowTitle(), style kStyle, (0, 0, 1280, 720), centred on the
    // screen. Null when the window system cannot make windows.
    HWND CreateMainWindow();
    // The device name; a simulated run says so.
    CString WindowTitle() const;

    // --- MDialog ---
    LRESULT OnWindowMessage(UINT msg, WPARAM wParam, LPARAM lParam) override;
    int OnInitDialog() override;
    int InitUI(CRect client) override;
    int UISize(CRect client) override;
    long OnMessage(unsigned id, unsigned code, unsigned wParam, long lParam) override;
    int OnTimer(unsigned /*id*/) override { return 0; }

    // --- ModelSelectionView (the model selection brings pages and views in line) ---
    void SetTabItemVisible(int position, bool visible) override;
    void ShowFirmwareUpdate(bool visible) override;
    void SetLightingMaxima(int brightnessMax, int speedMax) override;
    void ClearKeyboardView(KeyboardView view) override;
    void PlaceKeyboardView(KeyboardView view, const CRect& rect, const CString& picture, int width,
                           int height) override;
    void AddKeyItem(KeyboardView view, const LayoutKeyItem& key) override;

    // --- DeviceWindowView (the device worker) ---
    void SetHeaderText(int textId) override;
    void SetTabBarVisible(bool visible) override;
    void SetKeyboardPagesVisible(bool visible) override;
    // SetTabItemVisible is ModelSelectionView's and this view's (posted when the worker calls it).
    void SelectTab(int index) override;
    void SelectRememberedTab() override;
    void SetPageTitle(int textId) override;
    void SetPagePicture(const CString& picture) override;
    void ShowRestoreDefaults() override;
    void ResetDeviceStates() override;
    void SetDeviceConnected(int deviceType) override;
    void EnableWindow(bool enabled) override;
    void CloseWaitDialog() override { CloseOpenWaitDialog(); }
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

    // --- For the pages and the worker ---
    // Every text of the window again, in the current language (also WM_USER+998).
    void ApplyTexts();
    // Exit paths A (close), B (tray menu) and C (another process asks): let go of the keyboard hooks
    // and the tray icon, then end the process with 0 at once.
    void ExitProgram();
    // The closing behaviour dialog, modal over the window; whether it was applied.
    bool RunClosingBehaviourDialog();
    // The tray's menu while it is open (null otherwise).
    TrayMenu* OpenTrayMenu() const;
    // A model picked in the home page's device list (its device type; 0 for none).
    void OnModelChosen(int deviceType);
    void QueueTask(int code);
    int CurrentDeviceType() const;
    // The device worker and the software keys (null before the window's initialisation).
    DeviceWorker* Worker() { return m_worker.get(); }
    SoftwareKeys* SoftwareKeyExecution() { return m_softwareKeys.get(); }
    // What the window shows of the connection: the connection mode while the keyboard pages show, -1
    // while the absent state shows, nullopt in between. `onShownConnection` hears every change (UI
    // thread); a simulated run prints them.
    std::optional<int> ShownConnection() const;
    std::function<void(int mode)> onShownConnection;
    // The device description and software data as read at initialisation.
    const DeviceDescription& Description() const { return m_description; }
    const SoftwareData& Software() const { return m_software; }
    KeyboardModelSelection& ModelSelection() { return *m_modelSelection; }
    // The current profile and Fn layer (the worker reads them too).
    ProfileState& CurrentProfile() { return m_profileState; }
    // Which key types each character on the layout in use.
    const CharacterKeySource& LayoutCharacters() const;

    // A skinned message box over the main window (kind 0: one button; 4: two); its result.
    int ShowMessageBox(const CString& title, const CString& text, int kind);
    // The busy indicator, modal until closed; an open one is closed first. The dialog's result.
    unsigned RunWaitDialog();
    // Closes the open wait dialog as accepted; any thread. False when none is open.
    bool CloseOpenWaitDialog();
    bool IsWaitDialogOpen() const;

    // --screenshot: once the window has painted everything, its pixels go to a PNG and the window is
    // destroyed; `done` hears whether the file was written. Gives up after `timeoutMs` without a paint.
    void RequestScreenshot(std::string path, std::function<void(bool)> done, unsigned timeoutMs = 10000);

    ProgramServices& Services() { return m_services; }
    ProgramSettings& Settings() { return m_settings; }
    TextBindings& Texts() { return m_texts; }
    MainFrame& Frame() { return *m_frame; }
    HomePage& Home() { return *m_home; }
    CustomKeyPage& CustomKeys() { return *m_customKeys; }
    LightingPage& Lighting() { return *m_lighting; }
    MacroPage& Macros() { return *m_macros; }
    SettingsPage& SettingsView() { return *m_settingsPage; }

private:
    // A window timer id above every id the paint manager gives its control timers.
    static constexpr uintptr_t kScreenshotTimer = 0x5C00;

    // The window-message table's handlers, one place each.
    void OnRawInput(LPARAM rawInput);
    LRESULT OnCommand(WPARAM id);
    void OnClosingOptions();
    LRESULT OnDeviceChange(WPARAM event, LPARAM broadcast);
    LRESULT OnHookKey(WPARAM keyMessage, LPARAM keyRecord);
    LRESULT OnTrayNotify(LPARAM mouseMessage);
    // The control-notification table's handlers of the frame. The desktop's close (WM_CLOSE) asks as
    // the close button does.
    void OnCloseRequest();
    void OnWebsite();
    // Window set-up: marker, icons, tray icon, description and model, lists.
    void SetUpWindow();
    // The tray icon: up from the window's set-up, down at every exit and with the window object.
    void AddTrayIcon();
    void RemoveTrayIcon();
    // Whether the tray shows the icon now: only then can a hidden window be found again.
    bool TrayShowsIcon() const;
    void OnTrayShownChange(bool shown);
    void ShowTrayMenu();
    void LoadDescription();
    MainPage* PageOwning(unsigned controlId) const;
    void TakeScreenshot();
    // The virtual keyboard and the key filter; without them the program runs on without software keys.
    void StartSoftwareKeys();
    bool AskToInstallAccessRule();
    // The device worker and the announcements of HID interfaces.
    void StartDeviceWorker();
    void StopDeviceWorker();
    // Runs on the UI thread: posted from the worker, or at once when already there. Dropped once the
    // window object is going.
    void PostToWindow(std::function<void()> call);
    // Runs on the UI thread and returns once it ran there (or after a time-out).
    void RunOnWindow(std::function<void()> call);
    void ReportShownConnection();

    ProgramServices& m_services;
    ProgramSettings m_settings;
    TextBindings m_texts;
    DeviceDescription m_description;
    SoftwareData m_software;
    std::unique_ptr<KeyboardModelSelection> m_modelSelection;
    ProfileState m_profileState;
    std::unique_ptr<CommandProtocol> m_protocol;
    std::unique_ptr<SoftwareKeys> m_softwareKeys;
    std::unique_ptr<DeviceWorker> m_worker;
    // Where the key filter's macro keys queue their macros (the monitor thread reads it).
    std::atomic<DeviceWorker*> m_macroQueue{nullptr};
    bool m_notifierStarted = false;
    // Cleared when the window object starts going; posted calls check it before they run.
    std::shared_ptr<std::atomic<bool>> m_alive = std::make_shared<std::atomic<bool>>(true);
    int m_headerTextId = 60;
    std::optional<int> m_lastShownConnection;

    std::unique_ptr<MainFrame> m_frame;
    std::unique_ptr<HomePage> m_home;
    std::unique_ptr<CustomKeyPage> m_customKeys;
    std::unique_ptr<LightingPage> m_lighting;
    std::unique_ptr<MacroPage> m_macros;
    std::unique_ptr<SettingsPage> m_settingsPage;
    std::vector<MainPage*> m_pages;
    std::unique_ptr<TrayMenu> m_trayMenu;

    mutable std::mutex m_waitLock; // the wait dialog pointer, for the worker
    WaitDlg* m_wait = nullptr;

    struct Screenshot {
        std::string path;
        std::function<void(bool)> done;
        bool checkPosted = false;
    };
    std::unique_ptr<Screenshot> m_screenshot;
};
