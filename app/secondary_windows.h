#pragma once
// Closes the program's passing windows before something takes over the screen (the closing options,
// the macro page): the closing options, the custom key dialog, message boxes (as refused), wait
// dialogs and menus are asked to close; the key tip and a combo box's drop-down are hidden.

void CloseSecondaryWindows();
