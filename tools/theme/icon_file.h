#pragma once
// Writes a Windows icon file holding several sizes of one picture.

#include <string>
#include <vector>

#include "tools/theme/surface.h"

// Every image becomes a 32-bit entry (BGRA rows with an AND mask), which every icon reader takes,
// gdk-pixbuf's included; sizes up to 256.
bool WriteIcoFile(const std::vector<Surface>& images, const std::string& path);
