#pragma once
// Writing the files an update produces (downloaded archives, unpacked entries).

#include <cstddef>
#include <string>
#include <sys/types.h>

// Replaces whatever is at `nativePath` with a new, empty file open for writing and returns its
// descriptor, or -1. Removing first means a read-only leftover is replaced and a link planted at the
// path is replaced rather than followed.
int CreateReplacingFile(const std::string& nativePath, mode_t permissions);

// Writes all of `data`, resuming after short writes; false on the first error.
bool WriteAll(int fd, const char* data, size_t size);
