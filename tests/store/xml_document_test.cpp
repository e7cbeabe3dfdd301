#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/number_text.h"
#include "store/xml_document.h"
#include "tests/support/scoped_folders.h"

namespace fs = std::filesystem;

namespace {

constexpr const wchar_t* kDeclaration = L"<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n";

// UTF-16 LE bytes of the text, after a byte-order mark when one is given.
std::string Utf16Le(const wchar_t* text, std::string_view mark = "\xFF\xFE")
{
    return std::string(mark) + EncodeUtf16(text, false);
}

class XmlDocumentTest : public testing::Test {
protected:
    CString PathOf(const char* name) const { return Utf8ToWide((m_dir.Path() / name).string()); }

    // Writes the bytes to a file and loads it.
    bool Load(XmlDocument& document, std::string_view bytes)
    {
        WriteFileBytes(m_dir.Path() / "in.xml", bytes);
        return document.LoadFile(PathOf("in.xml"));
    }

    // Saves the document and returns the file's bytes.
    std::string Save(const XmlDocument& document)
    {
        EXPECT_TRUE(document.SaveFile(PathOf("out.xml")));
        return ReadFileBytes(m_dir.Path() / "out.xml");
    }

    ScopedTempDir m_dir;
};

} // namespace

TEST_F(XmlDocumentTest, NewDocumentIsWrittenInTheFixedLayout)
{
    XmlDocument document;
    ASSERT_TRUE(document.SetText(kDeclaration));
    ASSERT_TRUE(document.AddElement(L"a"));
    ASSERT_TRUE(document.EnterElement());
    ASSERT_TRUE(document.AddElement(L"b"));
    ASSERT_TRUE(document.SetAttribute(L"x", L"1"));
    EXPECT_EQ(Save(document), "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n"
                              "<a>\r\n"
                              "<b x=\"1\"/>\r\n"
                              "</a>\r\n");
}

TEST_F(XmlDocumentTest, ElementsAttributesAndNestingKeepTheirOrder)
{
    XmlDocument document;
    document.SetText(kDeclaration);
    document.AddElement(L"profile");
    document.EnterElement();
    document.AddElement(L"first");
    document.AddElement(L"last");
    // Attributes appear in first-set order; setting one again replaces it in place.
    document.SetAttribute(L"name", L"old");
    document.SetAttribute(L"id", 7);
    document.SetAttribute(L"name", L"new");
    // A new element goes right after the current one, not at the end of the level.
    document.LeaveElement();
    document.EnterElement();
    document.FindElement(L"first");
    document.AddElement(L"middle");
    document.EnterElement();
    document.AddElement(L"leaf");
    document.LeaveElement();
    document.LeaveElement();
    EXPECT_EQ(document.GetDocumentText(), CString(kDeclaration) + L"<profile>\r\n"
                                                                  L"<first/>\r\n"
                                                                  L"<middle>\r\n"
                                                                  L"<leaf/>\r\n"
                                                                  L"</middle>\r\n"
                                                                  L"<last name=\"new\" id=\"7\"/>\r\n"
                                                                  L"</profile>\r\n");
}

TEST_F(XmlDocumentTest, SpecialCharactersSurviveAWriteAndARead)
{
    const CString value = L"Tom & \"Jerry\" <'x'>\tA\r\nB zażółć \U0001F3B9";
    XmlDocument written;
    written.SetText(kDeclaration);
    written.AddElement(L"macro");
    written.SetAttribute(L"name", value);
    const std::string bytes = Save(written);
    EXPECT_NE(bytes.find("name=\"Tom &amp; &quot;Jerry&quot; &lt;&apos;x&apos;&gt;&#9;A&#13;&#10;B"),
              std::string::npos)
        << bytes;

    XmlDocument read;
    ASSERT_TRUE(read.LoadFile(PathOf("out.xml")));
    ASSERT_TRUE(read.FindElement(L"macro"));
    EXPECT_EQ(read.GetAttribute(L"name"), value);
}

