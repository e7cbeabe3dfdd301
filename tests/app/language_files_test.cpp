// The shipped language files: every text the program asks for is there, in both languages.

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "app/language_text.h"
#include "app/text_ids.h"
#include "tests/support/scoped_folders.h"

namespace {

std::vector<int> RequiredIds()
{
    std::vector<int> ids = {
        1,   2,   5,   10,  11,  20,  22,  23,  25,  26,  27,  28,  29,  30,  31,  32,  33,  50,  51,
        52,  53,  56,  60,  61,  65,  82,  83,  85,  86,  87,  89,  90,  91,  100, 101, 102, 103, 104,
        105, 106, 107, 108, 109, 110, 111, 112, 113, 114, 115, 117, 118, 120, 121, 150, 151, 152, 153,
        154, 156, 157, 167, 168, 170, 171, 172, 175, 176, 177, 201, 202, 204, 205, 206, 207, 208, 209,
        210, 211, 212, 213, 214, 215, 216, 217, 218, 219, 280, 281, 285, 286, 287, 220, 222, 223, 227,
        228, 230, 231, 232, 233, 234, 235, 236, 252, 270, 271, 272, 273, 274, 275, 276, 277, 278, 279,
        290, 291, 293, 295, 300, 301, 302, 303, 304, 305, 306, 307, 308, 309, 310, 311, 312, 316, 317,
        318, 319, 320, 321, 322, 323, 325, 326, 327, 329, 330, 331, 335, 336, 337, 342, 343, 344, 363,
        364, 365, 366, 367, 368, 369, 370, 540, 541, 542, 543, 544, 545, 546, 621,
    };
    for (int id = 180; id <= 190; ++id) // the file chooser
        ids.push_back(id);
    for (int id = 701; id <= 715; ++id) // built-in shortcuts
        ids.push_back(id);
    for (int id = 800; id <= 819; ++id) // lighting mode names that layout files refer to
        ids.push_back(id);
    return ids;
}

class LanguageFilesTest : public testing::TestWithParam<int> {
protected:
    void SetUp() override
    {
        m_folders.InstallFromBuild("language");
        m_previous = GetLanguageId();
        SetLanguageId(GetParam());
    }
    void TearDown() override { SetLanguageId(m_previous); }

    ScopedFolders m_folders;
    int m_previous = 0;
};

} // namespace

TEST_P(LanguageFilesTest, EveryIdHasAText)
{
    for (int id : RequiredIds()) {
        const CString text = GetText(kDialogSection, id);
        EXPECT_FALSE(text.empty()) << "text " << id << " missing in " << GetParam() << ".lan";
    }
}

// GetText cuts what it reads to 259 characters and takes the first of two equal ids, so both faults
// can only be seen in the file itself: every text line is "id=text", each id once, each text short
// enough to be shown whole.
TEST_P(LanguageFilesTest, RawLinesAreWholeUniqueTexts)
{
    const std::string bytes =
        ReadFileBytes(m_folders.AppFolder() / "language" / (std::to_string(GetParam()) + ".lan"));
    ASSERT_FALSE(bytes.empty());
    std::istringstream lines(bytes);
    std::string line;
    std::set<int> seen;
    bool inDialog = false;
    int number = 0;
    while (std::getline(lines, line)) {
        ++number;
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[') {
            inDialog = line == "[KB.DIALOG]";
            continue;
        }
        EXPECT_TRUE(inDialog) << "line " << number << " outside [KB.DIALOG]";
        const size_t equals = line.find('=');
        ASSERT_NE(equals, std::string::npos) << "line " << number << ": " << line;
        const std::string key = line.substr(0, equals);
        ASSERT_TRUE(!key.empty() && key.find_first_not_of("0123456789") == std::string::npos)
            << "line " << number << ": " << line;
        const int id = std::stoi(key);
        EXPECT_TRUE(seen.insert(id).second) << "text " << id << " given twice (line " << number << ")";
        const CString text = Utf8ToWide(line.substr(equals + 1));
        EXPECT_LE(Utf16Length(text), 259u) << "text " << id << " would be cut";
        EXPECT_EQ(text, GetText(kDialogSection, id)) << "text " << id << " does not read back as written";
    }
    for (int id : RequiredIds())
        EXPECT_TRUE(seen.contains(id)) << "text " << id;
}

INSTANTIATE_TEST_SUITE_P(Shipped, LanguageFilesTest, testing::Values(kLanguageEnglish, kLanguagePolish));

// The export messages read as messages in both languages: none shares its text with the check box
// or with its title.
TEST(LanguageFiles, ExportMessagesHaveTextsOfTheirOwn)
{
    const ScopedFolders folders;
    folders.InstallFromBuild("language");
    const int previous = GetLanguageId();
    struct Case {
        int language;
        const wchar_t* selectProfile;
        const wchar_t* selectMacro;
    };
    for (const Case& c :
         {Case{kLanguageEnglish, L"Please select a profile first.", L"Please select a macro first."},
          Case{kLanguagePolish, L"Najpierw wybierz profil.", L"Najpierw wybierz makro."}}) {
        SetLanguageId(c.language);
        EXPECT_EQ(GetText(kDialogSection, kTextSelectProfileFirst), c.selectProfile);
        EXPECT_EQ(GetText(kDialogSection, kTextSelectMacroFirst), c.selectMacro);
        EXPECT_NE(GetText(kDialogSection, kTextStartWithLogin), c.selectProfile);
        EXPECT_NE(GetText(kDialogSection, kTextExportProfileTitle), c.selectProfile);
        EXPECT_NE(GetText(kDialogSection, kTextExportMacroTitle), c.selectMacro);
    }
    SetLanguageId(previous);
}

// Default names are stored in the language they were made in and shown in the current one by swapping
// the leading word: this works only with exactly these words.
TEST(LanguageFiles, WordsThatDefaultNamesAreBuiltFrom)
{
    const ScopedFolders folders;
    folders.InstallFromBuild("language");
    const int previous = GetLanguageId();
    SetLanguageId(kLanguageEnglish);
    EXPECT_EQ(GetText(kDialogSection, 65), L"Profile");
    EXPECT_EQ(GetText(kDialogSection, 331), L"Macro");
    SetLanguageId(kLanguagePolish);
    EXPECT_EQ(GetText(kDialogSection, 65), L"Profil");
    EXPECT_EQ(GetText(kDialogSection, 331), L"Makro");
    EXPECT_EQ(GetText(kDialogSection, 53), L"Podświetlenie") << "Polish is read with its diacritics";
    SetLanguageId(previous);
}
