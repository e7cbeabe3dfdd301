#pragma once
// A profile database in a fresh data folder, and an independent look at its file.

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/wide_text.h"
#include "store/profile_database.h"
#include "tests/support/scoped_folders.h"

struct sqlite3;

// A second connection of our own to a database file, to check what really landed in it and to bend it
// (triggers that make writes fail) without going through the code under test.
class RawDatabase {
public:
    explicit RawDatabase(const std::filesystem::path& file);
    ~RawDatabase();
    RawDatabase(const RawDatabase&) = delete;
    RawDatabase& operator=(const RawDatabase&) = delete;

    // Every row as texts; SQL NULL reads "NULL".
    std::vector<std::vector<std::string>> Rows(const std::string& sql) const;
    // The first column of the first row, "" when there is none.
    std::string Value(const std::string& sql) const;
    int Number(const std::string& sql) const { return std::stoi("0" + Value(sql)); }
    // Runs SQL; fails the test when it does not succeed.
    void Execute(const std::string& sql) const;

private:
    sqlite3* m_db = nullptr;
};

// Runs `work` in a child process and kills it with SIGKILL `killAfterMs` after the child called the
// ready function it is given: a crash in the middle of whatever work does next. True when the child was
// killed by the signal; false (with a test failure) when it never got ready or ended on its own.
bool KillPartWay(const std::function<void(const std::function<void()>& ready)>& work, int killAfterMs);

class ProfileDatabaseTest : public ::testing::Test {
protected:
    static constexpr const wchar_t* kModel = L"Corvid Z5";

    ProfileDatabaseTest();

    std::filesystem::path DbFolder() const;
    std::filesystem::path DbFile() const { return DbFolder() / "Corvid Z5_data_v6.db"; }
    bool Open() { return m_database.OpenForDevice(m_dataFolder, kModel); }
    RawDatabase Raw() const { return RawDatabase(DbFile()); }

    ScopedFolders m_folders;
    CString m_dataFolder;
    ProfileDatabase m_database;
};
