#pragma once
// Lookup in an initialisation file ("[section]" lines, then "key=text" lines), as the program's language
// files are read. The file is read anew on every call: nothing is cached.
//
// - Encoding: UTF-8; a UTF-8 or UTF-16 (LE or BE) byte-order mark is accepted.
// - Section and key names compare without case; the first matching section and key count.
// - The text is trimmed of surrounding blanks and of one pair of matching quotes around it.
// - Lines starting with ';' are comments.
// - The text is cut to bufferChars − 1 UTF-16 units (a buffer of 260 gives at most 259), never inside a
//   surrogate pair.
// - A missing file, section or key gives the empty text.

#include <cstddef>

#include "core/wide_text.h"

CString ReadProfileString(const CString& path, const CString& section, const CString& key,
                          size_t bufferChars);