TEST_F(XmlDocumentTest, ReadsEveryEncoding)
{
    // Each file holds <a v="..."/> with the value below.
    struct Case {
        const char* what;
        std::string bytes;
        const wchar_t* value;
    };
    const wchar_t* element = L"<a v=\"ł\"/>";
    const Case cases[] = {
        {"UTF-8, no mark, no declaration",
         "<a v=\"\xC5\x82\xC3\xB3"
         "d\xC5\xBA\"/>",
         L"łódź"},
        {"UTF-8 with a mark", "\xEF\xBB\xBF<a v=\"\xC5\x82\"/>", L"ł"},
        {"UTF-16 LE with a mark", Utf16Le(element), L"ł"},
        {"UTF-16 BE with a mark", "\xFE\xFF" + EncodeUtf16(element, true), L"ł"},
        {"UTF-16 LE without a mark", Utf16Le(element, ""), L"ł"},
        {"declared ISO-8859-2", "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><a v=\"\xB3\xF3\"/>", L"łó"},
        {"undeclared, not UTF-8: Windows-1252", "<a v=\"\x80 caf\xE9\"/>", L"€ café"},
        {"declared UTF-8 but malformed", "<?xml version=\"1.0\" encoding=\"utf-8\"?><a v=\"x\xFFy\"/>",
         L"x\uFFFDy"},
        {"unknown declared encoding, valid UTF-8",
         "<?xml version=\"1.0\" encoding=\"x-none\"?><a v=\"\xC5\x82\"/>", L"ł"},
        {"references", "<a v=\"&lt;&#x41;&#66;&amp;&quot;&apos;&gt;\"/>", L"<AB&\"'>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        XmlDocument document;
        ASSERT_TRUE(Load(document, c.bytes));
        ASSERT_TRUE(document.FindElement(L"a"));
        EXPECT_EQ(document.GetAttribute(L"v"), c.value);
    }
}

TEST_F(XmlDocumentTest, MalformedFilesDoNotLoad)
{
    const std::pair<const char*, std::string> cases[] = {
        {"two root elements", "<a/><b/>"},
        {"unclosed element", "<a><b/>"},
        {"mismatched end tag", "<a></b>"},
        {"declaration only", "<?xml version=\"1.0\"?>\r\n"},
        {"empty file", ""},
    };
    for (const auto& [what, bytes] : cases) {
        SCOPED_TRACE(what);
        XmlDocument document;
        EXPECT_FALSE(Load(document, bytes));
        EXPECT_FALSE(document.FindElement(L"a"));
        EXPECT_EQ(document.GetDocumentText(), L"");
    }
    XmlDocument document;
    EXPECT_FALSE(document.LoadFile(PathOf("missing.xml")));
    EXPECT_FALSE(document.LoadFile(Utf8ToWide(m_dir.Path().string()))); // a folder
}

TEST_F(XmlDocumentTest, FilesAreRefusedByKindAndSizeBeforeTheyAreRead)
{
    const fs::path dir = m_dir.Path();
    const auto load = [&](const char* name, uint64_t limit) {
        XmlDocument document;
        return document.LoadNativeFile(NativeFilePath((dir / name).string()), limit);
    };
    WriteFileBytes(dir / "small.xml", "<a/>");
    EXPECT_EQ(load("small.xml", 4), XmlLoadResult::Loaded);
    EXPECT_EQ(load("small.xml", 3), XmlLoadResult::TooLarge);
    WriteFileBytes(dir / "text.txt", "not xml");
    EXPECT_EQ(load("text.txt", 100), XmlLoadResult::NotWellFormed);
    EXPECT_EQ(load("missing.xml", 100), XmlLoadResult::Missing);
    EXPECT_EQ(load("missing/in.xml", 100), XmlLoadResult::Missing);
    EXPECT_EQ(load(".", 100), XmlLoadResult::Unreadable);

    // A terabyte that is all hole: read, it would fill memory; its size alone refuses it at once.
    {
        std::FILE* huge = std::fopen((dir / "huge.xml").c_str(), "wb");
        ASSERT_NE(huge, nullptr);
        ASSERT_EQ(::ftruncate(::fileno(huge), off_t{1} << 40), 0);
        std::fclose(huge);
    }
    EXPECT_EQ(load("huge.xml", 4 << 20), XmlLoadResult::TooLarge);
    // Installation files have their own limit.
    XmlDocument document;
    EXPECT_FALSE(document.LoadFile(Utf8ToWide((dir / "huge.xml").string())));

    // A FIFO with no writer would block an ordinary open for good.
    ASSERT_EQ(::mkfifo((dir / "fifo.xml").c_str(), 0600), 0);
    EXPECT_EQ(load("fifo.xml", 100), XmlLoadResult::Unreadable);
}

TEST_F(XmlDocumentTest, PositionModel)
{
    XmlDocument document;
    ASSERT_TRUE(Load(document, "<config><x n=\"1\"/><y/><x n=\"2\"><z/></x><X n=\"3\"/></config>"));
    // At the top level nothing is current: no attributes, nothing to enter, nothing to leave.
    EXPECT_EQ(document.GetAttribute(L"n"), L"");
    EXPECT_FALSE(document.EnterElement());
    EXPECT_FALSE(document.LeaveElement());
    EXPECT_FALSE(document.SetAttribute(L"n", L"0"));

    ASSERT_TRUE(document.FindElement(L"config"));
    ASSERT_TRUE(document.EnterElement());
    EXPECT_FALSE(document.FindElement(L"z")); // not on this level
    ASSERT_TRUE(document.FindElement(L"x"));
    EXPECT_EQ(document.GetAttribute(L"n"), L"1");
    ASSERT_TRUE(document.FindElement(L"x")); // continues after the current one
    EXPECT_EQ(document.GetAttribute(L"n"), L"2");
    EXPECT_FALSE(document.FindElement(L"x")); // names are case-sensitive: "X" is another element
    EXPECT_EQ(document.GetAttribute(L"n"), L"2") << "a failed search changes nothing";
    EXPECT_FALSE(document.FindElement(L"y")) << "an element before the current one is not seen";

    ASSERT_TRUE(document.EnterElement());
    ASSERT_TRUE(document.FindElement(L"z"));
    ASSERT_TRUE(document.LeaveElement());
    EXPECT_EQ(document.GetAttribute(L"n"), L"2") << "leaving makes the entered element current";
    EXPECT_TRUE(document.FindElement(L"X"));
    EXPECT_EQ(LeadingDecimal(document.GetAttribute(L"missing")), 0);

    ASSERT_TRUE(document.LeaveElement());
    EXPECT_FALSE(document.LeaveElement());
    EXPECT_FALSE(document.FindElement(L"config")) << "the only root was already found";
}

TEST_F(XmlDocumentTest, RefusesWhatWouldBreakTheFile)
{
    XmlDocument document;
    document.SetText(kDeclaration);
    EXPECT_FALSE(document.AddElement(L"")) << "empty name";
    EXPECT_FALSE(document.AddElement(L"two words"));
    EXPECT_FALSE(document.AddElement(L"1st"));
    ASSERT_TRUE(document.AddElement(L"root"));
    EXPECT_FALSE(document.SetAttribute(L"a=b", L"1"));
    EXPECT_FALSE(document.AddElement(L"second")) << "a second root element";
    EXPECT_EQ(document.GetDocumentText(), CString(kDeclaration) + L"<root/>\r\n");

    EXPECT_FALSE(document.SaveFile(PathOf("no/such/folder/out.xml")));
    EXPECT_FALSE(document.SetText(L"<a/><b/>"));
}

TEST_F(XmlDocumentTest, SavesInTheDeclaredEncoding)
{
    struct Case {
        const char* what;
        std::string input;
        std::string output;
    };
    const Case cases[] = {
        {"UTF-16 with a mark is written back as UTF-16 with a mark",
         Utf16Le(L"<?xml version=\"1.0\" encoding=\"UTF-16\"?><a v=\"ł\"/>"),
         Utf16Le(L"<?xml version=\"1.0\" encoding=\"UTF-16\"?>\r\n<a v=\"ł\"/>\r\n")},
        {"a UTF-8 mark is kept", "\xEF\xBB\xBF<a/>", "\xEF\xBB\xBF<a/>\r\n"},
        {"Latin-2 stays Latin-2", "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?><a v=\"\xB3\"/>",
         "<?xml version=\"1.0\" encoding=\"ISO-8859-2\"?>\r\n<a v=\"\xB3\"/>\r\n"},
        {"comments and text content stay in place", "<a><!--note--><b>x &amp; y</b></a>",
         "<a>\r\n<!--note-->\r\n<b>x &amp; y</b>\r\n</a>\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        XmlDocument document;
        ASSERT_TRUE(Load(document, c.input));
        EXPECT_EQ(Save(document), c.output);
    }

    // A character the declared encoding cannot hold fails the save instead of writing something else.
    XmlDocument latin1;
    latin1.SetText(L"<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>");
    latin1.AddElement(L"a");
    latin1.SetAttribute(L"v", L"ł");
    EXPECT_FALSE(latin1.SaveFile(PathOf("latin1.xml")));
    EXPECT_FALSE(fs::exists(m_dir.Path() / "latin1.xml"));
}
