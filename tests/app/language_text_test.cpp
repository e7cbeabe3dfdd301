#include <gtest/gtest.h>

#include "app/language_text.h"
#include "tests/support/scoped_folders.h"

namespace {

// Restores the process-wide language identifier.
class ScopedLanguage {
public:
    explicit ScopedLanguage(int languageId) : m_previous(GetLanguageId()) { SetLanguageId(languageId); }
    ~ScopedLanguage() { SetLanguageId(m_previous); }

private:
    int m_previous;
};

} // namespace

TEST(LanguageText, StartsInEnglish)
{
    EXPECT_EQ(GetLanguageId(), kLanguageEnglish);
}

TEST(LanguageText, FollowsTheLanguageIdentifier)
{
    const ScopedFolders folders;
    WriteFileBytes(folders.AppFolder() / "language" / "1033.lan", "[KB.DIALOG]\n53=Lighting\n");
    WriteFileBytes(folders.AppFolder() / "language" / "1045.lan", "[KB.DIALOG]\n53=Pod\xC5\x9Bwietlenie\n");
    EXPECT_EQ(LanguageFilePath(1045), Utf8ToWide(folders.AppFolder().string()) + L"/language\\1045.lan");

    EXPECT_EQ(GetText(kDialogSection, 53), L"Lighting");
    {
        const ScopedLanguage polish(kLanguagePolish);
        EXPECT_EQ(GetText(kDialogSection, 53), L"Podświetlenie");
        EXPECT_EQ(GetText(kDialogSection, 54), L"");
        EXPECT_EQ(GetText(L"Other", 53), L"");
    }
    const ScopedLanguage missing(1031);
    EXPECT_EQ(GetText(kDialogSection, 53), L"") << "no file for the language";
}
