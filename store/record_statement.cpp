#include "store/record_statement.h"

#include <sqlite3.h>

#include "store/sqlite_db.h"

static_assert(SQLITE_ROW == 100);

std::string ToDatabaseText(const CString& text)
{
    return WideToUtf8(std::wstring_view(text.c_str()));
}

CString FromDatabaseText(const char* utf8)
{
    if (!utf8)
        return {};
    return DecodeUtf8(utf8).value_or(CString());
}

RecordStatement::RecordStatement(SQLiteDB& db, const char* sql) : m_db(db)
{
    Prepare(sql);
}

void RecordStatement::Prepare(const char* sql)
{
    m_db.Prepare(m_statement, sql, -1);
    // Only now is nothing bound to the old texts any more.
    m_texts.clear();
    m_nextParameter = 1;
}

RecordStatement& RecordStatement::Int(int value)
{
    m_statement.BindInt(m_nextParameter++, value);
    return *this;
}

RecordStatement& RecordStatement::Text(const CString& value)
{
    const std::string& bytes = m_texts.emplace_back(ToDatabaseText(value));
    m_statement.BindText(m_nextParameter++, bytes.c_str(), static_cast<int>(bytes.size()));
    return *this;
}

int RecordStatement::Step()
{
    return m_statement.Step();
}

bool RecordStatement::Write()
{
    const int result = Step();
    return result == SQLITE_OK || result == SQLITE_ROW || result == SQLITE_DONE;
}

int RecordStatement::Insert()
{
    return Write() ? static_cast<int>(m_db.LastInsertId()) : 0;
}

bool RecordStatement::ReadRow()
{
    return Step() == SQLITE_ROW;
}
