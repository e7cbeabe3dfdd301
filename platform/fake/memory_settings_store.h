#pragma once
// Settings kept in memory: tests and the simulated run. Can be made read-only to act as a store that
// cannot be written.

#include <map>

#include "platform/settings_store.h"

class MemorySettingsStore : public SettingsStore {
public:
    bool KeyExists(const CString& key) const override;
    bool CreateKey(const CString& key) override;
    std::optional<CString> QueryValue(const CString& key, const CString& name) const override;
    bool SetValue(const CString& key, const CString& name, const CString& text) override;
    bool DeleteValue(const CString& key, const CString& name) override;

    // While read-only, every change fails and nothing changes.
    void SetReadOnly(bool readOnly) { m_readOnly = readOnly; }

private:
    struct NoCaseLess {
        bool operator()(const CString& a, const CString& b) const;
    };
    std::map<CString, std::map<CString, CString, NoCaseLess>> m_keys;
    bool m_readOnly = false;
};
