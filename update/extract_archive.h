#pragma once
// Unpacking the zip archives of downloaded updates.

#include <cstdint>

#include "core/wide_text.h"

// What one archive may unpack to. An update is an installer or a firmware tool with a few files beside
// it; anything far larger, or packed far tighter than programs pack, is not one.
struct ExtractLimits {
    // All entries together, unpacked.
    uint64_t maxTotalBytes = uint64_t{1} << 30;
    uint64_t maxEntries = 10000;
    // An entry may unpack to at most this many times its packed size, unless it unpacks to no more
    // than ratioExemptBytes (a page of text or a run of padding packs a hundredfold).
    uint64_t maxRatio = 100;
    uint64_t ratioExemptBytes = uint64_t{1} << 20;
    // The disk must keep this much free beyond the unpacked archive.
    uint64_t spareBytes = uint64_t{64} << 20;
};

enum class ExtractResult {
    Unpacked,     // every entry was tried (a damaged one is skipped)
    NotAnArchive, // the archive could not be opened
    TooLarge,     // over a limit: nothing of the archive was kept
    NoSpace,      // the disk cannot hold it with room to spare: nothing was unpacked
};

// Unpacks every entry of the zip archive into `folder`. An entry that fails (its file cannot be
// created or written, its data are damaged, it is encrypted) is skipped and leaves no file; the others
// are still tried.
//
// The limits are checked against the sizes the archive declares before anything is written, and the
// bytes really written are counted against them as well; when a limit is passed the whole archive is
// refused and whatever it had written so far (files and the folders made for them) is removed.
//
// Entries never land outside the folder (see CleanEntryName) and symbolic-link entries are not
// created. Files get the entry's time stamp and permissions from its attributes: a read-only entry has
// no write bits, and only an entry whose Unix mode says so is executable.
ExtractResult ExtractArchive(const CString& archive, const CString& folder, const ExtractLimits& limits = {});

// The relative path, '/'-separated, under which an entry named `name` is written; empty when nothing
// is left of it. Backslashes count as separators; drive prefixes, leading separators and everything up
// to and including the last ".." component are dropped, as are "." components and empty ones.
CString CleanEntryName(CString name);
