#include "store/exchange_file.h"

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "core/native_path.h"
#include "core/number_text.h"
#include "store/xml_document.h"

namespace {

// An exported file is the user's document: readable by others, like a file any editor saves.
constexpr mode_t kNewFileMode = 0644;

bool FlushToDisk(const std::string& path)
{
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
}

// Replacing a symbolic link by a plain file would cut the user's link; write where it points instead.
// The temporary name goes back through the program's wide paths, so only a UTF-8 target is followed.
std::string ResolveLink(const std::string& target)
{
    struct stat st {};
    if (::lstat(target.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return target;
    std::error_code error;
    const std::string resolved = std::filesystem::canonical(target, error).string();
    return !error && DecodeUtf8(resolved) ? resolved : target;
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

bool SaveDocumentReplacing(const XmlDocument& document, const CString& path)
{
    const std::string target = ResolveLink(NativePath(path));
    struct stat existing {};
    const mode_t mode = ::stat(target.c_str(), &existing) == 0 && S_ISREG(existing.st_mode)
                            ? existing.st_mode & 07777
                            : kNewFileMode;

    std::string temporary = target + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    // mkstemp makes the file private; the export should look like the file it replaces.
    (void)::fchmod(fd, mode);
    bool ok = ::close(fd) == 0;
    ok = ok && document.SaveFile(Utf8ToWide(temporary)) && FlushToDisk(temporary);
    ok = ok && ::rename(temporary.c_str(), target.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}
