#pragma once
// The X11 backend of the window system (Xlib, XShm, Xrandr). Without a display it is created anyway and
// reports itself unavailable, so creating windows fails cleanly.

#include <memory>

#include "ui/framework/window_backend.h"

std::unique_ptr<WindowBackend> CreateX11Backend();
