// The database file: where it lies, what a new one holds, reopening, failures, restore defaults, crashes
// and use from several threads.

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <thread>
#include <unistd.h>

#include "core/folders.h"
#include "tests/store/store_test_support.h"

namespace fs = std::filesystem;
using Rows = std::vector<std::vector<std::string>>;

namespace {

// Each table with its columns and declared types, in creation order.
const Rows kTables = {
    {"t_configdata", "config_id INTEGER, profile INTEGER, key TEXT, value TEXT"},
    {"t_profile_data", "profile INTEGER, name TEXT, status INTEGER, app TEXT, type INTEGER"},
    {"t_key_macro_data", "key_id INTEGER, profile INTEGER, fn_layer INTEGER, key_code INTEGER, "
                         "layout_value INTEGER, layout_desc TEXT, macro_type INTEGER, macro_value INTEGER, "
                         "macro_value2 INTEGER, macro_value3 INTEGER, macro_desc TEXT"},
    {"t_key_otherdata", "macro_value INTEGER, macro_desc TEXT, param TEXT, type INTEGER"},
    {"t_macro_data", "macro_id INTEGER, play_times INTEGER, delay_type INTEGER, delay_time INTEGER, "
                     "link_count INTEGER, loop_type INTEGER, name TEXT"},
    {"t_macrorecord", "record_id INTEGER, macro_id INTEGER, type INTEGER, record_index INTEGER, desc TEXT, "
                      "value INTEGER, delay_time INTEGER"},
    {"t_light_data", "light_id INTEGER, profile INTEGER, name TEXT, mode INTEGER, brightness INTEGER, "
                     "speed INTEGER, direction INTEGER, colorful INTEGER, colorindex INTEGER, "
                     "color_value INTEGER, config_func INTEGER, reserved INTEGER, status INTEGER"},
    {"t_key_light_data", "keylight_id INTEGER, profile INTEGER, light_id INTEGER, key_code INTEGER, "
                         "key_rgb INTEGER"},
    {"t_musiclayer_data",
     "layer_id INTEGER, profile INTEGER, name TEXT, deviceindex INTEGER, foremode INTEGER, "
     "fore_amplitude INTEGER, backmode INTEGER, backb_right INTEGER, sel INTEGER"},
};

const Rows kObjectsInOrder = {
    {"table", "t_configdata"},    {"table", "sqlite_sequence"},   {"table", "t_profile_data"},
    {"index", "profileindex"},    {"table", "t_key_macro_data"},  {"index", "keyindex"},
    {"table", "t_key_otherdata"}, {"index", "otheridindex"},      {"table", "t_macro_data"},
    {"index", "macroidindex"},    {"table", "t_macrorecord"},     {"index", "macrorecordindex"},
    {"table", "t_light_data"},    {"index", "lightindex"},        {"table", "t_key_light_data"},
    {"index", "keylightindex"},   {"table", "t_musiclayer_data"}, {"index", "musiclayerindex"},
};

std::string Columns(const RawDatabase& raw, const std::string& table)
{
    std::string columns;
    for (const auto& column : raw.Rows("SELECT name, type FROM pragma_table_info('" + table + "')"))
        columns += (columns.empty() ? "" : ", ") + column[0] + " " + column[1];
    return columns;
}

int TotalRows(const RawDatabase& raw)
{
    int rows = 0;
    for (const auto& table : kTables)
        rows += raw.Number("SELECT count(*) FROM " + table[0]);
    return rows;
}

} // namespace

TEST_F(ProfileDatabaseTest, NewFileHoldsTheWholeEmptySchema)
{
    ASSERT_FALSE(fs::exists(DbFile()));
    ASSERT_TRUE(Open());
    EXPECT_TRUE(m_database.IsOpened());
    EXPECT_EQ(m_database.FilePath(), DbFile().string());
    ASSERT_TRUE(fs::exists(DbFile()));

    const RawDatabase raw = Raw();
    EXPECT_EQ(raw.Rows("SELECT type, name FROM sqlite_master ORDER BY rowid"), kObjectsInOrder);
    for (const auto& table : kTables) {
        EXPECT_EQ(Columns(raw, table[0]), table[1]);
        // The id column never hands out an id twice.
        EXPECT_NE(raw.Value("SELECT sql FROM sqlite_master WHERE name = '" + table[0] + "'")
                      .find("PRIMARY KEY AUTOINCREMENT"),
                  std::string::npos)
            << table[0];
    }
    EXPECT_EQ(TotalRows(raw), 0);
    EXPECT_EQ(raw.Value("PRAGMA journal_mode"), "wal");
}

