#!/usr/bin/env python3
"""Writes data/layouts/<layout>.xml for the three keyboard models of data/config.xml.

The key geometry is the usual ANSI arrangement in units of one key width (U pixels); every key's
rectangle is its place on the keyboard picture, inset by GAP pixels on each side. The matrix cell of a
key is (row, column) of the model's scan matrix; its key_index (the key's slot in the keyboard's key
table) is its place when the keys are counted row by row through the matrix, so every key fits the 110
positions that the per-key colour, key-map and colour-stream reports carry. A key's optional `fn` is the
legend of its Fn-layer function on the keyboard picture (tools/theme_pictures draws the pictures).

Usage: tools/make_layouts.py   (rewrites the files in place; run from anywhere)
"""
from pathlib import Path
from xml.sax.saxutils import quoteattr

U = 40          # pixels per key unit
GAP = 2         # inset of each key inside its unit cell
MARGIN = 10     # picture border around the keys
FROW_GAP = 0.5  # extra space below the function-key row, in units

# HID keyboard usages (page 0x07) and the keyboard's Fn key.
ESC, F1, PRTSC, SCRLK, PAUSE = 0x29, 0x3A, 0x46, 0x47, 0x48
GRAVE, DIGIT1, DIGIT0, MINUS, EQUAL, BKSP = 0x35, 0x1E, 0x27, 0x2D, 0x2E, 0x2A
TAB, LBRACKET, RBRACKET, BSLASH = 0x2B, 0x2F, 0x30, 0x31
CAPS, SEMICOLON, QUOTE, ENTER = 0x39, 0x33, 0x34, 0x28
LSHIFT, COMMA, PERIOD, SLASH, RSHIFT = 0xE1, 0x36, 0x37, 0x38, 0xE5
LCTRL, LWIN, LALT, SPACE, RALT, FN, MENU, RCTRL = 0xE0, 0xE3, 0xE2, 0x2C, 0xE6, 0xAF, 0x65, 0xE4
INS, HOME, PGUP, DEL, END, PGDN = 0x49, 0x4A, 0x4B, 0x4C, 0x4D, 0x4E
RIGHT, LEFT, DOWN, UP = 0x4F, 0x50, 0x51, 0x52
NUMLOCK, KPDIV, KPMUL, KPSUB, KPADD, KPENTER, KP1, KP0, KPDOT = 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x62, 0x63


def letter(c):
    return 0x04 + ord(c) - ord("A")


def digit(d):
    return DIGIT0 if d == 0 else DIGIT1 + d - 1


def kp(d):
    return KP0 if d == 0 else KP1 + d - 1


class Key:
    def __init__(self, code, name, desc, x, y, w=1.0, h=1.0, cell=None):
        self.code, self.name, self.desc = code, name, desc
        self.x, self.y, self.w, self.h = x, y, w, h
        self.cell = cell


def row_y(row):
    """Top of a full keyboard's row, in units: the function-key row stands apart from the others."""
    return 0 if row == 0 else row + FROW_GAP


def place_row(keys, row, y, entries):
    """Keys side by side from the left edge: (code, name, description, width, matrix column)."""
    x = 0.0
    for code, name, desc, width, col in entries:
        keys.append(Key(code, name, desc, x, y, width, cell=(row, col)))
        x += width


def characters(text, first_col, describe, code_of):
    return [(code_of(c), c, describe(c), 1, first_col + i) for i, c in enumerate(text)]


def main_block(first_row, esc_on_grave=False):
    """The alphanumeric block: rows 1-5 of a full keyboard, or rows 0-4 of a compact one."""
    y = row_y(1) if first_row == 1 else 0
    first = (ESC, "Esc", "Escape", 1, 0) if esc_on_grave else (GRAVE, "`", "Grave accent and tilde", 1, 0)
    rows = [
        [first] + characters("1234567890", 1, lambda c: f"Number {c}", lambda c: digit(int(c)))
        + [(MINUS, "-", "Minus and underscore", 1, 11), (EQUAL, "=", "Equals and plus", 1, 12),
           (BKSP, "Backspace", "Backspace", 2, 13)],
        [(TAB, "Tab", "Tab", 1.5, 0)] + characters("QWERTYUIOP", 1, lambda c: f"Letter {c}", letter)
        + [(LBRACKET, "[", "Left bracket and brace", 1, 11), (RBRACKET, "]", "Right bracket and brace", 1, 12),
           (BSLASH, "\\", "Backslash and vertical bar", 1.5, 13)],
        [(CAPS, "Caps Lock", "Caps Lock", 1.75, 0)] + characters("ASDFGHJKL", 1, lambda c: f"Letter {c}", letter)
        + [(SEMICOLON, ";", "Semicolon and colon", 1, 10), (QUOTE, "'", "Apostrophe and quotation mark", 1, 11),
           (ENTER, "Enter", "Enter", 2.25, 13)],
        [(LSHIFT, "Shift", "Left Shift", 2.25, 0)] + characters("ZXCVBNM", 1, lambda c: f"Letter {c}", letter)
        + [(COMMA, ",", "Comma and less-than sign", 1, 8), (PERIOD, ".", "Full stop and greater-than sign", 1, 9),
           (SLASH, "/", "Slash and question mark", 1, 10), (RSHIFT, "Shift", "Right Shift", 2.75, 13)],
        # The Fn key takes the place of the right Windows key.
        [(LCTRL, "Ctrl", "Left Ctrl", 1.25, 0), (LWIN, "Win", "Left Windows", 1.25, 1),
         (LALT, "Alt", "Left Alt", 1.25, 2), (SPACE, "Space", "Space", 6.25, 6), (RALT, "Alt", "Right Alt", 1.25, 10),
         (FN, "Fn", "Fn", 1.25, 11), (MENU, "Menu", "Application", 1.25, 12), (RCTRL, "Ctrl", "Right Ctrl", 1.25, 13)],
    ]
    keys = []
    for i, entries in enumerate(rows):
        place_row(keys, first_row + i, y + i, entries)
    return keys


