#pragma once
// What one run of the program stands on: the OS layers (the Linux ones, or in-memory ones in tests), the
// HID manager, the profile database, the device worker and the folders. The entry (or a test) builds it
// and keeps it alive for as long as the main window exists.

#include <functional>
#include <memory>
#include <string>

#include "core/wide_text.h"

class Autostart;
class CharacterKeySource;
class DriverInstaller;
class FileChooser;
class HidDeviceManager;
class HidDeviceNotifier;
class KeyboardSimulator;
class MonotonicClock;
class ProcessExit;
class ProfileDatabase;
class SettingsStore;
class Shell;
class KeyFilterDevice;
class TrayIcon;
class VirtualHidDevice;

struct ProgramServices {
    SettingsStore* settings = nullptr;
    Autostart* autostart = nullptr;
    Shell* shell = nullptr;
    ProcessExit* processExit = nullptr;
    // The icon in the desktop's tray (null: no tray, as on a desktop without one).
    TrayIcon* tray = nullptr;
    // Asks the user for files to import and export (the desktop's dialogs, or in tests a script).
    FileChooser* fileChooser = nullptr;
    HidDeviceManager* hid = nullptr;
    ProfileDatabase* database = nullptr;
    // Paces the device jobs.
    MonotonicClock* clock = nullptr;
    // Announces HID interfaces arriving and going (udev, or the simulator); may be null.
    HidDeviceNotifier* notifier = nullptr;
    // Set in a simulated run: the keyboard the HID manager talks to.
    KeyboardSimulator* simulator = nullptr;
    // Whether the device worker runs on its own thread; tests take its steps themselves.
    bool runWorkerThread = true;
    // The software keys' virtual keyboard and key filter (uinput and evdev, or in memory), and what
    // gives this user access to them (null: access problems are only reported).
    VirtualHidDevice* virtualDevice = nullptr;
    KeyFilterDevice* keyFilter = nullptr;
    DriverInstaller* installer = nullptr;
    // Which key types each character on the keyboard layout in use (typing a text through the virtual
    // keyboard); null: a US layout.
    const CharacterKeySource* characterKeys = nullptr;
    // Diagnostics lines (a text that could not be typed whole); standard error when not set.
    std::function<void(const std::string& line)> log;
    // Whether the user may be asked to install the access rule (not in a screenshot run).
    bool mayAskToInstall = true;
    CString appFolder;  // with its separator
    CString dataFolder; // with its separator
};

// The services of a normal run (the user's settings and autostart entries, the real shell, hidapi) or,
// with a simulator, of a simulated one; the layers are owned by the returned object.
class ProgramPlatform {
public:
    // `simulator`, when set, is the HID manager's backend already (see simulated_keyboard_run.h).
    ProgramPlatform(CString appFolder, CString dataFolder, KeyboardSimulator* simulator);
    ~ProgramPlatform();
    ProgramPlatform(const ProgramPlatform&) = delete;
    ProgramPlatform& operator=(const ProgramPlatform&) = delete;

    ProgramServices& Services() { return m_services; }

private:
    struct Layers;
    std::unique_ptr<Layers> m_layers;
    ProgramServices m_services;
};
