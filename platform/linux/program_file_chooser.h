#pragma once
// The file dialog of a desktop program: zenity (GNOME and most others) or kdialog (KDE), run as a child
// process through the command runner — never through a shell — with the request as its arguments; it
// prints the chosen path on its standard output.
//
// Exit status: 0 with a path is a choice, 1 a cancel; anything else (not installed, crashed, no
// display) a failure, after which another chooser may be tried.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/command_runner.h"
#include "platform/file_chooser.h"
#include "platform/linux/chooser_outcome.h"

class CancelToken;

class ProgramFileChooser {
public:
    enum class Program { Zenity, KDialog };

    // The dialog program to use: on a KDE session kdialog before zenity, elsewhere zenity first; nullopt
    // when neither is on PATH.
    static std::optional<Program> Find();

    // zenity from version 4 confirms overwriting by itself and no longer knows the option that asked
    // for it; `zenityMajor` 0 means "ask the program".
    ProgramFileChooser(Program program, CommandRunner& runner, int zenityMajor = 0);

    // The command line for a request; `ownerWindow` is the owner's X window (0: none).
    std::vector<std::string> CommandLine(const FileChooserRequest& request, uint64_t ownerWindow);
    ChooserOutcome Show(const FileChooserRequest& request, uint64_t ownerWindow, const CancelToken* cancel,
                        std::chrono::milliseconds timeout);

private:
    int ZenityMajor();

    Program m_program;
    CommandRunner& m_runner;
    int m_zenityMajor;
};
