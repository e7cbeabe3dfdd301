#pragma once
// The main window as a user meets it, without a display: KeyboardDlg on the headless window system, a
// simulated keyboard behind a HID manager of its own, a real profile database in a fresh data folder,
// and in-memory settings, autostart entries, shell and process exit. Tests set settings first, then
// Start(), then drive the window by control id. Page tests to come build on it.

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>
#include <memory>

#include "app/keyboard_dlg.h"
#include "app/program_services.h"
#include "device/hid_device_manager.h"
#include "platform/fake/fake_process_exit.h"
#include "platform/fake/fake_shell.h"
#include "platform/fake/manual_monotonic_clock.h"
#include "platform/fake/memory_autostart.h"
#include "platform/fake/memory_key_filter_device.h"
#include "platform/fake/memory_settings_store.h"
#include "platform/fake/memory_tray_icon.h"
#include "platform/fake/memory_virtual_hid_device.h"
#include "platform/fake/scripted_file_chooser.h"
#include "sim/keyboard_simulator.h"
#include "store/profile_database.h"
#include "tests/support/scoped_folders.h"
#include "ui/framework/backend/headless/headless_backend.h"

class AppFixture : public ::testing::Test {
protected:
    // The installation is the built one (build/bin) unless a test gives another before Start().
    AppFixture();
    ~AppFixture() override;

    // An installation folder of the test's own: the built one's layouts, language files, skins and fonts
    // (those not listed in `leaveOut`), and config.xml with the given text (none when empty).
    std::filesystem::path MakeAppFolder(const std::string& configXml,
                                        std::initializer_list<const char*> leaveOut = {});
    void UseAppFolder(const std::filesystem::path& folder);
    // Points the data folder at a path (which may be impossible to create).
    void UseDataHome(const std::filesystem::path& folder);

    // Reads the device name as the entry does, makes the main window and initialises it (once). The
    // device worker does not run on a thread of its own: RunWorker takes its steps.
    KeyboardDlg& Start();
    // Takes the worker's steps until its queue is empty, each followed by what it posted to the window.
    void RunWorker(int maxSteps = 50);
    std::vector<int> QueuedTasks();
    // The simulated keyboard of the start-up model (connected later, or with ConnectUnannounced as if
    // plugged in before the start).
    SimulatedKeyboard& Keyboard();
    void ConnectUnannounced(int mode);
    KeyboardDlg& Window() { return *m_window; }
    // Destroys the main window object, as the entry does once its loop ended.
    void DestroyMainWindow() { m_window.reset(); }
    HWND Hwnd() const { return m_window ? m_window->GetSafeHwnd() : nullptr; }
    HeadlessBackend& Backend() { return *m_backend; }
    int Pump() { return m_backend->Pump(); }

    MControl* Control(unsigned id) const;
    template <class T> T* ControlAs(unsigned id) const { return dynamic_cast<T*>(Control(id)); }
    CString TitleOf(unsigned id) const;
    CString TooltipOf(unsigned id) const;
    // A left click in the middle of a control, as the user makes it, and what it brings.
    void Click(unsigned id);
    // A notification as the control itself would send it.
    long Notify(unsigned id, unsigned code, unsigned wParam = 0, long lParam = 0);
    LRESULT Send(UINT msg, WPARAM wParam = 0, LPARAM lParam = 0);

    // A value of the device name's settings key (empty when missing).
    CString Setting(const CString& name) const;
    void SetSetting(const CString& name, const CString& value);
    // The text of an id in a language file of the installation.
    static CString TextIn(int languageId, int textId);

    // Runs `inside` from within the next modal loop that starts (a message box, a wait dialog).
    static void WhileModal(std::function<void()> inside);
    // The same, once `ready` holds (checked after each round of waiting messages, 100 rounds at most).
    static void WhileModalUntil(std::function<bool()> ready, std::function<void()> inside, int rounds = 100);
    // Top-level windows of the class "KelvoClient" with that title.
    static std::vector<HWND> WindowsTitled(const wchar_t* title);
    // A left click at a point of a window's client area.
    void ClickAt(HWND hwnd, CPoint point);

    MemorySettingsStore settings;
    MemoryAutostart autostart;
    FakeShell shell;
    FakeProcessExit processExit;
    MemoryTrayIcon tray;
    ScriptedFileChooser fileChooser;
    ManualMonotonicClock clock;
    KeyboardSimulator simulator{clock};
    HidDeviceManager hid{simulator, clock};
    ProfileDatabase database;
    MemoryVirtualHidDevice virtualDevice{&clock};
    MemoryKeyFilterDevice keyFilter;
    ProgramServices services;

private:
    HeadlessBackend* m_backend = nullptr;
    ScopedTempDir m_root;
    std::unique_ptr<ScopedEnv> m_appFolderEnv;
    std::unique_ptr<ScopedEnv> m_dataHomeEnv;
    std::unique_ptr<KeyboardDlg> m_window;
    SimulatedKeyboard* m_keyboard = nullptr;
};
