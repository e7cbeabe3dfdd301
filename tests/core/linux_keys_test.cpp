#include "core/linux_keys.h"

#include <gtest/gtest.h>
#include <linux/input-event-codes.h>
#include <map>
#include <set>
#include <utility>

#include "core/virtual_keys.h"

namespace {

struct KeyCase {
    unsigned evdev;
    unsigned vk;
    unsigned scan;
    bool extended;
};

// One or more keys of every group of a full-size keyboard and of the media and launch keys.
const KeyCase kKeys[] = {
    {KEY_A, 'A', 0x1E, false},
    {KEY_Q, 'Q', 0x10, false},
    {KEY_Z, 'Z', 0x2C, false},
    {KEY_M, 'M', 0x32, false},
    {KEY_1, '1', 0x02, false},
    {KEY_0, '0', 0x0B, false},
    {KEY_ESC, VK_ESCAPE, 0x01, false},
    {KEY_GRAVE, VK_OEM_3, 0x29, false},
    {KEY_MINUS, VK_OEM_MINUS, 0x0C, false},
    {KEY_EQUAL, VK_OEM_PLUS, 0x0D, false},
    {KEY_BACKSPACE, VK_BACK, 0x0E, false},
    {KEY_TAB, VK_TAB, 0x0F, false},
    {KEY_LEFTBRACE, VK_OEM_4, 0x1A, false},
    {KEY_RIGHTBRACE, VK_OEM_6, 0x1B, false},
    {KEY_BACKSLASH, VK_OEM_5, 0x2B, false},
    {KEY_CAPSLOCK, VK_CAPITAL, 0x3A, false},
    {KEY_SEMICOLON, VK_OEM_1, 0x27, false},
    {KEY_APOSTROPHE, VK_OEM_7, 0x28, false},
    {KEY_ENTER, VK_RETURN, 0x1C, false},
    {KEY_COMMA, VK_OEM_COMMA, 0x33, false},
    {KEY_DOT, VK_OEM_PERIOD, 0x34, false},
    {KEY_SLASH, VK_OEM_2, 0x35, false},
    {KEY_102ND, VK_OEM_102, 0x56, false},
    {KEY_SPACE, VK_SPACE, 0x39, false},
    {KEY_F1, VK_F1, 0x3B, false},
    {KEY_F10, VK_F10, 0x44, false},
    {KEY_F11, VK_F1 + 10, 0x57, false},
    {KEY_F12, VK_F1 + 11, 0x58, false},
    {KEY_F13, VK_F1 + 12, 0x64, false},
    {KEY_F23, VK_F1 + 22, 0x6E, false},
    {KEY_F24, VK_F24, 0x76, false},
    {KEY_SYSRQ, VK_SNAPSHOT, 0x37, true},
    {KEY_SCROLLLOCK, VK_SCROLL, 0x46, false},
    {KEY_PAUSE, VK_PAUSE, 0x45, false},
    {KEY_INSERT, VK_INSERT, 0x52, true},
    {KEY_HOME, VK_HOME, 0x47, true},
    {KEY_PAGEUP, VK_PRIOR, 0x49, true},
    {KEY_DELETE, VK_DELETE, 0x53, true},
    {KEY_END, VK_END, 0x4F, true},
    {KEY_PAGEDOWN, VK_NEXT, 0x51, true},
    {KEY_UP, VK_UP, 0x48, true},
    {KEY_LEFT, VK_LEFT, 0x4B, true},
    {KEY_DOWN, VK_DOWN, 0x50, true},
    {KEY_RIGHT, VK_RIGHT, 0x4D, true},
    {KEY_NUMLOCK, VK_NUMLOCK, 0x45, true},
    {KEY_KPSLASH, VK_DIVIDE, 0x35, true},
    {KEY_KPASTERISK, VK_MULTIPLY, 0x37, false},
    {KEY_KPMINUS, VK_SUBTRACT, 0x4A, false},
    {KEY_KPPLUS, VK_ADD, 0x4E, false},
    {KEY_KPENTER, VK_RETURN, 0x1C, true},
    {KEY_KP0, VK_NUMPAD0, 0x52, false},
    {KEY_KP5, VK_NUMPAD0 + 5, 0x4C, false},
    {KEY_KP9, VK_NUMPAD0 + 9, 0x49, false},
    {KEY_KPDOT, VK_DECIMAL, 0x53, false},
    {KEY_LEFTCTRL, VK_LCONTROL, 0x1D, false},
    {KEY_RIGHTCTRL, VK_RCONTROL, 0x1D, true},
    {KEY_LEFTSHIFT, VK_LSHIFT, 0x2A, false},
    {KEY_RIGHTSHIFT, VK_RSHIFT, 0x36, false},
    {KEY_LEFTALT, VK_LMENU, 0x38, false},
    {KEY_RIGHTALT, VK_RMENU, 0x38, true},
    {KEY_LEFTMETA, VK_LWIN, 0x5B, true},
    {KEY_RIGHTMETA, VK_RWIN, 0x5C, true},
    {KEY_COMPOSE, VK_APPS, 0x5D, true},
    {KEY_MUTE, VK_VOLUME_MUTE, 0x20, true},
    {KEY_VOLUMEDOWN, VK_VOLUME_DOWN, 0x2E, true},
    {KEY_VOLUMEUP, VK_VOLUME_UP, 0x30, true},
    {KEY_PLAYPAUSE, VK_MEDIA_PLAY_PAUSE, 0x22, true},
    {KEY_STOPCD, VK_MEDIA_STOP, 0x24, true},
    {KEY_NEXTSONG, VK_MEDIA_NEXT_TRACK, 0x19, true},
    {KEY_PREVIOUSSONG, VK_MEDIA_PREV_TRACK, 0x10, true},
    {KEY_MAIL, VK_LAUNCH_MAIL, 0x6C, true},
    {KEY_CONFIG, VK_LAUNCH_MEDIA_SELECT, 0x6D, true},
    {KEY_CALC, VK_LAUNCH_APP2, 0x21, true},
    {KEY_COMPUTER, VK_LAUNCH_APP1, 0x6B, true},
    {KEY_HOMEPAGE, VK_BROWSER_HOME, 0x32, true},
    {KEY_BACK, VK_BROWSER_BACK, 0x6A, true},
    {KEY_FORWARD, VK_BROWSER_FORWARD, 0x69, true},
    {KEY_STOP, VK_BROWSER_STOP, 0x68, true},
    {KEY_REFRESH, VK_BROWSER_REFRESH, 0x67, true},
    {KEY_SEARCH, VK_BROWSER_SEARCH, 0x65, true},
    {KEY_BOOKMARKS, VK_BROWSER_FAVORITES, 0x66, true},
};

TEST(LinuxKeys, EveryKeyMapsToItsVirtualKeyAndScanCode)
{
    for (const KeyCase& c : kKeys) {
        SCOPED_TRACE(c.evdev);
        const auto key = FindLinuxKey(c.evdev);
        ASSERT_TRUE(key.has_value());
        EXPECT_EQ(key->vk, c.vk);
        EXPECT_EQ(key->scanCode, c.scan);
        EXPECT_EQ(key->extended, c.extended);
    }
}

TEST(LinuxKeys, LettersDigitsAndFunctionKeysAreComplete)
{
    std::set<unsigned> vks;
    for (const LinuxKey& k : LinuxKeyTable())
        vks.insert(k.vk);
    for (unsigned vk = 'A'; vk <= 'Z'; ++vk)
        EXPECT_TRUE(vks.contains(vk)) << static_cast<char>(vk);
    for (unsigned vk = '0'; vk <= '9'; ++vk)
        EXPECT_TRUE(vks.contains(vk)) << static_cast<char>(vk);
    for (unsigned vk = VK_F1; vk <= VK_F24; ++vk)
        EXPECT_TRUE(vks.contains(vk)) << "F" << vk - VK_F1 + 1;
    for (unsigned vk = VK_NUMPAD0; vk <= VK_NUMPAD0 + 9u; ++vk)
        EXPECT_TRUE(vks.contains(vk)) << "keypad " << vk - VK_NUMPAD0;
    for (unsigned vk = VK_BROWSER_BACK; vk <= VK_LAUNCH_APP2; ++vk)
        EXPECT_TRUE(vks.contains(vk)) << "media " << vk;
}

TEST(LinuxKeys, KeysSharingAScanCodeAreTheSameKey)
{
    // Different physical keys must differ in scan code or extended flag; only the spellings of one key
    // (USB and PS/2 media keys, Menu) may share both.
    std::map<std::pair<unsigned, bool>, unsigned> seen;
    for (const LinuxKey& k : LinuxKeyTable()) {
        const auto [it, inserted] = seen.emplace(std::make_pair(k.scanCode, k.extended), k.vk);
        EXPECT_TRUE(inserted || it->second == k.vk) << "evdev " << k.evdev << " shares scan " << k.scanCode;
    }
}

TEST(LinuxKeys, LookupsAndHelpers)
{
    EXPECT_FALSE(FindLinuxKey(0).has_value());
    EXPECT_FALSE(FindLinuxKey(KEY_MAX).has_value());
    EXPECT_EQ(EvdevFromX11Keycode(38), std::optional<unsigned>(KEY_A));
    EXPECT_FALSE(EvdevFromX11Keycode(7).has_value());
    EXPECT_EQ(X11KeycodeFromEvdev(KEY_A), 38u);

    // The main Enter, not the keypad one; the usual spelling of the Menu key.
    EXPECT_EQ(FindLinuxKeyByVirtualKey(VK_RETURN)->evdev, KEY_ENTER);
    EXPECT_EQ(FindLinuxKeyByVirtualKey(VK_APPS)->evdev, KEY_COMPOSE);
    EXPECT_EQ(FindLinuxKeyByVirtualKey('C')->evdev, KEY_C);
    EXPECT_FALSE(FindLinuxKeyByVirtualKey(0xFF).has_value());

    const std::pair<uint8_t, uint8_t> neutral[] = {
        {VK_LSHIFT, VK_SHIFT}, {VK_RSHIFT, VK_SHIFT}, {VK_LCONTROL, VK_CONTROL}, {VK_RCONTROL, VK_CONTROL},
        {VK_LMENU, VK_MENU},   {VK_RMENU, VK_MENU},   {VK_LWIN, VK_LWIN},        {'A', 'A'}};
    for (const auto& [in, out] : neutral)
        EXPECT_EQ(SideNeutralVirtualKey(in), out) << int(in);

    const std::pair<uint8_t, uint8_t> keypad[] = {{VK_NUMPAD0, VK_INSERT},
                                                  {VK_NUMPAD0 + 1, VK_END},
                                                  {VK_NUMPAD0 + 2, VK_DOWN},
                                                  {VK_NUMPAD0 + 3, VK_NEXT},
                                                  {VK_NUMPAD0 + 4, VK_LEFT},
                                                  {VK_NUMPAD0 + 5, VK_CLEAR},
                                                  {VK_NUMPAD0 + 6, VK_RIGHT},
                                                  {VK_NUMPAD0 + 7, VK_HOME},
                                                  {VK_NUMPAD0 + 8, VK_UP},
                                                  {VK_NUMPAD0 + 9, VK_PRIOR},
                                                  {VK_DECIMAL, VK_DELETE},
                                                  {VK_ADD, VK_ADD},
                                                  {'7', '7'}};
    for (const auto& [in, out] : keypad)
        EXPECT_EQ(KeypadNavigationKey(in), out) << int(in);
}

} // namespace
