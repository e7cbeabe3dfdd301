#include <gtest/gtest.h>

#include <filesystem>

#include "platform/linux/desktop_autostart.h"
#include "tests/support/scoped_folders.h"

namespace fs = std::filesystem;

TEST(DesktopAutostart, OneEntryPerName)
{
    const ScopedFolders folders;
    DesktopAutostart autostart;
    const fs::path folder = folders.ConfigHome() / "autostart";
    EXPECT_FALSE(autostart.HasEntry(L"Corvid Z5"));

    ASSERT_TRUE(autostart.SetEntry(L"Corvid Z5", L"/opt/corvid/Torvik"));
    ASSERT_TRUE(autostart.SetEntry(L"Corvid Z5", L"/opt/corvid/Torvik"));
    EXPECT_TRUE(autostart.HasEntry(L"Corvid Z5"));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    EXPECT_EQ(ReadFileBytes(folder / "Corvid Z5.desktop"), "[Desktop Entry]\n"
                                                           "Type=Application\n"
                                                           "Name=Corvid Z5\n"
                                                           "Exec=/opt/corvid/Torvik\n"
                                                           "Terminal=false\n"
                                                           "X-GNOME-Autostart-enabled=true\n");

    ASSERT_TRUE(autostart.RemoveEntry(L"Corvid Z5"));
    EXPECT_FALSE(autostart.HasEntry(L"Corvid Z5"));
    EXPECT_TRUE(fs::is_empty(folder));
    EXPECT_TRUE(autostart.RemoveEntry(L"Corvid Z5")) << "nothing left to remove is success";
}

TEST(DesktopAutostart, AnyExistingEntryCounts)
{
    const ScopedFolders folders;
    WriteFileBytes(folders.ConfigHome() / "autostart" / "Corvid Z5.desktop", std::string(1000, 'x'));
    EXPECT_TRUE(DesktopAutostart().HasEntry(L"Corvid Z5"));
}

TEST(DesktopAutostart, ExecValueQuotesAndEscapes)
{
    const std::pair<const wchar_t*, const char*> cases[] = {
        {L"/opt/corvid/Torvik", "/opt/corvid/Torvik"},
        {L"/opt/Corvid Z5/Torvik", "\"/opt/Corvid Z5/Torvik\""},
        {L"/opt/100%/Torvik", "/opt/100%%/Torvik"},
        // Inside quotes '$' and '"' take a backslash, which the string escapes then double.
        {L"/opt/a$b \"c\"/Torvik", "\"/opt/a\\\\$b \\\\\"c\\\\\"/Torvik\""},
    };
    for (const auto& [path, exec] : cases) {
        SCOPED_TRACE(WideToUtf8(path));
        EXPECT_EQ(DesktopAutostart::ExecValue(path), exec);
    }
}
