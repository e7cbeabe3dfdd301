#pragma once
// The desktop portal's file chooser (org.freedesktop.portal.FileChooser on the session bus): the desktop
// shows its own dialog, also for sandboxed and Wayland sessions. A request is a call (OpenFile or
// SaveFile) that returns a request object at once; the answer comes later as that object's Response
// signal with the chosen file's URI.
//
// A bus without a portal, or a portal without a file chooser, fails at once, so the next chooser can be
// tried; a cancel (or the time-out) closes the portal's dialog.

#include <chrono>
#include <string>

#include "platform/file_chooser.h"
#include "platform/linux/chooser_outcome.h"

class CancelToken;

class PortalFileChooser {
public:
    explicit PortalFileChooser(std::string busAddress);

    // Blocks until answered; `parentWindow` is the portal's name for the owner ("x11:1c00007", or empty).
    ChooserOutcome Show(const FileChooserRequest& request, const std::string& parentWindow,
                        const CancelToken* cancel, std::chrono::milliseconds timeout);

private:
    std::string m_address;
};
