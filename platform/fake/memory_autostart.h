#pragma once
// Autostart entries kept in memory: tests and the simulated run.

#include <map>

#include "platform/autostart.h"

class MemoryAutostart : public Autostart {
public:
    bool HasEntry(const CString& name) const override { return m_entries.count(name) != 0; }
    bool SetEntry(const CString& name, const CString& programPath) override
    {
        m_entries[name] = programPath;
        return true;
    }
    bool RemoveEntry(const CString& name) override
    {
        m_entries.erase(name);
        return true;
    }

    // Every entry: name → program path.
    const std::map<CString, CString>& Entries() const { return m_entries; }

private:
    std::map<CString, CString> m_entries;
};
