#pragma once
// Settings keys as small files: key K lives in $XDG_CONFIG_HOME/K/settings, one "name=value" line per
// value in UTF-8 (backslash escapes for '\', '=', CR and LF). Every change rewrites the file atomically.

#include <mutex>
#include <string>

#include "platform/settings_store.h"

class FileSettingsStore : public SettingsStore {
public:
    // The file of a key; $XDG_CONFIG_HOME is looked up on every call.
    static std::string KeyFilePath(const CString& key);

    bool KeyExists(const CString& key) const override;
    bool CreateKey(const CString& key) override;
    std::optional<CString> QueryValue(const CString& key, const CString& name) const override;
    bool SetValue(const CString& key, const CString& name, const CString& text) override;
    bool DeleteValue(const CString& key, const CString& name) override;

private:
    // One read-modify-write at a time within the process.
    mutable std::mutex m_lock;
};
