#include "app/program_settings.h"

#include "core/folders.h"
#include "platform/autostart.h"
#include "platform/registry_values.h"
#include "ui/framework/manager.h"

ProgramSettings::ProgramSettings(SettingsStore& store, Autostart& autostart)
    : m_store(store), m_autostart(autostart)
{
}

int ProgramSettings::ReadRegInt(const CString& valueName) const
{
    return ::ReadRegInt(m_store, Manager::GetDeviceName(), valueName);
}

void ProgramSettings::WriteRegString(const CString& valueName, const CString& text) const
{
    ::WriteRegString(m_store, Manager::GetDeviceName(), valueName, text);
}

void ProgramSettings::SaveLanguageId(int languageId) const
{
    ::SaveLanguageId(m_store, Manager::GetDeviceName(), languageId);
}

void ProgramSettings::ApplyAutostart(bool checked) const
{
    const CString name = Manager::GetDeviceName();
    if (checked)
        m_autostart.SetEntry(name, ApplicationFolderWithSeparator() + L"Torvik");
    else
        m_autostart.RemoveEntry(name);
}

bool ProgramSettings::IsAutostartChecked() const
{
    return m_autostart.HasEntry(Manager::GetDeviceName());
}
