#include "platform/fake/memory_settings_store.h"

#include <algorithm>
#include <cwctype>

bool MemorySettingsStore::NoCaseLess::operator()(const CString& a, const CString& b) const
{
    return std::lexicographical_compare(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towlower(static_cast<wint_t>(x)) < std::towlower(static_cast<wint_t>(y));
    });
}

bool MemorySettingsStore::KeyExists(const CString& key) const
{
    return m_keys.count(key) != 0;
}

bool MemorySettingsStore::CreateKey(const CString& key)
{
    if (!m_readOnly)
        m_keys[key];
    return KeyExists(key);
}

std::optional<CString> MemorySettingsStore::QueryValue(const CString& key, const CString& name) const
{
    const auto k = m_keys.find(key);
    if (k == m_keys.end())
        return std::nullopt;
    const auto v = k->second.find(name);
    if (v == k->second.end())
        return std::nullopt;
    return v->second;
}

bool MemorySettingsStore::SetValue(const CString& key, const CString& name, const CString& text)
{
    const auto k = m_keys.find(key);
    if (m_readOnly || k == m_keys.end())
        return false;
    // Keep the case the value was first stored with, as a registry does.
    if (const auto v = k->second.find(name); v != k->second.end())
        v->second = text;
    else
        k->second.emplace(name, text);
    return true;
}

bool MemorySettingsStore::DeleteValue(const CString& key, const CString& name)
{
    const auto k = m_keys.find(key);
    if (m_readOnly || k == m_keys.end())
        return false;
    k->second.erase(name);
    return true;
}
