#pragma once
// The keyboard models the installation serves and the connection modes in which each appears, read from
// the `device.info` element of config.xml:
//
//   <device.info>
//     <keyboard name="..." device_type="201" device_info="layout name">
//       <mode value="0" desc="..." vid="0x1209" pid="0x0001" product_name="" hid_interface="..."/>
//     </keyboard>
//   </device.info>
//
// Numbers read by their leading digits (device_type and value decimal, vid and pid hexadecimal with an
// optional 0x); anything else, and a missing attribute, reads 0.

#include <vector>

#include "core/wide_text.h"

class XmlDocument;

// One record type serves both lists. In the model list a record is one `keyboard` (name = its `name`,
// no mode data); in the mode list it is one `mode`, carrying its keyboard's type and layout name and the
// mode's `product_name` as its name.
struct DeviceRecord {
    CString name;
    int deviceType = 0;
    CString layoutName; // the `device_info` attribute: the layout file "layouts\<name>.xml"
    int modeValue = 0;  // 0 cable, 1 and 2 the two wireless connections
    int vendorId = 0;
    int productId = 0;
    CString description;      // `desc`, kept for display
    CString interfacePattern; // a fragment of the upper-cased interface name that marks this mode
    int connected = 0;        // set and cleared by the device connection handling

    bool operator==(const DeviceRecord&) const = default;
};

// One row of the HID manager's known-device table; one per `mode`, in document order.
struct KnownDeviceRow {
    int vendorId = 0;
    int productId = 0;
    CString productName;
    int deviceType = 0;
    int modeValue = 0;
    CString interfacePattern;

    bool operator==(const KnownDeviceRow&) const = default;
};

struct DeviceDescription {
    std::vector<DeviceRecord> models; // one per `keyboard`, in document order
    std::vector<DeviceRecord> modes;  // one per `mode` of every `keyboard`, in document order

    // The first model of that device type, or null: duplicate types resolve to the first.
    const DeviceRecord* FindModel(int deviceType) const;
    // The rows to register with the HID manager, in the order read.
    std::vector<KnownDeviceRow> KnownDeviceRows() const;
};

// Reads `device.info` from the document's current level (the inside of `config`), searching forward from
// the current element. Both lists are emptied first. When `device.info` is found the position ends on it,
// so that a following search (for `software`) continues after it; false and no position change when it
// is missing.
bool ReadDeviceDescription(XmlDocument& document, DeviceDescription& description);

// The whole of config.xml's device description; empty when the file does not load or has no `config`
// root or no `device.info`.
DeviceDescription LoadDeviceDescription(const CString& configPath);
