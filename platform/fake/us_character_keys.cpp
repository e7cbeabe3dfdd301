#include "platform/fake/us_character_keys.h"

namespace {

// The keys of the digits row and the punctuation keys: unshifted and shifted character.
struct PunctuationKey {
    uint8_t usage;
    char32_t plain;
    char32_t shifted;
};

constexpr PunctuationKey kPunctuation[] = {
    {30, U'1', U'!'}, {31, U'2', U'@'},  {32, U'3', U'#'}, {33, U'4', U'$'}, {34, U'5', U'%'},
    {35, U'6', U'^'}, {36, U'7', U'&'},  {37, U'8', U'*'}, {38, U'9', U'('}, {39, U'0', U')'},
    {45, U'-', U'_'}, {46, U'=', U'+'},  {47, U'[', U'{'}, {48, U']', U'}'}, {49, U'\\', U'|'},
    {51, U';', U':'}, {52, U'\'', U'"'}, {53, U'`', U'~'}, {54, U',', U'<'}, {55, U'.', U'>'},
    {56, U'/', U'?'},
};

constexpr uint8_t kEnter = 40;
constexpr uint8_t kTab = 43;
constexpr uint8_t kSpace = 44;
constexpr uint8_t kLetterA = 4;

} // namespace

std::optional<CharacterKey> UsCharacterKey(char32_t character)
{
    if (character >= U'a' && character <= U'z')
        return CharacterKey{static_cast<uint8_t>(kLetterA + (character - U'a')), false, false};
    if (character >= U'A' && character <= U'Z')
        return CharacterKey{static_cast<uint8_t>(kLetterA + (character - U'A')), true, false};
    switch (character) {
    case U'\n':
        return CharacterKey{kEnter, false, false};
    case U'\t':
        return CharacterKey{kTab, false, false};
    case U' ':
        return CharacterKey{kSpace, false, false};
    default:
        break;
    }
    for (const PunctuationKey& key : kPunctuation) {
        if (key.plain == character)
            return CharacterKey{key.usage, false, false};
        if (key.shifted == character)
            return CharacterKey{key.usage, true, false};
    }
    return std::nullopt;
}

std::optional<CharacterKey> UsCharacterKeys::KeyFor(char32_t character) const
{
    const auto changed = m_changed.find(character);
    return changed != m_changed.end() ? changed->second : UsCharacterKey(character);
}

void UsCharacterKeys::SetKey(char32_t character, std::optional<CharacterKey> key)
{
    m_changed[character] = key;
}
