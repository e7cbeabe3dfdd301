#include "store/profile_database.h"

#include <sqlite3.h>
#include <unistd.h>

#include "core/folders.h"
#include "core/native_path.h"
#include "store/record_statement.h"
#include "store/sqlite_auto_transaction.h"

namespace {

// In creation order. Every table's first column is its never-reused id.
constexpr const char* kSchema[] = {
    "CREATE TABLE IF NOT EXISTS t_configdata(config_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "key TEXT, value TEXT)",
    "CREATE TABLE IF NOT EXISTS t_profile_data(profile INTEGER PRIMARY KEY AUTOINCREMENT, name TEXT, "
    "status INTEGER, app TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS profileindex ON t_profile_data(profile)",
    "CREATE TABLE IF NOT EXISTS t_key_macro_data(key_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "fn_layer INTEGER, key_code INTEGER, layout_value INTEGER, layout_desc TEXT, macro_type INTEGER, "
    "macro_value INTEGER, macro_value2 INTEGER, macro_value3 INTEGER, macro_desc TEXT)",
    "CREATE INDEX IF NOT EXISTS keyindex ON t_key_macro_data(key_id)",
    "CREATE TABLE IF NOT EXISTS t_key_otherdata(macro_value INTEGER PRIMARY KEY AUTOINCREMENT, "
    "macro_desc TEXT, param TEXT, type INTEGER)",
    "CREATE INDEX IF NOT EXISTS otheridindex ON t_key_otherdata(macro_value)",
    "CREATE TABLE IF NOT EXISTS t_macro_data(macro_id INTEGER PRIMARY KEY AUTOINCREMENT, play_times INTEGER, "
    "delay_type INTEGER, delay_time INTEGER, link_count INTEGER, loop_type INTEGER, name TEXT)",
    "CREATE INDEX IF NOT EXISTS macroidindex ON t_macro_data(macro_id)",
    "CREATE TABLE IF NOT EXISTS t_macrorecord(record_id INTEGER PRIMARY KEY AUTOINCREMENT, macro_id INTEGER, "
    "type INTEGER, record_index INTEGER, desc TEXT, value INTEGER, delay_time INTEGER)",
    "CREATE INDEX IF NOT EXISTS macrorecordindex ON t_macrorecord(record_id)",
    "CREATE TABLE IF NOT EXISTS t_light_data(light_id INTEGER PRIMARY KEY AUTOINCREMENT, profile INTEGER, "
    "name TEXT, mode INTEGER, brightness INTEGER, speed INTEGER, direction INTEGER, colorful INTEGER, "
    "colorindex INTEGER, color_value INTEGER, config_func INTEGER, reserved INTEGER, status INTEGER)",
    "CREATE INDEX IF NOT EXISTS lightindex ON t_light_data(light_id)",
    "CREATE TABLE IF NOT EXISTS t_key_light_data(keylight_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, light_id INTEGER, key_code INTEGER, key_rgb INTEGER)",
    "CREATE INDEX IF NOT EXISTS keylightindex ON t_key_light_data(keylight_id)",
    "CREATE TABLE IF NOT EXISTS t_musiclayer_data(layer_id INTEGER PRIMARY KEY AUTOINCREMENT, "
    "profile INTEGER, name TEXT, deviceindex INTEGER, foremode INTEGER, fore_amplitude INTEGER, "
    "backmode INTEGER, backb_right INTEGER, sel INTEGER)",
    "CREATE INDEX IF NOT EXISTS musiclayerindex ON t_musiclayer_data(layer_id)",
};

struct ConfigurationRow {
    const wchar_t* key;
    const wchar_t* value;
};

constexpr ConfigurationRow kDefaultConfiguration[] = {
    {L"version", L"1.0.1"},    {L"keyboard_layout", L"1"}, {L"fn_layer", L"0"},        {L"lightmode", L"1"},
    {L"sleep_light", L"1"},    {L"userlight", L"0"},       {L"customlight_run", L"0"}, {L"gamemode", L"0"},
    {L"disable_alttab", L"0"}, {L"disable_altf4", L"0"},   {L"disable_win", L"0"},
};

bool HasNoTables(SQLiteDB& db)
{
    RecordStatement tables(db, "SELECT count(*) FROM sqlite_master");
    return tables.ReadRow() && tables.ColumnInt(0) == 0;
}

// The path in the program's own form; NativePath makes it a file-system path.
CString DatabasePath(const CString& dataFolder, const CString& modelName)
{
    return dataFolder + FormatText(L"db\\%s_data_v6.db", modelName.c_str());
}

} // namespace

ProfileDatabase::Batch::Batch(ProfileDatabase& database) : m_database(database), m_lock(database.m_lock)
{
    m_outermost = m_database.m_batchDepth == 0;
    ++m_database.m_batchDepth;
    if (m_outermost)
        m_database.m_batchFailed = m_database.m_db.Execute("BEGIN") != SQLITE_OK;
}

