#pragma once

#include "core/wide_text.h"

// The `version` attribute of config.xml's `software` element; empty when the file or element is missing.
CString ReadSoftwareVersion(const CString& configPath);
