#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>
#include <unistd.h>

#include "platform/linux/linux_process_exit.h"
#include "platform/linux/linux_shell.h"
#include "tests/support/scoped_folders.h"

namespace fs = std::filesystem;

namespace {

// A script that writes its arguments and its parent's id to `marker` once it runs.
void WriteRecorder(const fs::path& script, const fs::path& marker)
{
    WriteFileBytes(script, "#!/bin/sh\necho \"$PPID $*\" > '" + marker.string() + ".tmp'\nmv '" +
                               marker.string() + ".tmp' '" + marker.string() + "'\n");
    fs::permissions(script, fs::perms::owner_all);
}

// The started program runs on its own; give it a few seconds at most.
std::string WaitForMarker(const fs::path& marker)
{
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!fs::exists(marker) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return ReadFileBytes(marker);
}

TEST(LinuxShell, RunsExecutablesDetachedAndOpensOtherFiles)
{
    const ScopedTempDir folder;
    const fs::path program = folder.Path() / "Keyboard-Software-1.0.exe";
    const fs::path programMarker = folder.Path() / "program.marker";
    WriteRecorder(program, programMarker);
    const fs::path opener = folder.Path() / "opener";
    const fs::path openerMarker = folder.Path() / "opener.marker";
    WriteRecorder(opener, openerMarker);
    const fs::path document = folder.Path() / "FirmwareUpdateTool-2.exe";
    WriteFileBytes(document, "not executable");
    LinuxShell shell(opener.string());

    ASSERT_TRUE(shell.StartProgram(Utf8ToWide(program.string())));
    const std::string ran = WaitForMarker(programMarker);
    ASSERT_FALSE(ran.empty());
    EXPECT_NE(std::stol(ran), static_cast<long>(::getpid())) << "the program must not be our child";

    // The program's own path form works too.
    CString windowsForm = Utf8ToWide(document.string());
    windowsForm.replace(windowsForm.rfind(L'/'), 1, L"\\");
    ASSERT_TRUE(shell.StartProgram(windowsForm));
    const std::string opened = WaitForMarker(openerMarker);
    EXPECT_NE(opened.find(" " + document.string() + "\n"), std::string::npos) << opened;
}

TEST(LinuxShell, NothingToStartIsAFailure)
{
    const ScopedTempDir folder;
    WriteFileBytes(folder.Path() / "tool.exe", "not executable");

    EXPECT_FALSE(LinuxShell().StartProgram(Utf8ToWide((folder.Path() / "missing.exe").string())));
    EXPECT_FALSE(
        LinuxShell("no-such-opener-on-path").StartProgram(Utf8ToWide((folder.Path() / "tool.exe").string())));
}

TEST(LinuxShell, OpensWebAndMailAddressesOnly)
{
    const ScopedTempDir folder;
    const fs::path opener = folder.Path() / "opener";
    const fs::path marker = folder.Path() / "opener.marker";
    WriteRecorder(opener, marker);
    LinuxShell shell(opener.string());

    ASSERT_TRUE(shell.OpenAddress(L"https://corvid.example/a b?x=1&y=\u00e9"));
    EXPECT_NE(WaitForMarker(marker).find(" https://corvid.example/a b?x=1&y=\xc3\xa9\n"), std::string::npos);

    // Anything else never reaches the opener, where it could read as an option or a local file.
    struct Case {
        const wchar_t* address;
        bool openable;
    };
    const Case cases[] = {
        {L"http://corvid.example/", true},
        {L"HTTPS://corvid.example/", true},
        {L"mailto:a@b.example", true},
        {L"", false},
        {L"https://", false},
        {L"--help", false},
        {L"file:///etc/passwd", false},
        {L"javascript:alert(1)", false},
        {L"/usr/bin/xterm", false},
        {L"https://a.example/\nrm", false},
        {L"https://a.example/\x01", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IsOpenableAddress(c.address), c.openable) << WideToUtf8(c.address);
    fs::remove(marker);
    EXPECT_FALSE(shell.OpenAddress(L"--help"));
    EXPECT_FALSE(shell.OpenAddress(L""));
    EXPECT_FALSE(LinuxShell("no-such-opener-on-path").OpenAddress(L"https://corvid.example/"));
    EXPECT_FALSE(fs::exists(marker));
}

TEST(LinuxProcessExitDeathTest, EndsAtOnceWithTheCode)
{
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(LinuxProcessExit().ExitNow(0), ::testing::ExitedWithCode(0), "");
    EXPECT_EXIT(LinuxProcessExit().ExitNow(3), ::testing::ExitedWithCode(3), "");
}

} // namespace
