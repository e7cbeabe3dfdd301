#pragma once
// The picture of a keyboard, drawn from its layout file: the case as large as the `Keyboard` element's
// width and height, and one keycap on every key's `rect` with the key's `name` as its legend. A key's
// `icon` (a skin file) is drawn under its legend as the keyboard view draws it; the optional `fn`
// attribute, which only this picture reads, prints the key's Fn-layer function on the keycap's front:
// a skin picture when it names a .png, else text.

#include <string>

// Writes to `out`, or to the skin's "keyboard" folder under the layout's `image` name when `out` is empty.
// False, with the reason printed, when the layout cannot be read, has no size or image name, or the
// picture cannot be written.
bool DrawKeyboardPicture(const std::string& layoutFile, const std::string& skinFolder,
                         const std::string& out);
