#include <gtest/gtest.h>

#include "core/wide_text.h"

TEST(WideText, Utf8RoundTripKeepsEveryPlane)
{
    const std::wstring text = L"Zażółć gęślą jaźń \u20AC \U0001F3B9 A";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(text)), text);
    EXPECT_EQ(WideToUtf8(L"\u00F3"), "\xC3\xB3");
    EXPECT_EQ(WideToUtf8(L"\U0001F3B9"), "\xF0\x9F\x8E\xB9");
}

TEST(WideText, MalformedUtf8)
{
    struct Case {
        const char* bytes;
        const wchar_t* lenient;
    };
    const Case cases[] = {
        {"a\xFF"
         "b",
         L"a\uFFFD"
         "b"},                                             // not a lead byte
        {"\xC3", L"\uFFFD"},                               // truncated at the end
        {"\xC3(", L"\uFFFD("},                             // bad continuation
        {"\xC0\xAF", L"\uFFFD\uFFFD"},                     // overlong '/'
        {"\xED\xA0\x80", L"\uFFFD\uFFFD\uFFFD"},           // UTF-16 surrogate
        {"\xF4\x90\x80\x80", L"\uFFFD\uFFFD\uFFFD\uFFFD"}, // past U+10FFFF
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.bytes);
        EXPECT_EQ(Utf8ToWide(c.bytes), c.lenient);
        EXPECT_FALSE(DecodeUtf8(c.bytes).has_value());
    }
    EXPECT_EQ(DecodeUtf8("gr\xC3\xBC\xC3\x9F"), std::wstring(L"gr\u00FC\u00DF"));
    EXPECT_EQ(DecodeUtf8(""), std::wstring());
}

TEST(WideText, UnencodableCodePointsBecomeReplacement)
{
    std::wstring text = L"x";
    text += static_cast<wchar_t>(0xD800);
    text += static_cast<wchar_t>(0x110000);
    EXPECT_EQ(WideToUtf8(text), "x\xEF\xBF\xBD\xEF\xBF\xBD");
}

TEST(WideText, FormatTakesWideStringsForPercentS)
{
    EXPECT_EQ(FormatText(L"%s\\config.xml", L"/opt/torvik/"), L"/opt/torvik/\\config.xml");
    EXPECT_EQ(FormatText(L"db\\%s_data_v6.db", L"Z5"), L"db\\Z5_data_v6.db");
    EXPECT_EQ(FormatText(L"%d|%5d|%-3d|%02X|%x|%u|%%", -7, 42, 1, 0xA, 255, 3u), L"-7|   42|1  |0A|ff|3|%");
    EXPECT_EQ(FormatText(L"%c%c", L'\u0142', L'a'), L"\u0142a");
    EXPECT_EQ(FormatText(L"%ls and %s", L"wide", L"also wide"), L"wide and also wide");
    EXPECT_EQ(FormatText(L"%s", L"\u00F3\U0001F3B9"), L"\u00F3\U0001F3B9");
}

TEST(WideText, FormatGrowsPastItsFirstBuffer)
{
    const std::wstring longText(5000, L'q');
    EXPECT_EQ(FormatText(L"<%s>", longText.c_str()), L"<" + longText + L">");
    EXPECT_EQ(FormatText(nullptr), L"");
}

TEST(WideText, Utf16BothByteOrders)
{
    const std::wstring text = L"Zażółć \U0001F3B9";
    for (const bool bigEndian : {false, true}) {
        SCOPED_TRACE(bigEndian ? "big-endian" : "little-endian");
        const std::string bytes = EncodeUtf16(text, bigEndian);
        ASSERT_EQ(bytes.size(), 2 * Utf16Length(text));
        EXPECT_EQ(bytes.substr(0, 2), bigEndian ? std::string("\0Z", 2) : std::string("Z\0", 2));
        EXPECT_EQ(DecodeUtf16(bytes, bigEndian), text);
    }
    EXPECT_EQ(Utf16Length(text), 9u); // the key is a surrogate pair
    // A lone surrogate is replaced; an odd last byte is dropped.
    EXPECT_EQ(DecodeUtf16(std::string("\x00\xD8"
                                      "A\x00"
                                      "B",
                                      5),
                          false),
              L"\uFFFDA");
}
