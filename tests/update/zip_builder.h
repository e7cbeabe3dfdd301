#pragma once
// Writes small zip archives for the tests with minizip's writer.

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

struct ZipEntry {
    std::string name{};
    std::string data{};
    // MS-DOS attributes (low byte of the external attributes): 0x01 read-only, 0x10 folder, 0x20 archive.
    unsigned long dosAttributes = 0x20;
    // A Unix mode (type and permission bits) marks the entry as written on Unix.
    std::optional<unsigned> unixMode{};
    // Stored entries keep their data verbatim in the archive, so a test can damage them.
    bool stored = false;
    bool utf8Name = false;
    // Local time: year, month (1-12), day, hour, minute, second.
    int time[6] = {2023, 6, 15, 12, 30, 44};
};

void WriteZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries);

// The archive as bytes, written through a temporary file.
std::string ZipBytes(const std::vector<ZipEntry>& entries);

// `size` bytes that pack poorly, for entries and download bodies.
std::string PatternBytes(size_t size);
