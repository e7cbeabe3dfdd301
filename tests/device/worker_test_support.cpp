#include "tests/device/worker_test_support.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "core/folders.h"

namespace {

constexpr std::chrono::seconds kUiCallTimeout{5};

} // namespace

UiLoop::UiLoop()
{
    m_thread = std::thread([this] {
        std::unique_lock lock(m_lock);
        for (;;) {
            m_changed.wait(lock, [&] { return m_stopping || !m_closures.empty(); });
            if (m_closures.empty())
                return;
            std::function<void()> closure = std::move(m_closures.front());
            m_closures.pop_front();
            lock.unlock();
            closure();
            lock.lock();
        }
    });
}

UiLoop::~UiLoop()
{
    {
        std::lock_guard lock(m_lock);
        m_stopping = true;
        m_changed.notify_all();
    }
    m_thread.join();
}

void UiLoop::Post(std::function<void()> closure)
{
    std::lock_guard lock(m_lock);
    m_closures.push_back(std::move(closure));
    m_changed.notify_all();
}

void UiLoop::Drain()
{
    CallOnUiThread(
        Poster(), [] {}, kUiCallTimeout, OnLoop());
}

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
    std::lock_guard lock(m_lock);
    if (apply)
        apply(m_state);
}

void MemoryWindowView::Posted(const std::string& call, std::function<void(WindowState&)> apply)
{
    Record(call);
    m_ui.Post([this, apply = std::move(apply)] { Apply(apply); });
}

void MemoryWindowView::Waited(const std::string& call)
{
    Record(call);
    CallOnUiThread(
        m_ui.Poster(), [] {}, kUiCallTimeout, m_ui.OnLoop());
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

void RecordingMacroPlayer::PlayMacro(int macroId)
{
    if (whilePlaying)
        whilePlaying(macroId);
    std::lock_guard lock(m_lock);
    m_played.push_back(macroId);
}

std::vector<int> RecordingMacroPlayer::Played() const
{
    std::lock_guard lock(m_lock);
    return m_played;
}

void HookedClock::SleepFor(Duration duration)
{
    ManualMonotonicClock::SleepFor(duration);
    if (afterPause)
        afterPause(Elapsed());
}

WorkerRig::WorkerRig(int deviceType)
{
    description = LoadDeviceDescription(Utf8ToWide((BuildBinDir() / "config.xml").string()));
    for (const KnownDeviceRow& row : description.KnownDeviceRows())
        manager.AddKnownDevice(row.vendorId, row.productId, row.productName, row.deviceType, row.modeValue,
                               row.interfacePattern);
    const CString dataFolder = DataFolder(L"Torvik");
    CreateFolderTree(dataFolder + L"db");
    selection = std::make_unique<KeyboardModelSelection>(
        description, database, view, Utf8ToWide(BuildBinDir().string()) + L"/", dataFolder);
    selection->SelectDeviceType(deviceType);
    worker =
        std::make_unique<DeviceWorker>(manager, protocol, *selection, description.modes, view, player, clock);
    Announce();
    ui.Drain();
    view.ClearCalls();
}

WorkerRig::~WorkerRig()
{
    sim.Stop();
    worker->Stop();
    worker->Join();
    ui.Drain();
}

void WorkerRig::Announce()
{
    // As the program wires it: the system's announcements reach the worker through the UI thread.
    sim.Start(
        [this](const HidDeviceEvent& event) { ui.Post([this, event] { worker->OnDeviceEvent(event); }); });
}

void WorkerRig::ConnectUnannounced(SimulatedKeyboard& keyboard, int mode)
{
    sim.Stop();
    keyboard.Connect(mode);
    Announce();
}

SimulatedKeyboard& WorkerRig::AddKeyboard(int deviceType)
{
    return sim.AddKeyboard(SimulatedModel::FromKnownDevices(description.KnownDeviceRows(), deviceType));
}

void WorkerRig::RunUntilIdle(int maxSteps)
{
    for (int step = 0; step < maxSteps; ++step) {
        ui.Drain();
        if (worker->QueuedTasks().empty())
            return;
        worker->Step();
    }
    ADD_FAILURE() << "the worker still has tasks after " << maxSteps << " steps";
}
