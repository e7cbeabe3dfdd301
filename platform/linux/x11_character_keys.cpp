#include "platform/linux/x11_character_keys.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon.h>

#include "platform/fake/us_character_keys.h"
#include "platform/linux/hid_usage_codes.h"

namespace {

constexpr uint8_t kEnterUsage = 40;
constexpr uint8_t kTabUsage = 43;
constexpr unsigned kFirstKeypadUsage = 84;
constexpr unsigned kLastKeypadUsage = 99;
constexpr unsigned kFirstModifierUsage = 224;
constexpr unsigned kExtraKeyUsage = 100; // the key left of Z on ISO keyboards

// The real modifier that pressing the right Alt key sets when it is the layout's AltGr (level 3); 0
// otherwise. Keymaps bind the modifier to ISO_Level3_Shift on whichever key the modifier map names
// (often a key of its own, not the right Alt key itself).
unsigned AltGrMask(XkbDescPtr xkb, int group)
{
    const unsigned rightAlt = KEY_RIGHTALT + 8;
    const auto levelZero = [&](unsigned keycode) -> KeySym {
        const int groups = XkbKeyNumGroups(xkb, keycode);
        if (groups == 0)
            return NoSymbol;
        return XkbKeySymEntry(xkb, keycode, 0, group < groups ? group : 0);
    };
    if (rightAlt < xkb->min_key_code || rightAlt > xkb->max_key_code ||
        levelZero(rightAlt) != XK_ISO_Level3_Shift || !xkb->map->modmap)
        return 0;
    for (unsigned keycode = xkb->min_key_code; keycode <= xkb->max_key_code; ++keycode) {
        if (xkb->map->modmap[keycode] != 0 && levelZero(keycode) == XK_ISO_Level3_Shift)
            return xkb->map->modmap[keycode];
    }
    return 0;
}

// The modifier mask that selects `level` of a key type: 0 for the first level, else the mask of the
// type's first entry for it; nullopt when no entry does.
std::optional<unsigned> LevelMask(const XkbKeyTypeRec& type, int level)
{
    if (level == 0)
        return 0u;
    for (int i = 0; i < type.map_count; ++i) {
        const XkbKTMapEntryRec& entry = type.map[i];
        if (entry.active && entry.level == level)
            return static_cast<unsigned>(entry.mods.mask);
    }
    return std::nullopt;
}

} // namespace

X11CharacterKeys::X11CharacterKeys(std::string displayName) : m_displayName(std::move(displayName)) {}

X11CharacterKeys::~X11CharacterKeys()
{
    if (m_display)
        XCloseDisplay(m_display);
}

bool X11CharacterKeys::Connect() const
{
    if (m_display || m_tried)
        return m_display != nullptr;
    m_tried = true;
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    int reason = 0;
    m_display = XkbOpenDisplay(m_displayName.empty() ? nullptr : const_cast<char*>(m_displayName.c_str()),
                               nullptr, nullptr, &major, &minor, &reason);
    if (!m_display)
        return false;
    // Map and group changes arrive as events; any of them makes the table stale.
    XkbSelectEvents(m_display, XkbUseCoreKbd, XkbMapNotifyMask | XkbNewKeyboardNotifyMask,
                    XkbMapNotifyMask | XkbNewKeyboardNotifyMask);
    return true;
}

void X11CharacterKeys::Rebuild() const
{
    m_keys.clear();
    XkbDescPtr xkb =
        XkbGetMap(m_display, XkbKeyTypesMask | XkbKeySymsMask | XkbModifierMapMask, XkbUseCoreKbd);
    if (!xkb)
        return;
    const unsigned altGr = AltGrMask(xkb, m_group);
    // Lower levels first, so a character on several keys takes the one needing fewest modifiers; the
    // key beside left Shift last, as ANSI keyboards lack it and some desktops ignore it.
    for (int pass = 0; pass < 8; ++pass) {
        const int level = pass % 4;
        const bool extraKey = pass >= 4;
        for (unsigned keycode = xkb->min_key_code; keycode <= xkb->max_key_code; ++keycode) {
            const int groups = XkbKeyNumGroups(xkb, keycode);
            if (groups == 0 || keycode < 8)
                continue;
            const unsigned usage = KeyCodeFromEvdev(keycode - 8);
            if (usage == 0 || usage >= kFirstModifierUsage ||
                (usage >= kFirstKeypadUsage && usage <= kLastKeypadUsage) ||
                (usage == kExtraKeyUsage) != extraKey)
                continue;
            const int group = m_group < groups ? m_group : 0;
            const XkbKeyTypePtr type = XkbKeyKeyType(xkb, keycode, group);
            if (!type || level >= type->num_levels)
                continue;
            const std::optional<unsigned> mask = LevelMask(*type, level);
            if (!mask)
                continue;
            const bool shift = (*mask & ShiftMask) != 0;
            const bool level3 = altGr != 0 && (*mask & altGr) == altGr;
            if ((*mask & ~static_cast<unsigned>(ShiftMask) & ~(level3 ? altGr : 0u)) != 0)
                continue; // reached through another modifier
            const KeySym symbol = XkbKeySymEntry(xkb, keycode, level, group);
            const uint32_t character = xkb_keysym_to_utf32(static_cast<xkb_keysym_t>(symbol));
            if (character < 0x20 || character == 0x7F)
                continue;
            m_keys.emplace(static_cast<char32_t>(character),
                           CharacterKey{static_cast<uint8_t>(usage), shift, level3});
        }
    }
    XkbFreeKeyboard(xkb, 0, True);
}

std::optional<CharacterKey> X11CharacterKeys::KeyFor(char32_t character) const
{
    if (character == U'\n')
        return CharacterKey{kEnterUsage, false, false};
    if (character == U'\t')
        return CharacterKey{kTabUsage, false, false};
    std::lock_guard lock(m_lock);
    if (!Connect())
        return UsCharacterKey(character);
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
        m_stale = true;
    }
    XkbStateRec state{};
    XkbGetState(m_display, XkbUseCoreKbd, &state);
    if (state.group != m_group) {
        m_group = state.group;
        m_stale = true;
    }
    if (m_stale) {
        Rebuild();
        m_stale = false;
    }
    const auto found = m_keys.find(character);
    if (found == m_keys.end())
        return std::nullopt;
    return found->second;
}
