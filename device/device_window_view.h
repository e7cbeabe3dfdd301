#pragma once
// What the device worker asks of the main window, and of the macro player. The main window implements
// DeviceWindowView; the worker runs on its own thread and never touches a control.
//
// Each call says on which terms it is made:
//   posted   the window posts it to the UI thread and may return at once; posted calls are done in
//            the order they were made, before any later "waits" call.
//   waits    the window runs it on the UI thread and returns once it is done, or after a time-out of
//            its choosing (a few seconds; CallOnUiThread does both), so that what the worker does next
//            sees its effect.
//   worker   runs on the worker thread itself and may take its own time (the network, the analyser);
//            it must not wait for the UI thread.
//   any      reads thread-safe state of the window; returns at once.
//
// Texts are language text ids of the KB.DIALOG section; pictures are skin paths as the program writes
// them ("icon\icon_keyboard.png").

#include <vector>

#include "core/wide_text.h"
#include "device/key_buffers.h"

// What the window knows that a key map download or a lighting apply needs.
struct DeviceJobSettings {
    int profile = 1; // the current profile and Fn layer
    int fnLayer = 0;
    int lightingMode = 0; // the lighting page's current mode
    int customSet = 0;    // the lighting page's custom-set choice, 0-2
};

class DeviceWindowView {
public:
    virtual ~DeviceWindowView() = default;

    // --- Connection state (posted) ---

    // The home page's header text (control 55): 61 while no keyboard is there, 60 once one is.
    virtual void SetHeaderText(int textId) = 0;
    // The tab bar with its background (controls 49 and 48).
    virtual void SetTabBarVisible(bool visible) = 0;
    // The keyboard pages (51-54); the home page stays.
    virtual void SetKeyboardPagesVisible(bool visible) = 0;
    // Tab position 1-4 of the tab bar (the same call as ModelSelectionView's).
    virtual void SetTabItemVisible(int position, bool visible) = 0;
    virtual void SelectTab(int index) = 0;
    // The remembered tab index, or 1 when it is outside the tab bar's items.
    virtual void SelectRememberedTab() = 0;
    // The page title (control 39), 0 clearing it, and the page picture (control 40), empty clearing it.
    virtual void SetPageTitle(int textId) = 0;
    virtual void SetPagePicture(const CString& picture) = 0;
    // The settings page's restore-defaults button.
    virtual void ShowRestoreDefaults() = 0;
    // The home page's device list: every model not connected, then one model connected by device type.
    virtual void ResetDeviceStates() = 0;
    virtual void SetDeviceConnected(int deviceType) = 0;

    // --- The window during a job (posted) ---

    virtual void EnableWindow(bool enabled) = 0;
    // Closes the wait dialog as accepted, if one is open.
    virtual void CloseWaitDialog() = 0;
    // The lighting page applies its current mode, as when the user picks it.
    virtual void ApplyCurrentLightingMode() = 0;

    // --- The model in use (waits) ---

    // The keyboard model of this device type becomes the one in use, unless it is already
    // (KeyboardModelSelection::SelectDeviceTypeIfChanged, on the UI thread, as it fills the pages'
    // keyboard views): its database, its layout, its keyboard pictures.
    virtual void SelectKeyboardModel(int deviceType) = 0;

    // --- Page reloads (waits) ---

    virtual void ReloadMacroPage() = 0;
    virtual void ReloadProfileList() = 0;
    // The software key table of the current profile, handed to the key filter.
    virtual void RefreshSoftwareKeys() = 0;
    virtual void ReloadLightingPage() = 0;
    virtual void ReloadMusicLayer() = 0;

    // --- Music analyser (worker) ---

    // Starts the analyser of the output-report family and leaves it paused.
    virtual void StartMusicAnalyserPaused() = 0;

    // --- Updates (worker, except where posted) ---

    // The whole software version check: fetch the published version, run the update when it is newer
    // (which ends the program when it gets an archive), mark the software update button.
    virtual void CheckSoftwareVersion() = 0;
    // The published firmware version text of the current model, or empty when it cannot be had.
    virtual CString FetchPublishedFirmwareVersion() = 0;
    // The firmware version text the settings page shows (posted); empty clears it.
    virtual void SetShownFirmwareVersion(const CString& version) = 0;
    // The firmware update button shows an available update (posted).
    virtual void MarkFirmwareUpdateAvailable() = 0;
    virtual void UpdateSoftware() = 0;
    virtual void UpdateFirmwareTool() = 0;

    // --- State (any) ---

    virtual DeviceJobSettings JobSettings() = 0;

    // --- Reactive lighting (worker) ---

    // Colours the lighting page's keyboard view from the music canvas or the screen grid (whichever
    // the current mode shows) and returns the colours it gave the keys.
    virtual std::vector<KeyColour> ReactiveKeyColours() = 0;
};

// Plays one macro on the virtual keyboard (the software key execution); called on the worker.
class MacroPlayer {
public:
    virtual ~MacroPlayer() = default;
    virtual void PlayMacro(int macroId) = 0;
};
