#pragma once
// Where the library's pictures named by file live: the application folder, "skins", the theme
// subfolder (Manager::GetTheme()), then the name, which may hold subfolders ("icon//icon_pc.png").
// Paths are built in the program's form; NativePath turns them into file-system paths.

#include "core/wide_text.h"

// The skin folder with its trailing separator.
CString SkinFolder();
// The full path of a skin file.
CString SkinFilePath(const CString& name);
