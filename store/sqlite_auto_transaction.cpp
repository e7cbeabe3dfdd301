#include "store/sqlite_auto_transaction.h"

#include <sqlite3.h>

#include "store/sqlite_db.h"

SQLiteAutoTransaction::SQLiteAutoTransaction(SQLiteDB* db) : m_db(db)
{
    if (!m_db)
        return;
    if (m_db->IsOpen())
        m_db->Execute("BEGIN");
    m_active = true;
}

SQLiteAutoTransaction::~SQLiteAutoTransaction()
{
    if (m_active)
        End();
}

bool SQLiteAutoTransaction::Begin()
{
    if (!m_db || m_active)
        return false;
    const int result = m_db->Execute("BEGIN");
    m_active = true;
    return result == SQLITE_OK;
}

bool SQLiteAutoTransaction::End()
{
    if (!m_db)
        return false;
    const int result = m_db->Execute("END");
    m_active = false;
    if (result != SQLITE_OK && m_db->InTransaction())
        m_db->Execute("ROLLBACK");
    return result == SQLITE_OK;
}
