#include "device/device_description.h"

#include "core/number_text.h"
#include "store/xml_document.h"

const DeviceRecord* DeviceDescription::FindModel(int deviceType) const
{
    for (const DeviceRecord& model : models) {
        if (model.deviceType == deviceType)
            return &model;
    }
    return nullptr;
}

std::vector<KnownDeviceRow> DeviceDescription::KnownDeviceRows() const
{
    std::vector<KnownDeviceRow> rows;
    rows.reserve(modes.size());
    for (const DeviceRecord& mode : modes)
        rows.push_back({mode.vendorId, mode.productId, mode.name, mode.deviceType, mode.modeValue,
                        mode.interfacePattern});
    return rows;
}

bool ReadDeviceDescription(XmlDocument& document, DeviceDescription& description)
{
    description.models.clear();
    description.modes.clear();
    if (!document.FindElement(L"device.info"))
        return false;
    document.EnterElement();
    while (document.FindElement(L"keyboard")) {
        DeviceRecord record;
        record.name = document.GetAttribute(L"name");
        record.deviceType = LeadingDecimal(document.GetAttribute(L"device_type"));
        record.layoutName = document.GetAttribute(L"device_info");
        description.models.push_back(record);

        // Every mode field is read anew (a missing attribute reads empty or 0), so nothing of one mode
        // carries over to the next.
        document.EnterElement();
        while (document.FindElement(L"mode")) {
            record.modeValue = LeadingDecimal(document.GetAttribute(L"value"));
            record.description = document.GetAttribute(L"desc");
            record.vendorId = LeadingHex(document.GetAttribute(L"vid"));
            record.productId = LeadingHex(document.GetAttribute(L"pid"));
            record.name = document.GetAttribute(L"product_name");
            record.interfacePattern = document.GetAttribute(L"hid_interface");
            description.modes.push_back(record);
        }
        document.LeaveElement();
    }
    document.LeaveElement();
    return true;
}

DeviceDescription LoadDeviceDescription(const CString& configPath)
{
    DeviceDescription description;
    XmlDocument document;
    if (document.LoadFile(configPath) && document.FindElement(L"config") && document.EnterElement())
        ReadDeviceDescription(document, description);
    return description;
}
