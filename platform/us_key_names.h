#pragma once
// The names of a US keyboard's keys, as the X11 key-name backend gives them on a US layout: the fixed
// table behind FixedKeyNames, and the names of the keys no layout changes (F1–F24, the media keys).

#include "core/wide_text.h"

// Empty for a virtual key no US keyboard key sends.
CString UsKeyName(unsigned virtualKey);

// F1–F24 (112–135) and the browser, volume, media and launch keys (166–183): named alike on every
// layout, whatever symbols a keymap gives them.
bool IsLayoutIndependentKey(unsigned virtualKey);
