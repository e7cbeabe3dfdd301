#pragma once
// The one fact the HID manager needs from a report descriptor: how long the interface's output reports
// are, counted as Windows counts OutputReportByteLength (the longest output report plus the report-id
// byte, also when the device uses no report ids). hidapi 0.13 cannot tell; hidraw gives the descriptor
// in sysfs.

#include <cstddef>
#include <cstdint>
#include <span>

// 0 when the descriptor declares no output item, or one longer than hidraw can carry (no sane length to
// pad to). A descriptor cut short counts what came before the cut.
size_t OutputReportByteLength(std::span<const uint8_t> descriptor);
