#include "update/updater.h"

#include <cwctype>
#include <unistd.h>

#include "core/folders.h"
#include "core/native_path.h"
#include "update/compare_versions.h"

namespace {

constexpr size_t kMaxVersionLength = 10;

bool StartsWithNoCase(const CString& text, std::wstring_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        if (static_cast<wchar_t>(std::towlower(text[i])) != prefix[i])
            return false;
    }
    return true;
}

void DeleteFile(const CString& path)
{
    ::unlink(NativePath(path).c_str());
}

} // namespace

Updater::Updater(HttpClient& http, Shell& shell, ProcessExit& processExit, CString dataFolder,
                 DownloadProgress* progress, TransferLimits transferLimits, ExtractLimits extractLimits)
    : m_http(http), m_shell(shell), m_processExit(processExit), m_dataFolder(std::move(dataFolder)),
      m_progress(progress), m_transferLimits(transferLimits), m_extractLimits(extractLimits)
{
}

void Updater::SetSoftware(const CString& currentVersion, const CString& updateAddress)
{
    const std::lock_guard lock(m_lock);
    m_currentSoftwareVersion = currentVersion;
    m_softwareUpdateAddress = updateAddress;
}

void Updater::SetFirmwareUpdateAddress(const CString& address)
{
    const std::lock_guard lock(m_lock);
    m_firmwareUpdateAddress = address;
}

CString Updater::PublishedSoftwareVersion() const
{
    const std::lock_guard lock(m_lock);
    return m_publishedSoftwareVersion;
}

CString Updater::PublishedFirmwareVersion() const
{
    const std::lock_guard lock(m_lock);
    return m_publishedFirmwareVersion;
}

std::optional<CString> Updater::PublishedVersionFromText(const CString& text)
{
    if (text.empty() || text.size() > kMaxVersionLength)
        return std::nullopt;
    // A version file saved by a Windows editor may start with a byte order mark.
    CString version = text.front() == L'\uFEFF' ? text.substr(1) : text;
    while (!version.empty() && std::iswspace(version.back()))
        version.pop_back();
    if (version.empty())
        return std::nullopt;
    // The version becomes part of the archive's and the installer's file names.
    for (wchar_t c : version) {
        if (c < 0x20 || c == 0x7F || c == L'/' || c == L'\\')
            return std::nullopt;
    }
    return version;
}

bool Updater::IsTrustedSource(const CString& address)
{
    return StartsWithNoCase(address, L"https://") || StartsWithNoCase(address, L"file://");
}

SoftwareCheck Updater::CheckSoftwareVersion(const CancelToken* cancel)
{
    CString current;
    CString address;
    {
        const std::lock_guard lock(m_lock);
        current = m_currentSoftwareVersion;
        address = m_softwareUpdateAddress;
    }
    if (address.empty())
        return SoftwareCheck::NoUpdate;
    CString text;
    FetchText(m_http, address + L"version", text, cancel, m_transferLimits);
    const auto published = PublishedVersionFromText(text);
    if (!published)
        return SoftwareCheck::NoUpdate;
    {
        const std::lock_guard lock(m_lock);
        m_publishedSoftwareVersion = *published;
    }
    const int compared = CompareVersions(current, *published);
    if (compared != kVersionPublishedNewer && compared != kVersionPartCountsDiffer)
        return SoftwareCheck::NoUpdate;
    // The button would offer an update that the update path refuses every time.
    if (!IsTrustedSource(address))
        return SoftwareCheck::UntrustedAddress;
    UpdateSoftware(cancel);
    return SoftwareCheck::UpdateAvailable;
}

bool Updater::FirmwareUpdateCanRun() const
{
    const std::lock_guard lock(m_lock);
    return IsTrustedSource(m_firmwareUpdateAddress);
}

CString Updater::FetchPublishedFirmwareVersion(const CancelToken* cancel)
{
    CString address;
    {
        const std::lock_guard lock(m_lock);
        m_publishedFirmwareVersion.clear();
        address = m_firmwareUpdateAddress;
    }
    if (address.empty())
        return {};
    CString text;
    FetchText(m_http, address + L"version", text, cancel, m_transferLimits);
    const auto published = PublishedVersionFromText(text);
    if (!published)
        return {};
    const std::lock_guard lock(m_lock);
    m_publishedFirmwareVersion = *published;
    return *published;
}

UpdateOutcome Updater::UpdateSoftware(const CancelToken* cancel)
{
    CString version;
    CString address;
    {
        const std::lock_guard lock(m_lock);
        version = m_publishedSoftwareVersion;
        address = m_softwareUpdateAddress;
    }
    return Update(L"Keyboard-Software-%s.zip", L"Keyboard-Software-%s.exe", version, address, cancel);
}

UpdateOutcome Updater::UpdateFirmwareTool(const CancelToken* cancel)
{
    CString version;
    CString address;
    {
        const std::lock_guard lock(m_lock);
        version = m_publishedFirmwareVersion;
        address = m_firmwareUpdateAddress;
    }
    return Update(L"FirmwareUpdateTool-%s.zip", L"FirmwareUpdateTool-%s.exe", version, address, cancel);
}

UpdateOutcome Updater::Update(const wchar_t* archiveFormat, const wchar_t* programFormat,
                              const CString& version, const CString& address, const CancelToken* cancel)
{
    if (version.empty())
        return UpdateOutcome::NoVersion;
    const CString archiveName = FormatText(archiveFormat, version.c_str());
    const CString downloadAddress = FormatText(L"%s//%s", address.c_str(), archiveName.c_str());
    if (!IsTrustedSource(downloadAddress))
        return UpdateOutcome::UntrustedAddress;

    const CString tempFolder = FormatText(L"%s\\temp\\", m_dataFolder.c_str());
    CreateFolderTree(tempFolder);
    const CString archivePath = FormatText(L"%s\\temp\\%s", m_dataFolder.c_str(), archiveName.c_str());
    DeleteFile(archivePath);
    // A partial archive from a failed transfer is no archive.
    if (DownloadFile(m_http, downloadAddress, archivePath, m_progress, cancel, m_transferLimits) !=
            kTransferComplete ||
        !PathExists(archivePath))
        return UpdateOutcome::NoArchive;
    switch (ExtractArchive(archivePath, tempFolder, m_extractLimits)) {
    case ExtractResult::Unpacked:
        DeleteFile(archivePath);
        break;
    case ExtractResult::TooLarge:
    case ExtractResult::NoSpace:
        // An installer left in the folder by an earlier update must not be started in its place.
        return UpdateOutcome::ArchiveRefused;
    case ExtractResult::NotAnArchive:
        break;
    }
    if (cancel && cancel->IsCancelled())
        return UpdateOutcome::NotStarted;

    const CString programName = FormatText(programFormat, version.c_str());
    if (!m_shell.StartProgram(FormatText(L"%s\\temp\\%s", m_dataFolder.c_str(), programName.c_str())))
        return UpdateOutcome::NotStarted;
    m_processExit.ExitNow(0);
    return UpdateOutcome::Started;
}
