#include "store/sqlite_statement.h"

#include <sqlite3.h>

SQLiteStatement::~SQLiteStatement()
{
    Finalize();
}

void SQLiteStatement::Finalize()
{
    if (m_statement) {
        sqlite3_finalize(m_statement);
        m_statement = nullptr;
    }
}

int SQLiteStatement::BindInt(int index, int value)
{
    return m_statement ? sqlite3_bind_int(m_statement, index, value) : SQLITE_MISUSE;
}

int SQLiteStatement::BindText(int index, const char* utf8, int bytes)
{
    return m_statement ? sqlite3_bind_text(m_statement, index, utf8, bytes, SQLITE_STATIC) : SQLITE_MISUSE;
}

int SQLiteStatement::Step()
{
    return m_statement ? sqlite3_step(m_statement) : SQLITE_MISUSE;
}

int SQLiteStatement::ColumnInt(int column) const
{
    return m_statement ? sqlite3_column_int(m_statement, column) : 0;
}

const char* SQLiteStatement::ColumnText(int column) const
{
    return m_statement ? reinterpret_cast<const char*>(sqlite3_column_text(m_statement, column)) : nullptr;
}
