#include "platform/linux/linux_process_exit.h"

#include <cstdio>
#include <cstdlib>

void LinuxProcessExit::ExitNow(int exitCode)
{
    std::fflush(nullptr);
    std::_Exit(exitCode);
}
