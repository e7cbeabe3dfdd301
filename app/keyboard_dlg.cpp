#include "app/keyboard_dlg.h"

#include "app/app_messages.h"
#include "app/close_window_tip_dlg.h"
#include "app/control_helpers.h"
#include "app/custom_key_page.h"
#include "app/home_page.h"
#include "app/lighting_page.h"
#include "app/macro_page.h"
#include "app/main_frame.h"
#include "app/main_window_ids.h"
#include "app/program_services.h"
#include "app/settings_page.h"
#include "app/tray_menu.h"
#include "app/ui_message_box.h"
#include "app/wait_dlg.h"
#include "core/native_path.h"
#include "device/command_protocol.h"
#include "device/device_worker.h"
#include "device/hid_device_manager.h"
#include "macros/software_keys.h"
#include "platform/fake/us_character_keys.h"
#include "platform/process_exit.h"
#include "platform/tray_icon.h"
#include "store/profile_database.h"
#include "ui/framework/manager.h"
#include "ui/framework/skin_folder.h"
#include "ui/framework/window_system.h"

namespace {

// The program's icon among its resources (the window icon).
constexpr unsigned kProgramIconResource = 107;
constexpr unsigned kAnimationTickMs = 10;

} // namespace

KeyboardDlg::KeyboardDlg(ProgramServices& services)
    : m_services(services), m_settings(*services.settings, *services.autostart)
{
    m_frame = std::make_unique<MainFrame>(*this);
    m_home = std::make_unique<HomePage>(*this);
    m_customKeys = std::make_unique<CustomKeyPage>(*this);
    m_lighting = std::make_unique<LightingPage>(*this);
    m_macros = std::make_unique<MacroPage>(*this);
    m_settingsPage = std::make_unique<SettingsPage>(*this);
    m_pages = {m_home.get(), m_customKeys.get(), m_macros.get(), m_lighting.get(), m_settingsPage.get()};
    m_modelSelection = std::make_unique<KeyboardModelSelection>(m_description, *services.database, *this,
                                                                services.appFolder, services.dataFolder);
}

KeyboardDlg::~KeyboardDlg()
{
    m_alive->store(false);
    RemoveTrayIcon();
    m_trayMenu.reset();
    StopDeviceWorker();
    m_softwareKeys.reset();
    // The window and its controls go while the pages they report to still exist.
    if (IsLive())
        DestroyWindow();
    if (m_services.database)
        m_services.database->Close();
}

CString KeyboardDlg::WindowTitle() const
{
    CString title = Manager::GetDeviceName();
    if (m_services.simulator)
        title += L" (simulated)";
    return title;
}

HWND KeyboardDlg::CreateMainWindow()
{
    const HWND hwnd = Create(nullptr, WindowTitle().c_str(), kStyle, 0, CentredOnScreen(kWidth, kHeight));
    if (hwnd)
        CenterWindow();
    return hwnd;
}

// --- Initialisation ---

int KeyboardDlg::OnInitDialog()
{
    if (!IsLive())
        return 0;
    MDialog::OnInitDialog();
    StartSoftwareKeys();
    // FIXME: the audio capture thread starts here, connected to the music level.
    SetUpWindow();
    SetMTimer(kAnimationTickMs);
    StartDeviceWorker();
    return 1;
}

void KeyboardDlg::StartSoftwareKeys()
{
    m_softwareKeys = std::make_unique<SoftwareKeys>(
        SoftwareKeys::Backends{*m_services.virtualDevice, *m_services.keyFilter, *m_services.database,
                               *m_services.clock, m_services.installer},
        WideToUtf8(Manager::GetDeviceName()));
    m_softwareKeys->SetMacroQueue([this](int macroId) {
        DeviceWorker* worker = m_macroQueue.load();
        return worker && worker->QueueMacroPlay(macroId);
    });
    m_softwareKeys->SetOtherAssignmentHandler([this](const KeyAssignmentRow& row, bool pressed) {
        PostToWindow([this, row, pressed] { m_customKeys->OnOtherAssignment(row, pressed); });
    });
    m_softwareKeys->SetStatusHandler([this](SoftwareKeyStatus status) {
        PostToWindow([this, status] { m_customKeys->SetSoftwareKeyStatus(status); });
    });
    // Without the virtual keyboard the program goes on without software keys, and says so on the
    // custom key page: lighting and the keyboard's own macros still work.
    m_softwareKeys->StartVirtualDevice([this] { return AskToInstallAccessRule(); });
}

