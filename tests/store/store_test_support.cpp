#include "tests/store/store_test_support.h"

#include <chrono>
#include <csignal>
#include <poll.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include "core/folders.h"

RawDatabase::RawDatabase(const std::filesystem::path& file)
{
    if (sqlite3_open_v2(file.c_str(), &m_db, SQLITE_OPEN_READWRITE, nullptr) != SQLITE_OK)
        ADD_FAILURE() << "cannot open " << file << ": " << sqlite3_errmsg(m_db);
}

RawDatabase::~RawDatabase()
{
    sqlite3_close_v2(m_db);
}

std::vector<std::vector<std::string>> RawDatabase::Rows(const std::string& sql) const
{
    std::vector<std::vector<std::string>> rows;
    const auto collect = [](void* out, int columns, char** values, char**) {
        auto& table = *static_cast<std::vector<std::vector<std::string>>*>(out);
        table.emplace_back();
        for (int i = 0; i < columns; ++i)
            table.back().emplace_back(values[i] ? values[i] : "NULL");
        return 0;
    };
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), collect, &rows, &error) != SQLITE_OK)
        ADD_FAILURE() << sql << ": " << (error ? error : "?");
    sqlite3_free(error);
    return rows;
}

std::string RawDatabase::Value(const std::string& sql) const
{
    const auto rows = Rows(sql);
    return rows.empty() || rows[0].empty() ? std::string() : rows[0][0];
}

void RawDatabase::Execute(const std::string& sql) const
{
    char* error = nullptr;
    if (sqlite3_exec(m_db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK)
        ADD_FAILURE() << sql << ": " << (error ? error : "?");
    sqlite3_free(error);
}

ProfileDatabaseTest::ProfileDatabaseTest() : m_dataFolder(DataFolder(L"Torvik"))
{
    // The program makes the db folder at start-up; opening never does.
    CreateFolderTree(m_dataFolder + L"db");
}

std::filesystem::path ProfileDatabaseTest::DbFolder() const
{
    return m_folders.DataHome() / "Torvik Files" / "db";
}

bool KillPartWay(const std::function<void(const std::function<void()>& ready)>& work, int killAfterMs)
{
    int ready[2];
    if (::pipe(ready) != 0) {
        ADD_FAILURE() << "pipe";
        return false;
    }
    const pid_t child = ::fork();
    if (child < 0) {
        ADD_FAILURE() << "fork";
        return false;
    }
    if (child == 0) {
        ::close(ready[0]);
        work([&] {
            if (::write(ready[1], "r", 1) != 1)
                ::_exit(1);
        });
        ::_exit(0);
    }
    ::close(ready[1]);
    pollfd waitForChild{ready[0], POLLIN, 0};
    const bool gotReady = ::poll(&waitForChild, 1, 10000) == 1;
    EXPECT_TRUE(gotReady) << "the child never got going";
    std::this_thread::sleep_for(std::chrono::milliseconds(killAfterMs));
    ::kill(child, SIGKILL);
    int status = 0;
    ::waitpid(child, &status, 0);
    ::close(ready[0]);
    const bool killed = WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL;
    EXPECT_TRUE(killed) << "the child ended on its own";
    return gotReady && killed;
}
