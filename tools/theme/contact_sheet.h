#pragma once
// One PNG with every picture of a skin folder on the theme's own background, each labelled with its
// name, size and frame count, small ones also at twice their size, animations frame by frame.

#include <string>

#include "tools/theme/theme_manifest.h"

bool DrawContactSheet(const ThemeManifest& manifest, const std::string& skinFolder, const std::string& out);