bool KeyboardDlg::AskToInstallAccessRule()
{
    if (!m_services.mayAskToInstall)
        return false;
    return ShowMessageBox(L"Install Driver",
                          L"Key assignments need access to the keyboard and to /dev/uinput. Install the "
                          L"access rule now?",
                          CUIMessageBox::kTwoButtons) == CUIMessageBox::kAccepted;
}

void KeyboardDlg::StartDeviceWorker()
{
    m_protocol = std::make_unique<CommandProtocol>(*m_services.hid, *m_services.database, *m_services.clock);
    m_worker = std::make_unique<DeviceWorker>(*m_services.hid, *m_protocol, *m_modelSelection,
                                              m_description.modes, *this, *m_softwareKeys, *m_services.clock);
    m_macroQueue.store(m_worker.get());
    if (m_services.notifier) {
        // The announcements come on the notifier's thread; the window hears them as WM_DEVICECHANGE.
        const HWND hwnd = m_hWnd;
        m_notifierStarted = m_services.notifier->Start([hwnd](const HidDeviceEvent& event) {
            WindowSystem::PostClosure([hwnd, event] {
                if (!WindowSystem::IsWindow(hwnd))
                    return;
                DeviceInterfaceBroadcast broadcast;
                broadcast.name = Utf8ToWide(event.name);
                WindowSystem::SendMessageW(
                    hwnd, WM_DEVICECHANGE,
                    event.kind == HidDeviceEventKind::Arrival ? DBT_DEVICEARRIVAL : DBT_DEVICEREMOVECOMPLETE,
                    reinterpret_cast<LPARAM>(&broadcast));
            });
        });
    }
    if (m_services.runWorkerThread) {
        m_worker->StartUp();
    } else {
        m_worker->QueueTask(WorkerTask::kSoftwareCheck);
        m_worker->QueueTask(WorkerTask::kFirstConnect);
    }
}

void KeyboardDlg::StopDeviceWorker()
{
    if (m_notifierStarted)
        m_services.notifier->Stop();
    m_notifierStarted = false;
    m_macroQueue.store(nullptr);
    // A playing macro ends, and nothing stays pressed, before the worker that plays it stops.
    if (m_softwareKeys)
        m_softwareKeys->Exit();
    // Stops the thread and waits for its step to end.
    m_worker.reset();
}

void KeyboardDlg::SetUpWindow()
{
    // Found by a second start, which brings this window back instead of running twice.
    WindowSystem::SetPropW(m_hWnd, Manager::GetDeviceName().c_str(), 1);
    AddTrayIcon();
    SetIcon(kProgramIconResource);
    // No input method is attached to the window by the window system, so there is none to switch off.
    LoadDescription();
    // FIXME: the blocked name words of profiles and macros and the media key set are filled here.
}

void KeyboardDlg::LoadDescription()
{
    const CString configPath = FormatText(L"%sconfig.xml", m_services.appFolder.c_str());
    m_description = LoadDeviceDescription(configPath);
    for (const DeviceRecord& model : m_description.models)
        m_home->AddDevice(model.name, model.deviceType);
    for (const KnownDeviceRow& row : m_description.KnownDeviceRows())
        m_services.hid->AddKnownDevice(row.vendorId, row.productId, row.productName, row.deviceType,
                                       row.modeValue, row.interfacePattern);
    m_software = LoadSoftwareData(configPath);
    m_home->SetSoftwareData(m_software);
    m_modelSelection->SelectDeviceType(kStartupDeviceType);
    // FIXME: the profile list takes over choosing the current profile (and making the default ones).
    if (const int active = m_services.database->GetActiveProfile(); active > 0)
        m_profileState.SetProfile(active);
    m_customKeys->ShowProfileAssignments(m_profileState.Profile());
}

