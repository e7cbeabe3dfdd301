// How an export takes the place of the target file: all or nothing, and nothing left behind.

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

#include "store/macro_exchange.h"
#include "store/profile_exchange.h"
#include "tests/store/exchange_test_support.h"

namespace {

namespace fs = std::filesystem;

// Makes every write past the limit fail with EFBIG instead of raising SIGXFSZ.
class ScopedFileSizeLimit {
public:
    explicit ScopedFileSizeLimit(rlim_t bytes)
    {
        getrlimit(RLIMIT_FSIZE, &m_previous);
        m_handler = std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{bytes, m_previous.rlim_max};
        EXPECT_EQ(setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~ScopedFileSizeLimit()
    {
        setrlimit(RLIMIT_FSIZE, &m_previous);
        std::signal(SIGXFSZ, m_handler);
    }
    ScopedFileSizeLimit(const ScopedFileSizeLimit&) = delete;
    ScopedFileSizeLimit& operator=(const ScopedFileSizeLimit&) = delete;

private:
    rlimit m_previous{};
    void (*m_handler)(int) = SIG_DFL;
};

std::vector<std::string> FolderContent(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class ExchangeFileTest : public ExchangeTest {
protected:
    void SetUp() override
    {
        ExchangeTest::SetUp();
        FillSource();
        fs::create_directory(FilePath("out"));
    }
};

TEST_F(ExchangeFileTest, FailedExportLeavesTheOldFileAndNoTemporary)
{
    const std::string good = "<macro/>\r\n";
    WriteFile("out/keep.xml", good);
    {
        // The temporary file is cut short: the export fails before anything is renamed.
        ScopedFileSizeLimit limit(64);
        EXPECT_FALSE(ExportProfile(m_database, 1, L"Profil 1", WidePath("out/keep.xml")));
        EXPECT_FALSE(ExportMacro(m_database, 1, WidePath("out/keep.xml")));
    }
    EXPECT_EQ(ReadFileBytes(FilePath("out/keep.xml")), good);

    // A folder that does not exist, and a folder in the way of the file.
    EXPECT_FALSE(ExportProfile(m_database, 1, L"Profil 1", WidePath("out/missing/p.xml")));
    fs::create_directory(FilePath("out/folder.xml"));
    EXPECT_FALSE(ExportMacro(m_database, 1, WidePath("out/folder.xml")));
    EXPECT_TRUE(fs::is_empty(FilePath("out/folder.xml")));

    EXPECT_EQ(FolderContent(FilePath("out")), std::vector<std::string>({"folder.xml", "keep.xml"}));
}

TEST_F(ExchangeFileTest, ExportReplacesTheTargetInPlace)
{
    // An existing file keeps its permissions; a link keeps pointing at the file it named.
    WriteFile("out/private.xml", "old");
    fs::permissions(FilePath("out/private.xml"), fs::perms::owner_read | fs::perms::owner_write);
    WriteFile("out/real.xml", "old");
    fs::create_symlink("real.xml", FilePath("out/link.xml"));

    ASSERT_TRUE(ExportMacro(m_database, 1, WidePath("out/private.xml")));
    ASSERT_TRUE(ExportMacro(m_database, 1, WidePath("out/link.xml")));
    ASSERT_TRUE(ExportMacro(m_database, 1, WidePath("out/new.xml")));

    const std::string golden = ReadFileBytes(FixturesDir() / "exchange/macro_export.xml");
    EXPECT_EQ(ReadFileBytes(FilePath("out/private.xml")), golden);
    EXPECT_EQ(ReadFileBytes(FilePath("out/real.xml")), golden);
    EXPECT_TRUE(fs::is_symlink(FilePath("out/link.xml")));
    EXPECT_EQ(fs::status(FilePath("out/private.xml")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    struct stat created {};
    ASSERT_EQ(stat(FilePath("out/new.xml").c_str(), &created), 0);
    EXPECT_EQ(created.st_mode & 0777, 0644u);
    EXPECT_EQ(FolderContent(FilePath("out")),
              std::vector<std::string>({"link.xml", "new.xml", "private.xml", "real.xml"}));
}

} // namespace
