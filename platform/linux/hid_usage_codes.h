#pragma once
// HID usages as Linux input codes: the keyboard page (usage page 0x07) and the consumer usages of the
// media functions, both ways. The key filter names keys by the keyboard's key codes, which are the
// keyboard usages below 232 and 232-249 for the media functions.

#include <cstdint>
#include <span>

// 0 when the usage has no key here.
uint16_t EvdevFromKeyboardUsage(unsigned usage);
uint16_t EvdevFromConsumerUsage(unsigned usage);

// The keyboard's key code of an evdev key (a keyboard usage, or 232-249 for a media function); 0 for
// keys without one. Where two usages share a key (the two backslash keys) the first one is given.
unsigned KeyCodeFromEvdev(unsigned evdevCode);

// Every evdev key the virtual keyboard may send: the keyboard usages' and the consumer usages' keys.
std::span<const uint16_t> VirtualKeyboardEvdevKeys();
