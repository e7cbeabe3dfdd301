#include <gtest/gtest.h>

#include <sqlite3.h>
#include <string>

#include "store/record_statement.h"
#include "store/sqlite_auto_transaction.h"
#include "store/sqlite_db.h"
#include "store/sqlite_statement.h"
#include "tests/store/store_test_support.h"

namespace {

constexpr int kCreate = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX;

class SqliteLayerTest : public ::testing::Test {
protected:
    std::string File() const { return (m_dir.Path() / "layer.db").string(); }

    ScopedTempDir m_dir;
};

TEST_F(SqliteLayerTest, EveryCallFailsCleanlyWithoutAConnection)
{
    SQLiteDB db;
    SQLiteStatement statement;
    EXPECT_FALSE(db.IsOpen());
    EXPECT_TRUE(db.Close());
    EXPECT_EQ(db.Execute("SELECT 1"), SQLITE_MISUSE);
    EXPECT_EQ(db.Prepare(statement, "SELECT 1"), SQLITE_MISUSE);
    EXPECT_FALSE(statement.IsPrepared());
    EXPECT_EQ(db.LastInsertId(), -1);
    EXPECT_FALSE(db.InTransaction());

    EXPECT_EQ(statement.BindInt(1, 5), SQLITE_MISUSE);
    EXPECT_EQ(statement.BindText(1, "x", 1), SQLITE_MISUSE);
    EXPECT_EQ(statement.Step(), SQLITE_MISUSE);
    EXPECT_EQ(statement.ColumnInt(0), 0);
    EXPECT_EQ(statement.ColumnText(0), nullptr);

    EXPECT_FALSE(db.Open(nullptr, kCreate));
    EXPECT_FALSE(db.Open((m_dir.Path() / "missing" / "x.db").c_str(), kCreate));
    EXPECT_FALSE(db.IsOpen());
    // An open connection refuses null SQL the same way.
    ASSERT_TRUE(db.Open(File().c_str(), kCreate));
    EXPECT_EQ(db.Execute(nullptr), SQLITE_MISUSE);
    EXPECT_EQ(db.Prepare(statement, nullptr), SQLITE_MISUSE);
}

TEST_F(SqliteLayerTest, OpenUsesWriteAheadLogWithNormalSync)
{
    SQLiteDB db;
    ASSERT_TRUE(db.Open(File().c_str(), kCreate));
    SQLiteStatement statement;
    ASSERT_EQ(db.Prepare(statement, "PRAGMA journal_mode"), SQLITE_OK);
    ASSERT_EQ(statement.Step(), SQLITE_ROW);
    EXPECT_STREQ(statement.ColumnText(0), "wal");
    ASSERT_EQ(db.Prepare(statement, "PRAGMA synchronous"), SQLITE_OK);
    ASSERT_EQ(statement.Step(), SQLITE_ROW);
    EXPECT_EQ(statement.ColumnInt(0), 1); // NORMAL
}

TEST_F(SqliteLayerTest, StatementSurvivesFailedStepsAndReuse)
{
    SQLiteDB db;
    ASSERT_TRUE(db.Open(File().c_str(), kCreate));
    ASSERT_EQ(db.Execute("CREATE TABLE t(id INTEGER PRIMARY KEY AUTOINCREMENT, v TEXT UNIQUE)"), SQLITE_OK);

    SQLiteStatement statement;
    const std::string text = "same";
    for (int i = 0; i < 2; ++i) {
        ASSERT_EQ(db.Prepare(statement, "INSERT INTO t(v) VALUES (?)"), SQLITE_OK);
        ASSERT_EQ(statement.BindText(1, text.c_str(), static_cast<int>(text.size())), SQLITE_OK);
        EXPECT_EQ(statement.Step(), i == 0 ? SQLITE_DONE : SQLITE_CONSTRAINT);
    }
    EXPECT_EQ(db.LastInsertId(), 1);
    // Finalising after a failed step reports that step's error but frees the statement all the same:
    // the handle must go, or the destructor would finalise freed memory.
    EXPECT_EQ(db.Prepare(statement, nullptr), SQLITE_MISUSE);
    EXPECT_FALSE(statement.IsPrepared());

    // A bad SQL text leaves nothing prepared.
    EXPECT_NE(db.Prepare(statement, "SELEKT nothing"), SQLITE_OK);
    EXPECT_FALSE(statement.IsPrepared());
    EXPECT_EQ(statement.Step(), SQLITE_MISUSE);

    ASSERT_EQ(db.Prepare(statement, "SELECT v, NULL FROM t"), SQLITE_OK);
    ASSERT_EQ(statement.Step(), SQLITE_ROW);
    EXPECT_STREQ(statement.ColumnText(0), "same");
    EXPECT_EQ(statement.ColumnText(1), nullptr);
    EXPECT_EQ(statement.Step(), SQLITE_DONE);
}

TEST_F(SqliteLayerTest, CloseKeepsAConnectionThatStillHasAStatement)
{
    SQLiteDB db;
    ASSERT_TRUE(db.Open(File().c_str(), kCreate));
    {
        SQLiteStatement statement;
        ASSERT_EQ(db.Prepare(statement, "SELECT 1"), SQLITE_OK);
        EXPECT_FALSE(db.Close());
        EXPECT_TRUE(db.IsOpen());
    }
    EXPECT_TRUE(db.Close());
    EXPECT_FALSE(db.IsOpen());
}

TEST_F(SqliteLayerTest, AutoTransactionCommitsWhatSucceeded)
{
    SQLiteDB db;
    ASSERT_TRUE(db.Open(File().c_str(), kCreate));
    ASSERT_EQ(db.Execute("CREATE TABLE t(v INTEGER UNIQUE)"), SQLITE_OK);
    const RawDatabase other(File());
    {
        SQLiteAutoTransaction transaction(&db);
        EXPECT_TRUE(db.InTransaction());
        EXPECT_FALSE(transaction.Begin()); // already active
        EXPECT_EQ(db.Execute("INSERT INTO t VALUES (1)"), SQLITE_OK);
        EXPECT_EQ(db.Execute("INSERT INTO t VALUES (1)"), SQLITE_CONSTRAINT);
        EXPECT_EQ(db.Execute("INSERT INTO t VALUES (2)"), SQLITE_OK);
        EXPECT_EQ(other.Number("SELECT count(*) FROM t"), 0); // not yet visible to others
        EXPECT_TRUE(transaction.End());
        EXPECT_FALSE(db.InTransaction());
        EXPECT_EQ(other.Number("SELECT count(*) FROM t"), 2);

        EXPECT_TRUE(transaction.Begin()); // a second round on the same object
        EXPECT_EQ(db.Execute("INSERT INTO t VALUES (3)"), SQLITE_OK);
    } // the destructor ends what is still active
    EXPECT_FALSE(db.InTransaction());
    EXPECT_EQ(other.Number("SELECT count(*) FROM t"), 3);
}

TEST_F(SqliteLayerTest, AutoTransactionWithoutConnection)
{
    SQLiteAutoTransaction none(nullptr);
    EXPECT_FALSE(none.Begin());
    EXPECT_FALSE(none.End());

    SQLiteDB closed;
    SQLiteAutoTransaction onClosed(&closed);
    EXPECT_FALSE(onClosed.Begin()); // counts as active already
    EXPECT_FALSE(onClosed.End());   // END fails without a connection
    EXPECT_FALSE(onClosed.Begin());
}

TEST(DatabaseText, ConversionAtTheBoundary)
{
    EXPECT_EQ(ToDatabaseText(L"Makro 1"), "Makro 1");
    EXPECT_EQ(ToDatabaseText(L"Gr\u00fc\u00dfe \u20ac \U0001F600"), "Gr\xc3\xbc\xc3\x9f"
                                                                    "e \xe2\x82\xac \xf0\x9f\x98\x80");
    // A text ends at its first NUL, as every reader of the column sees it.
    EXPECT_EQ(ToDatabaseText(CString(L"ab\0cd", 5)), "ab");

    EXPECT_EQ(FromDatabaseText(nullptr), L"");
    EXPECT_EQ(FromDatabaseText("\xf0\x9f\x98\x80 ok"), L"\U0001F600 ok");
    for (const char* malformed : {"\xff", "ab\xc3", "\xed\xa0\x80", "\xc0\xaf"})
        EXPECT_EQ(FromDatabaseText(malformed), L"") << malformed;
}

} // namespace