TEST_F(ProfileDatabaseTest, ExistingFileIsOpenedWithoutRunningTheSchema)
{
    ASSERT_TRUE(Open());
    ASSERT_GT(m_database.AddMacro(L"kept"), 0);
    m_database.Close();
    EXPECT_FALSE(m_database.IsOpened());
    EXPECT_EQ(m_database.AddMacro(L"closed"), 0);

    // A table missing from an existing file shows that no CREATE ran on reopening.
    Raw().Execute("DROP TABLE t_key_light_data");
    ASSERT_TRUE(Open());
    EXPECT_EQ(Raw().Number("SELECT count(*) FROM sqlite_master WHERE name = 't_key_light_data'"), 0);
    MacroList macros;
    ASSERT_EQ(m_database.ListMacros(macros), 1);
    EXPECT_EQ(macros[0]->name, L"kept");

    // Opening again without closing keeps the connection and succeeds.
    EXPECT_TRUE(Open());
    EXPECT_GT(m_database.AddMacro(L"again"), 0);
    EXPECT_EQ(Raw().Number("SELECT count(*) FROM t_macro_data"), 2);
}

TEST_F(ProfileDatabaseTest, FileWhoseCreationWasCutShortGetsItsSchema)
{
    WriteFileBytes(DbFile(), ""); // created, then the process died before any table existed
    ASSERT_TRUE(Open());
    EXPECT_EQ(Raw().Number("SELECT count(*) FROM sqlite_master WHERE type = 'table'"), 10);
    EXPECT_GT(m_database.AddProfile({.name = L"Profile 1"}), 0);
}

TEST_F(ProfileDatabaseTest, EachModelHasItsOwnFile)
{
    ASSERT_TRUE(Open());
    ASSERT_EQ(m_database.AddMacro(L"for Z5"), 1);
    // Switching models without closing must not write the next model's rows into this file.
    ASSERT_TRUE(m_database.OpenForDevice(m_dataFolder, L"Corvid Z7"));
    EXPECT_EQ(m_database.AddMacro(L"for Z7"), 1);
    EXPECT_TRUE(fs::exists(DbFolder() / "Corvid Z7_data_v6.db"));
    EXPECT_EQ(Raw().Rows("SELECT name FROM t_macro_data"), Rows({{"for Z5"}}));
}

