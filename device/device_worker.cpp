#include "device/device_worker.h"

#include <cstdio>

#include "core/number_text.h"

namespace {

constexpr int kTabHome = 0;
constexpr int kFirstKeyboardTab = 1;
constexpr int kLastKeyboardTab = 4;
// Reactive colours are streamed only to keyboards below this device type (the output-report family).
constexpr int kStreamingDeviceTypeLimit = 200;
constexpr size_t kMaxPublishedVersionLength = 10;

bool DisablesWindow(int code)
{
    return code != WorkerTask::kFirstConnect && code != WorkerTask::kArrival &&
           code != WorkerTask::kRemoval && code != WorkerTask::kSoftwareCheck;
}

bool ClosesWaitDialog(int code)
{
    return code == WorkerTask::kKeyMapDownload || code == WorkerTask::kLightingApply ||
           code == WorkerTask::kKeyColours || code == WorkerTask::kReset;
}

// The keyboard's version, written as hexadecimal digits and read back as a decimal number: 0x0105 is 105.
int VersionAsPublished(int version)
{
    char digits[16];
    std::snprintf(digits, sizeof digits, "%x", static_cast<unsigned>(version & 0xFFFF));
    return LeadingDecimal(Utf8ToWide(digits));
}

} // namespace

DeviceWorker::DeviceWorker(HidDeviceManager& manager, CommandProtocol& protocol,
                           KeyboardModelSelection& selection, std::vector<DeviceRecord> modes,
                           DeviceWindowView& view, MacroPlayer& player, MonotonicClock& clock)
    : m_manager(manager), m_protocol(protocol), m_selection(selection), m_view(view), m_player(player),
      m_clock(clock), m_connection(std::move(modes))
{
}

DeviceWorker::~DeviceWorker()
{
    Stop();
    Join();
}

void DeviceWorker::StartUp()
{
    Start();
    QueueTask(WorkerTask::kSoftwareCheck);
    QueueTask(WorkerTask::kFirstConnect);
}

void DeviceWorker::QueueTask(int code)
{
    m_queues.PushTask(code);
}

bool DeviceWorker::QueueTaskIfIdle(int code)
{
    return m_queues.PushTaskIfEmpty(code);
}

void DeviceWorker::ChooseModel(int deviceType)
{
    m_chosenModel.store(deviceType);
    m_queues.PushTask(WorkerTask::kModelChange);
}

void DeviceWorker::OnDeviceEvent(const HidDeviceEvent& event)
{
    if (event.kind == HidDeviceEventKind::Arrival) {
        if (m_connection.OnArrival(event.name))
            m_queues.PushTaskUnlessQueued(WorkerTask::kArrival);
    } else if (m_connection.OnRemoval(event.name)) {
        m_queues.PushTaskUnlessQueued(WorkerTask::kRemoval);
    }
}

void DeviceWorker::SetReactiveShowing(bool showing)
{
    m_reactiveShowing.store(showing);
    ++m_wakeRequests;
    m_queues.Wake();
}

bool DeviceWorker::QueueMacroPlay(int macroId)
{
    return m_queues.PushMacroIfEmpty(macroId);
}

void DeviceWorker::AppendMacroPlay(int macroId)
{
    m_queues.PushMacro(macroId);
}

bool DeviceWorker::Streaming() const
{
    return m_reactiveShowing.load() && m_connection.InterfaceOpen() &&
           m_selection.Layout()->deviceType < kStreamingDeviceTypeLimit;
}

void DeviceWorker::WaitBeforeNextStep(std::chrono::milliseconds interval)
{
    const uint64_t wakeRequests = m_wakeRequests.load();
    const bool interfaceOpen = m_connection.InterfaceOpen();
    const std::optional<WorkerQueues::Clock::time_point> deadline =
        Streaming() ? std::optional(WorkerQueues::Clock::now() + interval) : std::nullopt;
    m_queues.WaitUntil(
        [&] {
            return StopRequested() || !m_queues.TasksEmptyLocked() ||
                   (interfaceOpen && !m_queues.MacrosEmptyLocked()) || m_wakeRequests.load() != wakeRequests;
        },
        deadline);
}

void DeviceWorker::Step()
{
    ++m_steps;
    if (const std::optional<int> front = m_queues.FrontTask()) {
        const int code = *front;
        if (code == WorkerTask::kFirstConnect) {
            if (!m_firstConnectDone) {
                m_firstConnectDone = true;
                ScanAndUpdatePages();
                m_view.StartMusicAnalyserPaused();
            }
        } else if (code == WorkerTask::kArrival || code == WorkerTask::kRemoval) {
            ScanAndUpdatePages();
        } else if (code == WorkerTask::kSoftwareCheck) {
            m_view.CheckSoftwareVersion();
        }

        // Without a known keyboard the job is dropped, and no macro plays.
        if (!m_connection.InterfaceOpen() || !m_connection.DeviceKnown()) {
            m_queues.PopTask();
            return;
        }
        const bool disables = DisablesWindow(code);
        if (disables)
            m_view.EnableWindow(false);
        RunJob(code);
        if (disables)
            m_view.EnableWindow(true);
        m_queues.PopTask();
    } else {
        if (!m_connection.InterfaceOpen())
            return;
        StreamReactiveColours();
    }
    ServeMacroQueue();
}

void DeviceWorker::ScanAndUpdatePages()
{
    m_connection.Scan(m_manager, m_view);
    UpdatePages(m_selection.Layout()->deviceType);
}

void DeviceWorker::ShowAbsentState()
{
    m_view.SetHeaderText(kTextConnectKeyboard);
    m_view.SelectTab(kTabHome);
    m_view.SetTabBarVisible(false);
    m_view.SetKeyboardPagesVisible(false);
    m_view.SetPagePicture(CString());
    m_view.SetPageTitle(0);
}

