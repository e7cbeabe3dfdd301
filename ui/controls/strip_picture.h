#pragma once
// A second picture strip of a control beside its own image (a button's icon, a slider's thumb, a tab's
// icon): frames side by side, loaded through the window's image cache. A strip asked for before the
// control has its window is remembered and loaded when the control is attached.

#include "core/geometry.h"
#include "core/wide_text.h"
#include "ui/framework/render_types.h"

class PaintManager;

struct StripPicture {
    ImagePtr image;
    CString file;
    int requested = 1; // the frame count asked for
    int count = 1;     // the frame count the cache holds (the first request for a file fixes it)
    int frameWidth = 0;
    int frameHeight = 0;

    // Remembers the skin file and loads it when there is a manager; true when it loaded.
    bool Load(PaintManager* manager, const CString& name, int frames);
    // Loads the remembered file (after the control got its manager).
    bool Reload(PaintManager* manager);
    explicit operator bool() const { return image != nullptr; }
    CSize FrameSize() const { return {frameWidth, frameHeight}; }
    // Frame `frame` (clamped to the strip) stretched into dest.
    void Draw(Graphics* g, int frame, const CRect& dest) const;
};
