#include "tests/update/zip_builder.h"

#include <stdexcept>

#include <zip.h>
#include <zlib.h>

#include "tests/support/scoped_folders.h"

void WriteZip(const std::filesystem::path& path, const std::vector<ZipEntry>& entries)
{
    zipFile zip = zipOpen64(path.c_str(), APPEND_STATUS_CREATE);
    if (!zip)
        throw std::runtime_error("cannot create " + path.string());
    bool ok = true;
    for (const ZipEntry& entry : entries) {
        zip_fileinfo info{};
        info.tmz_date.tm_year = static_cast<uInt>(entry.time[0]);
        info.tmz_date.tm_mon = static_cast<uInt>(entry.time[1] - 1);
        info.tmz_date.tm_mday = static_cast<uInt>(entry.time[2]);
        info.tmz_date.tm_hour = static_cast<uInt>(entry.time[3]);
        info.tmz_date.tm_min = static_cast<uInt>(entry.time[4]);
        info.tmz_date.tm_sec = static_cast<uInt>(entry.time[5]);
        info.external_fa = entry.dosAttributes | (static_cast<uLong>(entry.unixMode.value_or(0)) << 16);
        const uLong madeBy = entry.unixMode ? (3u << 8) | 20u : 20u;
        const int method = entry.stored ? 0 : Z_DEFLATED;
        const int level = entry.stored ? 0 : Z_DEFAULT_COMPRESSION;
        ok = ok && zipOpenNewFileInZip4_64(zip, entry.name.c_str(), &info, nullptr, 0, nullptr, 0, nullptr,
                                           method, level, 0, -MAX_WBITS, 8, Z_DEFAULT_STRATEGY, nullptr, 0,
                                           madeBy, entry.utf8Name ? 0x800 : 0, 0) == ZIP_OK;
        ok = ok &&
             (entry.data.empty() || zipWriteInFileInZip(zip, entry.data.data(),
                                                        static_cast<unsigned>(entry.data.size())) == ZIP_OK);
        ok = ok && zipCloseFileInZip(zip) == ZIP_OK;
    }
    ok = zipClose(zip, nullptr) == ZIP_OK && ok;
    if (!ok)
        throw std::runtime_error("cannot write " + path.string());
}

std::string ZipBytes(const std::vector<ZipEntry>& entries)
{
    const ScopedTempDir folder;
    WriteZip(folder.Path() / "archive.zip", entries);
    return ReadFileBytes(folder.Path() / "archive.zip");
}

std::string PatternBytes(size_t size)
{
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i)
        bytes[i] = static_cast<char>((i * 131 + i / 251) & 0xFF);
    return bytes;
}
