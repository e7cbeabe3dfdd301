#pragma once
// The program's user-visible texts, looked up by number in the language file of the current language:
// "<application folder>/language/<language id>.lan", section "KB.DIALOG".

#include "core/wide_text.h"

inline constexpr int kLanguageEnglish = 1033;
inline constexpr int kLanguagePolish = 1045;

// The one section every text lives in.
inline constexpr const wchar_t* kDialogSection = L"KB.DIALOG";

// The process-wide language identifier; 1033 at every start. Read from any thread.
int GetLanguageId();
void SetLanguageId(int languageId);

// "%slanguage\%d.lan" with the application folder (trailing separator) and the identifier.
CString LanguageFilePath(int languageId);

// The text of the id in the current language file, at most 259 characters; empty when the file, the
// section or the id is missing. The file is read anew on every call.
CString GetText(const CString& section, int id);
