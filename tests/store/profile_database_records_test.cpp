// The record operations on a real file: what each one stores where, and the rules between tables.

#include <chrono>
#include <thread>

#include "tests/store/store_test_support.h"

using Rows = std::vector<std::vector<std::string>>;

namespace {

class RecordsTest : public ProfileDatabaseTest {
protected:
    void SetUp() override { ASSERT_TRUE(Open()); }

    int SaveKey(int profile, int fnLayer, int keyCode, int type, int value, int value2 = 0)
    {
        return m_database.SaveKeyAssignment({.profile = profile,
                                             .fn_layer = fnLayer,
                                             .key_code = keyCode,
                                             .macro_type = type,
                                             .macro_value = value,
                                             .macro_value2 = value2});
    }

    Rows Assignments() const
    {
        return Raw().Rows("SELECT profile, fn_layer, key_code, macro_type, macro_value FROM t_key_macro_data "
                          "ORDER BY key_id");
    }

    MacroRecordList Records(std::initializer_list<MacroRecordRow> rows)
    {
        MacroRecordList list;
        for (const MacroRecordRow& row : rows)
            list.push_back(std::make_unique<MacroRecordRow>(row));
        return list;
    }
};

TEST_F(RecordsTest, ProfilesRoundTrip)
{
    EXPECT_EQ(m_database.GetActiveProfile(), 0);
    // status and type given by the caller are not stored: a new profile is inactive, type 0.
    const int first = m_database.AddProfile({.name = L"Profil 1", .app = L"", .type = 5, .status = 1});
    const int second = m_database.AddProfile({.name = L"Gr\u00fc\u00dfe \U0001F600", .app = L"x.exe"});
    ASSERT_EQ(first, 1);
    ASSERT_EQ(second, 2);
    EXPECT_EQ(Raw().Rows("SELECT * FROM t_profile_data"), Rows({{"1", "Profil 1", "0", "", "0"},
                                                                {"2",
                                                                 "Gr\xc3\xbc\xc3\x9f"
                                                                 "e \xf0\x9f\x98\x80",
                                                                 "0", "x.exe", "0"}}));

    EXPECT_TRUE(m_database.RenameProfile(first, L"Work"));
    CString name;
    EXPECT_TRUE(m_database.GetProfileName(first, name));
    EXPECT_EQ(name, L"Work");

    EXPECT_TRUE(m_database.SetActiveProfile(second));
    EXPECT_EQ(m_database.GetActiveProfile(), second);
    EXPECT_TRUE(m_database.SetActiveProfile(first));
    EXPECT_EQ(m_database.GetActiveProfile(), first);

    ProfileList list;
    list.push_back(std::make_unique<ProfileRow>()); // replaced, not appended to
    ASSERT_EQ(m_database.ListProfiles(list), 2);
    EXPECT_EQ(list[0]->profile, first);
    EXPECT_EQ(list[0]->name, L"Work");
    EXPECT_EQ(list[0]->status, 1);
    EXPECT_EQ(list[1]->name, L"Gr\u00fc\u00dfe \U0001F600");
    EXPECT_EQ(list[1]->app, L"x.exe");
    EXPECT_EQ(list[1]->status, 0);

    // Deleting a profile leaves its assignments; removing those is its own operation.
    SaveKey(first, 0, 4, 1, 1);
    SaveKey(second, 0, 4, 1, 1);
    EXPECT_TRUE(m_database.DeleteProfile(first));
    EXPECT_FALSE(m_database.GetProfileName(first, name));
    EXPECT_EQ(name, L"");
    EXPECT_EQ(Assignments().size(), 2u);
    m_database.DeleteProfileAssignments(first);
    EXPECT_EQ(Assignments(), Rows({{"2", "0", "4", "1", "1"}}));
}

TEST_F(RecordsTest, TextThatIsNullOrNotUtf8ReadsEmpty)
{
    const RawDatabase raw = Raw();
    raw.Execute(
        "INSERT INTO t_profile_data(name, status, app, type) VALUES (NULL, 0, CAST(X'C328' AS TEXT), 0)");
    raw.Execute(
        "INSERT INTO t_profile_data(name, status, app, type) VALUES (CAST(X'FF61' AS TEXT), 0, 'ok', 0)");
    ProfileList list;
    ASSERT_EQ(m_database.ListProfiles(list), 2);
    EXPECT_EQ(list[0]->name, L"");
    EXPECT_EQ(list[0]->app, L"");
    EXPECT_EQ(list[1]->name, L"");
    EXPECT_EQ(list[1]->app, L"ok");
}

TEST_F(RecordsTest, SaveKeyAssignmentRules)
{
    // Key code 0 is never stored.
    EXPECT_EQ(SaveKey(1, 0, 0, 2, 5), 0);
    EXPECT_TRUE(Assignments().empty());

    const int first = SaveKey(1, 0, 4, 2, 5);
    EXPECT_GT(first, 0);
    // The same key again: one row, with a new id.
    const int second = SaveKey(1, 0, 4, 2, 6);
    EXPECT_GT(second, first);
    // Another layer and another profile are other keys; macro_value2 alone is an assignment too.
    EXPECT_GT(SaveKey(1, 1, 4, 2, 7), 0);
    EXPECT_GT(SaveKey(2, 0, 4, 2, 0, 2), 0);
    EXPECT_EQ(Assignments(),
              Rows({{"1", "0", "4", "2", "6"}, {"1", "1", "4", "2", "7"}, {"2", "0", "4", "2", "0"}}));

    // Both values 0: the key's row goes and nothing takes its place.
    EXPECT_EQ(SaveKey(1, 0, 4, 0, 0), 0);
    EXPECT_EQ(Assignments(), Rows({{"1", "1", "4", "2", "7"}, {"2", "0", "4", "2", "0"}}));
    KeyAssignmentRow untouched{.key_id = 99};
    EXPECT_FALSE(m_database.GetKeyAssignment(1, 0, 4, untouched));
    EXPECT_EQ(untouched.key_id, 99);
}

TEST_F(RecordsTest, KeyAssignmentsRoundTripInIdOrder)
{
    const KeyAssignmentRow full{.profile = 3,
                                .fn_layer = 0,
                                .key_code = 41,
                                .layout_value = 7,
                                .layout_desc = L"layout",
                                .macro_type = 7,
                                .macro_value = 13,
                                .macro_value2 = 2,
                                .macro_value3 = -5,
                                .macro_desc = L"Ctrl+\u00c4"};
    const int id = m_database.SaveKeyAssignment(full);
    KeyAssignmentRow read;
    ASSERT_TRUE(m_database.GetKeyAssignment(3, 0, 41, read));
    EXPECT_EQ(read.key_id, id);
    EXPECT_EQ(
        std::tie(read.profile, read.fn_layer, read.key_code, read.layout_value, read.layout_desc,
                 read.macro_type, read.macro_value, read.macro_value2, read.macro_value3, read.macro_desc),
        std::tie(full.profile, full.fn_layer, full.key_code, full.layout_value, full.layout_desc,
                 full.macro_type, full.macro_value, full.macro_value2, full.macro_value3, full.macro_desc));

    // A list comes in id order: the key saved again moves behind the others.
    SaveKey(3, 0, 5, 2, 5);
    SaveKey(3, 1, 6, 2, 5); // another layer: not listed
    SaveKey(3, 0, 41, 2, 9);
    KeyAssignmentList list;
    ASSERT_EQ(m_database.ListKeyAssignments(3, 0, list), 2);
    EXPECT_EQ(list[0]->key_code, 5);
    EXPECT_EQ(list[1]->key_code, 41);
    EXPECT_EQ(list[1]->macro_value, 9);
}

TEST_F(RecordsTest, KeyExtraRecords)
{
    const int id = m_database.AddKeyExtra({.macro_desc = L"Editor", .param = L"/usr/bin/editor", .type = 8});
    ASSERT_GT(id, 0);
    CString desc, param;
    int type = 0;
    EXPECT_TRUE(m_database.GetKeyExtra(id, desc, param, type));
    EXPECT_EQ(desc, L"Editor");
    EXPECT_EQ(param, L"/usr/bin/editor");
    EXPECT_EQ(type, 8);
    // A missing record still answers true and leaves the outputs as they were.
    EXPECT_TRUE(m_database.GetKeyExtra(id + 1, desc, param, type));
    EXPECT_EQ(desc, L"Editor");
    EXPECT_EQ(type, 8);
}

TEST_F(RecordsTest, DeleteMacroTakesItsRecordsAndTheKeysThatRunIt)
{
    const int doomed = m_database.AddMacro(L"Macro 1");
    const int kept = m_database.AddMacro(L"Macro 2");
    m_database.AddMacroRecords(Records({{.macro_id = doomed, .type = 2}, {.macro_id = kept, .type = 2}}));
    SaveKey(1, 0, 4, 3, doomed);
    SaveKey(2, 1, 5, 3, doomed);
    SaveKey(1, 0, 6, 3, kept);
    SaveKey(1, 0, 7, 2, doomed); // same number, but a key code: stays
    SaveKey(1, 0, 8, 8, doomed); // same number, but an extra record id: stays

    EXPECT_TRUE(m_database.DeleteMacro(doomed));
    MacroRow row;
    EXPECT_FALSE(m_database.GetMacro(doomed, row));
    EXPECT_EQ(Raw().Rows("SELECT macro_id FROM t_macrorecord"), Rows({{std::to_string(kept)}}));
    EXPECT_EQ(Assignments(), Rows({{"1", "0", "6", "3", std::to_string(kept)},
                                   {"1", "0", "7", "2", std::to_string(doomed)},
                                   {"1", "0", "8", "8", std::to_string(doomed)}}));
}

TEST_F(RecordsTest, DeleteMacroThatCannotGoLeavesEverythingInPlace)
{
    const int macro = m_database.AddMacro(L"Macro 1");
    m_database.AddMacroRecords(Records({{.macro_id = macro, .type = 2}}));
    SaveKey(1, 0, 4, 3, macro);
    Raw().Execute("CREATE TRIGGER refuse BEFORE DELETE ON t_macro_data BEGIN SELECT RAISE(ABORT, 'no'); END");

    EXPECT_FALSE(m_database.DeleteMacro(macro));
    EXPECT_EQ(Raw().Number("SELECT count(*) FROM t_macro_data"), 1);
    EXPECT_EQ(Raw().Number("SELECT count(*) FROM t_macrorecord"), 1);
    EXPECT_EQ(Assignments().size(), 1u);
}

TEST_F(RecordsTest, MacrosRoundTrip)
{
    const int added = m_database.AddMacro(L"Makro 1");
    MacroRow row;
    ASSERT_TRUE(m_database.GetMacro(added, row));
    EXPECT_EQ(std::tie(row.macro_id, row.name, row.play_times, row.delay_type, row.delay_time, row.link_count,
                       row.loop_type),
              std::tuple(added, CString(L"Makro 1"), 1, 1, 0, 0, 0));

    const int inserted = m_database.InsertMacro({.name = L"Copy",
                                                 .link_count = 4,
                                                 .play_times = 3,
                                                 .delay_type = 3,
                                                 .delay_time = 250,
                                                 .loop_type = 16});
    ASSERT_TRUE(m_database.GetMacro(inserted, row));
    EXPECT_EQ(
        std::tie(row.name, row.link_count, row.play_times, row.delay_type, row.delay_time, row.loop_type),
        std::tuple(CString(L"Copy"), 4, 3, 3, 250, 16));

    // The settings update writes neither the name nor the link count.
    EXPECT_TRUE(m_database.UpdateMacro({.macro_id = inserted,
                                        .name = L"ignored",
                                        .link_count = 9,
                                        .play_times = 99,
                                        .delay_type = 2,
                                        .delay_time = 10,
                                        .loop_type = 32}));
    EXPECT_TRUE(m_database.RenameMacro(added, L"Renamed"));
    int playTimes = 0;
    EXPECT_TRUE(m_database.GetMacroPlayTimes(inserted, playTimes));
    EXPECT_EQ(playTimes, 99);

    MacroList list;
    ASSERT_EQ(m_database.ListMacros(list), 2);
    EXPECT_EQ(list[0]->name, L"Renamed");
    EXPECT_EQ(std::tie(list[1]->name, list[1]->link_count, list[1]->play_times, list[1]->delay_type,
                       list[1]->delay_time, list[1]->loop_type),
              std::tuple(CString(L"Copy"), 4, 99, 2, 10, 32));
}

TEST_F(RecordsTest, MacroRecordsComeInIndexOrderAndCountEvents)
{
    const int macro = m_database.AddMacro(L"Macro 1");
    const int other = m_database.AddMacro(L"Macro 2");
    m_database.AddMacroRecords(Records({
        {.macro_id = macro, .type = 3, .record_index = 2, .value = 0x41, .delay_time = 30, .desc = L"A"},
        {.macro_id = macro, .type = 1, .record_index = 0, .value = 0, .delay_time = 0, .desc = L""},
        {.macro_id = other, .type = 2, .record_index = 1, .value = 0x42, .delay_time = 5, .desc = L"B"},
    }));
    m_database.AddMacroRecord(
        {.macro_id = macro, .type = 1, .record_index = 3, .value = 0, .delay_time = 0, .desc = L""});
    const int single = m_database.AddMacroRecord(
        {.macro_id = macro, .type = 2, .record_index = 1, .value = 0x41, .delay_time = 20, .desc = L"A"});
    EXPECT_EQ(single, 5);

    MacroRecordList list;
    ASSERT_EQ(m_database.ListMacroRecords(macro, list), 4);
    for (int i = 0; i < 4; ++i)
        EXPECT_EQ(list[i]->record_index, i);
    const MacroRecordRow& press = *list[1];
    EXPECT_EQ(
        std::tie(press.record_id, press.macro_id, press.type, press.value, press.delay_time, press.desc),
        std::tuple(single, macro, 2, 0x41, 20, CString(L"A")));
    EXPECT_EQ(list[2]->type, 3);
    EXPECT_EQ(list[2]->delay_time, 30);

    // Four records, two of type 1.
    EXPECT_EQ(m_database.CountMacroEvents(macro), 2);
    EXPECT_TRUE(m_database.DeleteMacroRecords(macro));
    EXPECT_EQ(m_database.ListMacroRecords(macro, list), 0);
    EXPECT_EQ(m_database.ListMacroRecords(other, list), 1);
}

TEST_F(RecordsTest, MultiRowWritesSkipAFailingRow)
{
    const RawDatabase raw = Raw();
    raw.Execute("CREATE TRIGGER bad_key BEFORE INSERT ON t_key_light_data WHEN NEW.key_code = 13 "
                "BEGIN SELECT RAISE(ABORT, 'bad'); END");
    raw.Execute("CREATE TRIGGER bad_record BEFORE INSERT ON t_macrorecord WHEN NEW.record_index = 1 "
                "BEGIN SELECT RAISE(ABORT, 'bad'); END");

    KeyLightList lights;
    for (const int key : {4, 13, 5})
        lights.push_back(std::make_unique<KeyLightRow>(
            KeyLightRow{.profile = 1, .light_id = 128, .key_code = key, .key_rgb = 0x00FF8000}));
    EXPECT_EQ(m_database.AddKeyLights(std::move(lights)), 3);
    m_database.AddMacroRecords(Records({{.macro_id = 1, .record_index = 0},
                                        {.macro_id = 1, .record_index = 1},
                                        {.macro_id = 1, .record_index = 2}}));

    // Committed, and seen so by another connection.
    EXPECT_EQ(raw.Rows("SELECT profile, light_id, key_code, key_rgb FROM t_key_light_data"),
              Rows({{"1", "128", "4", "16744448"}, {"1", "128", "5", "16744448"}}));
    EXPECT_EQ(raw.Rows("SELECT record_index FROM t_macrorecord"), Rows({{"0"}, {"2"}}));
    // No transaction was left open to swallow the next write.
    EXPECT_GT(m_database.AddMacro(L"after"), 0);
    EXPECT_EQ(raw.Number("SELECT count(*) FROM t_macro_data"), 1);
}

TEST_F(RecordsTest, ABatchLandsWholeAtItsCommitOrNotAtAll)
{
    const RawDatabase raw = Raw();
    const auto writeSome = [&] {
        const int macro = m_database.AddMacro(L"M");
        // Operations with transactions of their own join the batch instead of committing.
        m_database.AddMacroRecords(Records({{.macro_id = macro, .record_index = 0}}));
        SaveKey(1, 0, 4, 3, macro);
        m_database.SetActiveProfile(m_database.AddProfile({.name = L"P"}));
    };
    const std::vector<int> nothing = {0, 0, 0, 0};
    const auto counts = [&] {
        std::vector<int> result;
        for (const char* table : {"t_macro_data", "t_macrorecord", "t_key_macro_data", "t_profile_data"})
            result.push_back(raw.Number(std::string("SELECT count(*) FROM ") + table));
        return result;
    };

    {
        ProfileDatabase::Batch batch(m_database);
        writeSome();
        EXPECT_EQ(counts(), nothing) << "nothing is seen before the commit";
        // Inside the batch its own thread reads what it wrote.
        MacroList macros;
        EXPECT_EQ(m_database.ListMacros(macros), 1);
    } // abandoned
    EXPECT_EQ(counts(), nothing);

    {
        ProfileDatabase::Batch outer(m_database);
        writeSome();
        {
            ProfileDatabase::Batch inner(m_database);
            writeSome();
            EXPECT_TRUE(inner.Commit());
        }
        EXPECT_EQ(counts(), nothing) << "an inner batch commits with the outer one";
        EXPECT_TRUE(outer.Commit());
    }
    EXPECT_EQ(counts(), std::vector<int>({2, 2, 1, 2}));
    EXPECT_EQ(m_database.GetActiveProfile(), 2);

    {
        ProfileDatabase::Batch outer(m_database);
        writeSome();
        {
            ProfileDatabase::Batch inner(m_database);
        } // abandoned: the whole batch is lost
        EXPECT_FALSE(outer.Commit());
    }
    EXPECT_EQ(counts(), std::vector<int>({2, 2, 1, 2}));

    // SQLite itself ends the transaction part-way (as it does on a full disk): what the batch does
    // afterwards must not land on its own either.
    raw.Execute("CREATE TRIGGER lost BEFORE INSERT ON t_macrorecord BEGIN SELECT RAISE(ROLLBACK, 'no'); END");
    {
        ProfileDatabase::Batch batch(m_database);
        writeSome();
        EXPECT_FALSE(batch.Commit());
    }
    raw.Execute("DROP TRIGGER lost");
    EXPECT_EQ(counts(), std::vector<int>({2, 2, 1, 2}));

    // Without a batch every operation commits on its own again.
    EXPECT_GT(m_database.AddMacro(L"after"), 0);
    EXPECT_EQ(raw.Number("SELECT count(*) FROM t_macro_data"), 3);
}

TEST_F(RecordsTest, OtherThreadsWaitForABatchAndAreNotRolledBackWithIt)
{
    std::thread other;
    {
        ProfileDatabase::Batch batch(m_database);
        m_database.AddMacro(L"batch");
        other = std::thread([&] { m_database.AddMacro(L"other"); });
        // Give the other thread time to try; it must wait rather than write into this transaction.
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    } // rolled back
    other.join();
    EXPECT_EQ(Raw().Rows("SELECT name FROM t_macro_data"), Rows({{"other"}}));
}

TEST_F(RecordsTest, KeyLightSetsAreSharedByProfiles)
{
    KeyLightList rows;
    rows.push_back(std::make_unique<KeyLightRow>(
        KeyLightRow{.profile = 1, .light_id = 128, .key_code = 4, .key_rgb = 255}));
    rows.push_back(std::make_unique<KeyLightRow>(
        KeyLightRow{.profile = 2, .light_id = 129, .key_code = 4, .key_rgb = 1}));
    rows.push_back(std::make_unique<KeyLightRow>(
        KeyLightRow{.profile = 2, .light_id = 128, .key_code = 5, .key_rgb = 65280}));
    m_database.AddKeyLights(std::move(rows));

    KeyLightList set;
    ASSERT_EQ(m_database.ListKeyLights(128, set), 2);
    EXPECT_EQ(
        std::tie(set[0]->keylight_id, set[0]->profile, set[0]->light_id, set[0]->key_code, set[0]->key_rgb),
        std::tuple(1, 1, 128, 4, 255));
    EXPECT_EQ(std::tie(set[1]->profile, set[1]->key_code, set[1]->key_rgb), std::tuple(2, 5, 65280));

    EXPECT_TRUE(m_database.DeleteKeyLights(128));
    EXPECT_EQ(m_database.ListKeyLights(128, set), 0);
    EXPECT_EQ(m_database.ListKeyLights(129, set), 1);
}

TEST_F(RecordsTest, LightingRowsAndTheOneActiveMode)
{
    const LightRow wave{.profile = 1,
                        .name = L"81",
                        .mode = 2,
                        .brightness = 4,
                        .speed = 3,
                        .direction = 1,
                        .colorful = 1,
                        .colorindex = 0,
                        .color_value = 255,
                        .config_func = 0x027,
                        .reserved = 0,
                        .status = 0};
    ASSERT_EQ(m_database.AddLight({.profile = 1, .name = L"80", .mode = 1, .config_func = 1}), 1);
    ASSERT_EQ(m_database.AddLight(wave), 2);
    ASSERT_EQ(m_database.AddLight({.profile = 2, .name = L"80", .mode = 1}), 3);
    EXPECT_EQ(m_database.CountLights(1), 2);

    LightRow read;
    ASSERT_TRUE(m_database.GetLight(1, 2, read));
    EXPECT_EQ(std::tie(read.light_id, read.profile, read.name, read.mode, read.brightness, read.speed,
                       read.direction, read.colorful, read.colorindex, read.color_value, read.config_func,
                       read.reserved, read.status),
              std::tuple(2, 1, CString(L"81"), 2, 4, 3, 1, 1, 0, 255, 0x027, 0, 0));

    // The update writes the settings, not the name, mode or status.
    EXPECT_TRUE(m_database.UpdateLight(1, 2,
                                       {.name = L"x",
                                        .mode = 9,
                                        .brightness = 1,
                                        .speed = 0x42,
                                        .direction = 2,
                                        .colorful = 0,
                                        .colorindex = 5,
                                        .color_value = 0xFF00FF,
                                        .config_func = 0x800,
                                        .reserved = 7,
                                        .status = 1}));
    ASSERT_TRUE(m_database.GetLight(1, 2, read));
    EXPECT_EQ(std::tie(read.name, read.mode, read.brightness, read.speed, read.direction, read.colorful,
                       read.colorindex, read.color_value, read.config_func, read.reserved, read.status),
              std::tuple(CString(L"81"), 2, 1, 0x42, 2, 0, 5, 0xFF00FF, 0x800, 7, 0));

    // One active row in the whole file: activating a mode of profile 2 clears profile 1's.
    EXPECT_TRUE(m_database.SetActiveLight(1, 2));
    EXPECT_EQ(m_database.GetActiveLightMode(1), 2);
    EXPECT_TRUE(m_database.SetActiveLight(2, 1));
    EXPECT_EQ(m_database.GetActiveLightMode(1), 0);
    EXPECT_EQ(m_database.GetActiveLightMode(2), 1);
    EXPECT_EQ(Raw().Rows("SELECT light_id FROM t_light_data WHERE status = 1"), Rows({{"3"}}));

    LightList list;
    ASSERT_EQ(m_database.ListLights(1, list), 2);
    EXPECT_EQ(list[0]->mode, 1);
    EXPECT_EQ(list[1]->mode, 2);
}

TEST_F(RecordsTest, MusicLayer)
{
    EXPECT_EQ(m_database.CountMusicLayers(), 0);
    EXPECT_EQ(m_database.GetSelectedMusicLayer(), 0);
    ASSERT_EQ(m_database.AddMusicLayer(L"Music", 15), 1);
    EXPECT_EQ(m_database.CountMusicLayers(), 1);
    EXPECT_EQ(Raw().Rows("SELECT * FROM t_musiclayer_data"),
              Rows({{"1", "1", "Music", "0", "15", "300", "0", "100", "0"}}));

    EXPECT_TRUE(m_database.SelectMusicLayer());
    EXPECT_EQ(m_database.GetSelectedMusicLayer(), 1);

    // Selecting clears every other row of profile 1 first (another profile's rows are not its business).
    ASSERT_EQ(m_database.AddMusicLayer(L"Second", 4), 2);
    Raw().Execute("UPDATE t_musiclayer_data SET sel = 1");
    Raw().Execute("INSERT INTO t_musiclayer_data(profile, name, sel) VALUES (2, 'Other', 1)");
    EXPECT_TRUE(m_database.SelectMusicLayer());
    EXPECT_EQ(Raw().Rows("SELECT layer_id, profile, sel FROM t_musiclayer_data ORDER BY layer_id"),
              Rows({{"1", "1", "1"}, {"2", "1", "0"}, {"3", "2", "1"}}));
    EXPECT_EQ(m_database.GetSelectedMusicLayer(), 1);

    // The update always goes to layer 1, whatever id the row carries.
    EXPECT_TRUE(m_database.UpdateMusicLayer({.layer_id = 0,
                                             .deviceindex = 2,
                                             .foremode = 3,
                                             .fore_amplitude = 450,
                                             .backmode = 1,
                                             .backb_right = 60}));
    MusicLayerRow row;
    ASSERT_TRUE(m_database.GetMusicLayer(1, row));
    EXPECT_EQ(std::tie(row.layer_id, row.profile, row.name, row.deviceindex, row.foremode, row.fore_amplitude,
                       row.backmode, row.backb_right),
              std::tuple(1, 1, CString(L"Music"), 2, 3, 450, 1, 60));
}

TEST_F(RecordsTest, ConfigurationRowsOfANewDatabase)
{
    m_database.SeedConfiguration();
    EXPECT_EQ(Raw().Rows("SELECT config_id, profile, key, value FROM t_configdata"),
              Rows({{"1", "1", "version", "1.0.1"},
                    {"2", "1", "keyboard_layout", "1"},
                    {"3", "1", "fn_layer", "0"},
                    {"4", "1", "lightmode", "1"},
                    {"5", "1", "sleep_light", "1"},
                    {"6", "1", "userlight", "0"},
                    {"7", "1", "customlight_run", "0"},
                    {"8", "1", "gamemode", "0"},
                    {"9", "1", "disable_alttab", "0"},
                    {"10", "1", "disable_altf4", "0"},
                    {"11", "1", "disable_win", "0"}}));
}

TEST_F(RecordsTest, IdsAreNeverReused)
{
    const int macro = m_database.AddMacro(L"Macro 1");
    ASSERT_TRUE(m_database.DeleteMacro(macro));
    EXPECT_GT(m_database.AddMacro(L"Macro 1"), macro);

    const int profile = m_database.AddProfile({.name = L"Profile 1"});
    ASSERT_TRUE(m_database.DeleteProfile(profile));
    EXPECT_GT(m_database.AddProfile({.name = L"Profile 1"}), profile);

    // Across a reopen as well: the counters live in the file.
    const int record = m_database.AddMacroRecord({.macro_id = 1});
    ASSERT_TRUE(m_database.DeleteMacroRecords(1));
    m_database.Close();
    ASSERT_TRUE(Open());
    EXPECT_GT(m_database.AddMacroRecord({.macro_id = 1}), record);
}

} // namespace