TEST_F(ProfileDatabaseTest, NoConnectionMeansFailureResultsNotCrashes)
{
    // The db folder missing, and a plain file where it should be.
    fs::remove_all(DbFolder());
    EXPECT_FALSE(Open());
    EXPECT_FALSE(m_database.IsOpened());
    EXPECT_FALSE(fs::exists(DbFile()));
    WriteFileBytes(DbFolder(), "not a folder");
    EXPECT_FALSE(Open());
    EXPECT_FALSE(m_database.CreateSchema());

    EXPECT_EQ(m_database.AddProfile({.name = L"p"}), 0);
    EXPECT_FALSE(m_database.DeleteProfile(1));
    EXPECT_FALSE(m_database.RenameProfile(1, L"q"));
    CString name = L"stale";
    EXPECT_FALSE(m_database.GetProfileName(1, name));
    EXPECT_EQ(name, L"");
    EXPECT_FALSE(m_database.SetActiveProfile(1));
    EXPECT_EQ(m_database.GetActiveProfile(), 0);

    EXPECT_EQ(m_database.CountMusicLayers(), 0);
    EXPECT_EQ(m_database.AddMusicLayer(L"m", 15), 0);
    MusicLayerRow layer{.layer_id = 9};
    EXPECT_FALSE(m_database.GetMusicLayer(1, layer));
    EXPECT_EQ(layer.layer_id, 9);
    EXPECT_FALSE(m_database.UpdateMusicLayer(layer));
    EXPECT_FALSE(m_database.SelectMusicLayer());
    EXPECT_EQ(m_database.GetSelectedMusicLayer(), 0);

    EXPECT_EQ(m_database.SaveKeyAssignment({.key_code = 4, .macro_type = 2, .macro_value = 5}), 0);
    KeyAssignmentRow key{.key_id = 9};
    EXPECT_FALSE(m_database.GetKeyAssignment(0, 0, 4, key));
    EXPECT_EQ(key.key_id, 9);
    EXPECT_EQ(m_database.AddKeyExtra({.macro_desc = L"d", .param = L"p", .type = 8}), 0);
    CString desc = L"d0", param = L"p0";
    int type = 7;
    EXPECT_TRUE(m_database.GetKeyExtra(1, desc, param, type));
    EXPECT_EQ(desc + param + std::to_wstring(type), L"d0p07");

    EXPECT_EQ(m_database.CountLights(1), 0);
    EXPECT_EQ(m_database.AddLight({.profile = 1, .mode = 1}), 0);
    EXPECT_FALSE(m_database.UpdateLight(1, 1, {}));
    EXPECT_FALSE(m_database.SetActiveLight(1, 1));
    EXPECT_EQ(m_database.GetActiveLightMode(1), 0);
    LightRow light{.light_id = 9};
    EXPECT_FALSE(m_database.GetLight(1, 1, light));
    EXPECT_EQ(light.light_id, 9);
    KeyLightList given;
    given.push_back(std::make_unique<KeyLightRow>());
    EXPECT_EQ(m_database.AddKeyLights(std::move(given)), 1); // the number given, stored or not
    EXPECT_FALSE(m_database.DeleteKeyLights(128));

    EXPECT_EQ(m_database.AddMacro(L"m"), 0);
    EXPECT_EQ(m_database.InsertMacro({.name = L"m"}), 0);
    EXPECT_FALSE(m_database.RenameMacro(1, L"n"));
    EXPECT_FALSE(m_database.UpdateMacro({.macro_id = 1}));
    EXPECT_FALSE(m_database.DeleteMacro(1));
    int playTimes = 7;
    EXPECT_FALSE(m_database.GetMacroPlayTimes(1, playTimes));
    EXPECT_EQ(playTimes, 7);
    MacroRow macro{.macro_id = 9};
    EXPECT_FALSE(m_database.GetMacro(1, macro));
    EXPECT_EQ(macro.macro_id, 9);
    EXPECT_EQ(m_database.AddMacroRecord({.macro_id = 1}), 0);
    m_database.AddMacroRecords({});
    EXPECT_FALSE(m_database.DeleteMacroRecords(1));
    EXPECT_EQ(m_database.CountMacroEvents(1), 0);
    m_database.DeleteProfileAssignments(1);
    m_database.SeedConfiguration();

    // List reads empty the caller's list even then.
    ProfileList profiles;
    profiles.push_back(std::make_unique<ProfileRow>());
    EXPECT_EQ(m_database.ListProfiles(profiles), 0);
    EXPECT_TRUE(profiles.empty());
    KeyAssignmentList keys;
    LightList lights;
    KeyLightList keyLights;
    MacroList macros;
    MacroRecordList records;
    EXPECT_EQ(m_database.ListKeyAssignments(1, 0, keys) + m_database.ListLights(1, lights) +
                  m_database.ListKeyLights(128, keyLights) + m_database.ListMacros(macros) +
                  m_database.ListMacroRecords(1, records),
              0);
}

TEST_F(ProfileDatabaseTest, RestoreDefaultsGivesAFreshEmptyFile)
{
    ASSERT_TRUE(Open());
    const int profile = m_database.AddProfile({.name = L"Profile 1"});
    m_database.SeedConfiguration();
    m_database.AddMacro(L"Macro 1");
    m_database.SaveKeyAssignment({.profile = profile, .key_code = 4, .macro_type = 1, .macro_value = 1});
    ASSERT_GT(TotalRows(Raw()), 0);

    m_database.Close();
    m_database.DeleteDatabaseFile(m_dataFolder, kModel);
    EXPECT_FALSE(fs::exists(DbFile()));
    for (const char* leftover : {"-wal", "-shm"})
        EXPECT_FALSE(fs::exists(DbFile().string() + leftover)) << leftover;
    ASSERT_TRUE(Open());

    const RawDatabase raw = Raw();
    EXPECT_EQ(raw.Rows("SELECT type, name FROM sqlite_master ORDER BY rowid"), kObjectsInOrder);
    EXPECT_EQ(TotalRows(raw), 0);
    EXPECT_EQ(m_database.AddProfile({.name = L"Profile 1"}), 1);
}

