#pragma once
// Which keys are down, as the window system has seen them, and the lock toggles: what GetKeyState and
// GetAsyncKeyState answer and what the repeat and Alt bits of key messages are built from.

#include <array>
#include <cstdint>
#include <vector>

class KeyState {
public:
    // Records a press of a side-specific virtual key (and its side-neutral twin); returns whether the
    // key was already down (an auto-repeat).
    bool Press(uint8_t vk);
    void Release(uint8_t vk);
    bool IsDown(uint8_t vk) const { return m_down[vk]; }
    bool IsToggled(uint8_t vk) const { return m_toggled[vk]; }

    // Brings Shift, Ctrl and Alt and the lock toggles in line with the modifier word the display reports
    // with an event (InputModifier bits); keys released while another program had the focus are cleared.
    void SyncModifiers(unsigned modifiers);
    // Replaces the whole state with the keys the display says are down (evdev codes).
    void Reset(const std::vector<unsigned>& downEvdevCodes);
    void Clear();

private:
    std::array<bool, 256> m_down{};
    std::array<bool, 256> m_toggled{};
};

// Decides whether a button press completes a double click: same window and button, within the
// double-click time, and within a small box around the first press.
class ClickTracker {
public:
    static constexpr uint32_t kDoubleClickMs = 500;
    static constexpr int kDoubleClickBox = 4; // width and height of the box centred on the first press

    // True for the second press of a double click; a double click disarms the tracker, so a third press
    // starts afresh.
    bool Press(const void* window, int button, int x, int y, uint32_t timeMs);
    void Reset() { m_armed = false; }

private:
    bool m_armed = false;
    const void* m_window = nullptr;
    int m_button = 0;
    int m_x = 0;
    int m_y = 0;
    uint32_t m_time = 0;
};
