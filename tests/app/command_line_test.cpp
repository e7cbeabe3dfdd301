#include <gtest/gtest.h>

#include <utility>

#include "app/command_line.h"

TEST(CommandLine, Options)
{
    using A = CommandLine::Action;
    struct Case {
        std::vector<std::string> arguments;
        A action;
        std::string error;
    };
    const Case cases[] = {
        {{}, A::Run, ""},
        {{"--help"}, A::Help, ""},
        {{"-h"}, A::Help, ""},
        {{"--version"}, A::Version, ""},
        {{"--version", "--help"}, A::Help, ""},
        {{"--simulate", "--help"}, A::Help, ""},
        {{"--bogus"}, A::Error, "unknown option '--bogus'"},
        {{"--version", "-x"}, A::Error, "unknown option '-x'"},
        {{"file.xml"}, A::Error, "unexpected argument 'file.xml'"},
        {{"--simulate="}, A::Error, "option '--simulate=' needs a model"},
        {{"--simulate", "--simulate-log"}, A::Error, "option '--simulate-log' needs a file name"},
        {{"--simulate", "--simulate-log="}, A::Error, "option '--simulate-log' needs a file name"},
        {{"--screenshot"}, A::Error, "option '--screenshot' needs a file name"},
        {{"--simulate-log", "r.log"}, A::Error, "option '--simulate-log' needs '--simulate'"},
        {{"--simulate-logs"}, A::Error, "unknown option '--simulate-logs'"},
    };
    for (const Case& c : cases) {
        const CommandLine result = ParseCommandLine(c.arguments);
        EXPECT_EQ(result.action, c.action) << c.arguments.size();
        EXPECT_EQ(result.error, c.error);
    }
}

TEST(CommandLine, SimulationAndScreenshot)
{
    struct Case {
        std::vector<std::string> arguments;
        bool simulate;
        std::string model, log, screenshot;
    };
    const Case cases[] = {
        {{"--simulate"}, true, "", "", ""},
        {{"--simulate=101"}, true, "101", "", ""},
        {{"--simulate=Corvid Z5 Mini"}, true, "Corvid Z5 Mini", "", ""},
        {{"--simulate=101", "--simulate"}, true, "", "", ""},
        {{"--simulate", "--simulate-log", "r.log"}, true, "", "r.log", ""},
        {{"--simulate-log=r.log", "--simulate=202"}, true, "202", "r.log", ""},
        {{"--screenshot", "--simulate"}, false, "", "", "--simulate"},
        {{"--simulate", "--screenshot=shot.png"}, true, "", "", "shot.png"},
    };
    for (const Case& c : cases) {
        const CommandLine result = ParseCommandLine(c.arguments);
        EXPECT_EQ(result.action, CommandLine::Action::Run) << result.error;
        EXPECT_EQ(result.simulate, c.simulate);
        EXPECT_EQ(result.simulateModel, c.model);
        EXPECT_EQ(result.simulateLog, c.log);
        EXPECT_EQ(result.screenshot, c.screenshot);
    }
}

TEST(CommandLine, UsageNamesEveryOption)
{
    const std::string usage = UsageText("torvik");
    for (const char* option : {"--help", "--version", "--simulate", "--simulate-log", "--screenshot"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}

// Usage and messages name the command as the user typed it.
TEST(CommandLine, CommandNameIsTheBaseNameOfWhatWasRun)
{
    const std::pair<const char*, const char*> cases[] = {
        {"/usr/bin/torvik", "torvik"}, {"torvik", "torvik"},    {"build/bin/Torvik", "Torvik"},
        {"./Torvik", "Torvik"},        {"/opt/dir/", "torvik"}, {"", "torvik"},
        {nullptr, "torvik"},
    };
    for (const auto& [argv0, name] : cases)
        EXPECT_EQ(CommandName(argv0), name) << (argv0 ? argv0 : "(null)");
    EXPECT_TRUE(UsageText("torvik").starts_with("Usage: torvik [option]...\n"));
}
