#pragma once
// The characters the X server's keymap types, in the layout group in use: for each character the key
// and the levels' modifiers (Shift, AltGr on the right Alt key). The connection is opened on first use,
// so a program that never types a text opens none; keymap and group changes are followed.
//
// Left out: keypad keys (what they type follows Num Lock), characters that need a dead key or a
// compose sequence, and levels reached by any other modifier.

#include <map>
#include <mutex>
#include <string>

#include "platform/character_keys.h"

struct _XDisplay;

class X11CharacterKeys : public CharacterKeySource {
public:
    // `displayName` empty: $DISPLAY.
    explicit X11CharacterKeys(std::string displayName = {});
    ~X11CharacterKeys() override;
    X11CharacterKeys(const X11CharacterKeys&) = delete;
    X11CharacterKeys& operator=(const X11CharacterKeys&) = delete;

    // Without a display (or its keyboard extension) a US layout's key.
    std::optional<CharacterKey> KeyFor(char32_t character) const override;

private:
    bool Connect() const;
    void Rebuild() const;

    const std::string m_displayName;
    mutable std::mutex m_lock;
    mutable _XDisplay* m_display = nullptr;
    mutable bool m_tried = false;
    mutable bool m_stale = true;
    mutable int m_group = -1;
    mutable std::map<char32_t, CharacterKey> m_keys;
};
