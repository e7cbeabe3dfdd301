#include "app/command_line.h"

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    for (const std::string& argument : arguments) {
        if (argument == "--help" || argument == "-h") {
            result.action = CommandLine::Action::Help;
            return result;
        }
        if (argument == "--version") {
            result.action = CommandLine::Action::Version;
        } else if (argument == "--simulate") {
            result.action = CommandLine::Action::Simulate;
        } else {
            result.action = CommandLine::Action::Error;
            result.error = argument.starts_with("-") ? "unknown option '" + argument + "'"
                                                     : "unexpected argument '" + argument + "'";
            return result;
        }
    }
    return result;
}

std::string UsageText()
{
    return "Usage: Torvik [option]\n"
           "Configures the keyboard: key assignments, macros, lighting, profiles and updates.\n"
           "\n"
           "Options:\n"
           "  -h, --help   show this text and exit\n"
           "  --version    print the software version and exit\n"
           "  --simulate   run against a simulated keyboard; switch its connection from standard input\n";
}
