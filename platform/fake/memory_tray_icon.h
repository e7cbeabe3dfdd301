#pragma once
// A tray icon in memory: it records what it shows and how often it was put up and taken down; a test
// decides whether the desktop has a tray and clicks the icon.

#include "platform/tray_icon.h"

class MemoryTrayIcon : public TrayIcon {
public:
    bool Add(TrayIconData data) override;
    bool Remove() override;
    bool IsAdded() const override { return m_added; }
    bool IsShown() const override { return m_added && m_trayPresent; }

    // The desktop's tray appears or goes (there is one at first).
    void SetTrayPresent(bool present);
    // A click on the icon as the tray reports it; nothing when the icon does not show.
    void Click(unsigned mouseMessage);

    const TrayIconData& Data() const { return m_data; }
    int AddCount() const { return m_addCount; }
    int RemoveCount() const { return m_removeCount; }

private:
    TrayIconData m_data;
    bool m_added = false;
    bool m_trayPresent = true;
    int m_addCount = 0;
    int m_removeCount = 0;
};
