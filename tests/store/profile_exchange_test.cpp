// Profile files: the exact bytes written, what an import creates in which database, and the files and
// databases that must change nothing.

#include "store/profile_exchange.h"

#include <functional>
#include <unistd.h>

#include "store/exchange_file.h"
#include "tests/store/exchange_test_support.h"

namespace {

namespace fs = std::filesystem;

class ProfileExchangeTest : public ExchangeTest {
protected:
    ProfileImport Import(ProfileDatabase& database, const std::string& file, const CString& title)
    {
        return ImportProfile(database, UserPath(file), title);
    }
};

const Rows kProfile1Keys = {
    {"0", "4", "-7", "x'y", "2", "5", "2", "0", "B"},
    {"0", "30", "0", "", "3", "1", "0", "0", "Combo & \"Dash\""},
    {"0", "31", "0", "", "3", "2", "0", "0", "W\xc3\xa4hle"},
    {"0", "32", "0", "", "3", "1", "0", "0", "Combo & \"Dash\""},
    {"0", "33", "0", "", "8", "1", "0", "0", "Calculator"},
    {"0", "34", "0", "", "3", "99", "0", "0", "Gone"},
};

// The same, once key 34 runs another key instead of a vanished macro: every macroinfo names a real macro.
Rows PlainProfile1Keys()
{
    Rows keys = kProfile1Keys;
    keys[5] = {"0", "34", "0", "", "2", "99", "0", "0", ""};
    return keys;
}

TEST_F(ProfileExchangeTest, ExportWritesTheGoldenFiles)
{
    FillSource();
    ASSERT_EQ(ExportProfile(m_database, 1, L"Gaming <1>", UserPath("gaming.xml")), ExchangeError::None);
    EXPECT_EQ(ReadFileBytes(FilePath("gaming.xml")),
              ReadFileBytes(FixturesDir() / "exchange/profile_export.xml"));

    // Only Fn-layer-1 assignments: keyitems in the short form and no macro.
    ASSERT_EQ(ExportProfile(m_database, 3, L"Solo", UserPath("solo.xml")), ExchangeError::None);
    EXPECT_EQ(ReadFileBytes(FilePath("solo.xml")),
              ReadFileBytes(FixturesDir() / "exchange/profile_fn1_only.xml"));
}

TEST_F(ProfileExchangeTest, ImportIntoAnotherDatabaseCreatesEveryMacroOfTheFile)
{
    FillSource();
    ASSERT_EQ(ExportProfile(m_database, 1, L"Gaming", UserPath("gaming.xml")), ExchangeError::None);
    ASSERT_EQ(AddMacro(Other(), {.name = L"Local", .play_times = 1, .delay_type = 1}, {}), 1);
    ASSERT_EQ(Other().AddProfile({.name = L"Home"}), 1);

    // The name comes from the title up to its first dot, not from profileinfo.
    const ProfileImport imported = Import(Other(), "gaming.xml", L"Gaming.v2.xml");
    ASSERT_EQ(imported.profile, 2);
    CString name;
    EXPECT_TRUE(Other().GetProfileName(2, name));
    EXPECT_EQ(name, L"Gaming");
    EXPECT_EQ(Other().GetActiveProfile(), 2);

    // One macro per macroinfo, repeats and the vanished macro (id 0, no name) included; loop type and
    // link count are not carried.
    const Rows macros = {{"1", "Local", "1", "1", "0", "0", "0"},
                         {"2", "Combo & \"Dash\"", "3", "3", "25", "0", "0"},
                         {"3", "W\xc3\xa4hle", "1", "1", "10", "0", "0"},
                         {"4", "Combo & \"Dash\"", "3", "3", "25", "0", "0"},
                         {"5", "", "0", "0", "0", "0", "0"}};
    EXPECT_EQ(Macros(RawOther()), macros);
    ASSERT_EQ(imported.macros.size(), 4u);
    for (size_t i = 0; i < imported.macros.size(); ++i) {
        EXPECT_EQ(imported.macros[i].macro_id, static_cast<int>(i) + 2);
        EXPECT_EQ(WideToUtf8(imported.macros[i].name), macros[i + 1][1]);
    }
    const Rows records = {{"0", "A", "2", "65", "30"}, {"1", "A", "3", "65", "0"}};
    EXPECT_EQ(Records(RawOther(), 2), records);
    EXPECT_EQ(Records(RawOther(), 4), records);
    EXPECT_EQ(Records(RawOther(), 3), Rows());

    // Both keys of the repeated macro run the copy made last; the key whose macro was not in the file and
    // the key extra reference keep their numbers; other types are never remapped.
    Rows keys = kProfile1Keys;
    keys[1][5] = "4";
    keys[2][5] = "3";
    keys[3][5] = "4";
    EXPECT_EQ(Keys(RawOther(), 2), keys);
}

TEST_F(ProfileExchangeTest, ReimportIntoTheSourceCreatesOnlyTheProfile)
{
    FillSource();
    SaveKey(m_database, 1, 0, 34, 2, 99);
    ASSERT_EQ(ExportProfile(m_database, 1, L"Profil 1", UserPath("p.xml")), ExchangeError::None);
    const Rows macrosBefore = Macros(Raw());
    const int recordsBefore = Raw().Number("SELECT count(*) FROM t_macrorecord");

    const ProfileImport imported = Import(m_database, "p.xml", L"Copy.xml");
    EXPECT_EQ(imported.profile, 4);
    EXPECT_TRUE(imported.macros.empty());
    EXPECT_EQ(Macros(Raw()), macrosBefore);
    EXPECT_EQ(Raw().Number("SELECT count(*) FROM t_macrorecord"), recordsBefore);
    EXPECT_EQ(Keys(Raw(), 4), PlainProfile1Keys());
}

TEST_F(ProfileExchangeTest, ImportAfterRenamingAMacroCreatesItAgain)
{
    FillSource();
    SaveKey(m_database, 1, 0, 34, 2, 99);
    ASSERT_EQ(ExportProfile(m_database, 1, L"Profil 1", UserPath("p.xml")), ExchangeError::None);
    ASSERT_TRUE(m_database.RenameMacro(1, L"Renamed"));

    const ProfileImport imported = Import(m_database, "p.xml", L"p.xml");
    // Both macroinfo elements of macro 1 miss the name check; macro 2 is still found.
    ASSERT_EQ(imported.macros.size(), 2u);
    EXPECT_EQ(imported.macros[0].macro_id, 3);
    EXPECT_EQ(imported.macros[1].macro_id, 4);
    EXPECT_EQ(imported.macros[1].name, L"Combo & \"Dash\"");
    EXPECT_EQ(Raw().Value("SELECT name FROM t_macro_data WHERE macro_id = 1"), "Renamed");

    Rows keys = PlainProfile1Keys();
    keys[1][5] = "4";
    keys[3][5] = "4";
    EXPECT_EQ(Keys(Raw(), imported.profile), keys);
}

TEST_F(ProfileExchangeTest, MacroIdsMapOnlyMacroKeysAndTheLastElementWins)
{
    // The macroinfo before keyitems counts as well; the second element for old id 5 replaces the first.
    WriteFile("map.xml", R"(<profile>
<macroinfo name="First" macro_id="5" times="2" type="1" delaytime="0"><macroitems/></macroinfo>
<profileinfo name="ignored"/>
<keyitems>
<item key_code="10" macro_type="3" macro_value="5"/>
<item key_code="11" macro_type="2" macro_value="5"/>
<item key_code="12" macro_type="3" macro_value="6"/>
</keyitems>
<macroinfo name="Second" macro_id="5"><macroitems><item desc="Q" type="2" value="81"/></macroitems></macroinfo>
</profile>)");
    const ProfileImport imported = Import(m_database, "map.xml", L"map.xml");
    ASSERT_EQ(imported.profile, 1);
    ASSERT_EQ(imported.macros.size(), 2u);
    EXPECT_EQ(imported.macros[0].name, L"First");
    EXPECT_EQ(imported.macros[0].play_times, 2);
    EXPECT_EQ(imported.macros[1].name, L"Second");
    EXPECT_EQ(Records(Raw(), 2), Rows({{"0", "Q", "2", "81", "0"}}));
    EXPECT_EQ(Raw().Rows("SELECT key_code, macro_type, macro_value FROM t_key_macro_data ORDER BY key_id"),
              Rows({{"10", "3", "2"}, {"11", "2", "5"}, {"12", "3", "6"}}));
}

TEST_F(ProfileExchangeTest, MissingAndNonNumericAttributesReadAsZeroAndEmpty)
{
    WriteFile("sparse.xml", R"(<?xml version="1.0" encoding="UTF-8"?>
<profile>
<keyitems>
<item key_code="12" macro_type="2" macro_value="7abc" macro_value3=" -3x"/>
<item key_code="x" macro_type="2" macro_value="5"/>
<item key_code="13" macro_type="2"/>
<item key_code="14" macro_type="5" macro_value2="3"/>
<item fn_layer="1" key_code="15" macro_type="1" macro_value="1" macro_desc="&amp;&#233;"/>
<other key_code="16" macro_type="1" macro_value="1"/>
</keyitems>
<macroinfo><macroitems><item/></macroitems></macroinfo>
</profile>)");
    const ProfileImport imported = Import(m_database, "sparse.xml", L"Sparse");
    ASSERT_EQ(imported.profile, 1);
    EXPECT_EQ(Raw().Value("SELECT name FROM t_profile_data"), "Sparse");
    // Key code 0 and an item with both values 0 are not stored (the assignment rules); the Fn layer is
    // taken from the file.
    EXPECT_EQ(Keys(Raw(), 1), Rows({{"0", "12", "0", "", "2", "7", "0", "-3", ""},
                                    {"0", "14", "0", "", "5", "0", "3", "0", ""},
                                    {"1", "15", "0", "", "1", "1", "0", "0", "&\xc3\xa9"}}));
    EXPECT_EQ(Macros(Raw()), Rows({{"1", "", "0", "0", "0", "0", "0"}}));
    EXPECT_EQ(Records(Raw(), 1), Rows({{"0", "", "0", "0", "0"}}));
}

TEST_F(ProfileExchangeTest, FilesThatAreNotProfilesChangeNothingAndSayWhy)
{
    FillSource();
    const std::vector<int> before = RowCounts(Raw());
    const BadExchangeFile files[] = {
        {"empty", "", ExchangeError::NotXml},
        {"not well-formed", "<profile><keyitems></profile>", ExchangeError::NotXml},
        {"two roots", "<profile/><profile/>", ExchangeError::NotXml},
        {"macro file", "<macro><macroinfo name=\"m\" times=\"1\"/><macroitems/></macro>",
         ExchangeError::WrongKind},
        {"wrong root around a profile",
         "<root><profile><macroinfo name=\"m\" macro_id=\"7\"/><keyitems/></profile></root>",
         ExchangeError::WrongKind},
        {"bytes", std::string("\x00\xff\xfe<\x01", 5), ExchangeError::NotXml},
        // Refused by its size alone, though it is a well-formed profile.
        {"too large", "<profile>" + std::string(kMaxExchangeFileBytes, ' ') + "</profile>",
         ExchangeError::FileTooLarge},
    };
    for (const BadExchangeFile& file : files) {
        SCOPED_TRACE(file.what);
        WriteFile("bad.xml", file.bytes);
        const ProfileImport imported = Import(m_database, "bad.xml", L"bad.xml");
        EXPECT_EQ(imported.error, file.error);
        EXPECT_EQ(imported.profile, 0);
        EXPECT_TRUE(imported.macros.empty());
        EXPECT_EQ(RowCounts(Raw()), before);
    }
    EXPECT_EQ(Import(m_database, "missing.xml", L"missing.xml").error, ExchangeError::FileMissing);
    fs::create_directory(FilePath("folder.xml"));
    EXPECT_EQ(Import(m_database, "folder.xml", L"folder.xml").error, ExchangeError::FileUnreadable);
    EXPECT_EQ(RowCounts(Raw()), before);
}

TEST_F(ProfileExchangeTest, AnImportTheDatabaseRefusesInAnyPartLeavesNothing)
{
    FillSource();
    SaveKey(m_database, 1, 0, 34, 2, 99);
    ASSERT_EQ(ExportProfile(m_database, 1, L"Profil 1", UserPath("p.xml")), ExchangeError::None);
    ASSERT_TRUE(m_database.RenameMacro(1, L"Renamed")); // so that macro 1 is created again, twice
    const std::vector<int> before = RowCounts(Raw());
    const int activeBefore = m_database.GetActiveProfile();

    // Each table refuses in turn; before, whatever came earlier in the file stayed behind.
    for (const char* table : {"t_macro_data", "t_macrorecord", "t_profile_data", "t_key_macro_data"}) {
        SCOPED_TRACE(table);
        Raw().Execute(std::string("CREATE TRIGGER refuse BEFORE INSERT ON ") + table +
                      " BEGIN SELECT RAISE(ABORT, 'no'); END");
        const ProfileImport imported = Import(m_database, "p.xml", L"p.xml");
        EXPECT_EQ(imported.error, ExchangeError::DatabaseRefused);
        EXPECT_EQ(imported.profile, 0);
        EXPECT_TRUE(imported.macros.empty());
        EXPECT_EQ(RowCounts(Raw()), before);
        EXPECT_EQ(m_database.GetActiveProfile(), activeBefore);
        Raw().Execute("DROP TRIGGER refuse");
    }

    // And the same file lands whole once the database takes it.
    const ProfileImport imported = Import(m_database, "p.xml", L"p.xml");
    EXPECT_EQ(imported.error, ExchangeError::None);
    EXPECT_EQ(imported.profile, 4);
    EXPECT_EQ(imported.macros.size(), 2u);
    EXPECT_EQ(m_database.GetActiveProfile(), 4);
}

TEST_F(ProfileExchangeTest, AFileNameWithABackslashIsTheUsersName)
{
    FillSource();
    // On Linux a backslash is part of the name: "a\b.xml" is one file, not b.xml in a folder a.
    ASSERT_EQ(ExportProfile(m_database, 1, L"Profil 1", UserPath("a\\b.xml")), ExchangeError::None);
    EXPECT_TRUE(fs::is_regular_file(FilePath("a\\b.xml")));
    EXPECT_FALSE(fs::exists(FilePath("a")));

    const ProfileImport imported = Import(m_database, "a\\b.xml", L"a\\b.xml");
    EXPECT_EQ(imported.error, ExchangeError::None);
    EXPECT_GT(imported.profile, 0);
}

TEST_F(ProfileExchangeTest, ProcessKilledDuringAnImportLeavesTheImportWholeOrAbsent)
{
    // Forty macros of fifty records each and a key for every macro: long enough to be killed inside.
    ASSERT_EQ(m_database.AddProfile({.name = L"Big"}), 1);
    std::vector<MacroRecordRow> records;
    for (int i = 0; i < 50; ++i)
        records.push_back({.type = 2 + i % 2, .record_index = i, .value = 65, .desc = L"A"});
    for (int key = 0; key < 40; ++key)
        SaveKey(m_database, 1, 0, 4 + key, 3, AddMacro(m_database, {.name = L"M"}, records));
    ASSERT_EQ(ExportProfile(m_database, 1, L"Big", UserPath("big.xml")), ExchangeError::None);
    // Renamed, so that every import creates all forty macros again.
    Raw().Execute("UPDATE t_macro_data SET name = 'Renamed'");
    m_database.Close();
    const std::string file = FilePath("big.xml").string();

    for (const int killAfterMs : {0, 20, 60}) {
        ASSERT_TRUE(KillPartWay(
            [&](const std::function<void()>& ready) {
                ProfileDatabase importer;
                if (!importer.OpenForDevice(m_dataFolder, kModel))
                    ::_exit(1);
                for (int round = 0;; ++round) {
                    ImportProfile(importer, NativeFilePath(file), L"Imported.xml");
                    if (round == 0)
                        ready();
                }
            },
            killAfterMs));

        ASSERT_TRUE(Open());
        EXPECT_EQ(Raw().Value("PRAGMA integrity_check"), "ok");
        // Every import that landed brought all its forty macros, their records and its forty keys, and
        // the newest profile is the active one.
        const int imports = Raw().Number("SELECT count(*) FROM t_profile_data") - 1;
        EXPECT_GE(imports, 1);
        EXPECT_EQ(Raw().Number("SELECT count(*) FROM t_macro_data"), 40 + 40 * imports);
        EXPECT_EQ(Raw().Number("SELECT count(*) FROM t_macrorecord"), 50 * 40 * (1 + imports));
        EXPECT_EQ(Raw().Number("SELECT count(*) FROM t_key_macro_data"), 40 * (1 + imports));
        EXPECT_EQ(m_database.GetActiveProfile(), Raw().Number("SELECT max(profile) FROM t_profile_data"));
        m_database.Close();
    }
}

TEST(ExchangeNameTest, TitleUpToTheFirstDot)
{
    const std::pair<CString, CString> cases[] = {
        {L"Gaming.xml", L"Gaming"},
        {L"Gaming.v2.xml", L"Gaming"},
        {L"Gaming", L"Gaming"},
        {L".xml", L""},
        {L"", L""},
        {L"a b.c", L"a b"},
    };
    for (const auto& [title, name] : cases)
        EXPECT_EQ(NameFromFileTitle(title), name) << WideToUtf8(title);
}

} // namespace
