#include <gtest/gtest.h>

#include "platform/private_profile.h"
#include "tests/support/scoped_folders.h"

namespace {

constexpr size_t kBuffer = 260;

class PrivateProfileTest : public testing::Test {
protected:
    CString Write(std::string_view bytes)
    {
        WriteFileBytes(m_dir.Path() / "1033.lan", bytes);
        return Utf8ToWide((m_dir.Path() / "1033.lan").string());
    }
    ScopedTempDir m_dir;
};

} // namespace

TEST_F(PrivateProfileTest, Lookup)
{
    const CString path = Write("; a comment=with an equals sign\r\n"
                               "[Other]\r\n"
                               "50=wrong section\r\n"
                               "  [kb.dialog]  \r\n"
                               "50 =  Home  \r\n"
                               "50=second one\r\n"
                               "51=\"  quoted  \"\r\n"
                               "52='single\r\n"
                               "53=a=b\r\n"
                               "60=Za\xC5\xBC\xC3\xB3\xC5\x82\xC4\x87\r\n"
                               "61=\r\n"
                               "[KB.DIALOG]\r\n"
                               "62=a second section of the same name does not count\n");
    struct Case {
        const wchar_t* section;
        const wchar_t* key;
        const wchar_t* text;
    };
    const Case cases[] = {
        {L"KB.DIALOG", L"50", L"Home"},    {L"KB.Dialog", L"51", L"  quoted  "},
        {L"KB.DIALOG", L"52", L"'single"}, {L"KB.DIALOG", L"53", L"a=b"},
        {L"KB.DIALOG", L"60", L"Zażółć"},  {L"KB.DIALOG", L"61", L""},
        {L"KB.DIALOG", L"62", L""},        {L"KB.DIALOG", L"99", L""},
        {L"Missing", L"50", L""},          {L"other", L"50", L"wrong section"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(WideToUtf8(CString(c.section) + L"/" + c.key));
        EXPECT_EQ(ReadProfileString(path, c.section, c.key, kBuffer), c.text);
    }
    EXPECT_EQ(
        ReadProfileString(Utf8ToWide((m_dir.Path() / "missing.lan").string()), L"KB.DIALOG", L"50", kBuffer),
        L"");
}

TEST_F(PrivateProfileTest, ByteOrderMarks)
{
    const std::pair<const char*, std::string> cases[] = {
        {"UTF-8", "\xEF\xBB\xBF[KB.DIALOG]\n5=\xC5\x81\xC3\xB3"
                  "d\xC5\xBA\n"},
        {"UTF-16 LE", "\xFF\xFE" + EncodeUtf16(L"[KB.DIALOG]\r\n5=Łódź\r\n", false)},
        {"UTF-16 BE", "\xFE\xFF" + EncodeUtf16(L"[KB.DIALOG]\r\n5=Łódź\r\n", true)},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        EXPECT_EQ(ReadProfileString(Write(bytes), L"KB.DIALOG", L"5", kBuffer), L"Łódź");
    }
}

TEST_F(PrivateProfileTest, TextsAreCutToTheBuffer)
{
    const std::string longText(300, 'x');
    const CString path =
        Write("[KB.DIALOG]\n1=" + longText + "\n2=" + std::string(258, 'y') + "\xF0\x9F\x8E\xB9\n");
    EXPECT_EQ(ReadProfileString(path, L"KB.DIALOG", L"1", kBuffer), CString(259, L'x'));
    // A character outside the basic plane takes two units; it is dropped whole rather than split.
    EXPECT_EQ(ReadProfileString(path, L"KB.DIALOG", L"2", kBuffer), CString(258, L'y'));
    EXPECT_EQ(ReadProfileString(path, L"KB.DIALOG", L"2", 262), CString(258, L'y') + L"\U0001F3B9");
    EXPECT_EQ(ReadProfileString(path, L"KB.DIALOG", L"1", 0), L"");
}

TEST_F(PrivateProfileTest, ReadAnewEveryCall)
{
    const CString path = Write("[KB.DIALOG]\n1=before\n");
    EXPECT_EQ(ReadProfileString(path, L"KB.DIALOG", L"1", kBuffer), L"before");
    Write("[KB.DIALOG]\n1=after\n");
    EXPECT_EQ(ReadProfileString(path, L"KB.DIALOG", L"1", kBuffer), L"after");
}
