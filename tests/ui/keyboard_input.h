#pragma once
// Typing into the headless window system as a user would: keys with their characters, chords with
// Ctrl or Shift held. Keys go to the window that has the keyboard focus in `window`'s top-level window.

#include <linux/input-event-codes.h>
#include <string>

#include "core/wide_text.h"
#include "ui/framework/backend/headless/headless_backend.h"

class KeyboardInput {
public:
    KeyboardInput(HeadlessBackend& backend, HWND window) : m_backend(backend), m_window(window) {}

    // A key with no character (arrows, Enter, Escape, …).
    void Press(unsigned evdev)
    {
        m_backend.KeyDown(m_window, evdev);
        m_backend.KeyUp(m_window, evdev);
    }
    // A key with the held modifier (KEY_LEFTCTRL, KEY_LEFTSHIFT) around it.
    void Chord(unsigned modifier, unsigned evdev, const std::string& text = {})
    {
        m_backend.KeyDown(m_window, modifier);
        m_backend.KeyDown(m_window, evdev, text);
        m_backend.KeyUp(m_window, evdev);
        m_backend.KeyUp(m_window, modifier);
    }
    // Each character on a key of its own, as an input method hands over what the layout types (the key
    // is A for every character: only the text matters to an editor).
    void Type(const std::wstring& text)
    {
        for (wchar_t c : text) {
            m_backend.KeyDown(m_window, KEY_A, WideToUtf8(std::wstring(1, c)));
            m_backend.KeyUp(m_window, KEY_A);
        }
    }

private:
    HeadlessBackend& m_backend;
    HWND m_window;
};
