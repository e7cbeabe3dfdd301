#include "platform/registry_values.h"

#include "core/number_text.h"

namespace {

// The value buffer holds 255 bytes; a REG_SZ text takes two bytes per UTF-16 unit plus its terminator.
constexpr size_t kValueBufferBytes = 255;

} // namespace

int ReadRegInt(SettingsStore& store, const CString& deviceName, const CString& valueName)
{
    if (!store.KeyExists(deviceName)) {
        store.CreateKey(deviceName);
        return 0;
    }
    const std::optional<CString> text = store.QueryValue(deviceName, valueName);
    if (!text || (Utf16Length(*text) + 1) * 2 > kValueBufferBytes)
        return 0;
    return LeadingDecimal(*text);
}

void WriteRegString(SettingsStore& store, const CString& deviceName, const CString& valueName,
                    const CString& text)
{
    if (store.KeyExists(deviceName))
        store.SetValue(deviceName, valueName, text);
}

void SaveLanguageId(SettingsStore& store, const CString& deviceName, int languageId)
{
    WriteRegString(store, deviceName, kLanguageValue, FormatText(L"%d", languageId));
}
