#pragma once
// Where the Linux backends keep per-user files, and how they replace them.

#include <string>

#include "core/wide_text.h"

// $XDG_CONFIG_HOME, or ~/.config when it is unset or not absolute (the XDG rule); no trailing '/'.
std::string XdgConfigHome();

// A name usable as one path component: '/' and NUL become '_', and "", "." and ".." get a leading '_'.
std::string FileNameComponent(const CString& name);

// Replaces the file with the bytes so that a reader (or a crash) sees either the old or the new file,
// never a part: temporary file in the same folder, flushed to disk, renamed over the target. The folder
// is created when missing.
bool ReplaceFileAtomically(const std::string& path, const std::string& bytes);

// Whether a regular file exists at the path.
bool RegularFileExists(const std::string& path);
