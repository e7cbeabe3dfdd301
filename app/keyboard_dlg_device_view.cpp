// KeyboardDlg as the device worker's view of the window. Posted calls go to the UI thread in the order
// they were made; page reloads run there while the worker waits; the rest says where it runs.

#include "app/custom_key_page.h"
#include "app/home_page.h"
#include "app/keyboard_dlg.h"
#include "app/lighting_page.h"
#include "app/macro_page.h"
#include "app/main_frame.h"
#include "app/settings_page.h"
#include "device/device_worker.h"
#include "device/ui_thread_call.h"
#include "ui/controls/m_tab_ctrl.h"
#include "ui/framework/window_system.h"

namespace {

// How long a page reload may keep the worker waiting for the UI thread.
constexpr std::chrono::milliseconds kReloadWait{3000};

} // namespace

void KeyboardDlg::PostToWindow(std::function<void()> call)
{
    std::weak_ptr<std::atomic<bool>> alive = m_alive;
    WindowSystem::PostClosure([alive, call = std::move(call)] {
        if (const auto token = alive.lock(); token && token->load())
            call();
    });
}

void KeyboardDlg::RunOnWindow(std::function<void()> call)
{
    if (!m_alive->load())
        return;
    std::weak_ptr<std::atomic<bool>> alive = m_alive;
    CallOnUiThread([](std::function<void()> closure) { WindowSystem::PostClosure(std::move(closure)); },
                   [alive, call = std::move(call)] {
                       if (const auto token = alive.lock(); token && token->load())
                           call();
                   },
                   kReloadWait, WindowSystem::IsUiThread());
}

std::optional<int> KeyboardDlg::ShownConnection() const
{
    if (m_frame->IsTabBarShown() && m_frame->IsKeyboardPageShown())
        return m_worker ? m_worker->ConnectionMode() : -1;
    if (m_headerTextId == kTextConnectKeyboard && !m_frame->IsTabBarShown() &&
        !m_frame->IsKeyboardPageShown())
        return -1;
    return std::nullopt;
}

void KeyboardDlg::ReportShownConnection()
{
    const std::optional<int> shown = ShownConnection();
    if (!shown || shown == m_lastShownConnection)
        return;
    m_lastShownConnection = shown;
    if (onShownConnection)
        onShownConnection(*shown);
}

// --- Connection state (posted) ---

void KeyboardDlg::SetHeaderText(int textId)
{
    PostToWindow([this, textId] {
        m_headerTextId = textId;
        m_home->SetHeaderText(textId);
        ReportShownConnection();
    });
}

void KeyboardDlg::SetTabBarVisible(bool visible)
{
    PostToWindow([this, visible] {
        m_frame->ShowTabBar(visible);
        ReportShownConnection();
    });
}

void KeyboardDlg::SetKeyboardPagesVisible(bool visible)
{
    PostToWindow([this, visible] {
        m_frame->ShowKeyboardPages(visible);
        ReportShownConnection();
    });
}

void KeyboardDlg::SelectTab(int index)
{
    PostToWindow([this, index] {
        if (MTabCtrl* tabs = m_frame->TabBar())
            tabs->SetSelectItem(index);
    });
}

void KeyboardDlg::SelectRememberedTab()
{
    PostToWindow([this] {
        m_frame->SelectRememberedTab();
        ReportShownConnection();
    });
}

void KeyboardDlg::SetPageTitle(int textId)
{
    PostToWindow([this, textId] { m_frame->SetPageTitle(textId); });
}

void KeyboardDlg::SetPagePicture(const CString& picture)
{
    PostToWindow([this, picture] { m_frame->SetPagePicture(picture); });
}

void KeyboardDlg::ShowRestoreDefaults()
{
    PostToWindow([this] { m_settingsPage->ShowRestoreDefaults(true); });
}

void KeyboardDlg::ResetDeviceStates()
{
    PostToWindow([this] { m_home->ResetAllStates(); });
}

void KeyboardDlg::SetDeviceConnected(int deviceType)
{
    PostToWindow([this, deviceType] { m_home->SetDeviceState(deviceType, 1); });
}

// --- The window during a job (posted) ---

void KeyboardDlg::EnableWindow(bool enabled)
{
    PostToWindow([this, enabled] { MDialog::EnableWindow(enabled ? TRUE : FALSE); });
}

void KeyboardDlg::ApplyCurrentLightingMode()
{
    // FIXME: the lighting page applies its current mode here.
}

// --- The model in use (waits) ---

void KeyboardDlg::SelectKeyboardModel(int deviceType)
{
    // The selection fills the pages' keyboard views, so it runs where the controls live.
    RunOnWindow([this, deviceType] { m_modelSelection->SelectDeviceTypeIfChanged(deviceType); });
}

// --- Page reloads (waits) ---

void KeyboardDlg::ReloadMacroPage()
{
    // FIXME: the macro page reloads its list here.
    RunOnWindow([] {});
}

void KeyboardDlg::ReloadProfileList()
{
    // FIXME: the custom key page reloads its profile list here.
    RunOnWindow([this] { m_customKeys->ShowProfileAssignments(m_profileState.Profile()); });
}

void KeyboardDlg::RefreshSoftwareKeys()
{
    // The worker may do this itself; the refresh is serialised inside.
    if (m_softwareKeys) {
        const DeviceJobSettings settings = JobSettings();
        m_softwareKeys->RefreshSoftwareKeys(settings.profile, settings.fnLayer);
    }
}

void KeyboardDlg::ReloadLightingPage()
{
    // FIXME: the lighting page reloads its mode and colours here.
    RunOnWindow([] {});
}

void KeyboardDlg::ReloadMusicLayer()
{
    // FIXME: the music layer of the lighting page reloads here.
    RunOnWindow([] {});
}

// --- Worker-side calls ---

void KeyboardDlg::StartMusicAnalyserPaused()
{
    // FIXME: the music analyser of the output-report family starts here, paused.
}

void KeyboardDlg::CheckSoftwareVersion()
{
    // FIXME: the software version check runs here (published version, update, the button's badge).
}

CString KeyboardDlg::FetchPublishedFirmwareVersion()
{
    // FIXME: the published firmware version of the current model is fetched here.
    return {};
}

void KeyboardDlg::SetShownFirmwareVersion(const CString& /*version*/)
{
    // FIXME: the settings page shows the firmware version here.
}

void KeyboardDlg::MarkFirmwareUpdateAvailable()
{
    // FIXME: the firmware update button shows its badge here.
}

void KeyboardDlg::UpdateSoftware()
{
    // FIXME: the software update runs here.
}

void KeyboardDlg::UpdateFirmwareTool()
{
    // FIXME: the firmware update runs here.
}

DeviceJobSettings KeyboardDlg::JobSettings()
{
    DeviceJobSettings settings;
    settings.profile = m_profileState.Profile();
    settings.fnLayer = m_profileState.FnLayer();
    // FIXME: the lighting mode and the custom set come from the lighting page once it keeps them.
    return settings;
}

std::vector<KeyColour> KeyboardDlg::ReactiveKeyColours()
{
    // FIXME: the lighting page's view coloured from the music canvas or the screen grid.
    return {};
}
