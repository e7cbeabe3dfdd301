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

TEST(PkexecRuleInstaller, InstallsTheRuleAsAnArgumentThroughPkexec)
{
    ScopedTempDir dir;
    const std::string rule = (dir.Path() / "it's a \"rule\".rules").string();
    FakeCommandRunner runner;
    PkexecRuleInstaller installer(rule, runner);

    EXPECT_FALSE(installer.Install()) << "no rule file, nothing to install";
    EXPECT_TRUE(runner.Commands().empty());

    std::ofstream(rule) << "KERNEL==\"uinput\"\n";
    EXPECT_TRUE(installer.Install());
    runner.SetResult(126); // the user dismissed the password dialog
    EXPECT_FALSE(installer.Install());

    const auto commands = runner.Commands();
    ASSERT_EQ(commands.size(), 2u);
    const std::vector<std::string>& args = commands[0];
    ASSERT_EQ(args.size(), 6u);
    EXPECT_EQ(args[0], "pkexec");
    EXPECT_EQ(args[1], "/bin/sh");
    EXPECT_EQ(args[2], "-c");
    EXPECT_EQ(args[5], rule) << "the path is never part of the script";
    EXPECT_EQ(args[3].find(rule), std::string::npos);
    for (const char* step : {"install -m 0644 \"$1\" /etc/udev/rules.d/70-torvik-keyboards.rules",
                             "> /etc/modules-load.d/torvik-uinput.conf", "modprobe uinput",
                             "udevadm control --reload-rules", "udevadm trigger"})
        EXPECT_NE(args[3].find(step), std::string::npos) << step;
}

// The script itself, run by a shell with the system paths replaced by a scratch folder.
TEST(PkexecRuleInstaller, ScriptCopiesTheRuleAndStopsAtTheFirstFailure)
{
    ScopedTempDir dir;
    const std::string rule = (dir.Path() / "rule").string();
    std::ofstream(rule) << "rule text\n";
    FakeCommandRunner runner;
    PkexecRuleInstaller installer(rule, runner);
    std::string script = installer.CommandLine()[3];
    const std::string root = dir.Path().string();
    for (const std::string system : {"/etc/udev/rules.d/", "/etc/modules-load.d/"}) {
        for (size_t at = script.find(system); at != std::string::npos; at = script.find(system))
            script.replace(at, system.size(), root + "/");
    }
    // Stand-ins for the system tools that record they ran.
    const std::string bin = root + "/bin";
    std::filesystem::create_directory(bin);
    for (const char* tool : {"modprobe", "udevadm"}) {
        std::ofstream(bin + "/" + tool) << "#!/bin/sh\necho " << tool << " \"$@\" >> " << root << "/ran\n";
        std::filesystem::permissions(bin + "/" + tool, std::filesystem::perms::owner_all);
    }
    script.replace(script.find("PATH="), 5, "PATH=" + bin + ":");

    ProcessCommandRunner shell;
    ASSERT_EQ(shell.Run({"/bin/sh", "-c", script, "torvik-rule-install", rule}, 10s), 0);
    std::ifstream installed(root + "/70-torvik-keyboards.rules");
    std::string line;
    std::getline(installed, line);
    EXPECT_EQ(line, "rule text");
    std::ifstream modules(root + "/torvik-uinput.conf");
    std::getline(modules, line);
    EXPECT_EQ(line, "uinput");
    std::ifstream ran(root + "/ran");
    std::getline(ran, line);
    EXPECT_EQ(line, "modprobe uinput");

    EXPECT_NE(shell.Run({"/bin/sh", "-c", script, "torvik-rule-install", root + "/missing"}, 10s), 0);
}

} // namespace
