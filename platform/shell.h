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
    // Opens a web or mail address with the desktop's chosen application, detached. False for an empty
    // address, one that is not http, https or mailto, or when nothing could be started.
    virtual bool OpenAddress(const CString& address) = 0;
};

// Whether an address is one the desktop should be asked to open: http://, https:// or mailto:, no
// control characters.
bool IsOpenableAddress(const CString& address);
