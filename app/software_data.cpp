#include "app/software_data.h"

#include "store/xml_document.h"

SoftwareData ReadSoftwareData(XmlDocument& document)
{
    SoftwareData data;
    if (!document.FindElement(L"software"))
        return data;
    data.version = document.GetAttribute(L"version");
    document.EnterElement();
    if (document.FindElement(L"website"))
        data.website = document.GetAttribute(L"url");
    if (document.FindElement(L"store"))
        data.store = document.GetAttribute(L"url");
    if (document.FindElement(L"upgrade"))
        data.upgrade = document.GetAttribute(L"url");
    if (document.FindElement(L"copyright"))
        data.copyright = document.GetAttribute(L"info");
    document.LeaveElement();
    return data;
}

SoftwareData LoadSoftwareData(const CString& configPath)
{
    XmlDocument document;
    if (!document.LoadFile(configPath) || !document.FindElement(L"config") || !document.EnterElement())
        return {};
    // The device description stands first; `software` is searched after it.
    document.FindElement(L"device.info");
    return ReadSoftwareData(document);
}
