#include "app/program_services.h"

#include "app/exchange_file_requests.h"
#include "core/native_path.h"
#include "device/hid_device_manager.h"
#include "platform/fake/memory_key_filter_device.h"
#include "platform/fake/memory_virtual_hid_device.h"
#include "platform/linux/bus_connection.h"
#include "platform/linux/desktop_autostart.h"
#include "platform/linux/desktop_file_chooser.h"
#include "platform/linux/desktop_tray_icon.h"
#include "platform/linux/evdev_key_filter.h"
#include "platform/linux/file_settings_store.h"
#include "platform/linux/linux_process_exit.h"
#include "platform/linux/linux_shell.h"
#include "platform/linux/pkexec_rule_installer.h"
#include "platform/linux/process_command_runner.h"
#include "platform/linux/steady_monotonic_clock.h"
#include "platform/linux/udev_hid_monitor.h"
#include "platform/linux/uinput_virtual_hid_device.h"
#include "platform/linux/x11_character_keys.h"
#include "sim/keyboard_simulator.h"
#include "store/profile_database.h"
#include "ui/framework/manager.h"

namespace {

// The hidraw nodes of the keyboard's open vendor interfaces: where the key filter finds its input nodes.
std::vector<std::string> OpenInterfacePaths(HidDeviceManager& hid)
{
    std::vector<DeviceInterface> interfaces;
    hid.CollectInterfaces(interfaces);
    std::vector<std::string> paths;
    for (const DeviceInterface& i : interfaces)
        paths.push_back(i.devicePath);
    return paths;
}

} // namespace

struct ProgramPlatform::Layers {
    explicit Layers(const CString& appFolder, HidDeviceManager& hid)
        : keyFilter(WideToUtf8(Manager::GetDeviceName()), [&hid] { return OpenInterfacePaths(hid); }),
          installer(NativePath(appFolder), commandRunner)
    {
    }

    FileSettingsStore settings;
    DesktopAutostart autostart;
    LinuxShell shell;
    LinuxProcessExit processExit;
    UdevHidMonitor monitor;
    UinputVirtualHidDevice virtualDevice;
    EvdevKeyFilter keyFilter;
    ProcessCommandRunner commandRunner;
    PkexecRuleInstaller installer;
    // Connects to the display only when a text is first typed.
    X11CharacterKeys characterKeys;
    // A simulated run types on a virtual keyboard of its own and watches no real keyboard.
    MemoryVirtualHidDevice simulatedVirtualDevice;
    MemoryKeyFilterDevice simulatedKeyFilter;
    std::unique_ptr<DesktopTrayIcon> tray = DesktopTrayIcon::ForSession();
    DesktopFileChooser fileChooser{
        DesktopFileChooser::Options{BusConnection::SessionAddress(), &commandRunner, CurrentFileDialogTexts}};
};

ProgramPlatform::ProgramPlatform(CString appFolder, CString dataFolder, KeyboardSimulator* simulator)
{
    HidDeviceManager& hid = HidDeviceManager::Instance();
    m_layers = std::make_unique<Layers>(appFolder, hid);
    m_services.settings = &m_layers->settings;
    m_services.autostart = &m_layers->autostart;
    m_services.shell = &m_layers->shell;
    m_services.processExit = &m_layers->processExit;
    m_services.tray = m_layers->tray.get();
    m_services.fileChooser = &m_layers->fileChooser;
    m_services.clock = &SteadyMonotonicClock::Shared();
    // A simulated run hears its keyboard from the simulator, not from the system.
    m_services.notifier = simulator ? static_cast<HidDeviceNotifier*>(simulator) : &m_layers->monitor;
    m_services.hid = &hid;
    if (simulator) {
        m_services.virtualDevice = &m_layers->simulatedVirtualDevice;
        m_services.keyFilter = &m_layers->simulatedKeyFilter;
    } else {
        m_services.virtualDevice = &m_layers->virtualDevice;
        m_services.keyFilter = &m_layers->keyFilter;
        m_services.installer = &m_layers->installer;
    }
    m_services.characterKeys = &m_layers->characterKeys;
    m_services.database = &ProfileDatabase::Instance();
    m_services.simulator = simulator;
    m_services.appFolder = std::move(appFolder);
    m_services.dataFolder = std::move(dataFolder);
}

ProgramPlatform::~ProgramPlatform() = default;