void DeviceWorker::UpdatePages(int preferred)
{
    if (!m_connection.InterfaceOpen()) {
        ShowAbsentState();
        return;
    }
    // The keyboard found decides the model: its commands, layout and database.
    const int found = m_connection.ModelToUse(preferred);
    const int wanted = found != 0 ? found : kStartupDeviceType;
    if (wanted != m_selection.Layout()->deviceType)
        m_view.SelectKeyboardModel(wanted);
    // What the window made current (the selection may have timed out).
    const int deviceType = m_selection.Layout()->deviceType;
    m_manager.SelectDeviceType(deviceType);
    const int mode = m_manager.ConnectedMode();
    m_connection.SetConnectionMode(mode);
    m_view.SetHeaderText(kTextSelectKeyboard);
    if (deviceType <= 299) {
        for (int position = kFirstKeyboardTab; position <= kLastKeyboardTab; ++position)
            m_view.SetTabItemVisible(position, true);
        m_view.SelectRememberedTab();
    }
    if (deviceType >= 201 && deviceType <= 299) {
        m_selection.SetFeatureFlags(kFeaturesOfConnectedKeyboard);
        m_view.ShowRestoreDefaults();
    }

    // A wireless interface that no mode record knows is no keyboard.
    if ((mode == 1 || mode == 2) && !m_connection.DeviceKnown()) {
        ShowAbsentState();
        return;
    }
    m_view.SetTabBarVisible(true);
    m_view.SetKeyboardPagesVisible(true);
    m_view.SetPageTitle(kTextKeysPage);
    m_view.SetPagePicture(kKeyboardPagePicture);
    m_view.SelectRememberedTab();
    m_queues.PushTask(WorkerTask::kFirmwareCheck);
    m_queues.PushTask(WorkerTask::kPageReload);
    m_view.ApplyCurrentLightingMode();
}

DeviceJobContext DeviceWorker::JobContext() const
{
    const DeviceJobSettings settings = m_view.JobSettings();
    DeviceJobContext context;
    context.layout = m_selection.Layout();
    context.deviceType = context.layout->deviceType;
    context.connectionMode = m_connection.ConnectionMode();
    context.profile = settings.profile;
    context.fnLayer = settings.fnLayer;
    context.lightingMode = settings.lightingMode;
    context.customSet = settings.customSet;
    return context;
}

void DeviceWorker::RunJob(int code)
{
    switch (code) {
    case WorkerTask::kPageReload: {
        const int flags = m_selection.Layout()->featureFlags;
        if (flags & kFeatureMacros)
            m_view.ReloadMacroPage();
        if (flags & kFeatureCustomKeys) {
            m_view.ReloadProfileList();
            m_view.RefreshSoftwareKeys();
        }
        if (flags & kFeatureLighting) {
            m_view.ReloadLightingPage();
            m_view.ReloadMusicLayer();
        }
        break;
    }
    case WorkerTask::kKeyMapDownload:
        m_protocol.DownloadKeyMap(JobContext());
        break;
    case WorkerTask::kLightingApply:
        m_protocol.ApplyLighting(JobContext());
        break;
    case WorkerTask::kKeyColours:
        m_protocol.SendKeyColours(m_selection.Layout()->colourIndexByCode);
        break;
    case WorkerTask::kReset: {
        const DeviceJobContext context = JobContext();
        m_protocol.ResetToFactory(context.deviceType, context.connectionMode,
                                  {[this] { m_view.ReloadMacroPage(); },
                                   [this] { m_view.ReloadProfileList(); },
                                   [this] { m_view.ReloadLightingPage(); }});
        break;
    }
    case WorkerTask::kModelChange: {
        // A choice whose keyboard went meanwhile changes nothing.
        const int chosen = m_chosenModel.exchange(0);
        if (m_connection.Found(chosen))
            UpdatePages(chosen);
        break;
    }
    case WorkerTask::kFirmwareCheck:
        CheckFirmwareVersion();
        break;
    case WorkerTask::kSoftwareUpdate:
        m_view.UpdateSoftware();
        break;
    case WorkerTask::kFirmwareUpdate:
        m_view.UpdateFirmwareTool();
        break;
    default:
        break;
    }
    if (ClosesWaitDialog(code)) {
        m_view.CloseWaitDialog();
        m_clock.SleepFor(kAfterJobPause);
    }
}

void DeviceWorker::CheckFirmwareVersion()
{
    m_view.SetShownFirmwareVersion(CString());
    const CString published = m_view.FetchPublishedFirmwareVersion();
    if (published.empty() || published.size() > kMaxPublishedVersionLength)
        return;
    m_view.SetShownFirmwareVersion(published);
    const std::optional<int> version = m_protocol.ReadFirmwareVersion();
    if (!version)
        return;
    if (VersionAsPublished(*version) < LeadingDecimal(published)) {
        m_view.MarkFirmwareUpdateAvailable();
        m_queues.PushTask(WorkerTask::kFirmwareUpdate);
    }
}

void DeviceWorker::StreamReactiveColours()
{
    if (!Streaming())
        return;
    const std::vector<KeyColour> keys = m_view.ReactiveKeyColours();
    m_protocol.StreamColours(m_connection.ConnectionMode(), keys, m_selection.Layout()->colourIndexByCode);
}

void DeviceWorker::ServeMacroQueue()
{
    if (const std::optional<int> macro = m_queues.FrontMacro()) {
        m_player.PlayMacro(*macro);
        m_queues.PopMacro();
    }
}
