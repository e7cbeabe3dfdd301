#include "platform/linux/x11_key_names.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <linux/input-event-codes.h>
#include <xkbcommon/xkbcommon.h>

#include <optional>

#include "core/linux_keys.h"
#include "platform/us_key_names.h"

namespace {

// The side-neutral modifiers and the keypad keys that only the keypad correction produces have no row of
// their own in the key table.
struct ExtraKey {
    unsigned virtualKey;
    unsigned evdev;
};
constexpr ExtraKey kExtraKeys[] = {
    {16, KEY_LEFTSHIFT}, {17, KEY_LEFTCTRL}, {18, KEY_LEFTALT}, {12, KEY_KP5}, {108, KEY_KPENTER},
};

// Page Up to Delete share their scan codes with keypad keys; the name is the navigation block's.
bool IsNavigationKey(unsigned virtualKey)
{
    return virtualKey >= 33 && virtualKey <= 46 && !(virtualKey >= 41 && virtualKey <= 44);
}

std::optional<unsigned> EvdevOf(unsigned virtualKey)
{
    for (const ExtraKey& extra : kExtraKeys) {
        if (extra.virtualKey == virtualKey)
            return extra.evdev;
    }
    std::optional<unsigned> first;
    for (const LinuxKey& key : LinuxKeyTable()) {
        if (key.vk != virtualKey)
            continue;
        if (!IsNavigationKey(virtualKey) || key.extended)
            return key.evdev;
        if (!first)
            first = key.evdev;
    }
    return first;
}

struct SymbolName {
    KeySym symbol;
    const wchar_t* name;
};

constexpr SymbolName kSymbolNames[] = {
    {XK_Return, L"Enter"},
    {XK_BackSpace, L"Backspace"},
    {XK_Tab, L"Tab"},
    {XK_ISO_Left_Tab, L"Tab"},
    {XK_Escape, L"Esc"},
    {XK_space, L"Space"},
    {XK_Caps_Lock, L"Caps Lock"},
    {XK_Shift_L, L"Left Shift"},
    {XK_Shift_R, L"Right Shift"},
    {XK_Control_L, L"Left Ctrl"},
    {XK_Control_R, L"Right Ctrl"},
    {XK_Alt_L, L"Left Alt"},
    {XK_Meta_L, L"Left Alt"},
    {XK_Alt_R, L"Right Alt"},
    {XK_Meta_R, L"Right Alt"},
    {XK_ISO_Level3_Shift, L"AltGr"},
    {XK_Mode_switch, L"AltGr"},
    {XK_Super_L, L"Left Windows"},
    {XK_Super_R, L"Right Windows"},
    {XK_Menu, L"Application"},
    {XK_Print, L"Print Screen"},
    {XK_Scroll_Lock, L"Scroll Lock"},
    {XK_Pause, L"Pause"},
    {XK_Break, L"Pause"},
    {XK_Insert, L"Insert"},
    {XK_Delete, L"Delete"},
    {XK_Home, L"Home"},
    {XK_End, L"End"},
    {XK_Prior, L"Page Up"},
    {XK_Next, L"Page Down"},
    {XK_Left, L"Left"},
    {XK_Up, L"Up"},
    {XK_Right, L"Right"},
    {XK_Down, L"Down"},
    {XK_Num_Lock, L"Num Lock"},
    {XK_KP_Divide, L"Num /"},
    {XK_KP_Multiply, L"Num *"},
    {XK_KP_Subtract, L"Num -"},
    {XK_KP_Add, L"Num +"},
    {XK_KP_Enter, L"Num Enter"},
};

// Dead keys name the accent they put on the next letter.
constexpr SymbolName kDeadKeyNames[] = {
    {XK_dead_grave, L"`"},          {XK_dead_acute, L"\u00B4"},
    {XK_dead_circumflex, L"^"},     {XK_dead_tilde, L"~"},
    {XK_dead_diaeresis, L"\u00A8"}, {XK_dead_cedilla, L"\u00B8"},
    {XK_dead_caron, L"\u02C7"},     {XK_dead_abovering, L"\u00B0"},
    {XK_dead_ogonek, L"\u02DB"},    {XK_dead_doubleacute, L"\u02DD"},
    {XK_dead_breve, L"\u02D8"},     {XK_dead_abovedot, L"\u02D9"},
    {XK_dead_macron, L"\u00AF"},
};

const wchar_t* FindSymbolName(std::span<const SymbolName> names, KeySym symbol)
{
    for (const SymbolName& entry : names) {
        if (entry.symbol == symbol)
            return entry.name;
    }
    return nullptr;
}

// "Num 7" for a keypad digit or decimal key, whichever of its two levels carries the digit.
std::optional<CString> KeypadName(KeySym level0, KeySym level1)
{
    for (KeySym symbol : {level0, level1}) {
        if (symbol >= XK_KP_0 && symbol <= XK_KP_9)
            return L"Num " + CString(1, static_cast<wchar_t>(L'0' + (symbol - XK_KP_0)));
        if (symbol == XK_KP_Decimal)
            return CString(L"Num .");
        if (symbol == XK_KP_Separator)
            return CString(L"Num ,");
    }
    return std::nullopt;
}

CString ReadableName(KeySym level0, KeySym level1)
{
    if (level0 == NoSymbol)
        return {};
    if (std::optional<CString> keypad = KeypadName(level0, level1))
        return *keypad;
    if (const wchar_t* name = FindSymbolName(kSymbolNames, level0))
        return name;
    if (const wchar_t* name = FindSymbolName(kDeadKeyNames, level0))
        return name;
    const uint32_t character = xkb_keysym_to_utf32(xkb_keysym_to_upper(static_cast<xkb_keysym_t>(level0)));
    if (character > 0x20 && character != 0x7F && !(character >= 0x80 && character < 0xA0))
        return CString(1, static_cast<wchar_t>(character));
    const char* symbolName = XKeysymToString(level0);
    return symbolName ? Utf8ToWide(symbolName) : CString();
}

} // namespace

