#pragma once
// The first step of start-up: the device name (which names the settings, the data folder, the window and
// the autostart entry) comes from config.xml before anything else runs.

#include <optional>

#include "core/wide_text.h"

// The `name` of the first `software` element anywhere among `config`'s children; empty when the
// attribute is missing. nullopt when the file does not load or has no `config` or `software`.
std::optional<CString> ReadStartupDeviceName(const CString& configPath);

// Reads "<application folder>\config.xml" and makes its name the device name (KelvoUI's Manager);
// the initial "Torvik" stays when nothing could be read.
void ApplyStartupDeviceName();
