#pragma once
// The program's command-line options.

#include <string>
#include <vector>

struct CommandLine {
    enum class Action { Run, Help, Version, Simulate, Error };
    Action action = Action::Run;
    std::string error; // set for Action::Error: what was wrong, for stderr
};

CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text printed by --help.
std::string UsageText();
