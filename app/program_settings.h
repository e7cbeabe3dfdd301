#pragma once
// The program's settings as the main window uses them: the registry-style values of the device name's
// key and the start-with-the-session entry, both named after KelvoUI's current device name.

#include "core/wide_text.h"
#include "platform/registry_values.h"

class Autostart;
class SettingsStore;

// The closing behaviour (the value kExitModeValue): what the close button does.
enum ExitMode : int {
    kExitModeAsk = 0, // absent, "0" or anything not a number
    kExitModeHide = 1,
    kExitModeExit = 2,
};

class ProgramSettings {
public:
    ProgramSettings(SettingsStore& store, Autostart& autostart);

    // Decimal value of the device key; 0 when missing, not numeric or too long. Creates the key.
    int ReadRegInt(const CString& valueName) const;
    // Skipped when the key does not exist yet.
    void WriteRegString(const CString& valueName, const CString& text) const;
    void SaveLanguageId(int languageId) const;

    // Makes the autostart entry agree with the settings page's check box: checked adds (or renews) the
    // one entry that starts "<application folder>/Torvik", unchecked removes it. Failures are ignored.
    void ApplyAutostart(bool checked) const;
    // The check box's state when the page is built: an entry of the device name exists, whatever it holds.
    bool IsAutostartChecked() const;

private:
    SettingsStore& m_store;
    Autostart& m_autostart;
};
