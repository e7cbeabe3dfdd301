#pragma once
// The pictures of the tray icon: every entry of an icon file on its own (so that a tray of any size gets
// the entry drawn for about its size rather than the largest one shrunk), and the square picture a tray
// of a given size shows.

#include <string>
#include <vector>

#include "ui/framework/render_types.h"
#include "ui/framework/surface.h"

// An icon file's largest size and entry count that are believed; a larger file is not an icon of ours.
inline constexpr size_t kMaxIconFileBytes = 4 * 1024 * 1024;
inline constexpr size_t kMaxIconEntries = 64;

// The entries of an icon file, smallest first; a file that is a single picture (PNG, …) gives that one.
// Empty when the file is missing, too large or decodes to nothing.
std::vector<ImagePtr> LoadIconPictures(const std::string& nativePath);

// A square picture of side `size` (premultiplied ARGB): the smallest entry at least that large (else the
// largest), scaled into it. Without entries, a stand-in in the theme's colours.
Surface TrayPicture(const std::vector<ImagePtr>& pictures, int size);
