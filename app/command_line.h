#pragma once
// The program's command-line options.

#include <optional>
#include <string>
#include <vector>

struct CommandLine {
    enum class Action { Run, Help, Version, Error };
    Action action = Action::Run;
    std::string error; // set for Action::Error: what was wrong, for stderr

    // --simulate[=MODEL]: run against the built-in keyboard simulator. MODEL is a device type or a
    // model name of config.xml; empty means the start-up model.
    bool simulate = false;
    std::string simulateModel;
    // --simulate-log FILE: every report the simulated keyboard receives, one line each.
    std::string simulateLog;
    // --screenshot FILE: a PNG of the main window once it has painted, then the program ends.
    std::string screenshot;
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The name the program was started by, for --help and messages: argv[0]'s base name, so the installed
// command reads "torvik" and the build's executable "Torvik"; "torvik" when argv[0] names nothing.
std::string CommandName(const char* argv0);

// The usage text printed by --help, for the command `command`.
std::string UsageText(const std::string& command);
