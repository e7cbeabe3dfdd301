#include <gtest/gtest.h>

#include <ctime>
#include <filesystem>
#include <set>
#include <sys/stat.h>

#include "tests/support/scoped_file_size_limit.h"
#include "tests/support/scoped_folders.h"
#include "tests/update/zip_builder.h"
#include "update/extract_archive.h"

namespace fs = std::filesystem;

namespace {

struct NameCase {
    const wchar_t* name;
    const wchar_t* clean;
};

TEST(CleanEntryName, KeepsEveryNameInsideTheFolder)
{
    const NameCase cases[] = {
        {L"setup.exe", L"setup.exe"},
        {L"dir\\sub\\file.txt", L"dir/sub/file.txt"},
        {L"C:\\Windows\\evil.dll", L"Windows/evil.dll"},
        {L"c:evil.txt", L"evil.txt"},
        {L"\\\\server\\share\\x", L"server/share/x"},
        {L"/etc/passwd", L"etc/passwd"},
        {L"..\\..\\evil.txt", L"evil.txt"},
        {L"../../evil.txt", L"evil.txt"},
        {L"a/../../b/evil.txt", L"b/evil.txt"},
        {L"a\\..\\b/../c\\..\\d.txt", L"d.txt"},
        {L"a/..\\b.txt", L"b.txt"},
        {L"C:/../x:/y.txt", L"x:/y.txt"}, // a later colon is an ordinary character
        {L"./a/./b.txt", L"a/b.txt"},
        {L"a//b.txt", L"a/b.txt"},
        {L"folder/", L"folder"},
        {L"a/b/..", L""},
        {L"..", L""},
        {L"/", L""},
        {L"C:", L""},
        {L"", L""},
    };
    for (const NameCase& c : cases)
        EXPECT_EQ(CleanEntryName(c.name), c.clean) << WideToUtf8(c.name);
}

// Every regular file and link below `root`, relative to it.
std::set<std::string> FilesBelow(const fs::path& root)
{
    std::set<std::string> files;
    for (const auto& item : fs::recursive_directory_iterator(root)) {
        if (!item.is_directory() || item.is_symlink())
            files.insert(fs::relative(item.path(), root).string());
    }
    return files;
}

TEST(ExtractArchive, HostileNamesLandInsideTheTarget)
{
    const ScopedTempDir root;
    const fs::path target = root.Path() / "a" / "b" / "temp";
    fs::create_directories(target);
    const fs::path archive = root.Path() / "hostile.zip";
    WriteZip(archive, {
                          {.name = "C:\\drive.txt", .data = "1"},
                          {.name = "..\\..\\back.txt", .data = "2"},
                          {.name = "../../up.txt", .data = "3"},
                          {.name = "../one-up.txt", .data = "3a"},
                          {.name = "..\\one-up-too.txt", .data = "3b"},
                          {.name = "/tmp/absolute.txt", .data = "4"},
                          {.name = "sub/../../../mixed.txt", .data = "5"},
                          {.name = "..", .data = "6"},
                          {.name = "link", .data = "/etc/passwd", .unixMode = 0120777},
                          {.name = "..\\link2", .data = "../../..", .unixMode = 0120777},
                      });

    ASSERT_EQ(ExtractArchive(Utf8ToWide(archive.string()), Utf8ToWide(target.string())),
              ExtractResult::Unpacked);

    const std::set<std::string> expected{
        "hostile.zip",        "a/b/temp/drive.txt",        "a/b/temp/back.txt",   "a/b/temp/up.txt",
        "a/b/temp/mixed.txt", "a/b/temp/tmp/absolute.txt", "a/b/temp/one-up.txt", "a/b/temp/one-up-too.txt"};
    EXPECT_EQ(FilesBelow(root.Path()), expected) << "no escaped file and no link";
    EXPECT_EQ(ReadFileBytes(target / "mixed.txt"), "5");
}

mode_t ModeOf(const fs::path& path)
{
    struct stat st {};
    return ::lstat(path.c_str(), &st) == 0 ? st.st_mode : 0;
}

std::time_t ModificationTime(const fs::path& path)
{
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? st.st_mtime : 0;
}

TEST(ExtractArchive, FoldersPermissionsAndTimes)
{
    const ScopedTempDir root;
    const fs::path archive = root.Path() / "update.zip";
    WriteZip(archive, {
                          {.name = "docs/", .dosAttributes = 0x10},
                          {.name = "bin\\Setup.exe", .data = "MZ windows"},
                          {.name = "readme.txt", .data = "read me", .dosAttributes = 0x21},
                          {.name = "tool.sh", .data = "#!/bin/sh\n", .unixMode = 0100755},
                          {.name = "setuid", .data = "x", .unixMode = 0104755},
                          {.name = "locked", .data = "x", .unixMode = 0100444},
                          {.name = "Gr\xc3\xbc\xc3\x9f"
                                   "e.txt",
                           .data = "utf8",
                           .utf8Name = true},
                      });
    const fs::path target = root.Path() / "out";

    ASSERT_EQ(ExtractArchive(Utf8ToWide(archive.string()), Utf8ToWide(target.string())),
              ExtractResult::Unpacked);

    EXPECT_TRUE(fs::is_directory(target / "docs"));
    EXPECT_EQ(ReadFileBytes(target / "bin" / "Setup.exe"), "MZ windows");
    EXPECT_EQ(ReadFileBytes(target / "Gr\xc3\xbc\xc3\x9f"
                                     "e.txt"),
              "utf8");

    const mode_t windowsFile = ModeOf(target / "bin" / "Setup.exe");
    EXPECT_TRUE(S_ISREG(windowsFile));
    EXPECT_EQ(windowsFile & 0111, 0u) << "nothing is executable unless the entry says so";
    EXPECT_NE(windowsFile & S_IWUSR, 0u);
    EXPECT_EQ(ModeOf(target / "readme.txt") & 0222, 0u) << "read-only attribute";
    EXPECT_EQ(ModeOf(target / "locked") & 0222, 0u);
    EXPECT_NE(ModeOf(target / "tool.sh") & S_IXUSR, 0u);
    EXPECT_EQ(ModeOf(target / "setuid") & 07000, 0u);

    std::tm local{};
    local.tm_year = 2023 - 1900;
    local.tm_mon = 5;
    local.tm_mday = 15;
    local.tm_hour = 12;
    local.tm_min = 30;
    local.tm_sec = 44;
    local.tm_isdst = -1;
    EXPECT_EQ(ModificationTime(target / "readme.txt"), std::mktime(&local));
}

TEST(ExtractArchive, DamagedEntryIsSkippedAndTheRestUnpacked)
{
    const ScopedTempDir root;
    std::string bytes = ZipBytes({
        {.name = "first.txt", .data = "first entry", .stored = true},
        {.name = "broken.exe", .data = "DAMAGED-PAYLOAD-0123456789", .stored = true},
        {.name = "last.txt", .data = "last entry", .stored = true},
    });
    const size_t payload = bytes.find("DAMAGED-PAYLOAD");
    ASSERT_NE(payload, std::string::npos);
    bytes[payload] = 'X';
    const fs::path archive = root.Path() / "damaged.zip";
    WriteFileBytes(archive, bytes);

    ASSERT_EQ(ExtractArchive(Utf8ToWide(archive.string()), Utf8ToWide((root.Path() / "out").string())),
              ExtractResult::Unpacked);

    EXPECT_EQ(ReadFileBytes(root.Path() / "out" / "first.txt"), "first entry");
    EXPECT_EQ(ReadFileBytes(root.Path() / "out" / "last.txt"), "last entry");
    EXPECT_FALSE(fs::exists(root.Path() / "out" / "broken.exe")) << "a damaged installer must not remain";
}

TEST(ExtractArchive, ReplacesReadOnlyFilesAndLinksWithoutFollowingThem)
{
    const ScopedTempDir root;
    const fs::path target = root.Path() / "out";
    fs::create_directories(target);
    WriteFileBytes(target / "old.txt", "old");
    fs::permissions(target / "old.txt", fs::perms::owner_read);
    WriteFileBytes(root.Path() / "outside.txt", "keep");
    fs::create_symlink(root.Path() / "outside.txt", target / "planted");
    const fs::path archive = root.Path() / "update.zip";
    WriteZip(archive, {{.name = "old.txt", .data = "new"}, {.name = "planted", .data = "through the link?"}});

    ASSERT_EQ(ExtractArchive(Utf8ToWide(archive.string()), Utf8ToWide(target.string())),
              ExtractResult::Unpacked);

    EXPECT_EQ(ReadFileBytes(target / "old.txt"), "new");
    EXPECT_FALSE(fs::is_symlink(target / "planted"));
    EXPECT_EQ(ReadFileBytes(target / "planted"), "through the link?");
    EXPECT_EQ(ReadFileBytes(root.Path() / "outside.txt"), "keep");
}

TEST(ExtractArchive, NotAnArchiveOnlyWhenItCannotBeOpened)
{
    const ScopedTempDir root;
    WriteFileBytes(root.Path() / "not.zip", "this is not an archive");
    WriteFileBytes(root.Path() / "truncated.zip", ZipBytes({{.name = "a.txt", .data = "a"}}).substr(0, 40));
    WriteFileBytes(root.Path() / "links.zip", ZipBytes({{.name = "link", .data = "/", .unixMode = 0120777}}));
    const CString out = Utf8ToWide((root.Path() / "out").string());

    for (const char* name : {"missing.zip", "not.zip", "truncated.zip"})
        EXPECT_EQ(ExtractArchive(Utf8ToWide((root.Path() / name).string()), out), ExtractResult::NotAnArchive)
            << name;
    EXPECT_EQ(ExtractArchive(Utf8ToWide((root.Path() / "links.zip").string()), out), ExtractResult::Unpacked)
        << "no entry was written";
}

TEST(ExtractArchive, AnArchivePastALimitIsRefusedWholeAndLeavesNothing)
{
    const ScopedTempDir root;
    const fs::path target = root.Path() / "temp";
    fs::create_directories(target);
    WriteFileBytes(target / "Setup.exe", "an installer left by an earlier update");
    const std::vector<ZipEntry> update = {
        {.name = "Setup.exe", .data = std::string(600, 'x')},
        {.name = "data/more.bin", .data = PatternBytes(600)},
    };
    struct LimitCase {
        const char* what;
        std::vector<ZipEntry> entries;
        ExtractLimits limits;
        ExtractResult result;
    };
    const LimitCase cases[] = {
        {"total size", update, {.maxTotalBytes = 1000}, ExtractResult::TooLarge},
        {"entry count", update, {.maxEntries = 1}, ExtractResult::TooLarge},
        // 2 MiB of zeros pack into a few kilobytes.
        {"packing ratio",
         {{.name = "bomb.bin", .data = std::string(2 << 20, '\0')}},
         {},
         ExtractResult::TooLarge},
        {"free space", update, {.spareBytes = uint64_t{1} << 62}, ExtractResult::NoSpace},
    };
    for (const LimitCase& c : cases) {
        SCOPED_TRACE(c.what);
        const fs::path archive = root.Path() / "update.zip";
        WriteZip(archive, c.entries);
        EXPECT_EQ(ExtractArchive(Utf8ToWide(archive.string()), Utf8ToWide(target.string()), c.limits),
                  c.result);
        EXPECT_EQ(FilesBelow(target), std::set<std::string>{"Setup.exe"});
        EXPECT_EQ(ReadFileBytes(target / "Setup.exe"), "an installer left by an earlier update");
    }

    // Within the limits, the same archive unpacks; the tight-packed one passes when its ratio is allowed.
    const fs::path archive = root.Path() / "update.zip";
    WriteZip(archive, update);
    EXPECT_EQ(
        ExtractArchive(Utf8ToWide(archive.string()), Utf8ToWide(target.string()), {.maxTotalBytes = 1200}),
        ExtractResult::Unpacked);
    EXPECT_EQ(FilesBelow(target), (std::set<std::string>{"Setup.exe", "data/more.bin"}));
}

TEST(ExtractArchive, ADiskThatFillsUpUndoesTheWholeArchive)
{
    const ScopedTempDir root;
    const fs::path target = root.Path() / "temp";
    const fs::path archive = root.Path() / "update.zip";
    WriteZip(archive, {{.name = "readme.txt", .data = "small"},
                       {.name = "bin/Setup.exe", .data = PatternBytes(5000)},
                       {.name = "later.txt", .data = "never reached"}});
    {
        ScopedFileSizeLimit limit(4096);
        EXPECT_EQ(ExtractArchive(Utf8ToWide(archive.string()), Utf8ToWide(target.string())),
                  ExtractResult::NoSpace);
    }
    EXPECT_FALSE(fs::exists(target)) << "the files and the folders made for them are gone";
}

} // namespace
