#pragma once
// Leaks the leak checker reports wrongly, for sanitized builds of executables that draw with KelvoUI.
// Include it in exactly one file of an executable (the checker asks the executable for the list).
//
// fontconfig keeps a pattern's array of values as an offset from the pattern rather than as a pointer,
// so the checker cannot see that the application fonts KelvoUI registers are still held.

extern "C" const char* __lsan_default_suppressions()
{
    return "leak:libfontconfig.so\n";
}

extern "C" const char* __lsan_default_options()
{
    return "print_suppressions=0";
}
