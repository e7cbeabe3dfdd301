#include "app/command_line.h"

namespace {

CommandLine Failed(std::string error)
{
    CommandLine result;
    result.action = CommandLine::Action::Error;
    result.error = std::move(error);
    return result;
}

// "--name VALUE" or "--name=VALUE"; nullopt when the argument is another option.
std::optional<std::string> OptionValue(const std::string& name, const std::vector<std::string>& arguments,
                                       size_t& i, std::string& error)
{
    const std::string& argument = arguments[i];
    if (argument.starts_with(name + "="))
        return argument.substr(name.size() + 1);
    if (argument != name)
        return std::nullopt;
    if (i + 1 >= arguments.size()) {
        error = "option '" + name + "' needs a file name";
        return std::string();
    }
    return arguments[++i];
}

} // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments)
{
    CommandLine result;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& argument = arguments[i];
        if (argument == "--help" || argument == "-h") {
            CommandLine help;
            help.action = CommandLine::Action::Help;
            return help;
        }
        std::string error;
        if (argument == "--version") {
            result.action = CommandLine::Action::Version;
        } else if (argument == "--simulate") {
            result.simulate = true;
            result.simulateModel.clear();
        } else if (argument.starts_with("--simulate=")) {
            result.simulate = true;
            result.simulateModel = argument.substr(11);
            if (result.simulateModel.empty())
                return Failed("option '--simulate=' needs a model");
        } else if (auto log = OptionValue("--simulate-log", arguments, i, error)) {
            if (!error.empty() || log->empty())
                return Failed(error.empty() ? "option '--simulate-log' needs a file name" : error);
            result.simulateLog = *log;
        } else if (auto shot = OptionValue("--screenshot", arguments, i, error)) {
            if (!error.empty() || shot->empty())
                return Failed(error.empty() ? "option '--screenshot' needs a file name" : error);
            result.screenshot = *shot;
        } else {
            return Failed(argument.starts_with("-") ? "unknown option '" + argument + "'"
                                                    : "unexpected argument '" + argument + "'");
        }
    }
    // The log belongs to the simulated keyboard; without it there is nothing to write.
    if (!result.simulateLog.empty() && !result.simulate)
        return Failed("option '--simulate-log' needs '--simulate'");
    return result;
}

std::string CommandName(const char* argv0)
{
    const std::string path = argv0 ? argv0 : "";
    const size_t slash = path.find_last_of('/');
    const std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    return base.empty() ? "torvik" : base;
}

std::string UsageText(const std::string& command)
{
    return "Usage: " + command +
           " [option]...\n"
           "Configures the keyboard: key assignments, macros, lighting, profiles and updates.\n"
           "\n"
           "Options:\n"
           "  -h, --help             show this text and exit\n"
           "  --version              print the software version and exit\n"
           "  --simulate[=MODEL]     run on a simulated keyboard, connected by cable; MODEL is a\n"
           "                         device type or model name of config.xml (default: the start-up\n"
           "                         model)\n"
           "  --simulate-log FILE    with --simulate: write every report the simulated keyboard\n"
           "                         receives to FILE (milliseconds since start, interface, bytes)\n"
           "  --screenshot FILE      write a PNG of the main window once it has painted, then exit\n"
           "                         (without a display the window is drawn off-screen)\n";
}