int KeyboardDlg::InitUI(CRect client)
{
    m_frame->Build(client);
    const std::pair<MainPage*, unsigned> pages[] = {
        {m_home.get(), MainId::kHomePage},
        {m_customKeys.get(), MainId::kCustomKeyPage},
        {m_macros.get(), MainId::kMacroPage},
        {m_lighting.get(), MainId::kLightingPage},
        {m_settingsPage.get(), MainId::kSettingsPage},
    };
    for (const auto& [page, id] : pages)
        page->Build(m_frame->PageLayout(id), client);
    UISize(client);
    return 0;
}

int KeyboardDlg::UISize(CRect client)
{
    m_frame->Layout(client);
    for (MainPage* page : m_pages)
        page->Layout(client);
    return 0;
}

void KeyboardDlg::ApplyTexts()
{
    m_frame->ApplyTexts();
    m_texts.Apply(*this);
    for (MainPage* page : m_pages)
        page->ApplyTexts();
}

// --- Model selection ---

void KeyboardDlg::SetTabItemVisible(int position, bool visible)
{
    // The model selection calls this on the UI thread, the device worker on its own.
    if (WindowSystem::IsUiThread())
        m_frame->SetTabItemVisible(position, visible);
    else
        PostToWindow([this, position, visible] { m_frame->SetTabItemVisible(position, visible); });
}

void KeyboardDlg::ShowFirmwareUpdate(bool visible)
{
    m_settingsPage->ShowFirmwareUpdate(visible);
}

void KeyboardDlg::SetLightingMaxima(int brightnessMax, int speedMax)
{
    m_lighting->SetMaxima(brightnessMax, speedMax);
}

void KeyboardDlg::ClearKeyboardView(KeyboardView view)
{
    switch (view) {
    case KeyboardView::CustomKey:
        m_customKeys->ClearKeyboard();
        break;
    case KeyboardView::Lighting:
        m_lighting->ClearKeyboard();
        break;
    case KeyboardView::Settings:
        m_settingsPage->ClearKeyboard();
        break;
    }
}

void KeyboardDlg::PlaceKeyboardView(KeyboardView view, const CRect& rect, const CString& picture, int width,
                                    int height)
{
    switch (view) {
    case KeyboardView::CustomKey:
        m_customKeys->PlaceKeyboard(rect, picture, width, height);
        break;
    case KeyboardView::Lighting:
        m_lighting->PlaceKeyboard(rect, picture, width, height);
        break;
    case KeyboardView::Settings:
        m_settingsPage->PlaceKeyboard(rect, picture, width, height);
        break;
    }
}

void KeyboardDlg::AddKeyItem(KeyboardView view, const LayoutKeyItem& key)
{
    switch (view) {
    case KeyboardView::CustomKey:
        m_customKeys->AddKeyItem(key);
        break;
    case KeyboardView::Lighting:
        m_lighting->AddKeyItem(key);
        break;
    case KeyboardView::Settings:
        m_settingsPage->AddKeyItem(key);
        break;
    }
}

// --- For pages and the worker ---

void KeyboardDlg::OnModelChosen(int deviceType)
{
    m_frame->ShowTabBar(true);
    ShowControl(*this, MainId::kShade, true);
    if (CurrentDeviceType() <= 299)
        m_frame->SelectRememberedTab();
    if (deviceType == 0)
        return;
    if (deviceType != CurrentDeviceType() && m_worker)
        m_worker->ChooseModel(deviceType);
}

void KeyboardDlg::QueueTask(int code)
{
    if (m_worker)
        m_worker->QueueTask(code);
}

const CharacterKeySource& KeyboardDlg::LayoutCharacters() const
{
    static const UsCharacterKeys usLayout;
    return m_services.characterKeys ? *m_services.characterKeys : usLayout;
}

int KeyboardDlg::CurrentDeviceType() const
{
    return m_modelSelection->Layout()->deviceType;
}

void KeyboardDlg::ExitProgram()
{
    // No key stays held or swallowed once the program is gone: the virtual keyboard lets go, the
    // monitor stops and the filter's key table is cleared.
    if (m_softwareKeys)
        m_softwareKeys->Exit();
    RemoveTrayIcon();
    // The database is left to the process's end: SQLite keeps every committed change.
    m_services.processExit->ExitNow(0);
}

