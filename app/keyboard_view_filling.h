#pragma once
// The three keyboard views (custom key page 67, lighting page 72, settings page 246) are filled from
// the model's layout the same way: emptied, placed with the layout's picture and size, then given one
// item per key. A view that is missing (its class not built) is skipped.

#include "core/geometry.h"
#include "core/wide_text.h"
#include "device/keyboard_layout.h"

class MDialog;

namespace KeyboardViewFilling {

void Clear(const MDialog& window, unsigned viewId);
// The view's rectangle in the window, its picture (a skin path) and the picture's size.
void Place(const MDialog& window, unsigned viewId, const CRect& rect, const CString& picture, int width,
           int height);
void AddKey(const MDialog& window, unsigned viewId, const LayoutKeyItem& key);

} // namespace KeyboardViewFilling
