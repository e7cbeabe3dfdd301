#include "platform/linux/desktop_tray_icon.h"

#include "platform/linux/bus_connection.h"
#include "platform/linux/debug_output.h"
#include "platform/linux/status_notifier_item.h"
#include "platform/linux/xembed_tray_icon.h"
#include "ui/framework/window_system.h"

DesktopTrayIcon::DesktopTrayIcon(std::vector<std::unique_ptr<TrayBackend>> backends)
    : m_backends(std::move(backends))
{
    for (const auto& backend : m_backends)
        backend->SetChanged([this] { Choose(); });
}

DesktopTrayIcon::~DesktopTrayIcon()
{
    for (const auto& backend : m_backends)
        backend->SetChanged(nullptr);
    Remove();
}

std::unique_ptr<DesktopTrayIcon> DesktopTrayIcon::ForSession()
{
    std::vector<std::unique_ptr<TrayBackend>> backends;
    backends.push_back(
        std::make_unique<StatusNotifierItem>(BusConnection::SessionAddress(), [](std::function<void()> call) {
            WindowSystem::PostClosure(std::move(call));
        }));
    backends.push_back(std::make_unique<XEmbedTrayIcon>());
    return std::make_unique<DesktopTrayIcon>(std::move(backends));
}

bool DesktopTrayIcon::Add(TrayIconData data)
{
    if (m_added)
        return false;
    m_data = std::move(data);
    m_added = true;
    Choose();
    return true;
}

bool DesktopTrayIcon::Remove()
{
    if (!m_added)
        return false;
    m_added = false;
    if (m_current)
        m_current->Hide();
    m_current = nullptr;
    m_shown = false;
    return true;
}

bool DesktopTrayIcon::IsShown() const
{
    return m_added && m_current && m_current->Showing();
}

void DesktopTrayIcon::Choose()
{
    if (!m_added || m_choosing)
        return;
    m_choosing = true;
    TrayBackend* chosen = nullptr;
    for (const auto& backend : m_backends) {
        if (!backend->Available())
            continue;
        if (backend.get() == m_current && m_current->Showing()) {
            chosen = m_current;
            break;
        }
        if (backend->Show(m_data)) {
            chosen = backend.get();
            break;
        }
        backend->Hide();
    }
    // One backend at a time, or a desktop offering both would show the icon twice.
    if (m_current && m_current != chosen)
        m_current->Hide();
    if (chosen && chosen != m_current)
        DebugPrint("tray icon: %s\n", chosen->Name());
    m_current = chosen;
    m_choosing = false;
    const bool shown = IsShown();
    if (shown != m_shown) {
        m_shown = shown;
        if (m_data.onShownChange)
            m_data.onShownChange(shown);
    }
}
