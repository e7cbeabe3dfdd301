#pragma once
// The characters of a US keyboard layout: letters, digits, punctuation, space, Enter and Tab. Used without
// a display and by tests, which can take single characters away or give them another key.

#include <map>

#include "platform/character_keys.h"

class UsCharacterKeys : public CharacterKeySource {
public:
    std::optional<CharacterKey> KeyFor(char32_t character) const override;

    // Another key for one character; nullopt makes the character untypable.
    void SetKey(char32_t character, std::optional<CharacterKey> key);

private:
    std::map<char32_t, std::optional<CharacterKey>> m_changed;
};

// The US layout's key for a character (no AltGr level); nullopt when it has none.
std::optional<CharacterKey> UsCharacterKey(char32_t character);
