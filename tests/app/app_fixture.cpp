#include "tests/app/app_fixture.h"

#include "app/language_text.h"
#include "app/startup_device_name.h"
#include "core/folders.h"
#include "device/device_worker.h"
#include "platform/private_profile.h"
#include "platform/registry_values.h"
#include "ui/framework/m_control_font.h"
#include "ui/framework/manager.h"
#include "ui/framework/window_system.h"

namespace fs = std::filesystem;

AppFixture::AppFixture()
{
    auto backend = std::make_unique<HeadlessBackend>();
    m_backend = backend.get();
    WindowSystem::Install(std::move(backend));
    m_backend->SetIdleLimit(10000);
    SetLanguageId(kLanguageEnglish);
    UseAppFolder(BuildBinDir());
    UseDataHome(m_root.Path() / "data");

    services.settings = &settings;
    services.autostart = &autostart;
    services.shell = &shell;
    services.processExit = &processExit;
    services.tray = &tray;
    services.fileChooser = &fileChooser;
    services.hid = &hid;
    services.database = &database;
    services.clock = &clock;
    services.notifier = &simulator;
    services.runWorkerThread = false;
    services.virtualDevice = &virtualDevice;
    services.keyFilter = &keyFilter;
}

AppFixture::~AppFixture()
{
    m_window.reset();
    for (const HWND hwnd : WindowSystem::Windows())
        WindowSystem::DestroyWindow(hwnd);
    SetLanguageId(kLanguageEnglish);
    Manager::SetDeviceName(L"Torvik");
}

fs::path AppFixture::MakeAppFolder(const std::string& configXml, std::initializer_list<const char*> leaveOut)
{
    const fs::path folder = m_root.Path() / "app";
    fs::create_directories(folder);
    for (const char* part : {"layouts", "language", "skins", "font"}) {
        if (std::find_if(leaveOut.begin(), leaveOut.end(),
                         [&](const char* l) { return std::string(l) == part; }) == leaveOut.end())
            fs::create_directory_symlink(BuildBinDir() / part, folder / part);
    }
    if (!configXml.empty())
        WriteFileBytes(folder / "config.xml", configXml);
    return folder;
}

void AppFixture::UseAppFolder(const fs::path& folder)
{
    m_appFolderEnv.reset();
    m_appFolderEnv = std::make_unique<ScopedEnv>(kApplicationFolderVariable, folder.string());
}

void AppFixture::UseDataHome(const fs::path& folder)
{
    m_dataHomeEnv.reset();
    m_dataHomeEnv = std::make_unique<ScopedEnv>("XDG_DATA_HOME", folder.string());
}

KeyboardDlg& AppFixture::Start()
{
    if (m_window)
        return *m_window;
    Manager::SetDeviceName(L"Torvik");
    ApplyStartupDeviceName();
    services.appFolder = ApplicationFolderWithSeparator();
    services.dataFolder = DataFolder(Manager::GetDeviceName());
    CreateFolderTree(services.dataFolder + L"db");
    m_window = std::make_unique<KeyboardDlg>(services);
    EXPECT_TRUE(m_window->CreateMainWindow());
    m_window->ShowWindow(SW_SHOW);
    Pump();
    return *m_window;
}

void AppFixture::RunWorker(int maxSteps)
{
    DeviceWorker* worker = m_window ? m_window->Worker() : nullptr;
    ASSERT_NE(worker, nullptr);
    Pump();
    for (int step = 0; step < maxSteps && !worker->QueuedTasks().empty(); ++step) {
        worker->Step();
        Pump();
    }
    EXPECT_TRUE(worker->QueuedTasks().empty()) << "the worker did not finish within " << maxSteps << " steps";
}

std::vector<int> AppFixture::QueuedTasks()
{
    DeviceWorker* worker = m_window ? m_window->Worker() : nullptr;
    return worker ? worker->QueuedTasks() : std::vector<int>();
}

SimulatedKeyboard& AppFixture::Keyboard()
{
    if (!m_keyboard) {
        const DeviceDescription description =
            LoadDeviceDescription(ApplicationFolderWithSeparator() + L"config.xml");
        m_keyboard =
            &simulator.AddKeyboard(SimulatedModel::FromKnownDevices(description.KnownDeviceRows(), 201));
    }
    return *m_keyboard;
}

void AppFixture::ConnectUnannounced(int mode)
{
    // The simulator announces only once the window listens.
    ASSERT_EQ(m_window, nullptr) << "connect before Start";
    Keyboard().Connect(mode);
}

MControl* AppFixture::Control(unsigned id) const
{
    return m_window ? m_window->GetControl(id) : nullptr;
}

CString AppFixture::TitleOf(unsigned id) const
{
    auto* control = ControlAs<MControlFont>(id);
    return control ? control->GetTitle() : CString(L"<missing>");
}

CString AppFixture::TooltipOf(unsigned id) const
{
    const MControl* control = Control(id);
    return control ? control->GetTooltip() : CString(L"<missing>");
}

void AppFixture::ClickAt(HWND hwnd, CPoint point)
{
    m_backend->MoveMouse(hwnd, point);
    m_backend->Click(hwnd, point);
}

void AppFixture::Click(unsigned id)
{
    const MControl* control = Control(id);
    ASSERT_NE(control, nullptr) << id;
    const CRect rect = control->GetRect();
    ClickAt(Hwnd(), CPoint((rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2));
    Pump();
}

long AppFixture::Notify(unsigned id, unsigned code, unsigned wParam, long lParam)
{
    MControl* control = Control(id);
    const long result = control ? control->SendMessageW(code, wParam, lParam) : 0;
    Pump();
    return result;
}

LRESULT AppFixture::Send(UINT msg, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = WindowSystem::SendMessageW(Hwnd(), msg, wParam, lParam);
    Pump();
    return result;
}

CString AppFixture::Setting(const CString& name) const
{
    return settings.QueryValue(Manager::GetDeviceName(), name).value_or(CString());
}

void AppFixture::SetSetting(const CString& name, const CString& value)
{
    // Before the start, the key is the one the installation's config.xml will name.
    const CString key =
        m_window
            ? Manager::GetDeviceName()
            : ReadStartupDeviceName(ApplicationFolderWithSeparator() + L"config.xml").value_or(L"Torvik");
    settings.CreateKey(key);
    settings.SetValue(key, name, value);
}

CString AppFixture::TextIn(int languageId, int textId)
{
    const int current = GetLanguageId();
    SetLanguageId(languageId);
    const CString text = GetText(kDialogSection, textId);
    SetLanguageId(current);
    return text;
}

void AppFixture::WhileModal(std::function<void()> inside)
{
    WindowSystem::PostClosure(std::move(inside));
}

void AppFixture::WhileModalUntil(std::function<bool()> ready, std::function<void()> inside, int rounds)
{
    WindowSystem::PostClosure([ready = std::move(ready), inside = std::move(inside), rounds]() mutable {
        if (ready() || rounds <= 0) {
            EXPECT_TRUE(ready()) << "still not ready after the last round";
            inside();
        } else {
            WhileModalUntil(std::move(ready), std::move(inside), rounds - 1);
        }
    });
}

std::vector<HWND> AppFixture::WindowsTitled(const wchar_t* title)
{
    std::vector<HWND> found;
    for (const HWND hwnd : WindowSystem::Windows()) {
        CString text;
        CString className;
        if (WindowSystem::GetClassNameW(hwnd, &className) && className == L"KelvoClient" &&
            WindowSystem::GetWindowTextW(hwnd, &text) && text == title)
            found.push_back(hwnd);
    }
    return found;
}
