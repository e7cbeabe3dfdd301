#include "platform/fake/memory_tray_icon.h"

bool MemoryTrayIcon::Add(TrayIconData data)
{
    if (m_added)
        return false;
    m_data = std::move(data);
    m_added = true;
    ++m_addCount;
    return true;
}

bool MemoryTrayIcon::Remove()
{
    if (!m_added)
        return false;
    m_added = false;
    ++m_removeCount;
    return true;
}

void MemoryTrayIcon::SetTrayPresent(bool present)
{
    if (present == m_trayPresent)
        return;
    m_trayPresent = present;
    if (m_added && m_data.onShownChange)
        m_data.onShownChange(present);
}

void MemoryTrayIcon::Click(unsigned mouseMessage)
{
    if (IsShown() && m_data.onMouse)
        m_data.onMouse(mouseMessage);
}
