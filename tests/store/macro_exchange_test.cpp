// Macro files: the exact bytes written and the macro an import creates.

#include "store/macro_exchange.h"

#include "tests/store/exchange_test_support.h"

namespace {

class MacroExchangeTest : public ExchangeTest {
protected:
    MacroRow Import(const std::string& file, const CString& title)
    {
        const MacroImport imported = ImportMacro(m_database, UserPath(file), title);
        EXPECT_EQ(imported.macro.macro_id > 0, imported.error == ExchangeError::None);
        return imported.macro;
    }
    ExchangeError ImportError(const std::string& file)
    {
        return ImportMacro(m_database, UserPath(file), L"m.xml").error;
    }
};

TEST_F(MacroExchangeTest, ExportWritesTheGoldenFiles)
{
    FillSource();
    ASSERT_EQ(ExportMacro(m_database, 1, UserPath("combo.xml")), ExchangeError::None);
    EXPECT_EQ(ReadFileBytes(FilePath("combo.xml")),
              ReadFileBytes(FixturesDir() / "exchange/macro_export.xml"));
    // Without records macroitems takes the short form.
    ASSERT_EQ(ExportMacro(m_database, 2, UserPath("empty.xml")), ExchangeError::None);
    const Rows keys = Raw().Rows("SELECT * FROM t_key_macro_data");
    EXPECT_EQ(ReadFileBytes(FilePath("empty.xml")),
              ReadFileBytes(FixturesDir() / "exchange/macro_no_records.xml"));
}

TEST_F(MacroExchangeTest, ImportIsNamedAfterTheFileAndNeverMerges)
{
    FillSource();
    ASSERT_EQ(ExportMacro(m_database, 1, UserPath("B.xml")), ExchangeError::None);
    ASSERT_EQ(ExportMacro(m_database, 2, UserPath("empty.xml")), ExchangeError::None);
    const Rows keys = Raw().Rows("SELECT * FROM t_key_macro_data");

    const MacroRow first = Import("B.xml", L"B.xml");
    const MacroRow second = Import("B.xml", L"B.xml");
    const MacroRow empty = Import("empty.xml", L"Empty.macro.xml");
    EXPECT_EQ(first.macro_id, 3);
    EXPECT_EQ(second.macro_id, 4);
    EXPECT_EQ(empty.macro_id, 5);
    EXPECT_EQ(first.name, L"B");
    EXPECT_EQ(first.play_times, 3);
    // Loop type 16 and link count 2 of the source are not in the file.
    EXPECT_EQ(Macros(Raw()), Rows({{"1", "Combo & \"Dash\"", "3", "3", "25", "2", "16"},
                                   {"2", "W\xc3\xa4hle", "1", "1", "10", "0", "0"},
                                   {"3", "B", "3", "3", "25", "0", "0"},
                                   {"4", "B", "3", "3", "25", "0", "0"},
                                   {"5", "Empty", "1", "1", "10", "0", "0"}}));
    const Rows records = {{"0", "A", "2", "65", "30"}, {"1", "A", "3", "65", "0"}};
    EXPECT_EQ(Records(Raw(), 3), records);
    EXPECT_EQ(Records(Raw(), 4), records);
    EXPECT_EQ(Records(Raw(), 5), Rows());
    // No key runs an imported macro.
    EXPECT_EQ(Raw().Rows("SELECT * FROM t_key_macro_data"), keys);
}

TEST_F(MacroExchangeTest, RecordsAreReadOnlyFromTheMacroitemsAfterMacroinfo)
{
    struct Case {
        const char* what;
        const char* text;
        Rows macro;   // name, play_times, delay_type, delay_time
        Rows records; // record_index, desc, type, value, delay_time
    };
    const Case cases[] = {
        {"macroitems moved inside macroinfo",
         R"(<macro><macroinfo name="A" times="2" type="3" delaytime="40"><macroitems>
<item desc="A" type="2" value="65" delay_time="30"/></macroitems></macroinfo></macro>)",
         {{"M", "2", "3", "40"}},
         {}},
        {"no macroinfo, sparse items",
         R"(<macro><macroitems><item desc="&lt;x&gt;" value="12z"/><item type="3"/></macroitems></macro>)",
         {{"M", "0", "0", "0"}},
         {{"0", "<x>", "0", "12", "0"}, {"1", "", "3", "0", "0"}}},
        {"macroitems before macroinfo",
         R"(<macro><macroitems><item type="2"/></macroitems><macroinfo times="5x"/></macro>)",
         {{"M", "5", "0", "0"}},
         {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFile("m.xml", c.text);
        const MacroRow macro = Import("m.xml", L"M.xml");
        ASSERT_GT(macro.macro_id, 0);
        EXPECT_EQ(
            Raw().Rows("SELECT name, play_times, delay_type, delay_time FROM t_macro_data WHERE macro_id = " +
                       std::to_string(macro.macro_id)),
            c.macro);
        EXPECT_EQ(Records(Raw(), macro.macro_id), c.records);
    }
}

TEST_F(MacroExchangeTest, FilesThatAreNotMacrosChangeNothingAndSayWhy)
{
    const BadExchangeFile files[] = {
        {"empty", "", ExchangeError::NotXml},
        {"not well-formed", "<macro><macroinfo times=\"1\"></macro>", ExchangeError::NotXml},
        {"two roots", "<macro/><macro/>", ExchangeError::NotXml},
        {"profile file", "<profile><macroinfo name=\"m\" macro_id=\"1\"/><keyitems/></profile>",
         ExchangeError::WrongKind},
        {"text only", "macro", ExchangeError::NotXml},
        {"too large", "<macro>" + std::string(kMaxExchangeFileBytes, ' ') + "</macro>",
         ExchangeError::FileTooLarge},
    };
    for (const BadExchangeFile& file : files) {
        SCOPED_TRACE(file.what);
        WriteFile("bad.xml", file.bytes);
        EXPECT_EQ(ImportError("bad.xml"), file.error);
        EXPECT_EQ(RowCounts(Raw()), std::vector<int>({0, 0, 0, 0}));
    }
    EXPECT_EQ(ImportError("missing.xml"), ExchangeError::FileMissing);

    // A database that refuses the macro, or one of its records, ends up with neither.
    WriteFile("ok.xml",
              "<macro><macroinfo/><macroitems><item type=\"2\"/><item type=\"3\"/></macroitems></macro>");
    for (const char* trigger :
         {"CREATE TRIGGER refuse BEFORE INSERT ON t_macro_data BEGIN SELECT RAISE(ABORT, 'no'); END",
          "CREATE TRIGGER refuse BEFORE INSERT ON t_macrorecord WHEN NEW.type = 3 "
          "BEGIN SELECT RAISE(ABORT, 'no'); END"}) {
        SCOPED_TRACE(trigger);
        Raw().Execute(trigger);
        EXPECT_EQ(ImportError("ok.xml"), ExchangeError::DatabaseRefused);
        EXPECT_EQ(RowCounts(Raw()), std::vector<int>({0, 0, 0, 0}));
        Raw().Execute("DROP TRIGGER refuse");
    }
    EXPECT_GT(Import("ok.xml", L"ok.xml").macro_id, 0);
}

} // namespace
