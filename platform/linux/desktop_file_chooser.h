#pragma once
// The file chooser of a desktop session: the desktop portal's when the session bus has one, else zenity
// or kdialog when installed, else the program's own dialog. A chooser that fails (not there, broken)
// hands the request to the next; a cancel is the user's answer and ends it. The desktop's dialogs run
// in processes of their own while the program's windows keep painting, each within `timeout` (then it
// is closed, as cancelled).

#include <chrono>
#include <functional>
#include <string>

#include "platform/file_chooser.h"
#include "platform/linux/kelvo_file_dialog.h"

class CommandRunner;

class DesktopFileChooser : public FileChooser {
public:
    static constexpr std::chrono::minutes kDefaultTimeout{15};

    struct Options {
        // The bus the portal is asked on; empty: no portal.
        std::string busAddress;
        // Runs zenity or kdialog; null: neither is used.
        CommandRunner* runner = nullptr;
        // The own dialog's texts, in the language of the moment.
        std::function<FileDialogTexts()> texts;
        std::chrono::milliseconds timeout = kDefaultTimeout;
    };

    explicit DesktopFileChooser(Options options);

    // Which chooser answered the last request ("portal", "zenity", "kdialog", "own"), for tests and
    // diagnostics.
    const char* LastChooser() const { return m_last; }

protected:
    std::optional<NativeFilePath> Show(const FileChooserRequest& request) override;

private:
    Options m_options;
    const char* m_last = "";
};
