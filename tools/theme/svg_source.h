#pragma once
// An SVG source of the theme drawn with librsvg. A picture's state (hover, pressed, checked, …) is a set
// of classes put on the root element for one rendering, so one source styled by theme.css gives every
// frame of a strip. The stylesheet is handed to librsvg as the user stylesheet: librsvg does not follow
// a source's own link to it, which points to a parent folder.

#include <cairo.h>
#include <string>
#include <vector>

// Draws `file` fitted into (x, y, w, h) with the CSS text `stylesheet`. The classes are added to the root
// element's own. False, with the reason printed, when the file cannot be read or drawn.
bool DrawSvg(cairo_t* cr, const std::string& file, const std::string& stylesheet,
             const std::vector<std::string>& classes, double x, double y, double w, double h);
