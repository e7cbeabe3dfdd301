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
// plain http address still serves the version text, but its archives are never fetched, so the check
// does not offer such an update either.
//
// Every job takes an optional CancelToken: raised from another thread (the worker at exit, a cancel
// button), it ends the transfer in progress at once and the job returns without starting anything.

#include <mutex>
#include <optional>

#include "core/wide_text.h"
#include "platform/cancel_token.h"
#include "platform/http.h"
#include "platform/process_exit.h"
#include "platform/shell.h"
#include "update/download_progress.h"
#include "update/extract_archive.h"
#include "update/transfer.h"

enum class UpdateOutcome {
    NoVersion,        // no published version is known
    UntrustedAddress, // the update address is neither https nor a local file: nothing was downloaded
    NoArchive,        // the download failed, was cancelled or left no archive
    ArchiveRefused,   // the archive unpacks past the size limits or the free space: nothing is started
    NotStarted,       // the installer or tool could not be started (missing after unpacking)
    Started,          // the program was started and the process asked to end
};

enum class SoftwareCheck {
    NoUpdate,         // no usable version text, or nothing newer
    UpdateAvailable,  // newer: the update ran and did not end the process; the button shows the update
    UntrustedAddress, // newer, but its address can never deliver it: tell the user rather than offer it
};

class Updater {
public:
    // `dataFolder` is the program's data folder (ending with a separator); `progress` may be null.
    Updater(HttpClient& http, Shell& shell, ProcessExit& processExit, CString dataFolder,
            DownloadProgress* progress, TransferLimits transferLimits = {}, ExtractLimits extractLimits = {});

    // The installation's current software version and software update address.
    void SetSoftware(const CString& currentVersion, const CString& updateAddress);
    // The firmware update address of the current keyboard model.
    void SetFirmwareUpdateAddress(const CString& address);

    CString PublishedSoftwareVersion() const;
    CString PublishedFirmwareVersion() const;

    // Fetches the published software version. When it is newer than the current one (or has a
    // different number of parts) the software update runs at once and the result is UpdateAvailable,
    // unless the update address could never deliver it (UntrustedAddress: nothing is downloaded).
    // Nothing happens without a usable version text.
    SoftwareCheck CheckSoftwareVersion(const CancelToken* cancel = nullptr);

    // Fetches the published firmware version for the current model: the version, or empty (also
    // stored) when there is no usable text. Comparing it with the keyboard's is the caller's, who
    // offers the update only when FirmwareUpdateCanRun().
    CString FetchPublishedFirmwareVersion(const CancelToken* cancel = nullptr);
    // Whether the firmware update address can deliver a tool that may be started.
    bool FirmwareUpdateCanRun() const;

    // Download, unpack, start "Keyboard-Software-<version>.exe" and end the process.
    UpdateOutcome UpdateSoftware(const CancelToken* cancel = nullptr);
    // The same with "FirmwareUpdateTool-<version>.exe" and the firmware update address.
    UpdateOutcome UpdateFirmwareTool(const CancelToken* cancel = nullptr);

    // A fetched text of 1 to 10 characters is a published version. A leading byte order mark and
    // trailing white space (a final CR LF) are dropped; a text that would leave the temp folder as part
    // of a file name is refused.
    static std::optional<CString> PublishedVersionFromText(const CString& text);

    // Whether a program fetched from `address` may be started: https or a local file.
    static bool IsTrustedSource(const CString& address);

private:
    UpdateOutcome Update(const wchar_t* archiveFormat, const wchar_t* programFormat, const CString& version,
                         const CString& address, const CancelToken* cancel);

    HttpClient& m_http;
    Shell& m_shell;
    ProcessExit& m_processExit;
    const CString m_dataFolder;
    DownloadProgress* const m_progress;
    const TransferLimits m_transferLimits;
    const ExtractLimits m_extractLimits;

    mutable std::mutex m_lock;
    CString m_currentSoftwareVersion;
    CString m_softwareUpdateAddress;
    CString m_firmwareUpdateAddress;
    CString m_publishedSoftwareVersion;
    CString m_publishedFirmwareVersion;
};
