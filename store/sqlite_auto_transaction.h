#pragma once
// A scoped BEGIN ... END on one connection. There is no rollback: ending commits whatever statements
// inside succeeded, so one failing row of a batch does not cost the others.

class SQLiteDB;

class SQLiteAutoTransaction {
public:
    // Begins at once when the connection is open. With a null connection the object stays inactive and
    // does nothing; on a closed one it counts as active, and its END later fails harmlessly.
    explicit SQLiteAutoTransaction(SQLiteDB* db);
    // Ends the transaction when still active.
    virtual ~SQLiteAutoTransaction();
    SQLiteAutoTransaction(const SQLiteAutoTransaction&) = delete;
    SQLiteAutoTransaction& operator=(const SQLiteAutoTransaction&) = delete;

    // False without doing anything when already active (or without a connection object).
    bool Begin();
    // Commits. A commit that fails is rolled back, so the connection never stays inside a transaction
    // that would swallow every later write and lose it at close.
    bool End();

private:
    SQLiteDB* m_db;
    bool m_active = false;
};
