#pragma once
// The statement of one record operation: compiled on the connection, parameters bound in call order,
// text parameters converted to UTF-8 and kept alive as long as the binding needs them, text columns
// converted back. Write results follow one rule: OK, ROW and DONE succeed, anything else fails.

#include <deque>
#include <memory>
#include <string>
#include <vector>

#include "core/wide_text.h"
#include "store/sqlite_statement.h"

class SQLiteDB;

// Wide text as it goes into the database: UTF-8 up to the first NUL, where the text ends for every
// reader of the column as well.
std::string ToDatabaseText(const CString& text);
// A text column as it comes out: SQL NULL and bytes that are not valid UTF-8 read as empty.
CString FromDatabaseText(const char* utf8);

class RecordStatement {
public:
    RecordStatement(SQLiteDB& db, const char* sql);
    RecordStatement(const RecordStatement&) = delete;
    RecordStatement& operator=(const RecordStatement&) = delete;

    // Finalises the current SQL and compiles the next; binding starts again at the first parameter.
    void Prepare(const char* sql);

    RecordStatement& Int(int value);
    RecordStatement& Text(const CString& value);

    int Step();
    // Steps once and judges the write.
    bool Write();
    // Steps once: the new row's id, or 0 when the insert failed.
    int Insert();
    // Steps once: whether a row came.
    bool ReadRow();

    int ColumnInt(int column) const { return m_statement.ColumnInt(column); }
    CString ColumnString(int column) const { return FromDatabaseText(m_statement.ColumnText(column)); }

    // Replaces the list's rows with one new row per result row; returns how many the list holds.
    template <typename Row, typename Fill> int ReadRows(std::vector<std::unique_ptr<Row>>& list, Fill fill)
    {
        list.clear();
        while (Step() == kRow) {
            auto row = std::make_unique<Row>();
            fill(*this, *row);
            list.push_back(std::move(row));
        }
        return static_cast<int>(list.size());
    }

private:
    static constexpr int kRow = 100; // SQLITE_ROW

    SQLiteDB& m_db;
    // A deque never moves its elements, so the bound bytes stay where the statement points; declared
    // before the statement so they also outlive it.
    std::deque<std::string> m_texts;
    SQLiteStatement m_statement;
    int m_nextParameter = 1;
};
