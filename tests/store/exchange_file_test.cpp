// How an export takes the place of the target file: all or nothing, and nothing left behind.

#include <functional>
#include <grp.h>
#include <optional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "store/xml_document.h"

#include "store/macro_exchange.h"
#include "store/profile_exchange.h"
#include "tests/store/exchange_test_support.h"
#include "tests/support/scoped_file_size_limit.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

std::vector<std::string> FolderContent(const fs::path& folder)
{
    std::vector<std::string> names;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// Lets an unprivileged user reach `path` through every folder above it that is the test's own.
void MakeTraversable(const fs::path& path)
{
    for (fs::path folder = path; folder.has_relative_path(); folder = folder.parent_path()) {
        struct stat st {};
        if (::stat(folder.c_str(), &st) == 0 && !(st.st_mode & S_IXOTH))
            ::chmod(folder.c_str(), (st.st_mode & 07777) | S_IXOTH);
    }
}

// Runs `save` with no privileges: root passes every permission check, so as root it runs in a child
// process that has dropped to the nobody user.
ExchangeError AsUnprivileged(const std::function<ExchangeError()>& save)
{
    if (::geteuid() != 0)
        return save();
    const pid_t child = ::fork();
    if (child == 0) {
        if (::setgroups(0, nullptr) != 0 || ::setgid(kNobody) != 0 || ::setuid(kNobody) != 0)
            ::_exit(100);
        ::_exit(static_cast<int>(save()));
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 100) << "could not drop privileges";
    return static_cast<ExchangeError>(WEXITSTATUS(status));
}

// A small document built without the database, so that a child process can save it.
ExchangeError SaveSmallDocument(const fs::path& target)
{
    XmlDocument document;
    document.SetText(kExchangeDeclaration);
    document.AddElement(L"macro");
    return SaveDocumentReplacing(document, NativeFilePath(target.string()));
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
        EXPECT_EQ(ExportProfile(m_database, 1, L"Profil 1", UserPath("out/keep.xml")),
                  ExchangeError::DiskFull);
        EXPECT_EQ(ExportMacro(m_database, 1, UserPath("out/keep.xml")), ExchangeError::DiskFull);
    }
    EXPECT_EQ(ReadFileBytes(FilePath("out/keep.xml")), good);

    // A folder that does not exist, and a folder in the way of the file.
    EXPECT_EQ(ExportProfile(m_database, 1, L"Profil 1", UserPath("out/missing/p.xml")),
              ExchangeError::FolderMissing);
    fs::create_directory(FilePath("out/folder.xml"));
    EXPECT_EQ(ExportMacro(m_database, 1, UserPath("out/folder.xml")), ExchangeError::WriteFailed);
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

    ASSERT_EQ(ExportMacro(m_database, 1, UserPath("out/private.xml")), ExchangeError::None);
    ASSERT_EQ(ExportMacro(m_database, 1, UserPath("out/link.xml")), ExchangeError::None);
    ASSERT_EQ(ExportMacro(m_database, 1, UserPath("out/new.xml")), ExchangeError::None);

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

TEST_F(ExchangeFileTest, AFolderThatTakesNoNewFilesStillGetsItsWritableFileRewritten)
{
    const std::string written = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\r\n<macro/>\r\n";
    const fs::path folder = FilePath("locked");
    struct Case {
        const char* what;
        mode_t folderMode;
        std::optional<mode_t> fileMode; // no file when empty
        ExchangeError error;
    };
    const Case cases[] = {
        // The file itself is writable: rewritten in place.
        {"read-only folder, writable file", 0555, 0666, ExchangeError::None},
        // A sticky folder takes new files but no rename over another user's file (only as root is
        // the file someone else's).
        {"sticky folder, another user's writable file", 01777, 0666, ExchangeError::None},
        {"read-only folder, read-only file", 0555, 0444, ExchangeError::AccessDenied},
        {"read-only folder, no file", 0555, std::nullopt, ExchangeError::AccessDenied},
    };
    MakeTraversable(m_folders.Root());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        fs::create_directory(folder);
        const fs::path target = folder / "p.xml";
        if (c.fileMode) {
            WriteFile("locked/p.xml", "old content that is longer than the new one, to be cut off");
            ::chmod(target.c_str(), *c.fileMode);
        }
        ::chmod(folder.c_str(), c.folderMode);

        EXPECT_EQ(AsUnprivileged([&] { return SaveSmallDocument(target); }), c.error);

        ::chmod(folder.c_str(), 0755);
        if (c.error == ExchangeError::None) {
            EXPECT_EQ(ReadFileBytes(target), written);
        } else if (c.fileMode) {
            EXPECT_EQ(ReadFileBytes(target), "old content that is longer than the new one, to be cut off");
        }
        EXPECT_EQ(FolderContent(folder),
                  c.fileMode ? std::vector<std::string>{"p.xml"} : std::vector<std::string>{})
            << "no temporary file is left";
        fs::remove_all(folder);
    }
}

} // namespace
