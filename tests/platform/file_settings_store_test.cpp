#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>

#include "platform/linux/file_settings_store.h"
#include "tests/support/scoped_folders.h"

namespace fs = std::filesystem;

TEST(FileSettingsStore, OneSmallFilePerKey)
{
    const ScopedFolders folders;
    FileSettingsStore store;
    ASSERT_TRUE(store.CreateKey(L"Corvid Z5"));
    ASSERT_TRUE(store.SetValue(L"Corvid Z5", L"exit_mode", L"1"));
    ASSERT_TRUE(store.SetValue(L"Corvid Z5", L"a=b\\c", L"line 1\nline 2\r\\"));
    ASSERT_TRUE(store.SetValue(L"Corvid Z5", L"LCID", L"1045"));
    ASSERT_TRUE(store.SetValue(L"Corvid Z5", L"lcid", L"1033"));
    ASSERT_TRUE(store.DeleteValue(L"Corvid Z5", L"exit_mode"));

    const fs::path file = folders.ConfigHome() / "Corvid Z5" / "settings";
    EXPECT_EQ(FileSettingsStore::KeyFilePath(L"Corvid Z5"), file.string());
    EXPECT_EQ(ReadFileBytes(file), "a\\=b\\\\c=line 1\\nline 2\\r\\\\\nLCID=1033\n");
    // Nothing is left behind by the atomic replacements.
    EXPECT_EQ(std::distance(fs::directory_iterator(file.parent_path()), fs::directory_iterator()), 1);

    // A fresh store object reads the same values back.
    FileSettingsStore again;
    EXPECT_EQ(again.QueryValue(L"Corvid Z5", L"A=B\\C"), CString(L"line 1\nline 2\r\\"));
    EXPECT_EQ(again.QueryValue(L"Corvid Z5", L"exit_mode"), std::nullopt);
}

TEST(FileSettingsStore, KeyNamesStayInsideTheConfigFolder)
{
    const ScopedFolders folders;
    FileSettingsStore store;
    for (const wchar_t* name : {L"../escape", L"", L".."}) {
        SCOPED_TRACE(WideToUtf8(name));
        ASSERT_TRUE(store.CreateKey(name));
        const fs::path file = FileSettingsStore::KeyFilePath(name);
        EXPECT_EQ(file.parent_path().parent_path(), folders.ConfigHome());
        EXPECT_TRUE(fs::is_regular_file(file));
    }
}

TEST(FileSettingsStore, AFailedWriteKeepsTheOldFile)
{
    const ScopedFolders folders;
    FileSettingsStore store;
    ASSERT_TRUE(store.CreateKey(L"Corvid Z5"));
    ASSERT_TRUE(store.SetValue(L"Corvid Z5", L"exit_mode", L"1"));
    const std::string before = ReadFileBytes(FileSettingsStore::KeyFilePath(L"Corvid Z5"));

    // A file size limit makes the write of the new file fail part-way, for any user.
    struct rlimit previous {};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &previous), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = previous;
    small.rlim_cur = before.size() + 4;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    const bool written = store.SetValue(L"Corvid Z5", L"last_tab_index", L"a value too long for the limit");
    ::setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    EXPECT_FALSE(written);
    EXPECT_EQ(ReadFileBytes(FileSettingsStore::KeyFilePath(L"Corvid Z5")), before);
    EXPECT_EQ(
        std::distance(fs::directory_iterator(folders.ConfigHome() / "Corvid Z5"), fs::directory_iterator()),
        1)
        << "the temporary file is removed";
}
