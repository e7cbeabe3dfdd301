#pragma once
// A source database with macros and assignments worth exchanging, a second database standing for
// another PC, and the files in between.

#include <filesystem>
#include <ostream>
#include <string>
#include <vector>

#include "core/native_path.h"
#include "store/exchange_file.h"
#include "tests/store/store_test_support.h"

// Reasons print by name in failures.
void PrintTo(ExchangeError error, std::ostream* out);

// A file an import must turn down, and the reason it must give.
struct BadExchangeFile {
    const char* what;
    std::string bytes;
    ExchangeError error;
};

using Rows = std::vector<std::vector<std::string>>;

class ExchangeTest : public ProfileDatabaseTest {
protected:
    static constexpr const wchar_t* kOtherModel = L"Other PC";

    void SetUp() override;

    // Profile 1 ("Profil 1"), profile 2 and profile 3; macro 1 with two records, loop type 16 and link
    // count 2; macro 2 without records; a key extra record (id 1). Profile 1 has six base-layer keys in
    // this order: 4 (another key), 30 (macro 1), 31 (macro 2), 32 (macro 1 again), 33 (program, extra
    // record 1) and 34 (macro 99, which does not exist); it also has a layer-1 key, and profiles 2 and
    // 3 have keys of their own (3 on layer 1 only).
    void FillSource();

    int AddMacro(ProfileDatabase& database, const MacroRow& macro, std::vector<MacroRecordRow> records);
    void SaveKey(ProfileDatabase& database, int profile, int fnLayer, int keyCode, int type, int value,
                 const CString& desc = L"");

    // A file in the test's folder, as the path a file dialog hands over.
    std::filesystem::path FilePath(const std::string& name) const { return m_folders.Root() / name; }
    NativeFilePath UserPath(const std::string& name) const { return NativeFilePath(FilePath(name).string()); }
    void WriteFile(const std::string& name, std::string_view bytes) const
    {
        WriteFileBytes(FilePath(name), bytes);
    }

    // Opens the second database.
    ProfileDatabase& Other();
    RawDatabase RawOther() const { return RawDatabase(DbFolder() / "Other PC_data_v6.db"); }

    // A profile's assignments without ids, in id order: fn_layer, key_code, layout_value, layout_desc,
    // macro_type, macro_value, macro_value2, macro_value3, macro_desc.
    static Rows Keys(const RawDatabase& raw, int profile);
    // Every macro: macro_id, name, play_times, delay_type, delay_time, link_count, loop_type.
    static Rows Macros(const RawDatabase& raw);
    // A macro's records in order: record_index, desc, type, value, delay_time.
    static Rows Records(const RawDatabase& raw, int macroId);
    // How many rows each table that an import may write to holds.
    static std::vector<int> RowCounts(const RawDatabase& raw);

    ProfileDatabase m_other;
};
