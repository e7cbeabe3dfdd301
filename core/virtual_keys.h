#pragma once
// Virtual-key codes as the program stores and compares them (hooks, macro records, key messages).
// Values from Microsoft's published virtual-key code list.

#include <cstdint>

constexpr uint8_t VK_LBUTTON = 0x01;
constexpr uint8_t VK_RBUTTON = 0x02;
constexpr uint8_t VK_MBUTTON = 0x04;
constexpr uint8_t VK_BACK = 0x08;
constexpr uint8_t VK_TAB = 0x09;
constexpr uint8_t VK_CLEAR = 0x0C;
constexpr uint8_t VK_RETURN = 0x0D;
constexpr uint8_t VK_SHIFT = 0x10;
constexpr uint8_t VK_CONTROL = 0x11;
constexpr uint8_t VK_MENU = 0x12; // Alt
constexpr uint8_t VK_PAUSE = 0x13;
constexpr uint8_t VK_CAPITAL = 0x14;
constexpr uint8_t VK_ESCAPE = 0x1B;
constexpr uint8_t VK_SPACE = 0x20;
constexpr uint8_t VK_PRIOR = 0x21; // Page Up
constexpr uint8_t VK_NEXT = 0x22;  // Page Down
constexpr uint8_t VK_END = 0x23;
constexpr uint8_t VK_HOME = 0x24;
constexpr uint8_t VK_LEFT = 0x25;
constexpr uint8_t VK_UP = 0x26;
constexpr uint8_t VK_RIGHT = 0x27;
constexpr uint8_t VK_DOWN = 0x28;
constexpr uint8_t VK_SNAPSHOT = 0x2C; // Print Screen
constexpr uint8_t VK_INSERT = 0x2D;
constexpr uint8_t VK_DELETE = 0x2E;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A: the characters themselves.
constexpr uint8_t VK_LWIN = 0x5B;
constexpr uint8_t VK_RWIN = 0x5C;
constexpr uint8_t VK_APPS = 0x5D;
constexpr uint8_t VK_SLEEP = 0x5F;
constexpr uint8_t VK_NUMPAD0 = 0x60; // ..VK_NUMPAD9 = 0x69
constexpr uint8_t VK_MULTIPLY = 0x6A;
constexpr uint8_t VK_ADD = 0x6B;
constexpr uint8_t VK_SEPARATOR = 0x6C;
constexpr uint8_t VK_SUBTRACT = 0x6D;
constexpr uint8_t VK_DECIMAL = 0x6E;
constexpr uint8_t VK_DIVIDE = 0x6F;
constexpr uint8_t VK_F1 = 0x70; // ..VK_F24 = 0x87
constexpr uint8_t VK_F4 = 0x73;
constexpr uint8_t VK_F10 = 0x79;
constexpr uint8_t VK_F24 = 0x87;
constexpr uint8_t VK_NUMLOCK = 0x90;
constexpr uint8_t VK_SCROLL = 0x91;
constexpr uint8_t VK_LSHIFT = 0xA0;
constexpr uint8_t VK_RSHIFT = 0xA1;
constexpr uint8_t VK_LCONTROL = 0xA2;
constexpr uint8_t VK_RCONTROL = 0xA3;
constexpr uint8_t VK_LMENU = 0xA4;
constexpr uint8_t VK_RMENU = 0xA5;
constexpr uint8_t VK_BROWSER_BACK = 0xA6;
constexpr uint8_t VK_BROWSER_FORWARD = 0xA7;
constexpr uint8_t VK_BROWSER_REFRESH = 0xA8;
constexpr uint8_t VK_BROWSER_STOP = 0xA9;
constexpr uint8_t VK_BROWSER_SEARCH = 0xAA;
constexpr uint8_t VK_BROWSER_FAVORITES = 0xAB;
constexpr uint8_t VK_BROWSER_HOME = 0xAC;
constexpr uint8_t VK_VOLUME_MUTE = 0xAD;
constexpr uint8_t VK_VOLUME_DOWN = 0xAE;
constexpr uint8_t VK_VOLUME_UP = 0xAF;
constexpr uint8_t VK_MEDIA_NEXT_TRACK = 0xB0;
constexpr uint8_t VK_MEDIA_PREV_TRACK = 0xB1;
constexpr uint8_t VK_MEDIA_STOP = 0xB2;
constexpr uint8_t VK_MEDIA_PLAY_PAUSE = 0xB3;
constexpr uint8_t VK_LAUNCH_MAIL = 0xB4;
constexpr uint8_t VK_LAUNCH_MEDIA_SELECT = 0xB5;
constexpr uint8_t VK_LAUNCH_APP1 = 0xB6; // My Computer
constexpr uint8_t VK_LAUNCH_APP2 = 0xB7; // Calculator
constexpr uint8_t VK_OEM_1 = 0xBA;       // ;:
constexpr uint8_t VK_OEM_PLUS = 0xBB;    // =+
constexpr uint8_t VK_OEM_COMMA = 0xBC;
constexpr uint8_t VK_OEM_MINUS = 0xBD;
constexpr uint8_t VK_OEM_PERIOD = 0xBE;
constexpr uint8_t VK_OEM_2 = 0xBF;   // /?
constexpr uint8_t VK_OEM_3 = 0xC0;   // `~
constexpr uint8_t VK_OEM_4 = 0xDB;   // [{
constexpr uint8_t VK_OEM_5 = 0xDC;   // \|
constexpr uint8_t VK_OEM_6 = 0xDD;   // ]}
constexpr uint8_t VK_OEM_7 = 0xDE;   // '"
constexpr uint8_t VK_OEM_102 = 0xE2; // the extra key left of Z on ISO keyboards
