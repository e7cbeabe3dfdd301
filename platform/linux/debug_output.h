#pragma once
// Diagnostics to standard error, only with TORVIK_DEBUG=1.

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>

inline bool DebugOutputOn()
{
    static const bool on = [] {
        const char* value = std::getenv("TORVIK_DEBUG");
        return value && std::strcmp(value, "1") == 0;
    }();
    return on;
}

__attribute__((format(printf, 1, 2))) inline void DebugPrint(const char* format, ...)
{
    if (!DebugOutputOn())
        return;
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(stderr, format, arguments);
    va_end(arguments);
}
