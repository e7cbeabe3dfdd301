// Opens KelvoUI's control gallery on the user's display: every standard control, one group per page of a
// tab bar, and a status line with the last notification. Drag the window by any empty spot; close it with
// its button, Escape or the window manager's close. Prints the dialog's result.

#include <clocale>
#include <cstdio>

#include "ui/examples/gallery_dialog.h"
#include "ui/framework/messages.h"
#include "ui/framework/window_system.h"

int main()
{
    // Typed characters reach the input method in the user's encoding.
    std::setlocale(LC_ALL, "");
    if (!WindowSystem::Backend().IsAvailable()) {
        std::fprintf(stderr, "kelvo_demo: no display to open a window on\n");
        return 1;
    }
    GalleryDialog dialog;
    if (!dialog.Create(nullptr, L"KelvoUI gallery", WS_POPUP, 0,
                       CRect(0, 0, GalleryDialog::kWidth, GalleryDialog::kHeight))) {
        std::fprintf(stderr, "kelvo_demo: the window could not be created\n");
        return 1;
    }
    dialog.CenterWindow();
    const unsigned result = dialog.ShowModal(SW_SHOW);
    std::printf("dialog result: %u\n", result);
    return 0;
}
