#pragma once
// Starting the program with the user's session: one entry per name, holding the program to start.

#include "core/wide_text.h"

class Autostart {
public:
    virtual ~Autostart() = default;

    // Whether an entry of that name exists, whatever it holds.
    virtual bool HasEntry(const CString& name) const = 0;
    // Creates or replaces the entry so that the session starts the program (an absolute path, run
    // without arguments).
    virtual bool SetEntry(const CString& name, const CString& programPath) = 0;
    // True when no entry of that name is left.
    virtual bool RemoveEntry(const CString& name) = 0;
};
