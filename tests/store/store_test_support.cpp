#include "tests/store/store_test_support.h"

#include <sqlite3.h>

#include "core/folders.h"

RawDatabase::RawDatabase(const std::filesystem::path& file)
{
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        ADD_FAILURE() << "cannot open " << file << ": " << sqlite3_errmsg(m_db);
}

RawDatabase::~RawDatabase()
{
    sqlite3_close_v2(m_db);
}

std::vector<std::vector<std::string>> RawDatabase::Rows(const std::string& sql) const
{
    std::vector<std::vector<std::string>> rows;
    const auto collect = [](void* out, int columns, char** values, char**) {
        auto& table = *static_cast<std::vector<std::vector<std::string>>*>(out);
        table.emplace_back();
        for (int i = 0; i < columns; ++i)
            table.back().emplace_back(values[i] ? values[i] : "NULL");
        return 0;
    };
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), collect, &rows, &error) != SQLITE_OK)
        ADD_FAILURE() << sql << ": " << (error ? error : "?");
    sqlite3_free(error);
    return rows;
}

std::string RawDatabase::Value(const std::string& sql) const
{
    const auto rows = Rows(sql);
    return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}

void RawDatabase::Execute(const std::string& sql) const
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
        ADD_FAILURE() << sql << ": " << (error ? error : "?");
    sqlite3_free(error);
}

ProfileDatabaseTest::ProfileDatabaseTest() : m_dataFolder(DataFolder(L"Torvik"))
{
    // The program makes the db folder at start-up; opening never does.
    CreateFolderTree(m_dataFolder + L"db");
}

std::filesystem::path ProfileDatabaseTest::DbFolder() const
{
    return m_folders.DataHome() / "Torvik Files" / "db";
}
