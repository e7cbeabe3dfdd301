#pragma once
// The `software` element of config.xml: version and addresses of the program.
//
//   <software name="..." version="1.0.0">
//     <website url="..."/> <store url="..."/> <upgrade url="..."/> <copyright info="..."/>
//   </software>
//
// The children are found by a forward search in this order; one that stands before an element already
// found is not seen, and a missing one leaves its field empty.

#include "core/wide_text.h"

class XmlDocument;

struct SoftwareData {
    CString version;   // shown as "Ver: %s" and compared with the published version
    CString website;   // opened by the website button
    CString store;     // kept; nothing uses it
    CString upgrade;   // where updates are fetched
    CString copyright; // shown at the bottom of the home page

    bool operator==(const SoftwareData&) const = default;
};

// Reads the next `software` on the document's current level (the inside of `config`), searching forward
// from the current element; all fields empty when there is none. The position ends on `software`.
SoftwareData ReadSoftwareData(XmlDocument& document);

// config.xml's software data read as the main window reads it: inside `config`, after `device.info` when
// there is one. Empty fields when the file does not load.
SoftwareData LoadSoftwareData(const CString& configPath);
