#include "store/sqlite_db.h"

#include <cstring>
#include <sqlite3.h>

#include "store/sqlite_statement.h"

namespace {

constexpr const char* kConnectionPragmas = "PRAGMA journal_mode = WAL; PRAGMA synchronous = NORMAL; ";

// Closes a connection for good: a connection that still has statements becomes a zombie that SQLite
// frees with its last statement, so nothing leaks and nothing dangles.
void Release(sqlite3* db)
{
    sqlite3_interrupt(db);
    sqlite3_close_v2(db);
}

} // namespace

SQLiteDB::~SQLiteDB()
{
    if (m_db) {
        Release(m_db);
        m_db = nullptr;
    }
}

bool SQLiteDB::Open(const char* path, int flags)
{
    if (m_db) {
        Release(m_db);
        m_db = nullptr;
    }
    if (!path)
        return false;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path, &db, flags, nullptr) != SQLITE_OK) {
        sqlite3_close(db); // open may hand out a handle even when it fails
        return false;
    }
    m_db = db;
    Execute(kConnectionPragmas);
    return true;
}

bool SQLiteDB::Close()
{
    if (!m_db)
        return true;
    if (sqlite3_close(m_db) != SQLITE_OK)
        return false;
    m_db = nullptr;
    return true;
}

bool SQLiteDB::InTransaction() const
{
    return m_db && sqlite3_get_autocommit(m_db) == 0;
}

int SQLiteDB::Execute(const char* sql)
{
    if (!m_db || !sql)
        return SQLITE_MISUSE;
    return sqlite3_exec(m_db, sql, nullptr, nullptr, nullptr);
}

int SQLiteDB::Prepare(SQLiteStatement& statement, const char* sql, int length)
{
    statement.Finalize();
    if (!m_db || !sql)
        return SQLITE_MISUSE;
    if (length == -1)
        length = static_cast<int>(std::strlen(sql)) + 1;
    return sqlite3_prepare_v2(m_db, sql, length, &statement.m_statement, nullptr);
}

int64_t SQLiteDB::LastInsertId() const
{
    return m_db ? sqlite3_last_insert_rowid(m_db) : -1;
}