TEST_F(ProfileDatabaseTest, DeletingTheOpenFileClosesItFirst)
{
    ASSERT_TRUE(Open());
    m_database.AddMacro(L"old");
    // Without Close: the connection must not keep writing into the deleted file.
    m_database.DeleteDatabaseFile(m_dataFolder, kModel);
    EXPECT_FALSE(m_database.IsOpened());
    EXPECT_FALSE(fs::exists(DbFile()));
    EXPECT_EQ(m_database.AddMacro(L"lost"), 0);
    ASSERT_TRUE(Open());
    EXPECT_EQ(m_database.AddMacro(L"new"), 1);
    EXPECT_EQ(Raw().Rows("SELECT name FROM t_macro_data"), Rows({{"new"}}));

    // Removed by someone else while open: opening again starts a new file instead of writing on into
    // the removed one.
    for (const char* suffix : {"", "-wal", "-shm"})
        fs::remove(DbFile().string() + suffix);
    ASSERT_TRUE(Open());
    EXPECT_EQ(m_database.AddMacro(L"newer"), 1);
    EXPECT_EQ(Raw().Rows("SELECT name FROM t_macro_data"), Rows({{"newer"}}));
}

TEST_F(ProfileDatabaseTest, ProcessKilledWhileWritingLeavesASoundFile)
{
    ASSERT_TRUE(Open());
    m_database.Close();

    for (const int killAfterMs : {0, 20, 60}) {
        ASSERT_TRUE(KillPartWay(
            [&](const std::function<void()>& ready) {
                ProfileDatabase writer;
                if (!writer.OpenForDevice(m_dataFolder, kModel))
                    ::_exit(1);
                for (int round = 0;; ++round) {
                    const int macro = writer.AddMacro(L"Macro");
                    MacroRecordList records;
                    for (int i = 0; i < 50; ++i)
                        records.push_back(std::make_unique<MacroRecordRow>(MacroRecordRow{
                            .macro_id = macro, .type = 2 + i % 2, .record_index = i, .desc = L"A"}));
                    writer.AddMacroRecords(std::move(records));
                    writer.SaveKeyAssignment(
                        {.profile = 1, .key_code = 4 + round % 100, .macro_type = 3, .macro_value = macro});
                    writer.SetActiveLight(1, round);
                    if (round == 0)
                        ready();
                }
            },
            killAfterMs));

        ASSERT_TRUE(Open());
        EXPECT_EQ(Raw().Value("PRAGMA integrity_check"), "ok");
        // Every macro that made it has its whole batch of records: a batch is one transaction.
        EXPECT_EQ(Raw().Number("SELECT count(*) FROM t_macrorecord") % 50, 0);
        EXPECT_GT(m_database.AddProfile({.name = L"after"}), 0);
        m_database.Close();
    }
}

TEST_F(ProfileDatabaseTest, WorkersNeverMeetAHalfClosedConnection)
{
    ASSERT_TRUE(Open());
    std::atomic<bool> stop = false;
    std::atomic<int> stored = 0;
    std::vector<std::thread> workers;
    for (int t = 0; t < 3; ++t)
        workers.emplace_back([&] {
            while (!stop) {
                if (m_database.AddMacro(L"from a worker") > 0)
                    ++stored;
                MacroList macros;
                m_database.ListMacros(macros);
            }
        });
    // Keep switching until the workers have really raced the switches: on a loaded machine they may not
    // even have started by the time 40 switches are done.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int i = 0; (i < 40 || stored < 20) && std::chrono::steady_clock::now() < deadline; ++i) {
        m_database.Close();
        Open();
    }
    stop = true;
    for (auto& worker : workers)
        worker.join();

    EXPECT_GT(stored, 0);
    EXPECT_EQ(Raw().Number("SELECT count(*) FROM t_macro_data"), stored.load());
    EXPECT_EQ(Raw().Value("PRAGMA integrity_check"), "ok");
}
