#include "core/linux_keys.h"

#include <algorithm>
#include <array>
#include <linux/input-event-codes.h>

#include "core/virtual_keys.h"

namespace {

constexpr bool E0 = true;

// Scan codes follow the USB HID to PS/2 set-1 translation table; Pause's E1 1D 45 sequence is reported
// as 0x45 without the extended flag, Num Lock as 0x45 with it.
constexpr LinuxKey kKeys[] = {
    {KEY_ESC, VK_ESCAPE, 0x01},
    {KEY_1, '1', 0x02},
    {KEY_2, '2', 0x03},
    {KEY_3, '3', 0x04},
    {KEY_4, '4', 0x05},
    {KEY_5, '5', 0x06},
    {KEY_6, '6', 0x07},
    {KEY_7, '7', 0x08},
    {KEY_8, '8', 0x09},
    {KEY_9, '9', 0x0A},
    {KEY_0, '0', 0x0B},
    {KEY_MINUS, VK_OEM_MINUS, 0x0C},
    {KEY_EQUAL, VK_OEM_PLUS, 0x0D},
    {KEY_BACKSPACE, VK_BACK, 0x0E},
    {KEY_TAB, VK_TAB, 0x0F},
    {KEY_Q, 'Q', 0x10},
    {KEY_W, 'W', 0x11},
    {KEY_E, 'E', 0x12},
    {KEY_R, 'R', 0x13},
    {KEY_T, 'T', 0x14},
    {KEY_Y, 'Y', 0x15},
    {KEY_U, 'U', 0x16},
    {KEY_I, 'I', 0x17},
    {KEY_O, 'O', 0x18},
    {KEY_P, 'P', 0x19},
    {KEY_LEFTBRACE, VK_OEM_4, 0x1A},
    {KEY_RIGHTBRACE, VK_OEM_6, 0x1B},
    {KEY_ENTER, VK_RETURN, 0x1C},
    {KEY_LEFTCTRL, VK_LCONTROL, 0x1D},
    {KEY_A, 'A', 0x1E},
    {KEY_S, 'S', 0x1F},
    {KEY_D, 'D', 0x20},
    {KEY_F, 'F', 0x21},
    {KEY_G, 'G', 0x22},
    {KEY_H, 'H', 0x23},
    {KEY_J, 'J', 0x24},
    {KEY_K, 'K', 0x25},
    {KEY_L, 'L', 0x26},
    {KEY_SEMICOLON, VK_OEM_1, 0x27},
    {KEY_APOSTROPHE, VK_OEM_7, 0x28},
    {KEY_GRAVE, VK_OEM_3, 0x29},
    {KEY_LEFTSHIFT, VK_LSHIFT, 0x2A},
    {KEY_BACKSLASH, VK_OEM_5, 0x2B},
    {KEY_Z, 'Z', 0x2C},
    {KEY_X, 'X', 0x2D},
    {KEY_C, 'C', 0x2E},
    {KEY_V, 'V', 0x2F},
    {KEY_B, 'B', 0x30},
    {KEY_N, 'N', 0x31},
    {KEY_M, 'M', 0x32},
    {KEY_COMMA, VK_OEM_COMMA, 0x33},
    {KEY_DOT, VK_OEM_PERIOD, 0x34},
    {KEY_SLASH, VK_OEM_2, 0x35},
    {KEY_RIGHTSHIFT, VK_RSHIFT, 0x36},
    {KEY_KPASTERISK, VK_MULTIPLY, 0x37},
    {KEY_LEFTALT, VK_LMENU, 0x38},
    {KEY_SPACE, VK_SPACE, 0x39},
    {KEY_CAPSLOCK, VK_CAPITAL, 0x3A},
    {KEY_F1, VK_F1, 0x3B},
    {KEY_F2, VK_F1 + 1, 0x3C},
    {KEY_F3, VK_F1 + 2, 0x3D},
    {KEY_F4, VK_F1 + 3, 0x3E},
    {KEY_F5, VK_F1 + 4, 0x3F},
    {KEY_F6, VK_F1 + 5, 0x40},
    {KEY_F7, VK_F1 + 6, 0x41},
    {KEY_F8, VK_F1 + 7, 0x42},
    {KEY_F9, VK_F1 + 8, 0x43},
    {KEY_F10, VK_F1 + 9, 0x44},
    {KEY_NUMLOCK, VK_NUMLOCK, 0x45, E0},
    {KEY_SCROLLLOCK, VK_SCROLL, 0x46},
    {KEY_KP7, VK_NUMPAD0 + 7, 0x47},
    {KEY_KP8, VK_NUMPAD0 + 8, 0x48},
    {KEY_KP9, VK_NUMPAD0 + 9, 0x49},
    {KEY_KPMINUS, VK_SUBTRACT, 0x4A},
    {KEY_KP4, VK_NUMPAD0 + 4, 0x4B},
    {KEY_KP5, VK_NUMPAD0 + 5, 0x4C},
    {KEY_KP6, VK_NUMPAD0 + 6, 0x4D},
    {KEY_KPPLUS, VK_ADD, 0x4E},
    {KEY_KP1, VK_NUMPAD0 + 1, 0x4F},
    {KEY_KP2, VK_NUMPAD0 + 2, 0x50},
    {KEY_KP3, VK_NUMPAD0 + 3, 0x51},
    {KEY_KP0, VK_NUMPAD0, 0x52},
    {KEY_KPDOT, VK_DECIMAL, 0x53},
    {KEY_102ND, VK_OEM_102, 0x56},
    {KEY_F11, VK_F1 + 10, 0x57},
    {KEY_F12, VK_F1 + 11, 0x58},
    {KEY_KPENTER, VK_RETURN, 0x1C, E0},
    {KEY_RIGHTCTRL, VK_RCONTROL, 0x1D, E0},
    {KEY_KPSLASH, VK_DIVIDE, 0x35, E0},
    {KEY_SYSRQ, VK_SNAPSHOT, 0x37, E0},
    {KEY_RIGHTALT, VK_RMENU, 0x38, E0},
    {KEY_HOME, VK_HOME, 0x47, E0},
    {KEY_UP, VK_UP, 0x48, E0},
    {KEY_PAGEUP, VK_PRIOR, 0x49, E0},
    {KEY_LEFT, VK_LEFT, 0x4B, E0},
    {KEY_RIGHT, VK_RIGHT, 0x4D, E0},
    {KEY_END, VK_END, 0x4F, E0},
    {KEY_DOWN, VK_DOWN, 0x50, E0},
    {KEY_PAGEDOWN, VK_NEXT, 0x51, E0},
    {KEY_INSERT, VK_INSERT, 0x52, E0},
    {KEY_DELETE, VK_DELETE, 0x53, E0},
    {KEY_MUTE, VK_VOLUME_MUTE, 0x20, E0},
    {KEY_VOLUMEDOWN, VK_VOLUME_DOWN, 0x2E, E0},
    {KEY_VOLUMEUP, VK_VOLUME_UP, 0x30, E0},
    {KEY_PAUSE, VK_PAUSE, 0x45},
    {KEY_LEFTMETA, VK_LWIN, 0x5B, E0},
    {KEY_RIGHTMETA, VK_RWIN, 0x5C, E0},
    {KEY_COMPOSE, VK_APPS, 0x5D, E0},
    {KEY_STOP, VK_BROWSER_STOP, 0x68, E0},
    {KEY_MENU, VK_APPS, 0x5D, E0},
    {KEY_CALC, VK_LAUNCH_APP2, 0x21, E0},
    {KEY_SLEEP, VK_SLEEP, 0x5F, E0},
    {KEY_FILE, VK_LAUNCH_APP1, 0x6B, E0}, // USB "local machine browser"
    {KEY_MAIL, VK_LAUNCH_MAIL, 0x6C, E0},
    {KEY_BOOKMARKS, VK_BROWSER_FAVORITES, 0x66, E0},
    {KEY_COMPUTER, VK_LAUNCH_APP1, 0x6B, E0}, // PS/2 "my computer"
    {KEY_BACK, VK_BROWSER_BACK, 0x6A, E0},
    {KEY_FORWARD, VK_BROWSER_FORWARD, 0x69, E0},
    {KEY_NEXTSONG, VK_MEDIA_NEXT_TRACK, 0x19, E0},
    {KEY_PLAYPAUSE, VK_MEDIA_PLAY_PAUSE, 0x22, E0},
    {KEY_PREVIOUSSONG, VK_MEDIA_PREV_TRACK, 0x10, E0},
    {KEY_STOPCD, VK_MEDIA_STOP, 0x24, E0},
    {KEY_CONFIG, VK_LAUNCH_MEDIA_SELECT, 0x6D, E0}, // USB "consumer control configuration"
    {KEY_HOMEPAGE, VK_BROWSER_HOME, 0x32, E0},
    {KEY_REFRESH, VK_BROWSER_REFRESH, 0x67, E0},
    {KEY_F13, VK_F1 + 12, 0x64},
    {KEY_F14, VK_F1 + 13, 0x65},
    {KEY_F15, VK_F1 + 14, 0x66},
    {KEY_F16, VK_F1 + 15, 0x67},
    {KEY_F17, VK_F1 + 16, 0x68},
    {KEY_F18, VK_F1 + 17, 0x69},
    {KEY_F19, VK_F1 + 18, 0x6A},
    {KEY_F20, VK_F1 + 19, 0x6B},
    {KEY_F21, VK_F1 + 20, 0x6C},
    {KEY_F22, VK_F1 + 21, 0x6D},
    {KEY_F23, VK_F1 + 22, 0x6E},
    {KEY_F24, VK_F1 + 23, 0x76},
    {KEY_SEARCH, VK_BROWSER_SEARCH, 0x65, E0},
    {KEY_MEDIA, VK_LAUNCH_MEDIA_SELECT, 0x6D, E0}, // PS/2 "media select"
};

constexpr bool SortedByEvdev()
{
    for (size_t i = 1; i < std::size(kKeys); ++i) {
        if (kKeys[i - 1].evdev >= kKeys[i].evdev)
            return false;
    }
    return true;
}
static_assert(SortedByEvdev(), "the key table is searched by evdev code");

} // namespace

