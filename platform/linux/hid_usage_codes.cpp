#include "platform/linux/hid_usage_codes.h"

#include <algorithm>
#include <array>
#include <linux/input-event-codes.h>
#include <vector>

namespace {

struct UsageKey {
    uint16_t usage;
    uint16_t evdev;
};

// In usage order. 50 (the non-US hash key) is the backslash key, as the kernel's HID driver has it.
constexpr UsageKey kKeyboard[] = {
    {4, KEY_A},           {5, KEY_B},           {6, KEY_C},
    {7, KEY_D},           {8, KEY_E},           {9, KEY_F},
    {10, KEY_G},          {11, KEY_H},          {12, KEY_I},
    {13, KEY_J},          {14, KEY_K},          {15, KEY_L},
    {16, KEY_M},          {17, KEY_N},          {18, KEY_O},
    {19, KEY_P},          {20, KEY_Q},          {21, KEY_R},
    {22, KEY_S},          {23, KEY_T},          {24, KEY_U},
    {25, KEY_V},          {26, KEY_W},          {27, KEY_X},
    {28, KEY_Y},          {29, KEY_Z},          {30, KEY_1},
    {31, KEY_2},          {32, KEY_3},          {33, KEY_4},
    {34, KEY_5},          {35, KEY_6},          {36, KEY_7},
    {37, KEY_8},          {38, KEY_9},          {39, KEY_0},
    {40, KEY_ENTER},      {41, KEY_ESC},        {42, KEY_BACKSPACE},
    {43, KEY_TAB},        {44, KEY_SPACE},      {45, KEY_MINUS},
    {46, KEY_EQUAL},      {47, KEY_LEFTBRACE},  {48, KEY_RIGHTBRACE},
    {49, KEY_BACKSLASH},  {50, KEY_BACKSLASH},  {51, KEY_SEMICOLON},
    {52, KEY_APOSTROPHE}, {53, KEY_GRAVE},      {54, KEY_COMMA},
    {55, KEY_DOT},        {56, KEY_SLASH},      {57, KEY_CAPSLOCK},
    {58, KEY_F1},         {59, KEY_F2},         {60, KEY_F3},
    {61, KEY_F4},         {62, KEY_F5},         {63, KEY_F6},
    {64, KEY_F7},         {65, KEY_F8},         {66, KEY_F9},
    {67, KEY_F10},        {68, KEY_F11},        {69, KEY_F12},
    {70, KEY_SYSRQ},      {71, KEY_SCROLLLOCK}, {72, KEY_PAUSE},
    {73, KEY_INSERT},     {74, KEY_HOME},       {75, KEY_PAGEUP},
    {76, KEY_DELETE},     {77, KEY_END},        {78, KEY_PAGEDOWN},
    {79, KEY_RIGHT},      {80, KEY_LEFT},       {81, KEY_DOWN},
    {82, KEY_UP},         {83, KEY_NUMLOCK},    {84, KEY_KPSLASH},
    {85, KEY_KPASTERISK}, {86, KEY_KPMINUS},    {87, KEY_KPPLUS},
    {88, KEY_KPENTER},    {89, KEY_KP1},        {90, KEY_KP2},
    {91, KEY_KP3},        {92, KEY_KP4},        {93, KEY_KP5},
    {94, KEY_KP6},        {95, KEY_KP7},        {96, KEY_KP8},
    {97, KEY_KP9},        {98, KEY_KP0},        {99, KEY_KPDOT},
    {100, KEY_102ND},     {101, KEY_COMPOSE},   {104, KEY_F13},
    {105, KEY_F14},       {106, KEY_F15},       {107, KEY_F16},
    {108, KEY_F17},       {109, KEY_F18},       {110, KEY_F19},
    {111, KEY_F20},       {112, KEY_F21},       {113, KEY_F22},
    {114, KEY_F23},       {115, KEY_F24},       {136, KEY_KATAKANAHIRAGANA},
    {137, KEY_YEN},       {138, KEY_HENKAN},    {139, KEY_MUHENKAN},
    {224, KEY_LEFTCTRL},  {225, KEY_LEFTSHIFT}, {226, KEY_LEFTALT},
    {227, KEY_LEFTMETA},  {228, KEY_RIGHTCTRL}, {229, KEY_RIGHTSHIFT},
    {230, KEY_RIGHTALT},  {231, KEY_RIGHTMETA},
};

// The media functions, key codes 232-249 in order, with the keys the kernel's HID driver gives their
// consumer usages.
constexpr UsageKey kConsumer[] = {
    {0x183, KEY_CONFIG},    {0x0EA, KEY_VOLUMEDOWN},   {0x0E9, KEY_VOLUMEUP},  {0x0E2, KEY_MUTE},
    {0x0B7, KEY_STOPCD},    {0x0B6, KEY_PREVIOUSSONG}, {0x0CD, KEY_PLAYPAUSE}, {0x0B5, KEY_NEXTSONG},
    {0x18A, KEY_MAIL},      {0x223, KEY_HOMEPAGE},     {0x192, KEY_CALC},      {0x224, KEY_BACK},
    {0x225, KEY_FORWARD},   {0x226, KEY_STOP},         {0x227, KEY_REFRESH},   {0x221, KEY_SEARCH},
    {0x22A, KEY_BOOKMARKS}, {0x194, KEY_FILE},
};
constexpr unsigned kFirstMediaKeyCode = 232;

constexpr bool SortedByUsage()
{
    for (size_t i = 1; i < std::size(kKeyboard); ++i) {
        if (kKeyboard[i - 1].usage >= kKeyboard[i].usage)
            return false;
    }
    return true;
}
static_assert(SortedByUsage(), "the keyboard table is searched by usage");

} // namespace

uint16_t EvdevFromKeyboardUsage(unsigned usage)
{
    const auto it = std::lower_bound(std::begin(kKeyboard), std::end(kKeyboard), usage,
                                     [](const UsageKey& k, unsigned u) { return k.usage < u; });
    return it != std::end(kKeyboard) && it->usage == usage ? it->evdev : 0;
}

uint16_t EvdevFromConsumerUsage(unsigned usage)
{
    for (const UsageKey& k : kConsumer) {
        if (k.usage == usage)
            return k.evdev;
    }
    return 0;
}

unsigned KeyCodeFromEvdev(unsigned evdevCode)
{
    // Built once: every evdev key below KEY_CNT to its key code.
    static const std::vector<uint8_t> table = [] {
        std::vector<uint8_t> codes(KEY_CNT, 0);
        for (const UsageKey& k : kConsumer)
            codes[k.evdev] = static_cast<uint8_t>(kFirstMediaKeyCode + (&k - kConsumer));
        for (auto it = std::rbegin(kKeyboard); it != std::rend(kKeyboard); ++it)
            codes[it->evdev] = static_cast<uint8_t>(it->usage);
        return codes;
    }();
    return evdevCode < table.size() ? table[evdevCode] : 0;
}

std::span<const uint16_t> VirtualKeyboardEvdevKeys()
{
    static const std::vector<uint16_t> keys = [] {
        std::vector<uint16_t> all;
        for (const UsageKey& k : kKeyboard)
            all.push_back(k.evdev);
        for (const UsageKey& k : kConsumer)
            all.push_back(k.evdev);
        std::sort(all.begin(), all.end());
        all.erase(std::unique(all.begin(), all.end()), all.end());
        return all;
    }();
    return keys;
}
