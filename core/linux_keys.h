#pragma once
// The one table from Linux input key codes (evdev KEY_*; an X11 keycode is the evdev code + 8) to
// Windows virtual-key codes and set-1 scan codes, for every key of a full-size keyboard and the media
// and launch keys. Pure data and lookups.

#include <cstdint>
#include <optional>
#include <span>

struct LinuxKey {
    uint16_t evdev = 0;    // KEY_* of <linux/input-event-codes.h>
    uint8_t vk = 0;        // side-specific for modifiers (VK_LSHIFT, not VK_SHIFT)
    uint8_t scanCode = 0;  // set-1 make code without its prefix
    bool extended = false; // the make code carries the E0 prefix (Num Lock counts as extended)
};

// Every row of the table, in evdev order. Some evdev codes share a key (the Menu key arrives as either
// KEY_COMPOSE or KEY_MENU), so a virtual key can appear more than once; the first row is the usual one.
std::span<const LinuxKey> LinuxKeyTable();

// The row of an evdev code; nullopt for keys the table does not know.
std::optional<LinuxKey> FindLinuxKey(unsigned evdevCode);

// The first row for a virtual key; nullopt when none.
std::optional<LinuxKey> FindLinuxKeyByVirtualKey(unsigned vk);

// X11 keycodes are evdev codes offset by 8; codes below 8 do not exist.
constexpr std::optional<unsigned> EvdevFromX11Keycode(unsigned keycode)
{
    if (keycode < 8)
        return std::nullopt;
    return keycode - 8;
}
constexpr unsigned X11KeycodeFromEvdev(unsigned evdevCode)
{
    return evdevCode + 8;
}

// The side-neutral key that key messages carry: VK_LSHIFT and VK_RSHIFT become VK_SHIFT, and so on for
// Ctrl and Alt; every other key is returned unchanged.
uint8_t SideNeutralVirtualKey(uint8_t vk);

// What a keypad digit or the keypad decimal point means while Num Lock is off (VK_NUMPAD7 → VK_HOME, …);
// other keys are returned unchanged.
uint8_t KeypadNavigationKey(uint8_t vk);