ProfileDatabase::Batch::~Batch()
{
    if (!m_finished) {
        if (m_outermost) {
            if (m_database.m_db.InTransaction())
                m_database.m_db.Execute("ROLLBACK");
        } else {
            m_database.m_batchFailed = true;
        }
    }
    --m_database.m_batchDepth;
}

bool ProfileDatabase::Batch::Commit()
{
    if (m_finished)
        return false;
    m_finished = true;
    if (!m_outermost)
        return !m_database.m_batchFailed;
    SQLiteDB& db = m_database.m_db;
    // The connection may have been closed and opened again inside the batch: its transaction is gone.
    bool ok = !m_database.m_batchFailed && db.InTransaction() && db.Execute("COMMIT") == SQLITE_OK;
    if (!ok && db.InTransaction())
        db.Execute("ROLLBACK");
    return ok;
}

ProfileDatabase::OperationLock::OperationLock(ProfileDatabase& database) : m_lock(database.m_lock)
{
    // SQLite ends a transaction by itself on some errors (a full disk, an I/O error). The batch has
    // failed then, and what follows must not land on its own: a new transaction holds it until the
    // batch rolls it back.
    if (database.m_batchDepth > 0 && !database.m_db.InTransaction()) {
        database.m_batchFailed = true;
        database.m_db.Execute("BEGIN");
    }
}

ProfileDatabase::OperationTransaction::OperationTransaction(ProfileDatabase& database)
    : m_joined(database.m_batchDepth > 0), m_transaction(m_joined ? nullptr : &database.m_db)
{
}

bool ProfileDatabase::OperationTransaction::End()
{
    return m_joined || m_transaction.End();
}

ProfileDatabase& ProfileDatabase::Instance()
{
    static ProfileDatabase instance;
    return instance;
}

ProfileDatabase::~ProfileDatabase()
{
    Close();
}

bool ProfileDatabase::OpenForDevice(const CString& dataFolder, const CString& modelName)
{
    const std::lock_guard lock(m_lock);
    const CString path = DatabasePath(dataFolder, modelName);
    const std::string nativePath = NativePath(path);
    const bool exists = PathExists(path);
    // A connection left over for another model's file, or for a file deleted under it, would take this
    // model's rows into the wrong place.
    if (m_db.IsOpen() && (nativePath != m_path || !exists))
        m_db.Close();
    m_path = nativePath;

    bool result = false;
    if (!exists) {
        result = CreateSchemaLocked();
    } else if (m_db.IsOpen()) {
        result = true;
    } else if (m_db.Open(m_path.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_FULLMUTEX)) {
        // A file whose creation was cut short holds no table yet; without the schema it would stay
        // unusable for good.
        result = !HasNoTables(m_db) || RunSchema();
    }
    m_opened = result;
    return result;
}

void ProfileDatabase::Close()
{
    const std::lock_guard lock(m_lock);
    // A connection that a partly failed schema left open is closed as well.
    m_db.Close();
    m_opened = false;
}

bool ProfileDatabase::CreateSchema()
{
    const std::lock_guard lock(m_lock);
    return CreateSchemaLocked();
}

bool ProfileDatabase::CreateSchemaLocked()
{
    if (m_db.IsOpen())
        return true;
    if (m_path.empty())
        return false;
    if (!m_db.Open(m_path.c_str(), SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_FULLMUTEX))
        return false;
    return RunSchema();
}

bool ProfileDatabase::RunSchema()
{
    // One transaction: a file is never left with half of its tables. A failing statement does not
    // stop the others.
    SQLiteAutoTransaction transaction(&m_db);
    bool allOk = true;
    for (const char* sql : kSchema)
        allOk = m_db.Execute(sql) == SQLITE_OK && allOk;
    return transaction.End() && allOk;
}

void ProfileDatabase::DeleteDatabaseFile(const CString& dataFolder, const CString& modelName)
{
    const std::lock_guard lock(m_lock);
    const std::string path = NativePath(DatabasePath(dataFolder, modelName));
    if (m_db.IsOpen() && path == m_path) {
        m_db.Close();
        m_opened = false;
    }
    // The write-ahead log and its index go too: left behind, they would be replayed into the new file.
    for (const char* suffix : {"", "-wal", "-shm", "-journal"})
        ::unlink((path + suffix).c_str());
}

void ProfileDatabase::SeedConfiguration()
{
    const OperationLock lock(*this);
    for (const ConfigurationRow& row : kDefaultConfiguration) {
        RecordStatement statement(m_db, "INSERT INTO t_configdata(profile, key, value) VALUES (?, ?, ?);");
        statement.Int(1).Text(row.key).Text(row.value).Write();
    }
}

bool ProfileDatabase::IsOpened() const
{
    const std::lock_guard lock(m_lock);
    return m_opened;
}

std::string ProfileDatabase::FilePath() const
{
    const std::lock_guard lock(m_lock);
    return m_path;
}
