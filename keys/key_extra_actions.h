#pragma once
// The actions the program runs itself for the program-run assignment types, by key extra record: start
// a program, open a web address, type a text through the virtual keyboard, switch the profile. The
// custom key page runs them on the UI thread, for the main window message and for the key filter's
// presses of such keys; what a user must be told comes back in the outcome.

#include <functional>
#include <string>

#include "keys/key_assignments.h"
#include "keys/text_typing.h"

class Shell;

class KeyExtraActions {
public:
    enum class Result {
        Done,
        NoRecord,       // no such record, or one of a kind without an action: nothing happens
        ProgramMissing, // the program's file is gone: the user is told (detail: the path)
        NotStarted,     // the desktop could not start the program or open the address (detail)
        NothingToType,  // an empty text, or no character of it can be typed
        TypingBusy,     // no virtual keyboard, or another text is still being typed
        SwitchProfile,  // the caller makes `profile` current
        ProfileMissing, // the record names a profile that no longer exists
    };
    struct Outcome {
        Result result = Result::NoRecord;
        CString detail;
        int profile = 0;

        bool operator==(const Outcome&) const = default;
    };

    struct Backends {
        KeyAssignments& assignments;
        ProfileDatabase& database;
        Shell& shell;
        const CharacterKeySource& layout;
        // The virtual keyboard's typing; null while there is none.
        std::function<KeyTyper*()> typer;
        // One line of diagnostics (standard error when not set).
        std::function<void(const std::string&)> log;
    };

    explicit KeyExtraActions(Backends backends) : m_backends(std::move(backends)) {}

    Outcome Run(int recordId);

private:
    Outcome StartProgram(const KeyExtraRow& record);
    Outcome OpenAddress(const KeyExtraRow& record);
    Outcome TypeText(const KeyExtraRow& record);
    Outcome SwitchProfile(const KeyExtraRow& record);
    void Log(const std::string& line) const;

    Backends m_backends;
};
