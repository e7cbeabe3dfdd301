#include "device/memory_window_view.h"

#include <algorithm>
#include <chrono>

namespace {

constexpr std::chrono::seconds kUiCallTimeout{5};

} // namespace

WindowState MemoryWindowView::State() const
{
    std::lock_guard lock(m_lock);
    return m_state;
}

std::vector<std::string> MemoryWindowView::Calls() const
{
    std::lock_guard lock(m_lock);
    return m_calls;
}

void MemoryWindowView::ClearCalls()
{
    std::lock_guard lock(m_lock);
    m_calls.clear();
}

int MemoryWindowView::Count(const std::string& call) const
{
    std::lock_guard lock(m_lock);
    return static_cast<int>(std::count(m_calls.begin(), m_calls.end(), call));
}

void MemoryWindowView::OpenWaitDialog()
{
    std::lock_guard lock(m_lock);
    m_state.waitDialogOpen = true;
}

void MemoryWindowView::Record(const std::string& call)
{
    std::lock_guard lock(m_lock);
    m_calls.push_back(call);
}

void MemoryWindowView::Apply(const std::function<void(WindowState&)>& apply)
{
    if (!apply)
        return;
    WindowState state;
    {
        std::lock_guard lock(m_lock);
        apply(m_state);
        state = m_state;
    }
    if (onChange)
        onChange(state);
}

void MemoryWindowView::Posted(const std::string& call, std::function<void(WindowState&)> apply)
{
    Record(call);
    m_ui.Post([this, apply = std::move(apply)] { Apply(apply); });
}

void MemoryWindowView::Waited(const std::string& call, std::function<void()> onUi)
{
    Record(call);
    if (!onUi)
        onUi = [] {};
    CallOnUiThread(m_ui.Poster(), std::move(onUi), kUiCallTimeout, m_ui.OnLoop());
}

void MemoryWindowView::OnWorker(const std::string& call)
{
    Record(call);
}

void MemoryWindowView::SetHeaderText(int textId)
{
    Posted("SetHeaderText " + std::to_string(textId), [=](WindowState& s) { s.headerText = textId; });
}

void MemoryWindowView::SetTabBarVisible(bool visible)
{
    Posted("SetTabBarVisible " + std::to_string(visible), [=](WindowState& s) { s.tabBarVisible = visible; });
}

void MemoryWindowView::SetKeyboardPagesVisible(bool visible)
{
    Posted("SetKeyboardPagesVisible " + std::to_string(visible),
           [=](WindowState& s) { s.pagesVisible = visible; });
}

void MemoryWindowView::SetTabItemVisible(int position, bool visible)
{
    // Model selection calls this on the UI thread itself; the worker's calls are posted.
    auto apply = [=](WindowState& s) {
        if (position >= 0 && position < 5)
            s.tabItemVisible[position] = visible;
    };
    const std::string call = "SetTabItemVisible " + std::to_string(position) + " " + std::to_string(visible);
    Posted(call, apply);
}

void MemoryWindowView::SelectTab(int index)
{
    Posted("SelectTab " + std::to_string(index), [=](WindowState& s) { s.selectedTab = index; });
}

void MemoryWindowView::SelectRememberedTab()
{
    const int remembered = rememberedTab;
    Posted("SelectRememberedTab",
           [=](WindowState& s) { s.selectedTab = remembered >= 1 && remembered <= 4 ? remembered : 1; });
}

void MemoryWindowView::SetPageTitle(int textId)
{
    Posted("SetPageTitle " + std::to_string(textId), [=](WindowState& s) { s.pageTitle = textId; });
}

void MemoryWindowView::SetPagePicture(const CString& picture)
{
    Posted("SetPagePicture " + WideToUtf8(picture), [=](WindowState& s) { s.pagePicture = picture; });
}

void MemoryWindowView::ShowRestoreDefaults()
{
    Posted("ShowRestoreDefaults", [](WindowState& s) { s.restoreDefaultsShown = true; });
}

void MemoryWindowView::ResetDeviceStates()
{
    Posted("ResetDeviceStates", [](WindowState& s) {
        for (auto& [type, connected] : s.deviceConnected)
            connected = false;
    });
}

void MemoryWindowView::SetDeviceConnected(int deviceType)
{
    Posted("SetDeviceConnected " + std::to_string(deviceType),
           [=](WindowState& s) { s.deviceConnected[deviceType] = true; });
}

void MemoryWindowView::EnableWindow(bool enabled)
{
    Posted("EnableWindow " + std::to_string(enabled), [=](WindowState& s) { s.enabled = enabled; });
}

void MemoryWindowView::CloseWaitDialog()
{
    Posted("CloseWaitDialog", [](WindowState& s) { s.waitDialogOpen = false; });
}

void MemoryWindowView::ApplyCurrentLightingMode()
{
    Posted("ApplyCurrentLightingMode", nullptr);
}

void MemoryWindowView::SelectKeyboardModel(int deviceType)
{
    KeyboardModelSelection* target = selection;
    Waited("SelectKeyboardModel " + std::to_string(deviceType), [target, deviceType] {
        if (target)
            target->SelectDeviceTypeIfChanged(deviceType);
    });
}

void MemoryWindowView::ReloadMacroPage()
{
    Waited("ReloadMacroPage");
}

void MemoryWindowView::ReloadProfileList()
{
    Waited("ReloadProfileList");
}

void MemoryWindowView::RefreshSoftwareKeys()
{
    Waited("RefreshSoftwareKeys");
}

void MemoryWindowView::ReloadLightingPage()
{
    Waited("ReloadLightingPage");
}

void MemoryWindowView::ReloadMusicLayer()
{
    Waited("ReloadMusicLayer");
}

void MemoryWindowView::StartMusicAnalyserPaused()
{
    OnWorker("StartMusicAnalyserPaused");
}

void MemoryWindowView::CheckSoftwareVersion()
{
    OnWorker("CheckSoftwareVersion");
}

CString MemoryWindowView::FetchPublishedFirmwareVersion()
{
    OnWorker("FetchPublishedFirmwareVersion");
    std::lock_guard lock(m_lock);
    return publishedFirmwareVersion;
}

void MemoryWindowView::SetShownFirmwareVersion(const CString& version)
{
    Posted("SetShownFirmwareVersion " + WideToUtf8(version),
           [=](WindowState& s) { s.shownFirmwareVersion = version; });
}

void MemoryWindowView::MarkFirmwareUpdateAvailable()
{
    Posted("MarkFirmwareUpdateAvailable", [](WindowState& s) { s.firmwareUpdateMarked = true; });
}

void MemoryWindowView::UpdateSoftware()
{
    OnWorker("UpdateSoftware");
}

void MemoryWindowView::UpdateFirmwareTool()
{
    OnWorker("UpdateFirmwareTool");
}

DeviceJobSettings MemoryWindowView::JobSettings()
{
    std::lock_guard lock(m_lock);
    return settings;
}

std::vector<KeyColour> MemoryWindowView::ReactiveKeyColours()
{
    OnWorker("ReactiveKeyColours");
    std::lock_guard lock(m_lock);
    return reactiveColours;
}
