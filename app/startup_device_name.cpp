#include "app/startup_device_name.h"

#include "core/folders.h"
#include "store/xml_document.h"
#include "ui/framework/manager.h"

std::optional<CString> ReadStartupDeviceName(const CString& configPath)
{
    XmlDocument document;
    if (!document.LoadFile(configPath) || !document.FindElement(L"config") || !document.EnterElement() ||
        !document.FindElement(L"software"))
        return std::nullopt;
    return document.GetAttribute(L"name");
}

void ApplyStartupDeviceName()
{
    // The application folder without its trailing separator, as the first read of start-up has it.
    if (const std::optional<CString> name =
            ReadStartupDeviceName(FormatText(L"%s\\config.xml", ApplicationFolder().c_str())))
        Manager::SetDeviceName(*name);
}