std::unique_ptr<X11KeyNames> X11KeyNames::Open(const char* displayName)
{
    int major = XkbMajorVersion;
    int minor = XkbMinorVersion;
    int reason = 0;
    Display* display =
        XkbOpenDisplay(const_cast<char*>(displayName), nullptr, nullptr, &major, &minor, &reason);
    if (!display)
        return nullptr;
    // Map changes arrive as events; reading them (KeyName drains the queue) keeps Xlib's copy current.
    XkbSelectEvents(display, XkbUseCoreKbd, XkbMapNotifyMask | XkbNewKeyboardNotifyMask,
                    XkbMapNotifyMask | XkbNewKeyboardNotifyMask);
    return std::unique_ptr<X11KeyNames>(new X11KeyNames(display));
}

X11KeyNames::X11KeyNames(_XDisplay* display) : m_display(display) {}

X11KeyNames::~X11KeyNames()
{
    XCloseDisplay(m_display);
}

CString X11KeyNames::KeyName(unsigned virtualKey) const
{
    // Keymaps give F13–F24 launcher symbols and some media keys odd ones; their names never vary.
    if (IsLayoutIndependentKey(virtualKey))
        return UsKeyName(virtualKey);
    const std::optional<unsigned> evdev = EvdevOf(virtualKey);
    if (!evdev || X11KeycodeFromEvdev(*evdev) > 255)
        return {};
    const auto keycode = static_cast<KeyCode>(X11KeycodeFromEvdev(*evdev));

    std::lock_guard lock(m_lock);
    while (XPending(m_display) > 0) {
        XEvent event;
        XNextEvent(m_display, &event);
    }
    XkbStateRec state{};
    XkbGetState(m_display, XkbUseCoreKbd, &state);
    int group = state.group;
    if (XkbKeycodeToKeysym(m_display, keycode, group, 0) == NoSymbol)
        group = 0; // a key without symbols in this group takes the first group's
    return ReadableName(XkbKeycodeToKeysym(m_display, keycode, group, 0),
                        XkbKeycodeToKeysym(m_display, keycode, group, 1));
}
