#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/program_entry.h"
// A sanitized build's leak checker must not take fontconfig's font patterns for leaks.
#include "tests/support/leak_suppressions.h"

int main(int argc, char** argv)
{
    return RunProgram(CommandName(argc > 0 ? argv[0] : nullptr),
                      std::vector<std::string>(argv + 1, argv + argc));
}
