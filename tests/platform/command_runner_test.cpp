#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <unistd.h>

#include "platform/fake/fake_command_runner.h"
#include "platform/linux/pkexec_rule_installer.h"
#include "platform/linux/process_command_runner.h"
#include "tests/support/scoped_folders.h"

namespace {

using namespace std::chrono_literals;

TEST(ProcessCommandRunner, GivesTheExitCodeAndEndsAProgramThatOverruns)
{
    ProcessCommandRunner runner;
    EXPECT_EQ(runner.Run({"true"}, 5s), 0);
    EXPECT_EQ(runner.Run({"/bin/sh", "-c", "exit 3"}, 5s), 3);
    EXPECT_EQ(runner.Run({"/bin/sh", "-c", "kill -9 $$"}, 5s), CommandRunner::kNotStarted);
    EXPECT_EQ(runner.Run({"/no/such/program"}, 5s), CommandRunner::kNotStarted);
    EXPECT_EQ(runner.Run({}, 5s), CommandRunner::kNotStarted);

    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(runner.Run({"/bin/sh", "-c", "trap '' TERM; sleep 30"}, 100ms), CommandRunner::kTimedOut);
    EXPECT_LT(std::chrono::steady_clock::now() - start, 10s) << "killed when it ignores the request to end";

    // What it started ends with it: nothing keeps the output open.
    int pipe[2];
    ASSERT_EQ(::pipe(pipe), 0);
    const std::string writer = "exec 1>&" + std::to_string(pipe[1]) + "; sleep 30 & wait";
    EXPECT_EQ(runner.Run({"/bin/sh", "-c", writer}, 100ms), CommandRunner::kTimedOut);
    ::close(pipe[1]);
    char byte;
    const auto closed = std::chrono::steady_clock::now();
    EXPECT_EQ(::read(pipe[0], &byte, 1), 0);
    EXPECT_LT(std::chrono::steady_clock::now() - closed, 5s);
    ::close(pipe[0]);
}

// An application folder holding the two files the installer hands over.
std::filesystem::path AppFolder(const std::filesystem::path& folder, bool withModulesFile = true)
{
    std::filesystem::create_directories(folder / "udev");
    std::ofstream(folder / PkexecRuleInstaller::kRuleFile) << "rule text\n";
    if (withModulesFile)
        std::ofstream(folder / PkexecRuleInstaller::kModulesFile) << "# comment\nuinput\n";
    return folder;
}

TEST(PkexecRuleInstaller, InstallsTheFilesAsArgumentsThroughPkexec)
{
    ScopedTempDir dir;
    const std::filesystem::path app = dir.Path() / "it's a \"folder\"";
    FakeCommandRunner runner;
    PkexecRuleInstaller installer(app, runner);

    EXPECT_FALSE(installer.Install()) << "no files, nothing to install";
    AppFolder(app, false);
    EXPECT_FALSE(installer.Install()) << "no modules-load file";
    EXPECT_TRUE(runner.Commands().empty());

    AppFolder(app);
    EXPECT_TRUE(installer.Install());
    runner.SetResult(126); // the user dismissed the password dialog
    EXPECT_FALSE(installer.Install());

    const auto commands = runner.Commands();
    ASSERT_EQ(commands.size(), 2u);
    const std::vector<std::string>& args = commands[0];
    ASSERT_EQ(args.size(), 7u);
    EXPECT_EQ(args[0], "pkexec");
    EXPECT_EQ(args[1], "/bin/sh");
    EXPECT_EQ(args[2], "-c");
    EXPECT_EQ(args[5], (app / "udev/70-torvik.rules").string()) << "the path is never part of the script";
    EXPECT_EQ(args[6], (app / "udev/torvik-uinput.conf").string());
    EXPECT_EQ(args[3].find(app.string()), std::string::npos);
}

// The script itself, run by a shell with the system paths replaced by a scratch folder.
TEST(PkexecRuleInstaller, ScriptInstallsTheFilesAppliesThemAndStopsAtTheFirstFailure)
{
    ScopedTempDir dir;
    const std::filesystem::path app = AppFolder(dir.Path() / "app");
    FakeCommandRunner runner;
    PkexecRuleInstaller installer(app, runner);
    std::vector<std::string> command = installer.CommandLine();
    ASSERT_EQ(command.front(), "pkexec");
    command.erase(command.begin());
    std::string& script = command[2];
    const std::string root = (dir.Path() / "root").string();
    // The folders need not exist yet.
    for (const std::string system : {"/etc/udev/rules.d/", "/etc/modules-load.d/"}) {
        for (size_t at = script.find(system); at != std::string::npos;
             at = script.find(system, at + root.size() + system.size()))
            script.replace(at, system.size(), root + system);
    }
    // Stand-ins for the system tools that record they ran.
    const std::string bin = (dir.Path() / "bin").string();
    std::filesystem::create_directory(bin);
    for (const char* tool : {"modprobe", "udevadm"}) {
        std::ofstream(bin + "/" + tool) << "#!/bin/sh\necho " << tool << " \"$@\" >> " << bin << "/ran\n";
        std::filesystem::permissions(bin + "/" + tool, std::filesystem::perms::owner_all);
    }
    script.replace(script.find("PATH="), 5, "PATH=" + bin + ":");

    ProcessCommandRunner shell;
    ASSERT_EQ(shell.Run(command, 10s), 0);
    EXPECT_EQ(ReadFileBytes(root + "/etc/udev/rules.d/70-torvik-keyboards.rules"), "rule text\n");
    EXPECT_EQ(ReadFileBytes(root + "/etc/modules-load.d/torvik-uinput.conf"), "# comment\nuinput\n");
    // uinput loaded before udev looks at the devices; every kind of node the rules grant re-checked.
    EXPECT_EQ(ReadFileBytes(bin + "/ran"),
              "modprobe uinput\n"
              "udevadm control --reload-rules\n"
              "udevadm trigger --action=change --subsystem-match=hidraw --subsystem-match=input "
              "--subsystem-match=misc\n"
              "udevadm settle --timeout=10\n");

    std::filesystem::remove(app / PkexecRuleInstaller::kModulesFile);
    std::filesystem::remove(bin + "/ran");
    EXPECT_NE(shell.Run(command, 10s), 0);
    EXPECT_FALSE(std::filesystem::exists(bin + "/ran")) << "nothing applied after a failed copy";
}

} // namespace
