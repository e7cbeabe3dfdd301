#pragma once
// Key names from the X server's keymap, in the layout group in use at the time of the call: the key's
// symbol made readable ("Return" → "Enter", "KP_Home" → "Num 7", "Shift_L" → "Left Shift") or the
// character it types, in capitals ("z" → "Z", "odiaeresis" → "Ö"). Keymap and group changes are
// followed. Virtual keys reach X keycodes through the Linux key table (X keycode = evdev code + 8).

#include <memory>
#include <mutex>

#include "platform/key_name_source.h"

struct _XDisplay;

class X11KeyNames : public KeyNameSource {
public:
    // A connection of its own to the display (null: $DISPLAY). Null when none can be opened or the
    // server lacks the keyboard extension; the caller then uses FixedKeyNames.
    static std::unique_ptr<X11KeyNames> Open(const char* displayName = nullptr);
    ~X11KeyNames() override;
    X11KeyNames(const X11KeyNames&) = delete;
    X11KeyNames& operator=(const X11KeyNames&) = delete;

    // Any thread; calls are serialised on the connection.
    CString KeyName(unsigned virtualKey) const override;

private:
    explicit X11KeyNames(_XDisplay* display);

    _XDisplay* m_display;
    mutable std::mutex m_lock;
};
