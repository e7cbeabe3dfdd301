#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/folders.h"
#include "tests/support/scoped_folders.h"

namespace fs = std::filesystem;

TEST(Folders, ApplicationFolderInBothForms)
{
    const ScopedFolders folders;
    const CString app = Utf8ToWide(folders.AppFolder().string());
    EXPECT_EQ(ApplicationFolder(), app);
    EXPECT_EQ(ApplicationFolderWithSeparator(), app + L"/");

    // A trailing separator in the override does not leak into the plain form.
    const ScopedEnv withSlash(kApplicationFolderVariable, folders.AppFolder().string() + "/");
    EXPECT_EQ(ApplicationFolder(), app);
}

TEST(Folders, ApplicationFolderIsTheExecutablesFolderWithoutOverride)
{
    const ScopedEnv none(kApplicationFolderVariable, "");
    const fs::path exe = fs::read_symlink("/proc/self/exe");
    EXPECT_EQ(ApplicationFolder(), Utf8ToWide(exe.parent_path().string()));
    EXPECT_EQ(ApplicationFolderWithSeparator(), Utf8ToWide(exe.parent_path().string() + "/"));
}

TEST(Folders, DataFolderFollowsXdgDataHome)
{
    const ScopedFolders folders;
    EXPECT_EQ(DataFolder(L"Corvid Z5"), Utf8ToWide(folders.DataHome().string()) + L"/Corvid Z5 Files/");

    const ScopedEnv home("HOME", "/home/someone");
    for (const char* unusable : {"", "relative/dir"}) {
        const ScopedEnv xdg("XDG_DATA_HOME", unusable);
        EXPECT_EQ(DataFolder(L"Torvik"), L"/home/someone/.local/share/Torvik Files/");
    }
}

TEST(Folders, CreateFolderTreeMakesEveryPrefix)
{
    const ScopedFolders folders;
    const CString data = DataFolder(L"Corvid Z5");
    const CString db = data + L"db";
    ASSERT_TRUE(CreateFolderTree(db));
    EXPECT_TRUE(fs::is_directory(folders.DataHome() / "Corvid Z5 Files" / "db"));
    // existing already: success, and the program's own path forms with backslashes work too
    EXPECT_TRUE(CreateFolderTree(db));
    EXPECT_TRUE(CreateFolderTree(data + L"a\\b\\\\c\\"));
    EXPECT_TRUE(fs::is_directory(folders.DataHome() / "Corvid Z5 Files" / "a" / "b" / "c"));
}

TEST(Folders, CreateFolderTreeFailures)
{
    const ScopedFolders folders;
    // A file where the folder should be is not a folder.
    WriteFileBytes(folders.Root() / "plain", "x");
    EXPECT_FALSE(CreateFolderTree(Utf8ToWide((folders.Root() / "plain").string())));
    EXPECT_FALSE(CreateFolderTree(Utf8ToWide((folders.Root() / "plain" / "below").string())));
    EXPECT_FALSE(CreateFolderTree(L""));

    if (::geteuid() != 0) { // root writes anywhere
        const fs::path locked = folders.Root() / "locked";
        fs::create_directories(locked);
        fs::permissions(locked, fs::perms::owner_read | fs::perms::owner_exec);
        EXPECT_FALSE(CreateFolderTree(Utf8ToWide((locked / "db").string())));
    }
}

TEST(Folders, PathExists)
{
    const ScopedFolders folders;
    WriteFileBytes(folders.AppFolder() / "config.xml", "<config/>");
    EXPECT_TRUE(PathExists(ApplicationFolderWithSeparator() + L"\\config.xml"));
    EXPECT_FALSE(PathExists(ApplicationFolderWithSeparator() + L"missing.xml"));
}
