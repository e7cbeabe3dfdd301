#pragma once
// Which key of the current keyboard layout types a character: the keyboard usage (HID usage page 0x07)
// and the modifiers to hold with it. Typing a text through the virtual keyboard asks this for each
// character; a character no key types (one that needs a dead key, or a script the layout lacks) has none.

#include <cstdint>
#include <optional>

struct CharacterKey {
    uint8_t usage = 0;  // keyboard usage, 4-231
    bool shift = false; // left Shift held
    bool altGr = false; // right Alt (AltGr) held

    bool operator==(const CharacterKey&) const = default;
};

class CharacterKeySource {
public:
    // Usages of the modifiers a CharacterKey holds.
    static constexpr uint8_t kLeftShiftUsage = 0xE1;
    static constexpr uint8_t kRightAltUsage = 0xE6;

    virtual ~CharacterKeySource() = default;

    // The key typing `character` on the layout in use now; nullopt when none does. Any thread.
    virtual std::optional<CharacterKey> KeyFor(char32_t character) const = 0;
};
