#include "keys/text_typing.h"

std::string TypingPlan::Summary() const
{
    std::string line =
        "typing a text: " + std::to_string(keys.size()) + " of " + std::to_string(characters) + " characters";
    if (skipped > 0)
        line += ", " + std::to_string(skipped) + " skipped (no key of the keyboard layout types them)";
    if (cut > 0)
        line += ", " + std::to_string(cut) + " left out past the first " + std::to_string(kMaxCharacters);
    return line;
}

TypingPlan PlanTyping(const CString& text, const CharacterKeySource& layout)
{
    TypingPlan plan;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = static_cast<char32_t>(text[i]);
        if (c == U'\r') {
            // CR LF and a lone CR are one line break each.
            if (i + 1 < text.size() && text[i + 1] == L'\n')
                continue;
            c = U'\n';
        }
        ++plan.characters;
        if (plan.characters > TypingPlan::kMaxCharacters) {
            ++plan.cut;
            continue;
        }
        if (const std::optional<CharacterKey> key = layout.KeyFor(c))
            plan.keys.push_back(*key);
        else
            ++plan.skipped;
    }
    return plan;
}
