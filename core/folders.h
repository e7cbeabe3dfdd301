#pragma once
// The program's folders: where it is installed and where it keeps the user's data.

#include <string>

#include "core/wide_text.h"

// The environment variable that points a test binary (which is not Torvik) at an installation folder.
inline constexpr const char* kApplicationFolderVariable = "TORVIK_APP_FOLDER";

// The folder of the running executable, without a trailing separator.
CString ApplicationFolder();

// The same folder with a trailing separator: the form every path after start-up is built on.
CString ApplicationFolderWithSeparator();

// $XDG_DATA_HOME (default ~/.local/share) followed by "<device name> Files/"; ends with a separator.
CString DataFolder(const CString& deviceName);

// Makes the whole path exist, its prefixes first. True when the folder exists afterwards.
bool CreateFolderTree(const CString& path);

// Whether the path names an existing file or folder.
bool PathExists(const CString& path);
