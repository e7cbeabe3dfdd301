#pragma once
// Paths are built the way the program's texts give them ("%s\\config.xml", "db\\%s_data_v6.db",
// "icon//icon_pc.png"). NativePath turns such a path into a Linux one right before a file-system call;
// nothing else rewrites paths.

#include <string>
#include <string_view>

// Backslashes become '/', and runs of separators collapse to one. Returns UTF-8.
std::string NativePath(std::wstring_view path);