bool KeyboardDlg::RunClosingBehaviourDialog()
{
    CloseWindowTipDlg dialog(m_settings);
    return dialog.DoModal(IsLive() ? m_hWnd : nullptr) == CloseWindowTipDlg::kApplied;
}

// --- The tray icon ---

void KeyboardDlg::AddTrayIcon()
{
    if (!m_services.tray)
        return;
    TrayIconData data;
    data.iconFile = NativePath(SkinFilePath(L"Torvik.ico"));
    data.tip = TrayTip(Manager::GetDeviceName());
    // The clicks arrive as the window's tray message, in order with everything else it hears.
    const HWND hwnd = m_hWnd;
    data.onMouse = [hwnd](unsigned mouseMessage) {
        WindowSystem::PostMessageW(hwnd, WM_TRAY_NOTIFY, 0, static_cast<LPARAM>(mouseMessage));
    };
    data.onShownChange = [this](bool shown) { OnTrayShownChange(shown); };
    m_services.tray->Add(std::move(data));
}

void KeyboardDlg::RemoveTrayIcon()
{
    if (m_services.tray)
        m_services.tray->Remove();
}

bool KeyboardDlg::TrayShowsIcon() const
{
    return m_services.tray && m_services.tray->IsShown();
}

void KeyboardDlg::OnTrayShownChange(bool shown)
{
    // The tray went while the window hid in it (a panel that ended): the window waits minimised instead.
    if (!shown && IsLive() && !IsWindowVisible())
        ShowWindow(SW_SHOWMINIMIZED);
}

void KeyboardDlg::ShowTrayMenu()
{
    CPoint cursor;
    WindowSystem::GetCursorPos(&cursor);
    // A hidden window stays hidden: the menu is all that shows.
    if (IsWindowVisible())
        WindowSystem::SetForegroundWindow(m_hWnd);
    // An open menu goes with its object.
    m_trayMenu = std::make_unique<TrayMenu>();
    m_trayMenu->SetParent(this);
    m_trayMenu->Open(m_hWnd, cursor);
}

TrayMenu* KeyboardDlg::OpenTrayMenu() const
{
    return m_trayMenu && m_trayMenu->IsLive() ? m_trayMenu.get() : nullptr;
}

int KeyboardDlg::ShowMessageBox(const CString& title, const CString& text, int kind)
{
    CUIMessageBox box(IsLive() ? m_hWnd : nullptr, title, text, kind);
    return box.DoModal();
}

unsigned KeyboardDlg::RunWaitDialog()
{
    CloseOpenWaitDialog();
    WaitDlg dialog;
    if (!dialog.CreateOver(this))
        return 0;
    {
        const std::lock_guard lock(m_waitLock);
        m_wait = &dialog;
    }
    const unsigned result = dialog.ShowModal(SW_SHOW);
    const std::lock_guard lock(m_waitLock);
    if (m_wait == &dialog)
        m_wait = nullptr;
    return result;
}

bool KeyboardDlg::CloseOpenWaitDialog()
{
    const std::lock_guard lock(m_waitLock);
    if (!m_wait || !m_wait->IsLive())
        return false;
    m_wait->DoOK();
    m_wait = nullptr;
    return true;
}

bool KeyboardDlg::IsWaitDialogOpen() const
{
    const std::lock_guard lock(m_waitLock);
    return m_wait && m_wait->IsLive();
}

void KeyboardDlg::RequestScreenshot(std::string path, std::function<void(bool)> done, unsigned timeoutMs)
{
    m_screenshot = std::make_unique<Screenshot>();
    m_screenshot->path = std::move(path);
    m_screenshot->done = std::move(done);
    if (IsLive())
        SetTimer(kScreenshotTimer, timeoutMs);
}

void KeyboardDlg::TakeScreenshot()
{
    if (!m_screenshot)
        return;
    KillTimer(kScreenshotTimer);
    const std::unique_ptr<Screenshot> shot = std::move(m_screenshot);
    Surface* pixels = m_paintManager.GetPaintDC();
    const bool written = pixels && pixels->IsValid() && pixels->WritePng(shot->path);
    // Exit path D: the modal loop ends with the window.
    DestroyWindow();
    if (shot->done)
        shot->done(written);
}
