#pragma once

#include "platform/process_exit.h"

class LinuxProcessExit final : public ProcessExit {
public:
    // Flushes standard output and error, then ends the process without running exit handlers:
    // other threads may still be running and must not see objects destroyed under them.
    [[noreturn]] void ExitNow(int exitCode) override;
};
