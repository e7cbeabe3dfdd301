#pragma once
// How controls look while their skin pictures are missing: flat shapes in the theme's colours, so that a
// control without its picture is still seen and usable. A control draws these only where it would
// otherwise be invisible; with its picture it draws the picture.

#include "core/color.h"
#include "core/geometry.h"
#include "ui/framework/render_types.h"

namespace FallbackLook {

constexpr ARGB kPanel = 0xFF333333;
constexpr ARGB kPanelEdge = 0xFF646464;
constexpr ARGB kText = 0xFFC8C8C8;
constexpr ARGB kTextHot = 0xFFFFFFFF;
constexpr ARGB kAccent = 0xFFED801B;
constexpr ARGB kHover = 0xFF440059;
constexpr ARGB kDisabledText = 0xFF808080;

// A rounded rectangle of the given corner radius: filled (when fill has alpha), then outlined (when edge
// has alpha) with a 1-pixel line inside the rectangle.
void RoundRect(Graphics* g, const CRect& rect, double radius, ARGB fill, ARGB edge);
// A push button's face for state 0 normal, 1 hovered, 2 pressed, 3 disabled.
void ButtonFace(Graphics* g, const CRect& rect, int state);
// The text colour on such a face.
ARGB ButtonText(int state);
// A check box (round: a radio button) of the given state, checked or not, filling rect.
void CheckMark(Graphics* g, const CRect& rect, int state, bool checked, bool round);
// A triangle pointing up (or down) centred in rect.
void Arrow(Graphics* g, const CRect& rect, bool up, ARGB colour);

} // namespace FallbackLook
