#include <gtest/gtest.h>

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
        {{"--simulate"}, A::Simulate, ""},
        {{"--bogus"}, A::Error, "unknown option '--bogus'"},
        {{"--version", "-x"}, A::Error, "unknown option '-x'"},
        {{"file.xml"}, A::Error, "unexpected argument 'file.xml'"},
    };
    for (const Case& c : cases) {
        const CommandLine result = ParseCommandLine(c.arguments);
        EXPECT_EQ(result.action, c.action);
        EXPECT_EQ(result.error, c.error);
    }
}

TEST(CommandLine, UsageNamesEveryOption)
{
    const std::string usage = UsageText();
    for (const char* option : {"--help", "--version", "--simulate"})
        EXPECT_NE(usage.find(option), std::string::npos) << option;
}
