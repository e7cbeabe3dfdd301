#pragma once
// The three number spaces in which the program names keys, and the conversions between them:
//
//   key code         the keyboard's own code: layouts, assignments, macro downloads, the function picker.
//                    4–101 and 104–115 are HID keyboard usages (page 0x07), 224–231 the modifiers,
//                    175 the Fn key, 232–249 media and launch functions, 136–139 carried through as is.
//   virtual key      what hooks, raw input and the custom key dialog see, and what macro records store.
//   consumer usage   what the virtual keyboard sends for a media function (usage page 0x0C).
//
// All functions are pure; the one input from outside is the layout's base key name (KeyNameSource).

#include <span>

#include "core/wide_text.h"

class KeyNameSource;

constexpr unsigned kFnKeyCode = 175;

// The modifier byte of a HID keyboard report, left-hand keys; key combinations are built from it.
constexpr unsigned kModifierCtrl = 0x01;
constexpr unsigned kModifierShift = 0x02;
constexpr unsigned kModifierAlt = 0x04;
constexpr unsigned kModifierWin = 0x08;

// One media or launch function: the key code that stands for it, the consumer usage sent for it, the
// virtual key that converts to it and the language text that describes it in the function picker.
struct MediaFunction {
    unsigned keyCode;
    unsigned consumerUsage;
    unsigned virtualKey;
    int textId;
};

// The eighteen functions, key codes 232 to 249 in order.
std::span<const MediaFunction> MediaFunctions();

// The key code of a virtual key; 0 for a key without one, among them the side-neutral Shift, Ctrl and
// Alt (16, 17, 18), which callers turn into the left-hand keys first.
unsigned VirtualKeyToKeyCode(unsigned virtualKey);

// The consumer usage of a media key code (232–249); 0 for every other code.
unsigned ConsumerUsageOf(unsigned keyCode);

// The browser, volume, media and launch keys (virtual keys 166–183): named by the keyboard hook, never
// recorded.
bool IsMediaVirtualKey(unsigned virtualKey);

// The short caption the custom key dialog shows for a key code ("ENTER", "PG UP", "1"); empty for codes
// without one (50, 100, 231, F13–F24, the media codes, …).
CString KeyCodeShortName(unsigned keyCode);

enum class KeyNameVariant {
    Dialog, // the custom key dialog: F13–F24 and the punctuation keys get fixed names
    Input,  // raw input: side-specific modifier names; Shift, Ctrl and Alt become their left-hand keys
    Hook,   // the keyboard hook: as Input, and the media keys named as well
};

struct NamedKey {
    unsigned virtualKey; // the Input and Hook variants turn 16, 17, 18 into 160, 162, 164
    CString name;
};

// The layout's name for the key with the program's overrides for the variant.
NamedKey VirtualKeyName(unsigned virtualKey, KeyNameVariant variant, const KeyNameSource& names);

// The flags of a low-level keyboard hook event.
constexpr unsigned kHookFlagExtended = 0x01; // the scan code carries the E0 prefix
constexpr unsigned kHookFlagKeyUp = 0x80;

// The keyboard hook's reading of a key event: the keypad digits and decimal point (scan codes 71–83
// without the extended flag) are the keypad keys whatever virtual key Num Lock made of them, and scan
// code 28 with the extended flag is keypad Enter. Only plain events are corrected: flags exactly 0 or
// key-up (1 or key-up plus extended for Enter); any other flag (injected, Alt held) keeps the key.
unsigned KeypadCorrectedKey(unsigned virtualKey, unsigned scanCode, unsigned flags);
