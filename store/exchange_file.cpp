#include "store/exchange_file.h"

#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "core/number_text.h"
#include "store/xml_document.h"

namespace {

// An exported file is the user's document: readable by others, like a file any editor saves.
constexpr mode_t kNewFileMode = 0644;

bool WriteAllBytes(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        bytes.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

ExchangeError ExportErrorOf(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        return ExchangeError::FolderMissing;
    case EACCES:
    case EPERM:
    case EROFS:
        return ExchangeError::AccessDenied;
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return ExchangeError::DiskFull;
    default:
        return ExchangeError::WriteFailed;
    }
}

// The folder refuses a new file or a rename, which says nothing about the target itself.
bool FolderRefused(int error)
{
    return error == EACCES || error == EPERM;
}

// Replacing a symbolic link by a plain file would cut the user's link; write where it points instead.
std::string ResolveLink(const std::string& target)
{
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return target;
    std::error_code error;
    const std::string resolved = std::filesystem::canonical(target, error).string();
    return error ? target : resolved;
}

// The fallback when no temporary file can take the target's place. A failure after the truncation
// leaves the file short, so the room for the new text is checked first.
ExchangeError WriteInPlace(const std::string& target, std::string_view bytes)
{
    const int fd = ::open(target.c_str(), O_WRONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return ExportErrorOf(errno);
    struct stat st {};
    struct statvfs space {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return ExchangeError::WriteFailed;
    }
    if (::fstatvfs(fd, &space) == 0) {
        const uint64_t room = static_cast<uint64_t>(space.f_bavail) * space.f_frsize +
                              static_cast<uint64_t>(st.st_blocks) * 512;
        if (bytes.size() > room) {
            ::close(fd);
            return ExchangeError::DiskFull;
        }
    }
    int error = 0;
    if (::ftruncate(fd, 0) != 0 || !WriteAllBytes(fd, bytes) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    return error == 0 ? ExchangeError::None : ExportErrorOf(error);
}

} // namespace

CString NameFromFileTitle(const CString& fileTitle)
{
    return fileTitle.substr(0, fileTitle.find(L'.'));
}

int NumberAttribute(const XmlDocument& document, std::wstring_view name)
{
    return LeadingDecimal(document.GetAttribute(name));
}

void SetMacroSettings(XmlDocument& document, const MacroRow& macro)
{
    document.SetAttribute(L"times", macro.play_times);
    document.SetAttribute(L"type", macro.delay_type);
    document.SetAttribute(L"delaytime", macro.delay_time);
}

void ReadMacroSettings(const XmlDocument& document, MacroRow& macro)
{
    macro.play_times = NumberAttribute(document, L"times");
    macro.delay_type = NumberAttribute(document, L"type");
    macro.delay_time = NumberAttribute(document, L"delaytime");
}

void AddRecordItems(XmlDocument& document, const MacroRecordList& records)
{
    for (const auto& record : records) {
        document.AddElement(L"item");
        document.SetAttribute(L"desc", record->desc);
        document.SetAttribute(L"type", record->type);
        document.SetAttribute(L"value", record->value);
        document.SetAttribute(L"delay_time", record->delay_time);
    }
}

MacroRecordList ReadRecordItems(XmlDocument& document, int macroId)
{
    MacroRecordList records;
    if (!document.EnterElement())
        return records;
    while (document.FindElement(L"item")) {
        auto record = std::make_unique<MacroRecordRow>();
        record->macro_id = macroId;
        record->record_index = static_cast<int>(records.size());
        record->desc = document.GetAttribute(L"desc");
        record->type = NumberAttribute(document, L"type");
        record->value = NumberAttribute(document, L"value");
        record->delay_time = NumberAttribute(document, L"delay_time");
        records.push_back(std::move(record));
    }
    document.LeaveElement();
    return records;
}

ExchangeError LoadExchangeDocument(XmlDocument& document, const NativeFilePath& path, std::wstring_view root)
{
    switch (document.LoadNativeFile(path, kMaxExchangeFileBytes)) {
    case XmlLoadResult::Loaded:
        return document.FindElement(root) ? ExchangeError::None : ExchangeError::WrongKind;
    case XmlLoadResult::Missing:
        return ExchangeError::FileMissing;
    case XmlLoadResult::Unreadable:
        return ExchangeError::FileUnreadable;
    case XmlLoadResult::TooLarge:
        return ExchangeError::FileTooLarge;
    case XmlLoadResult::NotWellFormed:
        break;
    }
    return ExchangeError::NotXml;
}

ExchangeError SaveDocumentReplacing(const XmlDocument& document, const NativeFilePath& path)
{
    const std::optional<std::string> bytes = document.GetEncodedText();
    if (!bytes)
        return ExchangeError::WriteFailed;
    const std::string target = ResolveLink(path.Native());
    struct stat existing {};
    const bool existingFile = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode);
    const mode_t mode = existingFile ? existing.st_mode & 07777 : kNewFileMode;

    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0) {
        const int error = errno;
        return existingFile && FolderRefused(error) ? WriteInPlace(target, *bytes) : ExportErrorOf(error);
    }
    // mkstemp makes the file private; the export should look like the file it replaces.
    (void)::fchmod(fd, mode);
    int error = 0;
    if (!WriteAllBytes(fd, *bytes) || ::fsync(fd) != 0)
        error = errno;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error != 0) {
        ::unlink(temporary.c_str());
        return ExportErrorOf(error);
    }
    if (::rename(temporary.c_str(), target.c_str()) == 0)
        return ExchangeError::None;
    error = errno;
    ::unlink(temporary.c_str());
    // A sticky folder lets anyone add files but not replace another user's.
    return existingFile && FolderRefused(error) ? WriteInPlace(target, *bytes) : ExportErrorOf(error);
}
