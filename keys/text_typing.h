#pragma once
// Typing a text through the virtual keyboard: each character becomes the key (with Shift or AltGr) that
// types it on the layout in use; characters no key types are skipped and counted.

#include <string>
#include <vector>

#include "core/wide_text.h"
#include "platform/character_keys.h"

// Carries out typed keys (the software keys, on the virtual keyboard).
class KeyTyper {
public:
    virtual ~KeyTyper() = default;
    // Presses and releases each key in turn, with its modifiers, without blocking the caller. False
    // when the keys cannot be typed now (no virtual keyboard, or a text is still being typed).
    virtual bool TypeKeys(std::vector<CharacterKey> keys) = 0;
};

struct TypingPlan {
    // At most this many characters of a text are typed.
    static constexpr size_t kMaxCharacters = 4000;

    std::vector<CharacterKey> keys;
    size_t characters = 0; // characters of the text (a CR before LF not counted)
    size_t skipped = 0;    // no key types them
    size_t cut = 0;        // past kMaxCharacters

    // One line for the log: how much was typed and what was left out.
    std::string Summary() const;
};

TypingPlan PlanTyping(const CString& text, const CharacterKeySource& layout);