def function_row():
    keys = [Key(ESC, "Esc", "Escape", 0, 0, cell=(0, 0))]
    for n in range(12):
        x = 2 + n + (n // 4) * 0.5
        keys.append(Key(F1 + n, f"F{n + 1}", f"F{n + 1}", x, 0, cell=(0, 1 + n)))
    for i, (code, name, desc) in enumerate(
        [(PRTSC, "PrtSc", "Print Screen"), (SCRLK, "ScrLk", "Scroll Lock"), (PAUSE, "Pause", "Pause")]
    ):
        keys.append(Key(code, name, desc, 15.5 + i, 0, cell=(0, 14 + i)))
    return keys


def navigation_block():
    keys = []
    y1, y2 = row_y(1), row_y(2)
    for i, (code, name, desc) in enumerate([(INS, "Ins", "Insert"), (HOME, "Home", "Home"), (PGUP, "PgUp", "Page Up")]):
        keys.append(Key(code, name, desc, 15.5 + i, y1, cell=(1, 14 + i)))
    for i, (code, name, desc) in enumerate([(DEL, "Del", "Delete"), (END, "End", "End"), (PGDN, "PgDn", "Page Down")]):
        keys.append(Key(code, name, desc, 15.5 + i, y2, cell=(2, 14 + i)))
    keys.append(Key(UP, "Up", "Up arrow", 16.5, row_y(4), cell=(4, 15)))
    for i, (code, name, desc) in enumerate([(LEFT, "Left", "Left arrow"), (DOWN, "Down", "Down arrow"), (RIGHT, "Right", "Right arrow")]):
        keys.append(Key(code, name, desc, 15.5 + i, row_y(5), cell=(5, 14 + i)))
    return keys


def keypad():
    x0 = 19
    keys = [
        Key(NUMLOCK, "Num", "Num Lock", x0, row_y(1), cell=(1, 17)),
        Key(KPDIV, "/", "Keypad slash", x0 + 1, row_y(1), cell=(1, 18)),
        Key(KPMUL, "*", "Keypad asterisk", x0 + 2, row_y(1), cell=(1, 19)),
        Key(KPSUB, "-", "Keypad minus", x0 + 3, row_y(1), cell=(1, 20)),
        Key(KPADD, "+", "Keypad plus", x0 + 3, row_y(2), 1, 2, cell=(2, 20)),
        Key(KPENTER, "Enter", "Keypad Enter", x0 + 3, row_y(4), 1, 2, cell=(4, 20)),
        Key(kp(0), "0", "Keypad 0", x0, row_y(5), 2, cell=(5, 17)),
        Key(KPDOT, ".", "Keypad decimal point", x0 + 2, row_y(5), cell=(5, 19)),
    ]
    for row, digits in [(2, (7, 8, 9)), (3, (4, 5, 6)), (4, (1, 2, 3))]:
        for i, d in enumerate(digits):
            keys.append(Key(kp(d), str(d), f"Keypad {d}", x0 + i, row_y(row), cell=(row, 17 + i)))
    return keys


def mini_keys():
    """A compact 61-key board: the alphanumeric block alone, Esc on the grave key."""
    return main_block(0, esc_on_grave=True)


# Lighting modes: (text id of the name, mode number, parameter bits). Bits: 0x001 brightness,
# 0x002 speed, 0x004 left/right, 0x008 up/down, 0x010 RGB sliders, 0x020 colour button and colourful,
# 0x040 and 0x080 the two colour rows, 0x100 per-key colours, 0x200 music, 0x400 screen, 0x800 options.
ALL_MODES = [
    (800, 1, 0x031),   # Static
    (801, 2, 0x063),   # Breathing
    (802, 3, 0x003),   # Spectrum cycle
    (803, 4, 0x027),   # Wave
    (804, 5, 0x007),   # Spiral
    (805, 6, 0x0A3),   # Ripple
    (806, 7, 0x023),   # Reactive
    (807, 8, 0x043),   # Starlight
    (808, 9, 0x02B),   # Raindrops
    (809, 10, 0x00F),  # Snake
    (810, 11, 0x003),  # Neon
    (811, 12, 0x023),  # Fireworks
    (812, 13, 0x033),  # Fading keys
    (813, 14, 0x007),  # Radar
    (814, 15, 0x803),  # Aurora
    (815, 16, 0x101),  # Custom
    (816, 17, 0x200),  # Music
    (817, 18, 0x400),  # Screen sync
    (818, 19, 0x063),  # Heartbeat
    (819, 20, 0x000),  # Lights off
]
MINI_MODES = [m for m in ALL_MODES if m[0] not in (804, 810, 811, 813, 818)]

# Fn-layer legends printed on the keycaps' fronts (`fn`: a skin picture or a short text). Only the keyboard
# picture reads them; what a key does is the keyboard's and the assignments' business.
MEDIA_ROW = {F1 + n: f"icon//icon_{icon}.png" for n, icon in enumerate(
    ["pc", "home", "email", "cal", "multimedia", "stop", "pre", "playpause", "next", "vol_mute", "vol_down",
     "vol_up"])}
MINI_FN = {**{digit(d): f"F{n + 1}" for n, d in enumerate([1, 2, 3, 4, 5, 6, 7, 8, 9, 0])},
           MINUS: "F11", EQUAL: "F12", ESC: "`", BKSP: "Del"}

MODELS = {
    "z5_wireless": dict(keys=lambda: function_row() + main_block(1) + navigation_block() + keypad(),
                        cols=21, rows=6, xpos=330, ypos=60, modes=ALL_MODES, firmware="105", fn=MEDIA_ROW),
    "z5_tkl": dict(keys=lambda: function_row() + main_block(1) + navigation_block(),
                   cols=17, rows=6, xpos=420, ypos=60, modes=ALL_MODES, firmware="203", fn=MEDIA_ROW),
    "z5_mini": dict(keys=mini_keys, cols=14, rows=5, xpos=490, ypos=80, modes=MINI_MODES, firmware="101",
                    fn=MINI_FN),
}


def px(units):
    return round(units * U)


def write_layout(name, model, folder):
    keys = model["keys"]()
    width = px(max(k.x + k.w for k in keys)) + 2 * MARGIN
    height = px(max(k.y + k.h for k in keys)) + 2 * MARGIN
    a = quoteattr
    lines = ['<?xml version="1.0" encoding="UTF-8"?>',
             f"<!-- Layout {name}: written by tools/make_layouts.py. Key codes are HID keyboard usages "
             "(175 is Fn); rect is left#top#width#height on the keyboard picture. -->",
             "<device.info>",
             '<menu macro="1" light_mode="1"/>',
             '<function sleep_time="1"/>',
             f'<firmware version="{model["firmware"]}" file="FirmwareUpdateTool" '
             f'url="https://corvid.example/firmware/{name}/"/>',
             '<light rgb_keyboard="1" default_mode="3" default_brightness="4" default_speed="2" '
             'brightness_max="4" speed_max="4">']
    for text_id, mode, bits in model["modes"]:
        lines.append(f'<info name="{text_id}" mode="{mode}" attribute="{bits}"/>')
    lines.append("</light>")
    lines.append(f'<Keyboard xpos="{model["xpos"]}" ypos="{model["ypos"]}" width="{width}" height="{height}" '
                 f'image="{name}.png" row_count="{model["rows"]}" col_count="{model["cols"]}">')
    lines.append("<KeyItems>")
    indexes = {id(k): i for i, k in enumerate(sorted(keys, key=lambda k: k.cell))}
    for k in keys:
        row, col = k.cell
        left = MARGIN + px(k.x) + GAP
        top = MARGIN + px(k.y) + GAP
        index = indexes[id(k)]
        fn = model["fn"].get(k.code)
        lines.append(f"<key code=\"0x{k.code:02X}\" name={a(k.name)} desc={a(k.desc)} key_index=\"{index}\" "
                     f"light_index=\"{index}\" icon=\"\" row_col=\"{row}#{col}\" "
                     f"rect=\"{left}#{top}#{px(k.w) - 2 * GAP}#{px(k.h) - 2 * GAP}\""
                     + (f" fn={a(fn)}" if fn else "") + "/>")
    lines.append("</KeyItems>")
    lines.append("</Keyboard>")
    lines.append("</device.info>")
    (folder / f"{name}.xml").write_text("\n".join(lines) + "\n", encoding="utf-8")


if __name__ == "__main__":
    out = Path(__file__).resolve().parent.parent / "data" / "layouts"
    out.mkdir(parents=True, exist_ok=True)
    for layout_name, model in MODELS.items():
        write_layout(layout_name, model, out)
