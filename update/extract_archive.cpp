#include "update/extract_archive.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>
#include <vector>

#include <unzip.h>

#include "core/native_path.h"
#include "update/file_output.h"

namespace {

constexpr size_t kPieceSize = 16384;

// MS-DOS attribute bits in the low byte of an entry's external attributes.
constexpr unsigned long kDosReadOnly = 0x01;
constexpr unsigned long kDosDirectory = 0x10;
// The "version made by" host whose external attributes carry a Unix mode in their high 16 bits.
constexpr unsigned long kHostUnix = 3;
// Bit 11 of the general purpose flags: the name is UTF-8.
constexpr unsigned long kFlagUtf8Name = 0x800;
// Bit 0 of the general purpose flags: the entry is encrypted (we have no password to give).
constexpr unsigned long kFlagEncrypted = 0x1;

struct EntryKind {
    bool folder = false;
    bool symlink = false;
    mode_t permissions = 0;
};

CString DecodeName(const std::string& raw, unsigned long flags)
{
    if (flags & kFlagUtf8Name)
        return Utf8ToWide(raw);
    // Names without the UTF-8 flag are in the writer's code page; UTF-8 is this system's, and a name
    // that is not valid UTF-8 keeps one character per byte so that distinct names stay distinct.
    if (auto decoded = DecodeUtf8(raw))
        return *decoded;
    CString latin;
    for (unsigned char c : raw)
        latin += static_cast<wchar_t>(c);
    return latin;
}

EntryKind KindOf(const unz_file_info64& info, const CString& name)
{
    EntryKind kind;
    const bool unixHost = (info.version >> 8) == kHostUnix;
    const auto mode = static_cast<mode_t>(unixHost ? (info.external_fa >> 16) & 0xFFFF : 0);
    const mode_t type = mode & S_IFMT;
    kind.symlink = type == S_IFLNK;
    kind.folder = type == S_IFDIR || (info.external_fa & kDosDirectory) ||
                  (!name.empty() && (name.back() == L'/' || name.back() == L'\\'));
    // Without a Unix mode nothing is executable; set-id and sticky bits are never restored.
    kind.permissions = (mode & 0777) ? (mode & 0777) : 0666;
    kind.permissions |= S_IRUSR;
    if (info.external_fa & kDosReadOnly)
        kind.permissions &= ~static_cast<mode_t>(0222);
    return kind;
}

bool EntryTime(const unz_file_info64& info, timespec& when)
{
    const tm_unz& d = info.tmu_date;
    if (info.dosDate == 0 || d.tm_mday < 1 || d.tm_mday > 31 || d.tm_mon > 11 || d.tm_hour > 23 ||
        d.tm_min > 59 || d.tm_sec > 59 || d.tm_year < 1980)
        return false;
    // Zip times are local times without a zone.
    std::tm local{};
    local.tm_year = static_cast<int>(d.tm_year) - 1900;
    local.tm_mon = static_cast<int>(d.tm_mon);
    local.tm_mday = static_cast<int>(d.tm_mday);
    local.tm_hour = static_cast<int>(d.tm_hour);
    local.tm_min = static_cast<int>(d.tm_min);
    local.tm_sec = static_cast<int>(d.tm_sec);
    local.tm_isdst = -1;
    const std::time_t seconds = std::mktime(&local);
    if (seconds == static_cast<std::time_t>(-1))
        return false;
    when = {seconds, 0};
    return true;
}

uint64_t AddCapped(uint64_t a, uint64_t b)
{
    return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

// What one unpacking has written, so that a refused archive leaves nothing behind.
class Unpacking {
public:
    explicit Unpacking(const ExtractLimits& limits) : m_limits(limits) {}

    // Makes every missing folder of `nativePath`, remembering the ones it made.
    bool MakeFolders(const std::string& nativePath)
    {
        for (size_t slash = nativePath.find('/', 1);; slash = nativePath.find('/', slash + 1)) {
            const std::string folder = nativePath.substr(0, slash);
            struct stat st {};
            if (::stat(folder.c_str(), &st) != 0) {
                if (::mkdir(folder.c_str(), 0755) != 0)
                    return false;
                m_folders.push_back(folder);
            } else if (!S_ISDIR(st.st_mode)) {
                return false;
            }
            if (slash == std::string::npos)
                return true;
        }
    }

    // Writes the current entry's data to a new file at `file`. A failure removes what was written: a
    // damaged installer must not be started. False when the whole archive is to be refused.
    bool WriteEntryFile(unzFile zip, const unz_file_info64& info, const std::string& file, mode_t permissions)
    {
        if (unzOpenCurrentFile(zip) != UNZ_OK)
            return true;
        const int fd = CreateReplacingFile(file, permissions);
        if (fd < 0) {
            unzCloseCurrentFile(zip);
            return true;
        }
        m_files.push_back(file);
        bool ok = true;
        std::vector<char> piece(kPieceSize);
        uint64_t entryBytes = 0;
        while (ok) {
            const int got = unzReadCurrentFile(zip, piece.data(), static_cast<unsigned>(piece.size()));
            if (got == 0)
                break;
            if (got > 0) {
                entryBytes += static_cast<uint64_t>(got);
                m_written += static_cast<uint64_t>(got);
                // The declared sizes passed the limits; data that outgrow them pass nothing more.
                if (entryBytes > info.uncompressed_size || m_written > m_limits.maxTotalBytes) {
                    m_refusal = ExtractResult::TooLarge;
                    ok = false;
                    break;
                }
            }
            ok = got > 0 && WriteAll(fd, piece.data(), static_cast<size_t>(got));
            // A full disk ends the archive, not just the entry: the next entries would only fill it up
            // again, and a half-unpacked update is no use.
            if (!ok && got > 0 && (errno == ENOSPC || errno == EDQUOT || errno == EFBIG))
                m_refusal = ExtractResult::NoSpace;
        }
        // Closing checks the data against the entry's CRC once all of it was read.
        ok = unzCloseCurrentFile(zip) == UNZ_OK && ok;
        if (timespec when{}; ok && EntryTime(info, when)) {
            const timespec times[2] = {when, when};
            ::futimens(fd, times);
        }
        ok = ::close(fd) == 0 && ok;
        if (!ok) {
            ::unlink(file.c_str());
            m_files.pop_back();
        }
        return !m_refusal;
    }

    // Why the archive is refused, once it is.
    std::optional<ExtractResult> Refusal() const { return m_refusal; }

    // Removes every file and folder this unpacking made, newest first.
    void Undo()
    {
        for (auto file = m_files.rbegin(); file != m_files.rend(); ++file)
            ::unlink(file->c_str());
        for (auto folder = m_folders.rbegin(); folder != m_folders.rend(); ++folder)
            ::rmdir(folder->c_str());
        m_files.clear();
        m_folders.clear();
    }

private:
    const ExtractLimits& m_limits;
    std::vector<std::string> m_files;
    std::vector<std::string> m_folders;
    uint64_t m_written = 0;
    std::optional<ExtractResult> m_refusal;
};

// The current entry's information and name; false when it cannot be read.
bool ReadEntry(unzFile zip, unz_file_info64& info, CString& name)
{
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return false;
    std::string raw(info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, raw.data(), static_cast<uLong>(raw.size()), nullptr, 0, nullptr,
                                0) != UNZ_OK)
        return false;
    raw.resize(raw.find('\0'));
    name = DecodeName(raw, info.flag);
    return true;
}

// False when the entry would pass a limit.
bool ExtractEntry(unzFile zip, const CString& target, Unpacking& unpacking)
{
    unz_file_info64 info{};
    CString name;
    if (!ReadEntry(zip, info, name))
        return true;
    const EntryKind kind = KindOf(info, name);
    const CString relative = CleanEntryName(name);
    if (kind.symlink || relative.empty() || (info.flag & kFlagEncrypted))
        return true;
    const std::string file = NativePath(target + relative);
    if (kind.folder) {
        unpacking.MakeFolders(file);
        return true;
    }
    const size_t slash = file.rfind('/');
    if (slash != std::string::npos && slash > 0 && !unpacking.MakeFolders(file.substr(0, slash)))
        return true;
    return unpacking.WriteEntryFile(zip, info, file, kind.permissions);
}

// The sizes the archive declares, against the limits, before anything is written.
ExtractResult Survey(unzFile zip, const ExtractLimits& limits, uint64_t& total)
{
    total = 0;
    uint64_t entries = 0;
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
        unz_file_info64 info{};
        if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
            continue;
        total = AddCapped(total, info.uncompressed_size);
        const uint64_t packed = std::max<uint64_t>(info.compressed_size, 1);
        const bool tooTight = info.uncompressed_size > limits.ratioExemptBytes && limits.maxRatio > 0 &&
                              packed <= UINT64_MAX / limits.maxRatio &&
                              info.uncompressed_size > packed * limits.maxRatio;
        if (++entries > limits.maxEntries || total > limits.maxTotalBytes || tooTight)
            return ExtractResult::TooLarge;
    }
    return ExtractResult::Unpacked;
}

