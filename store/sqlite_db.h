#pragma once
// One SQLite connection: the thin layer the record operations are written on. Results are SQLite result
// codes or booleans; without a connection every call fails with SQLITE_MISUSE (21) instead of crashing.

#include <cstdint>

struct sqlite3;
class SQLiteStatement;

class SQLiteDB {
public:
    SQLiteDB() = default;
    // Interrupts whatever runs on the connection, then closes it.
    virtual ~SQLiteDB();
    SQLiteDB(const SQLiteDB&) = delete;
    SQLiteDB& operator=(const SQLiteDB&) = delete;

    // Replaces a held connection. A null path gives false. After a successful open the connection is
    // switched to WAL with synchronous = NORMAL: as fast as unsynced writes here, and a crash or power
    // loss cannot corrupt the file.
    bool Open(const char* path, int flags);
    // True when no connection is left; a failed close keeps the handle.
    bool Close();
    bool IsOpen() const { return m_db != nullptr; }
    // Whether an explicit transaction is open on the connection.
    bool InTransaction() const;

    // Runs SQL without a row callback.
    int Execute(const char* sql);
    // Compiles sql into the statement, finalising what it held before. A length of -1 measures the text.
    int Prepare(SQLiteStatement& statement, const char* sql, int length = -1);
    // The last inserted row id on this connection; -1 without a connection.
    int64_t LastInsertId() const;

private:
    sqlite3* m_db = nullptr;
};
