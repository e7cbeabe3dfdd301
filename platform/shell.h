#pragma once
// Hands files over to the desktop.

#include "core/wide_text.h"

class Shell {
public:
    virtual ~Shell() = default;

    // Starts the file at `path` (the program's own path form) detached from this process: a file with
    // its execute bit runs as a program, anything else is opened with the desktop's chosen application.
    // False when the file does not exist or nothing could be started; the started program's own
    // result is never waited for.
    virtual bool StartProgram(const CString& path) = 0;
};
