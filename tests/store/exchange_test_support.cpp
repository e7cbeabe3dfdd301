#include "tests/store/exchange_test_support.h"

void ExchangeTest::SetUp()
{
    ASSERT_TRUE(Open());
}

int ExchangeTest::AddMacro(ProfileDatabase& database, const MacroRow& macro,
                           std::vector<MacroRecordRow> records)
{
    const int id = database.InsertMacro(macro);
    MacroRecordList list;
    for (MacroRecordRow& record : records) {
        record.macro_id = id;
        list.push_back(std::make_unique<MacroRecordRow>(record));
    }
    database.AddMacroRecords(std::move(list));
    return id;
}

void ExchangeTest::SaveKey(ProfileDatabase& database, int profile, int fnLayer, int keyCode, int type,
                           int value, const CString& desc)
{
    ASSERT_GT(database.SaveKeyAssignment({.profile = profile,
                                          .fn_layer = fnLayer,
                                          .key_code = keyCode,
                                          .macro_type = type,
                                          .macro_value = value,
                                          .macro_desc = desc}),
              0);
}

void ExchangeTest::FillSource()
{
    ProfileDatabase& db = m_database;
    ASSERT_EQ(db.AddProfile({.name = L"Profil 1"}), 1);
    ASSERT_EQ(db.AddProfile({.name = L"Profil 2"}), 2);
    ASSERT_EQ(db.AddProfile({.name = L"Solo"}), 3);
    // Records go in out of order: the file follows record_index.
    ASSERT_EQ(AddMacro(db,
                       {.name = L"Combo & \"Dash\"",
                        .link_count = 2,
                        .play_times = 3,
                        .delay_type = 3,
                        .delay_time = 25,
                        .loop_type = 16},
                       {{.type = 3, .record_index = 1, .value = 65, .delay_time = 0, .desc = L"A"},
                        {.type = 2, .record_index = 0, .value = 65, .delay_time = 30, .desc = L"A"}}),
              1);
    ASSERT_EQ(AddMacro(db, {.name = L"W\u00e4hle", .play_times = 1, .delay_type = 1, .delay_time = 10}, {}),
              2);
    ASSERT_EQ(db.AddKeyExtra({.macro_desc = L"Calculator", .param = L"/usr/bin/calc", .type = 8}), 1);

    ASSERT_GT(db.SaveKeyAssignment({.profile = 1,
                                    .fn_layer = 0,
                                    .key_code = 4,
                                    .layout_value = -7,
                                    .layout_desc = L"x'y",
                                    .macro_type = 2,
                                    .macro_value = 5,
                                    .macro_value2 = 2,
                                    .macro_desc = L"B"}),
              0);
    SaveKey(db, 1, 1, 5, 1, 1); // Fn layer 1: not part of the file
    SaveKey(db, 1, 0, 30, 3, 1, L"Combo & \"Dash\"");
    SaveKey(db, 2, 0, 6, 1, 1); // another profile
    SaveKey(db, 1, 0, 31, 3, 2, L"W\u00e4hle");
    SaveKey(db, 1, 0, 32, 3, 1, L"Combo & \"Dash\"");
    SaveKey(db, 1, 0, 33, 8, 1, L"Calculator");
    SaveKey(db, 1, 0, 34, 3, 99, L"Gone");
    SaveKey(db, 3, 1, 7, 3, 1, L"Combo & \"Dash\"");
}

ProfileDatabase& ExchangeTest::Other()
{
    if (!m_other.IsOpened()) {
        EXPECT_TRUE(m_other.OpenForDevice(m_dataFolder, kOtherModel));
    }
    return m_other;
}

Rows ExchangeTest::Keys(const RawDatabase& raw, int profile)
{
    return raw.Rows(
        "SELECT fn_layer, key_code, layout_value, layout_desc, macro_type, macro_value, macro_value2, "
        "macro_value3, macro_desc FROM t_key_macro_data WHERE profile = " +
        std::to_string(profile) + " ORDER BY key_id");
}

Rows ExchangeTest::Macros(const RawDatabase& raw)
{
    return raw.Rows("SELECT macro_id, name, play_times, delay_type, delay_time, link_count, loop_type "
                    "FROM t_macro_data ORDER BY macro_id");
}

Rows ExchangeTest::Records(const RawDatabase& raw, int macroId)
{
    return raw.Rows(
        "SELECT record_index, desc, type, value, delay_time FROM t_macrorecord WHERE macro_id = " +
        std::to_string(macroId) + " ORDER BY record_index");
}

std::vector<int> ExchangeTest::RowCounts(const RawDatabase& raw)
{
    std::vector<int> counts;
    for (const char* table : {"t_profile_data", "t_key_macro_data", "t_macro_data", "t_macrorecord"})
        counts.push_back(raw.Number(std::string("SELECT count(*) FROM ") + table));
    return counts;
}

void PrintTo(ExchangeError error, std::ostream* out)
{
    static const char* const kNames[] = {
        "None",         "FileMissing", "FileUnreadable",  "FileTooLarge",
        "NotXml",       "WrongKind",   "DatabaseRefused", "FolderMissing",
        "AccessDenied", "DiskFull",    "WriteFailed",
    };
    const auto index = static_cast<size_t>(error);
    *out << (index < std::size(kNames) ? kNames[index] : "ExchangeError?");
}