// Free bytes on the disk that holds `nativeFolder`, or the nearest folder above it that exists.
std::optional<uint64_t> FreeBytes(const std::string& nativeFolder)
{
    std::filesystem::path folder = nativeFolder;
    std::error_code error;
    while (!folder.empty() && !std::filesystem::exists(folder, error) && folder.parent_path() != folder)
        folder = folder.parent_path();
    struct statvfs space {};
    if (folder.empty() || ::statvfs(folder.c_str(), &space) != 0)
        return std::nullopt;
    return static_cast<uint64_t>(space.f_bavail) * space.f_frsize;
}

} // namespace

CString CleanEntryName(CString name)
{
    for (wchar_t& c : name) {
        if (c == L'\\')
            c = L'/';
    }
    while (true) {
        if (name.size() >= 2 && name[1] == L':') {
            name.erase(0, 2);
        } else if (!name.empty() && name[0] == L'/') {
            name.erase(0, 1);
        } else if (const size_t up = name.find(L"/../"); up != CString::npos) {
            name.erase(0, up + 4);
        } else {
            break;
        }
    }
    // What is left can still hold a leading "../", a trailing "/.." or "." parts.
    std::vector<CString> parts;
    size_t start = 0;
    while (start <= name.size()) {
        size_t end = name.find(L'/', start);
        if (end == CString::npos)
            end = name.size();
        const CString part = name.substr(start, end - start);
        if (part == L"..")
            parts.clear();
        else if (!part.empty() && part != L".")
            parts.push_back(part);
        start = end + 1;
    }
    CString clean;
    for (const CString& part : parts) {
        if (!clean.empty())
            clean += L'/';
        clean += part;
    }
    return clean;
}

ExtractResult ExtractArchive(const CString& archive, const CString& folder, const ExtractLimits& limits)
{
    unzFile zip = unzOpen64(NativePath(archive).c_str());
    if (!zip)
        return ExtractResult::NotAnArchive;
    // An empty folder means the current one, never the root.
    CString target = folder.empty() ? CString(L".") : folder;
    if (target.back() != L'\\' && target.back() != L'/')
        target += L'\\';

    uint64_t total = 0;
    ExtractResult result = Survey(zip, limits, total);
    if (result == ExtractResult::Unpacked) {
        const std::optional<uint64_t> free = FreeBytes(NativePath(target));
        if (free && *free < AddCapped(total, limits.spareBytes))
            result = ExtractResult::NoSpace;
    }
    if (result == ExtractResult::Unpacked) {
        Unpacking unpacking(limits);
        for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip)) {
            if (!ExtractEntry(zip, target, unpacking)) {
                unpacking.Undo();
                result = unpacking.Refusal().value_or(ExtractResult::TooLarge);
                break;
            }
        }
    }
    unzClose(zip);
    return result;
}
