#pragma once
// What the HID layer needs from a report descriptor: how long the interface's output reports are,
// counted as Windows counts OutputReportByteLength (the longest output report plus the report-id byte,
// also when the device uses no report ids), which hidapi 0.13 cannot tell; and how many top-level
// collections a hidraw node has, which hidapi lists as separate interfaces. hidraw gives the descriptor
// in sysfs.

#include <cstddef>
#include <cstdint>
#include <span>

// 0 when the descriptor declares no output item, or one longer than hidraw can carry (no sane length to
// pad to). A descriptor cut short counts what came before the cut.
size_t OutputReportByteLength(std::span<const uint8_t> descriptor);

// Top-level collections that a usage names (at least 1), as hidapi counts the interfaces of one hidraw
// node. A descriptor that breaks off or closes more collections than it opened counts what came before.
int TopLevelCollectionCount(std::span<const uint8_t> descriptor);
