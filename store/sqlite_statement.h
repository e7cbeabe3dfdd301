#pragma once
// One compiled SQLite statement. A record operation creates it on the stack and may prepare several
// SQL texts into it in a row (SQLiteDB::Prepare finalises the previous one first).

struct sqlite3_stmt;

class SQLiteStatement {
public:
    SQLiteStatement() = default;
    virtual ~SQLiteStatement();
    SQLiteStatement(const SQLiteStatement&) = delete;
    SQLiteStatement& operator=(const SQLiteStatement&) = delete;

    // Each returns SQLITE_MISUSE (21) when nothing is prepared. Parameter indexes are 1-based.
    int BindInt(int index, int value);
    // The text is not copied: keep the bytes alive until the statement has been stepped.
    int BindText(int index, const char* utf8, int bytes);
    // SQLITE_ROW (100), SQLITE_DONE (101) or an error code.
    int Step();

    // Column indexes are 0-based; 0 or null when nothing is prepared.
    int ColumnInt(int column) const;
    // UTF-8, or null for SQL NULL. Valid until the next step or finalisation.
    const char* ColumnText(int column) const;

    bool IsPrepared() const { return m_statement != nullptr; }

    // Releases the compiled statement. sqlite3_finalize frees it whatever it returns (a non-zero
    // result only repeats the last step's error), so the handle is always cleared: keeping it would
    // finalise freed memory a second time.
    void Finalize();

private:
    friend class SQLiteDB;

    sqlite3_stmt* m_statement = nullptr;
};
