#include "app/language_text.h"

#include <atomic>

#include "core/folders.h"
#include "platform/private_profile.h"

namespace {

// Changed on the UI thread only; the worker thread reads it while it reloads texts.
std::atomic<int> g_languageId{kLanguageEnglish};

// The reader's buffer in wide characters, terminator included.
constexpr size_t kTextBufferChars = 260;

} // namespace

int GetLanguageId()
{
    return g_languageId.load();
}

void SetLanguageId(int languageId)
{
    g_languageId.store(languageId);
}

CString LanguageFilePath(int languageId)
{
    return FormatText(L"%slanguage\\%d.lan", ApplicationFolderWithSeparator().c_str(), languageId);
}

CString GetText(const CString& section, int id)
{
    return ReadProfileString(LanguageFilePath(GetLanguageId()), section, FormatText(L"%d", id),
                             kTextBufferChars);
}
