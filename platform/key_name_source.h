#pragma once
// The names the current keyboard layout gives keys: "Enter", "Backspace", "Num 7", "Left Shift", or the
// character a key types on the layout ("Z" for the key beside T on a German layout).

#include "core/wide_text.h"

class KeyNameSource {
public:
    virtual ~KeyNameSource() = default;

    // The name of the key that sends this virtual-key code. The side-neutral Shift, Ctrl and Alt (16, 17,
    // 18) name their left-hand keys; keys that share a scan code with a keypad key (Home, the arrows,
    // Page Up, Insert, Delete, …) name the navigation block, not the keypad. Empty for a code that no
    // key of the layout sends.
    virtual CString KeyName(unsigned virtualKey) const = 0;
};
