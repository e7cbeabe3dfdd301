#pragma once
// Unpacking the zip archives of downloaded updates.

#include "core/wide_text.h"

// Unpacks every entry of the zip archive into `folder`. An entry that fails (its file cannot be
// created or written, its data are damaged, it is encrypted) is skipped and leaves no file; the others
// are still tried. True when the archive could be opened, whatever happened to its entries.
//
// Entries never land outside the folder (see CleanEntryName) and symbolic-link entries are not
// created. Files get the entry's time stamp and permissions from its attributes: a read-only entry has
// no write bits, and only an entry whose Unix mode says so is executable.
bool ExtractArchive(const CString& archive, const CString& folder);

// The relative path, '/'-separated, under which an entry named `name` is written; empty when nothing
// is left of it. Backslashes count as separators; drive prefixes, leading separators and everything up
// to and including the last ".." component are dropped, as are "." components and empty ones.
CString CleanEntryName(CString name);