std::span<const LinuxKey> LinuxKeyTable()
{
    return kKeys;
}

std::optional<LinuxKey> FindLinuxKey(unsigned evdevCode)
{
    const auto it = std::lower_bound(std::begin(kKeys), std::end(kKeys), evdevCode,
                                     [](const LinuxKey& k, unsigned code) { return k.evdev < code; });
    if (it == std::end(kKeys) || it->evdev != evdevCode)
        return std::nullopt;
    return *it;
}

std::optional<LinuxKey> FindLinuxKeyByVirtualKey(unsigned vk)
{
    // Prefer the non-keypad Enter and the USB spelling of duplicated keys, which come first in
    // keyboard order rather than evdev order.
    static constexpr unsigned kPreferred[] = {KEY_ENTER, KEY_COMPOSE, KEY_CONFIG, KEY_FILE};
    for (unsigned code : kPreferred) {
        const auto key = FindLinuxKey(code);
        if (key && key->vk == vk)
            return key;
    }
    const auto it =
        std::find_if(std::begin(kKeys), std::end(kKeys), [vk](const LinuxKey& k) { return k.vk == vk; });
    if (it == std::end(kKeys))
        return std::nullopt;
    return *it;
}

uint8_t SideNeutralVirtualKey(uint8_t vk)
{
    switch (vk) {
    case VK_LSHIFT:
    case VK_RSHIFT:
        return VK_SHIFT;
    case VK_LCONTROL:
    case VK_RCONTROL:
        return VK_CONTROL;
    case VK_LMENU:
    case VK_RMENU:
        return VK_MENU;
    default:
        return vk;
    }
}

uint8_t KeypadNavigationKey(uint8_t vk)
{
    static constexpr std::array<uint8_t, 10> kDigits = {VK_INSERT, VK_END,   VK_DOWN, VK_NEXT, VK_LEFT,
                                                        VK_CLEAR,  VK_RIGHT, VK_HOME, VK_UP,   VK_PRIOR};
    if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD0 + 9)
        return kDigits[vk - VK_NUMPAD0];
    if (vk == VK_DECIMAL)
        return VK_DELETE;
    return vk;
}
