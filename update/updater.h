#pragma once
// Keeps the program and the keyboard's firmware current. Two published "version" texts sit beside the
// archives on the update servers; a newer version is downloaded as a zip archive, unpacked into the data
// folder's temp folder, its installer (or firmware tool) started, and the process ended.
//
// Everything here runs on the worker thread and blocks for the length of the transfers. The main window
// sets the addresses and versions (any thread), receives progress through the DownloadProgress it owns,
// and marks its update buttons from the results.
//
// A downloaded program is only ever started when it came over https or from a local file (file://): a
// plain http address still serves the version text, but its archives are never fetched.

#include <mutex>
#include <optional>

#include "core/wide_text.h"
#include "platform/http.h"
#include "platform/process_exit.h"
#include "platform/shell.h"
#include "update/download_progress.h"

enum class UpdateOutcome {
    NoVersion,        // no published version is known
    UntrustedAddress, // the update address is neither https nor a local file: nothing was downloaded
    NoArchive,        // the download failed or left no archive
    NotStarted,       // the installer or tool could not be started (missing after unpacking)
    Started,          // the program was started and the process asked to end
};

class Updater {
public:
    // `dataFolder` is the program's data folder (ending with a separator); `progress` may be null.
    Updater(HttpClient& http, Shell& shell, ProcessExit& processExit, CString dataFolder,
            DownloadProgress* progress);

    // The installation's current software version and software update address.
    void SetSoftware(const CString& currentVersion, const CString& updateAddress);
    // The firmware update address of the current keyboard model.
    void SetFirmwareUpdateAddress(const CString& address);

    CString PublishedSoftwareVersion() const;
    CString PublishedFirmwareVersion() const;

    // Fetches the published software version. When it is newer than the current one (or has a
    // different number of parts) the software update runs at once, and the result is true: the
    // software update button shows an available update. Nothing happens without a usable version text.
    bool CheckSoftwareVersion();

    // Fetches the published firmware version for the current model: the version, or empty (also
    // stored) when there is no usable text. Comparing it with the keyboard's is the caller's.
    CString FetchPublishedFirmwareVersion();

    // Download, unpack, start "Keyboard-Software-<version>.exe" and end the process.
    UpdateOutcome UpdateSoftware();
    // The same with "FirmwareUpdateTool-<version>.exe" and the firmware update address.
    UpdateOutcome UpdateFirmwareTool();

    // A fetched text of 1 to 10 characters is a published version. A leading byte order mark and
    // trailing white space (a final CR LF) are dropped; a text that would leave the temp folder as part
    // of a file name is refused.
    static std::optional<CString> PublishedVersionFromText(const CString& text);

    // Whether a program fetched from `address` may be started: https or a local file.
    static bool IsTrustedSource(const CString& address);

private:
    UpdateOutcome Update(const wchar_t* archiveFormat, const wchar_t* programFormat, const CString& version,
                         const CString& address);

    HttpClient& m_http;
    Shell& m_shell;
    ProcessExit& m_processExit;
    const CString m_dataFolder;
    DownloadProgress* const m_progress;

    mutable std::mutex m_lock;
    CString m_currentSoftwareVersion;
    CString m_softwareUpdateAddress;
    CString m_firmwareUpdateAddress;
    CString m_publishedSoftwareVersion;
    CString m_publishedFirmwareVersion;
};
