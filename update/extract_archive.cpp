#include "update/extract_archive.h"

#include <ctime>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

#include <unzip.h>

#include "core/folders.h"
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

// Writes the current entry's data to a new file at `file`. A failure removes what was written: a
// damaged installer must not be started.
bool WriteEntryFile(unzFile zip, const unz_file_info64& info, const std::string& file, mode_t permissions)
{
    if (unzOpenCurrentFile(zip) != UNZ_OK)
        return false;
    const int fd = CreateReplacingFile(file, permissions);
    if (fd < 0) {
        unzCloseCurrentFile(zip);
        return false;
    }
    bool ok = true;
    std::vector<char> piece(kPieceSize);
    while (ok) {
        const int got = unzReadCurrentFile(zip, piece.data(), static_cast<unsigned>(piece.size()));
        if (got == 0)
            break;
        ok = got > 0 && WriteAll(fd, piece.data(), static_cast<size_t>(got));
    }
    // Closing checks the data against the entry's CRC once all of it was read.
    ok = unzCloseCurrentFile(zip) == UNZ_OK && ok;
    if (timespec when{}; ok && EntryTime(info, when)) {
        const timespec times[2] = {when, when};
        ::futimens(fd, times);
    }
    ok = ::close(fd) == 0 && ok;
    if (!ok)
        ::unlink(file.c_str());
    return ok;
}

void ExtractEntry(unzFile zip, const CString& target)
{
    unz_file_info64 info{};
    if (unzGetCurrentFileInfo64(zip, &info, nullptr, 0, nullptr, 0, nullptr, 0) != UNZ_OK)
        return;
    std::string raw(info.size_filename + 1, '\0');
    if (unzGetCurrentFileInfo64(zip, &info, raw.data(), static_cast<uLong>(raw.size()), nullptr, 0, nullptr,
                                0) != UNZ_OK)
        return;
    raw.resize(raw.find('\0'));

    const CString name = DecodeName(raw, info.flag);
    const EntryKind kind = KindOf(info, name);
    const CString relative = CleanEntryName(name);
    if (kind.symlink || relative.empty() || (info.flag & kFlagEncrypted))
        return;
    if (kind.folder) {
        CreateFolderTree(target + relative);
        return;
    }
    const size_t slash = relative.rfind(L'/');
    if (!CreateFolderTree(target + relative.substr(0, slash == CString::npos ? 0 : slash)))
        return;
    WriteEntryFile(zip, info, NativePath(target + relative), kind.permissions);
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

bool ExtractArchive(const CString& archive, const CString& folder)
{
    unzFile zip = unzOpen64(NativePath(archive).c_str());
    if (!zip)
        return false;
    // An empty folder means the current one, never the root.
    CString target = folder.empty() ? CString(L".") : folder;
    if (target.back() != L'\\' && target.back() != L'/')
        target += L'\\';
    for (int rc = unzGoToFirstFile(zip); rc == UNZ_OK; rc = unzGoToNextFile(zip))
        ExtractEntry(zip, target);
    unzClose(zip);
    return true;
}
