#pragma once
// The per-user settings store: named keys holding named text values, the model the program's settings
// were designed on (a registry key per device name, decimal texts in it). The registry rules that the
// program relies on are in registry_values.h, written once on top of this interface.

#include <optional>

#include "core/wide_text.h"

class SettingsStore {
public:
    virtual ~SettingsStore() = default;

    virtual bool KeyExists(const CString& key) const = 0;
    // Makes an empty key; true when the key exists afterwards.
    virtual bool CreateKey(const CString& key) = 0;
    // nullopt when the key or the value is missing. Value names compare without case.
    virtual std::optional<CString> QueryValue(const CString& key, const CString& name) const = 0;
    // Adds or replaces a value of an existing key; false (and nothing written) when the key is missing or
    // the store cannot be written.
    virtual bool SetValue(const CString& key, const CString& name, const CString& text) = 0;
    virtual bool DeleteValue(const CString& key, const CString& name) = 0;
};
