// What the import and export buttons ask the file chooser for, in both languages.

#include <gtest/gtest.h>

#include "app/exchange_file_requests.h"
#include "app/language_text.h"
#include "tests/app/app_fixture.h"

namespace {

using ExchangeFileRequestsTest = AppFixture;

TEST_F(ExchangeFileRequestsTest, EachExchangeFileOffersItsType)
{
    using K = FileChooserRequest::Kind;
    HWND owner = Start().GetSafeHwnd();
    const struct {
        const char* name;
        FileChooserRequest request;
        K kind;
        int titleId;
        const wchar_t* type;
    } cases[] = {
        {"profile export", ProfileExportRequest(owner, L"Gaming.xml"), K::Save, 188, L"Profile (*.xml)"},
        {"profile import", ProfileImportRequest(owner), K::Open, 187, L"Custom Key (*.xml)"},
        {"macro export", MacroExportRequest(owner, L"Combo.xml"), K::Save, 190, L"Macro (*.xml)"},
        {"macro import", MacroImportRequest(owner), K::Open, 189, L"Macros (*.xml)"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.request.kind, c.kind);
        EXPECT_EQ(c.request.owner, owner);
        EXPECT_EQ(c.request.title, TextIn(1033, c.titleId));
        ASSERT_EQ(c.request.filters.size(), 1u);
        EXPECT_EQ(c.request.filters[0].name, c.type);
        EXPECT_EQ(c.request.filters[0].patterns, std::vector<CString>{L"*.xml"});
        EXPECT_TRUE(c.request.folder.empty()) << "the chooser picks where it opens";
    }
    EXPECT_EQ(cases[0].request.suggestedName, L"Gaming.xml");

    // Through the window's chooser: a choice comes back exactly, and the next request opens there.
    fileChooser.Answer(NativeFilePath("/tmp/exports/Gaming.xml"));
    EXPECT_EQ(services.fileChooser->Choose(ProfileExportRequest(owner)),
              NativeFilePath("/tmp/exports/Gaming.xml"));
    EXPECT_EQ(fileChooser.LastFolder(), NativeFilePath("/tmp/exports"));
}

TEST_F(ExchangeFileRequestsTest, OwnDialogTextsFollowTheLanguage)
{
    for (const int language : {1033, 1045}) {
        SetLanguageId(language);
        const FileDialogTexts texts = CurrentFileDialogTexts();
        EXPECT_EQ(texts.ok, TextIn(language, 20));
        EXPECT_EQ(texts.cancel, TextIn(language, 25));
        EXPECT_EQ(texts.replace, TextIn(language, 186));
        EXPECT_NE(texts.replaceQuestion.find(L"%s"), CString::npos) << language;
        EXPECT_FALSE(texts.folders.empty());
    }
}

} // namespace
