#pragma once
// Small pieces the standard controls share: where a control is in its window, the pointer's hover with
// its cursor, and where the list keys move a row.

#include <optional>
#include <vector>

#include "core/geometry.h"

class MControl;

// A rectangle of a control's space in its window's client coordinates: panels between the control and
// the window scroll their content.
CRect ControlRectInWindow(const MControl& control, CRect rect);

// The controls beside a control, itself included: its parent control's children, or the window's
// top-level controls when its parent is a window. Group-exclusive controls (radio buttons, colour
// swatches) walk these.
std::vector<MControl*> SiblingControls(const MControl& control);

// Follows the pointer over a control: hover is whether it is over the (enabled) control, with the
// cursor shown there and the arrow again when it leaves; true when hover changed.
bool FollowHover(const MControl& control, bool& hover, CPoint point, const wchar_t* cursor);

// The scroll offset that shows the span [top, top + height) of a content in a view `view` high, now
// scrolled to `offset`: unchanged when it shows already, else just far enough.
int OffsetShowing(int offset, int top, int height, int view);

// The row the list keys (Up, Down, Home, End, Page Up, Page Down) move to from `from` (−1: none yet) in
// count rows, page rows at a time, kept inside the list; nullopt for any other key.
std::optional<int> ListKeyMove(unsigned key, int from, int count, int page);
