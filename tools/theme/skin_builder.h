#pragma once
// Makes the pictures a manifest lists.

#include <string>

#include "tools/theme/surface.h"
#include "tools/theme/theme_manifest.h"

// One strip: every frame drawn from the entry's layers with that frame's classes, side by side.
Surface RenderPicture(const ThemeManifest& manifest, const PictureEntry& entry);

// Every picture that is not a library resource, into the skin folder; the program icon also into its
// desktop icon folder. `convert` is ImageMagick's, which puts the spinner's frames into a GIF.
bool BuildSkin(const ThemeManifest& manifest, const std::string& skinFolder, const std::string& convert);
