#pragma once
// The program's settings as decimal texts under a key named after the device name, with the rules the
// program was built on:
// - the first read creates the key, so later writes have somewhere to go;
// - a missing, non-numeric or too long value (more than 255 bytes as UTF-16 with its terminator) reads 0;
// - a write to a key that does not exist is skipped.

#include "core/wide_text.h"
#include "platform/settings_store.h"

// Value names the program stores.
inline constexpr const wchar_t* kLanguageValue = L"LCID";
inline constexpr const wchar_t* kExitModeValue = L"exit_mode";
inline constexpr const wchar_t* kLastTabIndexValue = L"last_tab_index";

int ReadRegInt(SettingsStore& store, const CString& deviceName, const CString& valueName);
void WriteRegString(SettingsStore& store, const CString& deviceName, const CString& valueName,
                    const CString& text);
// Stores the language identifier as `LCID` ("%d").
void SaveLanguageId(SettingsStore& store, const CString& deviceName, int languageId);
